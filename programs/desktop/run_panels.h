// The run's panels as both programs show them, from the run keeper: the best win's ghost and
// the timer when the player has them on, and the results card after a win or a death, over
// the frame as it is shown. Each program says what is on and names its own keys.
#pragma once
#include <cstdint>

// What the player has on, and the names of the keys the card tells of (null: the default's).
struct RunPanelsChoice {
    bool timer;
    bool ghost;
    const char* again_key;
    const char* title_key;
};

// A number for what is shown now (0: nothing), for the backend's "did it change".
int run_panels_look(const RunPanelsChoice& choice);
void run_panels_draw(const RunPanelsChoice& choice, uint32_t* pixels, int pitch, int width,
                     int height);
