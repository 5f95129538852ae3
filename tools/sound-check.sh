#!/usr/bin/env bash
# Records the desktop game's sound while it replays play scripts, and checks the recording
# against the passes where the headless runner reports the sound events.
#
# Each script is replayed twice in the SDL game under Xvfb, with SDL's disk audio driver
# writing every mixed frame to a file: once with the music off, where the recording must be
# exactly the effects summed from the frames where the game says it started them, on the
# passes the runner names, each variant at its pan, limited as the game limits; once as a
# player hears it, which must stay within the limiter's ceiling. sox turns the recordings
# into stereo WAV files and draws a spectrogram of the first 20 seconds of each; the game's
# log (with the longest wait between two passes) stays beside them.
#   tools/sound-check.sh [--out DIR] [SCRIPT...]
# SCRIPT names a committed play script (default: win_level enemy_death). Needs a built
# build/quellaro and build/quellaro-headless, Xvfb, sox and python3.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/build/sound-check
scripts=()
while (($#)); do
    case $1 in
        --out) out=$2; shift 2 ;;
        -*) echo "usage: $0 [--out DIR] [SCRIPT...]" >&2; exit 2 ;;
        *) scripts+=("$1"); shift ;;
    esac
done
((${#scripts[@]})) || scripts=(win_level enemy_death)
for tool in Xvfb sox python3; do
    command -v "$tool" >/dev/null || { echo "$0: needs $tool" >&2; exit 2; }
done
game=$root/build/quellaro
runner=$root/build/quellaro-headless
mkdir -p "$out"
work=$(mktemp -d)
# Xvfb picks a free display and writes its number once it accepts clients; without a reset
# when its last client leaves, which would refuse the next game for a moment.
Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" \
    >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do
    [[ -s $work/display ]] && break
    sleep 0.1
done
[[ -s $work/display ]] || { echo "$0: Xvfb did not start" >&2; exit 1; }
display=$(head -n 1 "$work/display")

status=0
for name in "${scripts[@]}"; do
    passes=$(awk -v n="$name" '$1 == n { print $2 }' "$root/tests/scripts/digests.txt")
    [[ -n $passes ]] || { echo "$0: no committed script $name" >&2; exit 2; }
    # The replay, then Escape to the menu and Escape to quit.
    script=$work/$name.txt
    { cat "$root/tests/scripts/$name.txt"; echo "key $passes ESCAPE"; echo "key $((passes + 2)) ESCAPE"; } >"$script"
    "$runner" --assets "$root/assets" --script "$script" --passes $((passes + 4)) \
        --state "$work/$name.jsonl"
    for run in effects heard; do
        config=$work/config-$run
        mkdir -p "$config/quellaro"
        music=70
        [[ $run == effects ]] && music=0
        printf '[display]\nfullscreen = no\nwindow = 640x480\n[sound]\neffects = 100\nmusic = %d\n' \
            "$music" >"$config/quellaro/settings.ini"
        raw=$work/$name-$run.raw
        DISPLAY=:$display XDG_CONFIG_HOME=$config SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=$raw \
            QUELLARO_FRAME_STATS=1 timeout $((passes / 20 + 60)) "$game" --replay "$script" \
            2>"$work/$name-$run.log" || { echo "$name: the game failed" >&2; status=1; continue; }
        wav=$out/$name-$run.wav
        sox -t raw -r 44100 -e signed -b 16 -c 2 "$raw" "$wav"
        cp "$work/$name-$run.log" "$out/$name-$run.log"
        echo "== $name, $([[ $run == effects ]] && echo 'effects only' || echo 'as heard')"
        grep -E '^audio:|^between event pumps' "$work/$name-$run.log" || true
        sox "$wav" -n stats 2>&1 | grep -E 'Pk lev dB|RMS lev dB|Length s'
        sox "$wav" -n trim 0 20 spectrogram -x 1600 -y 513 -t "$name ($run)" -o "$out/$name-$run.png"
        flags=()
        [[ $run == effects ]] && flags=(--effects-only)
        python3 "$root/tools/sound_check.py" --state "$work/$name.jsonl" --log "$work/$name-$run.log" \
            --wav "$wav" --sounds "$root/assets/sounds" "${flags[@]}" || status=1
    done
done
echo "Recordings and spectrograms in $out"
exit $status
