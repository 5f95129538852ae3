#!/usr/bin/env bash
# How much of each fuzzed parser the fuzzers' corpora reach: builds the targets with
# clang's source coverage, runs each once over its seeds, past findings and what the last
# `make fuzz` kept, and prints llvm-cov's line and branch cover of the functions fuzzed.
#   fuzz/coverage.sh BUILD FUZZ_BUILD
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1
fuzz_build=$2
CXX=${CXX:-clang++-14} cmake -S . -B "$build" -G Ninja -DQUELLARO_FUZZ=ON -DQUELLARO_SDL=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS="-fprofile-instr-generate -fcoverage-mapping" >/dev/null
cmake --build "$build" -j 2 --target fuzzers

# Each target, the source file it fuzzes and the functions that read the input.
report() {
  local name=$1 source=$2 functions=$3
  local raw=$build/cov-$name.profraw data=$build/cov-$name.profdata
  mkdir -p "$fuzz_build/fuzz-corpus/$name" fuzz/regressions/"$name"
  LLVM_PROFILE_FILE=$raw "$build/fuzz_$name" -runs=0 "$fuzz_build/fuzz-corpus/$name" \
    fuzz/corpus/"$name" fuzz/regressions/"$name" >/dev/null 2>&1
  llvm-profdata-14 merge -o "$data" "$raw"
  llvm-cov-14 report "$build/fuzz_$name" -instr-profile="$data" -show-functions \
    -Xdemangler=llvm-cxxfilt-14 "$source" |
    awk -v name="$name" -v source="$source" -v wanted="$functions" '
      # The function name runs to its argument list; the lines and branches columns close the row.
      { gsub(/^[a-z_]+\.cpp:|\(anonymous namespace\)::|\[abi:cxx11\]/, "") }
      $0 ~ "^(" wanted ")\\(" {
        fn = $0; sub(/\(.*/, "", fn)
        printf "%-8s %-26s %-20s lines %7s  branches %7s\n", name, source, fn, $(NF-3), $NF
      }'
}
echo "target   file                       function             lines cover     branch cover"
report bitmap engine/bitmap.cpp 'bitmap_load_file|load|read_head|read_spans|take|read_layout|read_palette|read_rows_in_place|read_rows_24|take_storage|release_buffer|bitmap_cell_origin'
report bitmap engine/picture.cpp 'picture_load|refuse_unreadable'
report palette engine/palette.cpp 'palette_load_file|read_number|only_blanks_left'
report script platform/script.cpp 'script_parse|script_read_number|read_line|read_hold|read_key|read_point|words_of|script_write'
report hotspot platform/sdl/parse.cpp 'parse_hotspot|parse_window_size|read_number'
report wav engine/wav.cpp 'wav_parse|wav_read|pcm16_mono_rate'
report settings platform/sdl/settings.cpp 'settings_parse|settings_format|settings_load|read_line|keep_comment|append_kept|display_line|keys_line|gamepad_line|read_switch'
report options tools/support/options.cpp 'tool_read_options|tool_help_asked'
report game_options programs/desktop/options.cpp 'options_parse|parse_argument|parse_window|parse_scale|parse_path|is_option'
report user_dirs platform/sdl/files.cpp 'user_dirs_read|user_dirs_pictures|screenshot_folder'
report png platform/png.cpp 'encode|write_png|write_rows|deflate_pending|write_chunk|png_write_rgb|png_write_rgba|png_write_indexed'
report png platform/file_write.cpp 'open_state|make_temporary|commit_state|file_writer_write|flush_buffer'
report replay programs/common/replay_format.cpp 'replay_decode|replay_decode_any|read_header|read_input|read_detail|read_item|replay_from_text|replay_start_decode|replay_encode'
