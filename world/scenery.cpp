// The scenery: the backdrop strip with its recycled panels, pipes and staircase blocks, and
// the hero drawn over everything, flickering while it changes form.
#include "world/scenery.h"

#include <cstdio>

#include "engine/display.h"
#include "engine/picture.h"
#include "world/objects.h"
#include "world/world_state.h"

int backdrop_panel_holds[BACKDROP_COUNT];

namespace {
constexpr int STRIP_WIDTH = BACKDROP_DRAW_WIDTH * BACKDROP_COUNT;  // 1644
constexpr int FORM_CHANGE_LAST = 30;
constexpr int FORM_CHANGE_PERIOD = 6;  // three frames of the old form, three of the new

// Gives a panel that scrolled out the next picture; an unreadable one leaves the old.
void recycle(int index) {
    backdrops[index].x += STRIP_WIDTH;
    const int old = next_backdrop++;
    if (old > LAST_BACKDROP_PICTURE)
        return;
    if (backdrop_give_picture(index, old))
        backdrop_picture[index] = old;
}

void draw_on_screen(SpriteObject* sprites, int count) {
    for (int i = 0; i < count; ++i) {
        if (on_screen(&sprites[i]))
            draw_on_back(&sprites[i]);
    }
}
}  // namespace

int backdrop_give_picture(int panel, int n) {
    if (panel < 0 || panel >= BACKDROP_COUNT)
        return 0;
    char file_name[32];
    std::snprintf(file_name, sizeof file_name, "dorvo%d.bmp", n);
    if (!picture_load(file_name))
        return 0;
    // A picture too small for the panel leaves the panel as it was.
    const int cut = picture_cut(&backdrops[panel], 0, 0, 0, CUT_PIXELS);
    picture_unload();
    if (cut)
        backdrop_panel_holds[panel] = n;
    return cut;
}

void backdrops_show_pictures() {
    for (int i = 0; i < BACKDROP_COUNT; ++i) {
        if (backdrop_picture[i] != backdrop_panel_holds[i])
            static_cast<void>(backdrop_give_picture(i, backdrop_picture[i]));
    }
}

void backdrops_draw() {
    for (int i = 0; i < BACKDROP_COUNT; ++i) {
        SpriteObject& panel = backdrops[i];
        if (panel.x + BACKDROP_DRAW_WIDTH >= 0) {
            static_cast<void>(sprite_draw_scaled(&panel, BACKDROP_DRAW_WIDTH, BACKDROP_DRAW_HEIGHT,
                                                 back_surface));
        } else {
            recycle(i);
        }
    }
}

bool backdrops_cover_screen() {
    // The screen's columns from 0 up to covered are covered; panels lie in any order.
    int covered = 0;
    bool grew = true;
    while (grew && covered < screen_width) {
        grew = false;
        for (SpriteObject& panel : backdrops) {
            if (panel.x + BACKDROP_DRAW_WIDTH < 0 || !sprite_opaque(&panel))
                continue;  // recycled this pass, not drawn; or not opaque
            // The draw's rectangle, worked out as the draw does.
            const int left = static_cast<int>(panel.x);
            const int right = static_cast<int>(panel.x + static_cast<float>(BACKDROP_DRAW_WIDTH));
            const int top = static_cast<int>(panel.y);
            const int bottom = static_cast<int>(panel.y + static_cast<float>(BACKDROP_DRAW_HEIGHT));
            if (top <= 0 && bottom >= screen_height && left <= covered && right > covered) {
                covered = right;
                grew = true;
            }
        }
    }
    return covered >= screen_width;
}

void pipes_draw() {
    draw_on_screen(pipes, PIPE_PIECE_COUNT);
}

void blocks_draw() {
    draw_on_screen(blocks, BLOCK_COUNT);
}

void hero_draw() {
    if (morph_from == nullptr) {
        draw_on_back(hero);
    } else if (morph_timer <= FORM_CHANGE_LAST) {
        // Groups of three frames, old form first.
        draw_on_back(morph_timer % FORM_CHANGE_PERIOD < FORM_CHANGE_PERIOD / 2 ? morph_from : hero);
        ++morph_timer;
    } else {
        morph_from = nullptr;
        morph_timer = 0;
        draw_on_back(hero);
    }
}
