// The title menu (one picture per highlighted entry) and the two information screens, with
// text in the game's own font.
#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/font.h"
#include "tools/artgen/art.h"
#include "tools/artgen/palette.h"
#include "tools/artgen/preview.h"

namespace {

// The entries and the rectangles (inclusive) that the menu's clicks test.
struct Entry {
    const char* label;
    int left, top, right, bottom;
};
const Entry entries[4] = {
    {"START GAME", 247, 274, 384, 289},
    {"HELP", 247, 298, 319, 313},
    {"ABOUT", 247, 322, 298, 337},
    {"QUIT", 247, 346, 296, 364},
};

int text_width(const char* s, int scale) {
    return font_text_width(s, static_cast<int>(std::strlen(s))) * scale;
}

void text(Canvas& c, int x, int y, const char* s, uint8_t colour, int scale) {
    font_draw(c.pixels.data(), c.width, 1, c.width, c.height, x, y, s,
              static_cast<int>(std::strlen(s)), colour, scale);
}

// Text with a one-pixel shadow below and to the right, for reading over busy ground.
void shadowed(Canvas& c, int x, int y, const char* s, uint8_t colour, int scale) {
    text(c, x + scale, y + scale, s, C_NIGHT + 0, scale);
    text(c, x, y, s, colour, scale);
}

void centred(Canvas& c, int y, const char* s, uint8_t colour, int scale) {
    shadowed(c, (c.width - text_width(s, scale)) / 2, y, s, colour, scale);
}

// A logo word: the glyphs filled with a vertical ramp, lit on their top edges, with a thick
// dark outline and a drop shadow.
void logo_word(Canvas& c, int x, int y, const char* s, int scale, uint8_t ramp_first,
               int ramp_len) {
    int w = text_width(s, scale) + 16, h = FONT_HEIGHT * scale + 16;
    Canvas mask(w, h, 0);
    text(mask, 8, 8, s, 1, scale);
    auto in = [&](int px, int py) { return mask.get(px, py, 0) == 1; };
    auto near = [&](int px, int py, int r) {
        for (int dy = -r; dy <= r; ++dy) {
            for (int dx = -r; dx <= r; ++dx) {
                if (dx * dx + dy * dy <= r * r + 1 && in(px + dx, py + dy))
                    return true;
            }
        }
        return false;
    };
    int ox = x - 8, oy = y - 8;
    for (int py = 0; py < h; ++py) {
        for (int px = 0; px < w; ++px) {
            if (near(px - 4, py - 5, 3))
                c.put(ox + px, oy + py, C_NIGHT + 0);
        }
    }
    for (int py = 0; py < h; ++py) {
        for (int px = 0; px < w; ++px) {
            if (near(px, py, 3))
                c.put(ox + px, oy + py, C_INK);
        }
    }
    int glyph_top = 8, glyph_h = FONT_HEIGHT * scale;
    for (int py = 0; py < h; ++py) {
        for (int px = 0; px < w; ++px) {
            if (!in(px, py))
                continue;
            int t = (py - glyph_top) * ramp_len / glyph_h;
            if (t < 0)
                t = 0;
            if (t >= ramp_len)
                t = ramp_len - 1;
            uint8_t col = static_cast<uint8_t>(ramp_first + ramp_len - 1 - t);
            if (!in(px, py - scale))
                col = C_WHITE;
            else if (!in(px, py + 1))
                col = ramp_first;
            c.put(ox + px, oy + py, col);
        }
    }
}

// A framed panel: dark fill, a light inner edge and a gold rim with rounded corners.
void panel(Canvas& c, int x0, int y0, int x1, int y1, uint8_t fill) {
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            int e = std::min(std::min(x - x0, x1 - x), std::min(y - y0, y1 - y));
            bool corner = (x - x0 < 3 || x1 - x < 3) && (y - y0 < 3 || y1 - y < 3);
            int cx = x - x0 < 3 ? x0 + 3 : x1 - 3, cy = y - y0 < 3 ? y0 + 3 : y1 - 3;
            int d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
            if (corner && d2 > 10)
                continue;
            uint8_t col = fill;
            if (e == 0 || (corner && d2 > 6))
                col = C_INK;
            else if (e == 1)
                col = y - y0 <= 1 || x - x0 <= 1 ? C_GOLD + 6 : C_GOLD + 3;
            else if (e == 2)
                col = C_GOLD + 2;
            else if (e == 3)
                col = C_NIGHT + 0;
            else if (e == 4 && (y - y0 == 4))
                col = C_NIGHT + 4;
            c.put(x, y, col);
        }
    }
}

void sprite(Canvas& c, const Canvas& s, int x, int y) {
    c.blit(s, x, y, C_KEY);
}

// The night-blue backdrop of the information screens: a soft vertical gradient with stars.
Canvas night_backdrop() {
    Canvas c(640, 480, C_NIGHT + 1);
    for (int y = 0; y < 480; ++y) {
        int band = y * 4 / 480;
        for (int x = 0; x < 640; ++x) {
            int b = band;
            if ((y * 4) % 480 < 8 && ((x + y) & 1) && band > 0)
                b = band - 1;
            c.put(x, y, static_cast<uint8_t>(C_NIGHT + 3 - b));
        }
    }
    for (int i = 0; i < 90; ++i) {
        int x = (i * 7919 + 13) % 640, y = (i * 104729 + 7) % 470;
        c.put(x, y, i % 5 == 0 ? C_WHITE : C_NIGHT + 5);
    }
    return c;
}

}  // namespace

Canvas menu_picture(int highlight) {
    // The first screen of the level, with the cast standing about.
    Canvas c = backdrop_screen(0);
    std::vector<Canvas> hero = hero_small_frames(), large = hero_large_frames();
    std::vector<Canvas> sk = skivit_frames(), q = qblock_frames(), coin = coin_frames();
    sprite(c, large[1], 96, 366);
    sprite(c, sk[0], 520, 398);
    sprite(c, sk[1], 566, 398);
    sprite(c, q[0], 80, 240);
    sprite(c, brick_frame(), 112, 240);
    sprite(c, q[2], 144, 240);
    sprite(c, coin[0], 152, 204);
    sprite(c, power_up_frame(), 488, 398);

    int lw = text_width("QUELLARO", 5);
    logo_word(c, (640 - lw) / 2, 40, "QUELLARO", 5, C_GOLD + 1, 6);
    int yw = text_width("2005", 3);
    logo_word(c, (640 + lw) / 2 - yw - 6, 132, "2005", 3, C_SCARF + 0, 4);

    panel(c, 214, 258, 426, 380, C_NIGHT + 1);
    for (int i = 0; i < 4; ++i) {
        const Entry& e = entries[i];
        int h = e.bottom - e.top + 1;
        int y = e.top + (h - FONT_HEIGHT) / 2;
        bool on = i == highlight;
        text(c, e.left, y, e.label, on ? C_MENU_HILITE : C_MENU_TEXT, 1);
        if (on) {
            // A small gem pointing at the chosen entry, left of its rectangle.
            int cx = e.left - 14, cy = y + 8;
            for (int dy = -5; dy <= 5; ++dy) {
                for (int dx = -5; dx <= 5; ++dx) {
                    int d = (dx < 0 ? -dx : dx) + (dy < 0 ? -dy : dy);
                    if (d > 5)
                        continue;
                    uint8_t col = d == 5                 ? C_INK
                                  : (dx <= 0 && dy <= 0) ? C_GEM + 5
                                  : dx > 0 && dy > 0     ? C_GEM + 2
                                                         : C_GEM + 3;
                    c.put(cx + dx, cy + dy, col);
                }
            }
        }
    }
    centred(c, 448, "ARROWS AND ENTER, OR S  H  A  Q", C_WHITE, 1);
    return c;
}

Canvas info_picture(int which) {
    Canvas c = night_backdrop();
    panel(c, 16, 12, 623, 467, C_NIGHT + 1);
    if (which == 1) {
        logo_word(c, (640 - text_width("HOW TO PLAY", 3)) / 2, 26, "HOW TO PLAY", 3, C_GOLD + 1, 6);
        int y = 78;
        shadowed(c, 48, y, "CONTROLS", C_GOLD + 5, 1);
        y += 22;
        const char* keys[][2] = {
            {"Move", "Left and Right arrows, or A and D"},
            {"Run", "hold Delete or Z while moving"},
            {"Jump", "Page Down or C; hold it to jump higher"},
            {"Menu", "Escape"},
        };
        for (auto& k : keys) {
            shadowed(c, 64, y, k[0], C_GEM + 5, 1);
            shadowed(c, 150, y, k[1], C_WHITE, 1);
            y += 20;
        }
        y += 10;
        shadowed(c, 48, y, "THE WORLD", C_GOLD + 5, 1);
        y += 24;
        struct Item {
            Canvas picture;
            const char* line1;
            const char* line2;
        };
        std::vector<Canvas> q = qblock_frames(), coin = coin_frames(), sk = skivit_frames();
        Item items[] = {
            {q[0], "Gem block: bump it from below to free a coin or a sunberry.",
             "A used block stays put and still holds you up."},
            {coin[0], "Coin: 200 points.", ""},
            {brick_frame(), "Brick: small Dorvo bumps it; big Dorvo breaks it for 50 points.", ""},
            {power_up_frame(), "Sunberry: Dorvo grows big, 1000 points.",
             "A knock makes big Dorvo small again; small Dorvo is out."},
            {sk[0], "Skivit: jump on it for 100 points, doubled for each further",
             "skivit in the same jump. Touching one from the side hurts."},
        };
        for (Item& it : items) {
            int px = 48 + (32 - it.picture.width) / 2;
            sprite(c, it.picture, px,
                   y + (it.line2[0] ? 4 : -6) + (32 - it.picture.height) / 2 - 4);
            shadowed(c, 96, y, it.line1, C_WHITE, 1);
            if (it.line2[0])
                shadowed(c, 96, y + 18, it.line2, C_WHITE, 1);
            y += it.line2[0] ? 42 : 30;
        }
        shadowed(c, 96, y, "Mind the pits, and run through the sun gate to win.", C_WHITE, 1);
    } else {
        logo_word(c, (640 - text_width("ABOUT", 3)) / 2, 26, "ABOUT", 3, C_GOLD + 1, 6);
        int y = 96;
        const char* lines[] = {
            "Quellaro 2005",
            "",
            "Dorvo has one long day to cross the meadow of world 1-1,",
            "from the first gem block to the sun gate at its end.",
            "One life, a clock that counts down from 400,",
            "and a crowd of grumpy skivits on the way.",
            "",
            "Made by the Quellaro team. Every picture, the font",
            "and every line of code are our own.",
        };
        for (const char* l : lines) {
            if (l[0])
                centred(c, y, l, l == lines[0] ? C_GOLD + 5 : C_WHITE, l == lines[0] ? 2 : 1);
            y += l == lines[0] ? 36 : 22;
        }
        // The cast, standing on a strip of turf.
        for (int x = 120; x < 520; ++x) {
            for (int yy = 0; yy < 6; ++yy)
                c.put(x, 392 + yy, yy == 0 ? C_GRASS + 5 : yy < 3 ? C_GRASS + 3 : C_SOIL + 4);
        }
        std::vector<Canvas> small = hero_small_frames(), large = hero_large_frames(),
                            sk = skivit_frames();
        sprite(c, small[0], 150, 360);
        sprite(c, large[0], 190, 328);
        sprite(c, power_up_frame(), 250, 360);
        sprite(c, coin_frames()[0], 306, 364);
        sprite(c, qblock_frames()[0], 350, 320);
        sprite(c, brick_frame(), 382, 320);
        sprite(c, sk[0], 440, 360);
        sprite(c, sk[1], 478, 360);
    }
    centred(c, 436, "Press ESCAPE to go back to the menu", C_GOLD + 5, 1);
    return c;
}
