// The level preview: 13 stretched panels side by side and every object of the level tables
// drawn where the level starts it, so the whole level can be reviewed in one look.
#include "tools/artgen/preview.h"

#include "platform/png.h"
#include "tools/artgen/art.h"
#include "tools/artgen/palette.h"
#include "tools/artgen/stretch.h"
#include "world/level.h"

namespace {

void draw_sprite(Canvas& dst, const Canvas& frame, int x, int y) {
    dst.blit(frame, x, y, C_KEY);
}

}  // namespace

Canvas level_preview() {
    Canvas out(BACKDROP_DRAW_WIDTH * LAST_BACKDROP_PICTURE, BACKDROP_DRAW_HEIGHT, 0);
    Canvas strip = backdrop_strip();
    for (int k = 1; k <= LAST_BACKDROP_PICTURE; ++k) {
        Canvas panel =
            stretch_picture(backdrop_panel(strip, k), BACKDROP_DRAW_WIDTH, BACKDROP_DRAW_HEIGHT);
        // Colour key 0: black backdrop pixels show the cleared screen, which is black too.
        out.blit(panel, BACKDROP_DRAW_WIDTH * (k - 1), 0, -1);
    }
    Canvas pipe_top = pipe_top_frame(), pipe_body = pipe_body_frame();
    for (int j = 0; j < PIPE_COUNT; ++j) {
        for (int k = 0; k < pipe_height[j]; ++k)
            draw_sprite(out, pipe_body, pipe_x[j], FLOOR_LINE - 32 * (k + 1));
        draw_sprite(out, pipe_top, pipe_x[j], FLOOR_LINE - 32 * (pipe_height[j] + 1));
    }
    Canvas block = stair_block_frame();
    for (int k = 0; k < STAIR_COLUMN_COUNT; ++k) {
        for (int l = 0; l < stair_height[k]; ++l)
            draw_sprite(out, block, stair_x[k], FLOOR_LINE - 32 * (l + 1));
    }
    std::vector<Canvas> q = qblock_frames();
    for (int i = 0; i < QBLOCK_COUNT; ++i)
        draw_sprite(out, q[0], qblock_x[i], qblock_y[i]);
    Canvas brick = brick_frame();
    for (int i = 0; i < BRICK_COUNT; ++i)
        draw_sprite(out, brick, brick_x[i], brick_y[i]);
    std::vector<Canvas> sk = skivit_frames();
    for (int i = 0; i < SKIVIT_COUNT; ++i)
        draw_sprite(out, sk[i % 2], skivit_x[i], skivit_y[i]);
    std::vector<Canvas> hero = hero_small_frames();
    draw_sprite(out, hero[0], 20, 398);
    return out;
}

Canvas backdrop_screen(int scroll) {
    Canvas out(640, 480, 0);
    Canvas strip = backdrop_strip();
    for (int k = 1; k <= LAST_BACKDROP_PICTURE; ++k) {
        int x = BACKDROP_DRAW_WIDTH * (k - 1) - scroll;
        if (x + BACKDROP_DRAW_WIDTH < 0 || x > 640)
            continue;
        Canvas panel =
            stretch_picture(backdrop_panel(strip, k), BACKDROP_DRAW_WIDTH, BACKDROP_DRAW_HEIGHT);
        out.blit(panel, x, 0, -1);
    }
    return out;
}

int write_level_preview(const char* path) {
    Canvas c = level_preview();
    return png_write_indexed(path, c.pixels.data(), c.width, c.width, c.height, art_palette());
}
