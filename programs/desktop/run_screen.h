// The run's panels on the desktop: the best win's ghost (G) and the timer (T) when the player
// has them on (the settings keep both), and the results card after a win or a death, over the
// frame as it is shown.
#pragma once
#include <cstdint>

// A number for what is shown now (0: nothing), for the backend's "did it change".
int desktop_runs_look();
void desktop_runs_draw(uint32_t* argb, int pitch, int width, int height);
