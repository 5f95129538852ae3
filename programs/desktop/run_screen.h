// The run's panels on the desktop: the timer when the player has it on (T, kept in the
// settings), and the results card after a win or a death, over the frame as it is shown.
#pragma once
#include <cstdint>

// A number for what is shown now (0: nothing), for the backend's "did it change".
int desktop_runs_look();
void desktop_runs_draw(uint32_t* argb, int pitch, int width, int height);
