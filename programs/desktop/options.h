// The game's command line. No SDL in here.
#pragma once
#include <cstddef>

struct Options {
    int help, version;
    int window;                       // -1 as the settings say, 0 full screen, 1 a window
    int window_width, window_height;  // --window=WxH; 0 x 0 when no size was given
    int scale_mode;                   // -1 as the settings say, else a ScaleMode
    int mute;                         // --mute: silent for this run (M still unmutes)
    const char* data_dir;             // --data DIR; null when not given
    const char* record_path;          // --record FILE
    const char* replay_path;          // --replay FILE
};

// Reads argv[1..argc-1]. 1 when every argument is good; 0 with a one-line reason in error.
// Values come as "--data DIR" or "--data=DIR"; options conflicting with each other
// (--window with --fullscreen, --record with --replay) are refused.
int options_parse(int argc, char** argv, Options* options, char* error, size_t error_size);
// The usage text (several lines, ending in a newline).
const char* options_usage();
