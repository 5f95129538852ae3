// The desktop's ghost, timer panel and results card, from the settings and the keys bound.
#include "programs/desktop/run_screen.h"

#include "platform/sdl/keymap.h"
#include "platform/sdl/sdl_program.h"
#include "programs/desktop/run_panels.h"

namespace {

RunPanelsChoice choice() {
    return {sdl_settings.show_timer != 0, sdl_settings.show_ghost != 0,
            keycode_name(sdl_settings.keys.keys[ROLE_START][0]),
            keycode_name(sdl_settings.keys.keys[ROLE_ESCAPE][0])};
}

}  // namespace

int desktop_runs_look() {
    return run_panels_look(choice());
}

void desktop_runs_draw(uint32_t* argb, int pitch, int width, int height) {
    run_panels_draw(choice(), argb, pitch, width, height);
}
