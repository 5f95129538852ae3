// The fuzz targets: each takes one input and returns 0, aborting on a broken promise of the
// code it drives (sanitizers report the rest). Built as libFuzzer programs with
// QUELLARO_FUZZING, where FUZZ_ENTRY makes the function the fuzzer's entry; the tests replay
// the seed corpora and past findings through the same functions.
#pragma once
#include <cstddef>
#include <cstdint>

int fuzz_bitmap(const uint8_t* data, size_t size);        // .bmp pictures (the picture loader)
int fuzz_palette(const uint8_t* data, size_t size);       // palette text files
int fuzz_script(const uint8_t* data, size_t size);        // play scripts
int fuzz_hotspot(const uint8_t* data, size_t size);       // the cursor's hot-spot file
int fuzz_wav(const uint8_t* data, size_t size);           // sound files
int fuzz_settings(const uint8_t* data, size_t size);      // the desktop game's settings file
int fuzz_options(const uint8_t* data, size_t size);       // the tools' command lines
int fuzz_user_dirs(const uint8_t* data, size_t size);     // the desktop's user-dirs file
int fuzz_png(const uint8_t* data, size_t size);           // PNG files written and read back
int fuzz_savestate(const uint8_t* data, size_t size);     // savestates (the game started first)
int fuzz_game_options(const uint8_t* data, size_t size);  // the desktop game's command line
int fuzz_replay(const uint8_t* data, size_t size);        // replay files and links

#ifdef QUELLARO_FUZZING
#define FUZZ_ENTRY(target)                                                    \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { \
        return target(data, size);                                            \
    }
#else
#define FUZZ_ENTRY(target)
#endif

// Stops the run with a message when a promise is broken, so the fuzzer keeps the input.
#define FUZZ_CHECK(condition)                                                            \
    do {                                                                                 \
        if (!(condition)) {                                                              \
            std::fprintf(stderr, "%s:%d: broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                \
        }                                                                                \
    } while (0)
