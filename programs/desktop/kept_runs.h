// The runs the desktop game keeps by itself, in the user's data folder: the last 20 finished
// runs as replays ("run-000041.qrpl", numbered as they came), the fastest win
// ("best-win.qrpl") and the personal best ("best.txt"), which the best win's file never
// replaces as the record of it. No SDL in here.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "programs/common/personal_best.h"

constexpr int KEPT_RUNS = 20;

// $XDG_DATA_HOME/quellaro/runs, else ~/.local/share/quellaro/runs; 0 when neither variable
// gives an absolute folder.
int kept_runs_folder(const char* data_home, const char* home, char* out, size_t size);
// Writes the run whole as the next numbered file in folder (made when missing), then removes
// the numbered runs older than the last KEPT_RUNS. Its file name goes into name. false with
// why (nothing removed then).
bool kept_runs_write(const char* folder, const uint8_t* bytes, size_t size, char* name,
                     size_t name_size, char* why, size_t why_size);
// Writes the best win's replay (when win is not null), then the best's text. false with why;
// when the replay could not be written the text is left as it was.
bool kept_runs_write_best(const char* folder, const PersonalBest& best, const uint8_t* win,
                          size_t win_size, char* why, size_t why_size);
// The personal best from folder: none when there is no file yet. false with why (and none)
// when there is one that cannot be read or is not a best's.
bool kept_runs_read_best(const char* folder, PersonalBest* out, char* why, size_t why_size);
// The best win's replay from folder into bytes: false with why when it cannot be read, and
// with why empty when there is none yet.
bool kept_runs_read_best_win(const char* folder, std::string* bytes, char* why, size_t why_size);
