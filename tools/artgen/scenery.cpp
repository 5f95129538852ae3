// The backdrop strip: sky, clouds, far mountains, rolling hills, bushes and trees, the turf
// and earth of the ground with its three pits, and the sun gate that marks the level's end.
// Everything procedural uses integer arithmetic and our own hash, so the output is the same
// on every machine.
#include "tools/artgen/scenery.h"

#include "tools/artgen/art.h"
#include "tools/artgen/palette.h"
#include "tools/artgen/rng.h"
#include "tools/artgen/stretch.h"

const PitRange pit_ranges[3] = {{2370, 2433}, {2950, 3045}, {5238, 5323}};

int strip_column(int level_x) {
    int k = level_x / 548;
    return PANEL_W * k + stretch_source(level_x - 548 * k, PANEL_W, 548);
}

namespace {

constexpr int STRIP_W = PANEL_W * STRIP_PANELS;

// Smooth 1-D value noise in 0..1023: hashed values at every period-th column, eased between.
int noise(int x, int period, uint32_t seed) {
    int cell = x / period, t = x % period;
    int a = static_cast<int>(hash2(cell, 0, seed) & 1023);
    int b = static_cast<int>(hash2(cell + 1, 0, seed) & 1023);
    // Smoothstep 3t^2 - 2t^3 on t / period, in 1/1024ths.
    long long p = period;
    long long s = (3 * p * t * t - 2LL * t * t * t) * 1024 / (p * p * p);
    return a + static_cast<int>((b - a) * s / 1024);
}

// Distance in strip columns to the nearest pit, or a large number.
int pit_distance(int sx) {
    int best = 1 << 20;
    for (const PitRange& pit : pit_ranges) {
        int a = strip_column(pit.first), b = strip_column(pit.last);
        int d = sx < a ? a - sx : (sx > b ? sx - b : 0);
        if (d < best)
            best = d;
    }
    return best;
}

void sky(Canvas& c) {
    // Bands of the sky ramp, each band's first row dithered into the one above.
    for (int y = 0; y < GROUND_ROW; ++y) {
        int band = y * 16 / 150;
        if (band > 15)
            band = 15;
        int first_row = (band * 150 + 15) / 16;
        for (int x = 0; x < c.width; ++x) {
            int b = band;
            if (y == first_row && band > 0 && ((x + y) & 1))
                b = band - 1;
            c.put(x, y, static_cast<uint8_t>(C_SKY + b));
        }
    }
}

// A puffy cloud: overlapping discs with a flat base, lit from the upper left.
void cloud(Canvas& c, int cx, int cy, int size, Rng& rng) {
    struct Disc {
        int x, y, r;
    } discs[7];
    int n = 3 + size;
    for (int i = 0; i < n; ++i) {
        int spread = 8 + size * 6;
        int dx = -spread + (2 * spread * i) / (n - 1) + rng.range(-3, 3);
        int r = 6 + size * 2 + rng.range(0, 4) - (i == 0 || i == n - 1 ? 3 : 0);
        int dy = -(r / 2) - (i == n / 2 ? size * 2 + 2 : rng.range(0, 3));
        discs[i] = {cx + dx, cy + dy, r};
    }
    int base = cy + 4;
    for (int y = cy - 40; y <= base; ++y) {
        for (int x = cx - 70; x <= cx + 70; ++x) {
            int best = -1;
            int light = 0;
            for (int i = 0; i < n; ++i) {
                int dx = x - discs[i].x, dy = y - discs[i].y, r = discs[i].r;
                int d2 = dx * dx + dy * dy;
                if (d2 > r * r)
                    continue;
                // Light: how far toward the upper left of its disc the pixel lies.
                int l = (-dx - dy) * 100 / (r * 2) + (r * r - d2) * 60 / (r * r);
                if (best < 0 || l > light)
                    light = l;
                best = i;
            }
            if (best < 0)
                continue;
            if (y >= base - 1)
                light -= 40;
            if (y >= base - 4)
                light -= 25;
            int shade = light > 70 ? 4 : light > 35 ? 3 : light > 5 ? 2 : light > -30 ? 1 : 0;
            c.put(x, y, static_cast<uint8_t>(C_CLOUD + shade));
        }
    }
}

void clouds(Canvas& c) {
    Rng rng(0xC10D5u);
    int x = 40;
    while (x < c.width + 60) {
        int size = rng.range(0, 3);
        int y = 34 + rng.range(0, 40) + (3 - size) * 4;
        cloud(c, x, y, size, rng);
        x += 150 + rng.range(0, 130);
    }
}

// Distant mountains: overlapping peaks, each lit on the left of a ridge that runs down from
// its apex, snow on the high ones, fading into haze at their feet.
void mountains(Canvas& c) {
    struct Peak {
        int x, y, half;  // apex, half width at the haze line
    };
    Peak peaks[64];
    int n = 0;
    Rng rng(0x3A7Eu);
    for (int x = -40; x < c.width + 80 && n < 64; x += 55 + rng.range(0, 60)) {
        peaks[n++] = {x, 70 + rng.range(0, 40), 60 + rng.range(0, 50)};
    }
    const int foot = 160;
    for (int x = 0; x < c.width; ++x) {
        for (int y = 60; y < 172; ++y) {
            // The front-most peak covering this pixel: the one whose flank is highest here.
            int best = -1, best_top = 1 << 20;
            for (int i = 0; i < n; ++i) {
                int dx = x - peaks[i].x;
                int adx = dx < 0 ? -dx : dx;
                int top = peaks[i].y + adx * (foot - peaks[i].y) / peaks[i].half;
                if (top <= y && top < best_top) {
                    best_top = top;
                    best = i;
                }
            }
            if (best < 0)
                continue;
            const Peak& p = peaks[best];
            int depth = y - p.y;
            // The ridge leans a little to the right as it descends.
            bool lit = x < p.x + depth / 3;
            uint8_t col = lit ? C_MOUNT + 2 : C_MOUNT + 0;
            int snow_line = 14 + static_cast<int>(hash2(x, 0, 0x5A0Eu) % 3);
            if (p.y < 92 && depth < snow_line - (p.y - 70) / 2)
                col = lit ? C_MOUNT + 5 : C_MOUNT + 4;
            else if (depth > 30 && ((x + y) & 1))
                col = C_MOUNT + 1;
            if (depth > 36)
                col = C_MOUNT + 1;
            if (y > 150)
                col = ((x + y) & 1) && y < 155 ? C_MOUNT + 1 : C_MOUNT + 2;
            if (y > 158)
                col = C_MOUNT + 3;
            c.put(x, y, col);
        }
    }
}

// Top row of the near hills at strip column x.
int near_hill_top(int x) {
    return 176 - (noise(x + 300, 150, 91) * 30 + noise(x + 300, 53, 92) * 10) / 1024;
}

// Rolling hills in two layers: hazy far ones, then greener near ones with clumps of trees.
void hills(Canvas& c) {
    for (int x = 0; x < c.width; ++x) {
        int far_top = 150 - (noise(x + 900, 120, 81) * 34 + noise(x + 900, 41, 82) * 8) / 1024;
        bool lit = true;  // the near hills are lit evenly; their clumps carry the shading
        for (int y = far_top; y < GROUND_ROW; ++y) {
            int d = y - far_top;
            uint8_t col = d < 2 ? C_HILL + 2 : d < 10 ? C_HILL + 1 : C_HILL + 0;
            if (d >= 10 && d < 12 && ((x + y) & 1))
                col = C_HILL + 1;
            c.put(x, y, col);
        }
        int near_top = near_hill_top(x);
        for (int y = near_top; y < GROUND_ROW; ++y) {
            int d = y - near_top;
            uint8_t col;
            if (d == 0)
                col = C_LEAF + (lit ? 7 : 5);
            else if (d < 5)
                col = C_LEAF + (lit ? 6 : 4);
            else if (d < 12)
                col = C_LEAF + (lit ? 5 : 4);
            else
                col = C_LEAF + 4;
            if (d >= 4 && d <= 5 && ((x + y) & 1))
                col = C_LEAF + (lit ? 5 : 4);
            if (d >= 11 && d <= 12 && ((x + y) & 1))
                col = C_LEAF + 4;
            c.put(x, y, col);
        }
    }
}

// A round, leafy shape from a few discs: outline in the darkest green, lit upper left,
// with a scatter of leaf highlights.
void foliage(Canvas& c, const int (*discs)[3], int n, int ramp_shift, uint32_t seed) {
    int minx = 1 << 20, maxx = -(1 << 20), miny = 1 << 20, maxy = -(1 << 20);
    for (int i = 0; i < n; ++i) {
        minx = discs[i][0] - discs[i][2] < minx ? discs[i][0] - discs[i][2] : minx;
        maxx = discs[i][0] + discs[i][2] > maxx ? discs[i][0] + discs[i][2] : maxx;
        miny = discs[i][1] - discs[i][2] < miny ? discs[i][1] - discs[i][2] : miny;
        maxy = discs[i][1] + discs[i][2] > maxy ? discs[i][1] + discs[i][2] : maxy;
    }
    auto inside = [&](int x, int y, int* light) {
        bool in = false;
        int best = -1000;
        for (int i = 0; i < n; ++i) {
            int dx = x - discs[i][0], dy = y - discs[i][1], r = discs[i][2];
            int d2 = dx * dx + dy * dy;
            if (d2 > r * r)
                continue;
            in = true;
            int l = (-dx * 3 - dy * 4) * 100 / (r * 5) + (r * r - d2) * 40 / (r * r);
            if (l > best)
                best = l;
        }
        if (light)
            *light = best;
        return in;
    };
    for (int y = miny; y <= maxy; ++y) {
        for (int x = minx; x <= maxx; ++x) {
            int light;
            if (!inside(x, y, &light))
                continue;
            bool edge = !inside(x - 1, y, nullptr) || !inside(x + 1, y, nullptr) ||
                        !inside(x, y - 1, nullptr) || !inside(x, y + 1, nullptr);
            int shade = light > 60 ? 6 : light > 25 ? 5 : light > -10 ? 4 : light > -45 ? 3 : 2;
            uint32_t h = hash2(x, y, seed);
            if (shade >= 4 && (h & 15) == 0)
                shade += 1;
            if (shade <= 4 && (h & 31) == 1)
                shade -= 1;
            if (edge)
                shade = 1;
            shade += ramp_shift;
            if (shade > 8)
                shade = 8;
            c.put(x, y, static_cast<uint8_t>(C_LEAF + shade));
        }
    }
}

void tree(Canvas& c, int x, int height, Rng& rng) {
    int top = GROUND_ROW - height;
    // Trunk, lit on its left.
    for (int y = top + 10; y < GROUND_ROW; ++y) {
        for (int dx = -2; dx <= 2; ++dx) {
            uint8_t col = dx == -2 || dx == 2 ? C_WOOD + 0 : dx == -1 ? C_WOOD + 4 : C_WOOD + 2;
            if (y > GROUND_ROW - 3 && (dx == -2 || dx == 2))
                col = C_WOOD + 1;
            c.put(x + dx, y, col);
        }
        if (y > GROUND_ROW - 4) {
            c.put(x - 3, y, C_WOOD + 0);
            c.put(x + 3, y, C_WOOD + 0);
        }
    }
    int r = 12 + rng.range(0, 4);
    int discs[5][3] = {{x, top + 4, r},
                       {x - r + 2, top + r / 2 + 6, r - 3},
                       {x + r - 2, top + r / 2 + 5, r - 3},
                       {x - 3, top + r + 2, r - 2},
                       {x + 5, top + r + 1, r - 4}};
    foliage(c, discs, 5, 0, 0x7EE5u + static_cast<uint32_t>(x));
}

void bush(Canvas& c, int x, int size, Rng& rng) {
    int r = 7 + size * 2;
    int discs[4][3] = {{x, GROUND_ROW - r + 2, r},
                       {x - r, GROUND_ROW - r / 2 + 1, r - 2 + rng.range(0, 1)},
                       {x + r, GROUND_ROW - r / 2 + 1, r - 3},
                       {x + r / 3, GROUND_ROW - r - 2, r - 3}};
    foliage(c, discs, size > 1 ? 4 : 3, 1, 0xB05Bu + static_cast<uint32_t>(x));
}

// Bushes and trees along the back of the ground, kept clear of the pits; small copses dot
// the near hills behind them.
void greenery(Canvas& c) {
    Rng copse(0xC095Eu);
    for (int x = 20; x < c.width; x += 34 + copse.range(0, 50)) {
        int y = near_hill_top(x) + 4 + copse.range(0, 6);
        if (y > GROUND_ROW - 12)
            continue;
        int r = 4 + copse.range(0, 3);
        int discs[3][3] = {{x, y, r}, {x + r, y + 2, r - 1}, {x - r + 1, y + 2, r - 1}};
        foliage(c, discs, 3, -1, 0xC0u + static_cast<uint32_t>(x));
    }
    Rng rng(0x6EE7u);
    int x = 30;
    while (x < c.width) {
        int kind = rng.range(0, 9);
        bool by_gate = x > strip_column(6560) && x < strip_column(6770);
        if (pit_distance(x) < 40 || by_gate) {
            x += 24;
            continue;
        }
        if (kind < 3) {
            tree(c, x, 48 + rng.range(0, 18), rng);
            x += 70 + rng.range(0, 60);
        } else {
            bush(c, x, rng.range(0, 2), rng);
            x += 60 + rng.range(0, 80);
        }
    }
}

// Little flowers at the foot of the greenery.
void flowers(Canvas& c) {
    for (int x = 2; x < c.width - 2; ++x) {
        uint32_t h = hash2(x, 7, 0xF10Eu);
        if ((h & 31) != 0 || pit_distance(x) < 6)
            continue;
        uint8_t petal = static_cast<uint8_t>(C_FLOWER + (h >> 8) % 5);
        c.put(x, GROUND_ROW - 2, petal);
        c.put(x, GROUND_ROW - 1, C_GRASS + 1);
    }
}

// The turf and the earth below the floor line, and the pits cut through them.
void ground(Canvas& c) {
    for (int x = 0; x < c.width; ++x) {
        uint32_t h = hash2(x, 0, 0x61A55u);
        int fringe = static_cast<int>(h % 4);  // grass blades hanging over the earth
        for (int y = GROUND_ROW; y < PANEL_H; ++y) {
            int d = y - GROUND_ROW;
            uint8_t col;
            if (d == 0)
                col = C_GRASS + 5;
            else if (d == 1)
                col = C_GRASS + 4;
            else if (d == 2)
                col = C_GRASS + 3;
            else if (d == 3)
                col = C_GRASS + 2;
            else if (d < 4 + fringe)
                col = d == 3 + fringe ? C_GRASS + 0 : C_GRASS + 1;
            else if (d < 10)
                col = C_SOIL + 5;
            else if (d < 15)
                col = C_SOIL + 4;
            else if (d < 20)
                col = C_SOIL + 3;
            else
                col = C_SOIL + 2;
            // Soft dithered steps between the layers of earth.
            if ((d == 10 || d == 15 || d == 20) && ((x + y) & 1))
                col = static_cast<uint8_t>(col + 1);
            if (d >= 4 + fringe && d == 4 + fringe)
                col = C_SOIL + 3;
            if (d == 1 && (h & 7) == 0)
                col = C_GRASS + 5;
            c.put(x, y, col);
        }
    }
    // Pebbles.
    Rng rng(0x9EBB1u);
    for (int i = 0; i < c.width / 9; ++i) {
        int x = rng.range(0, c.width - 1), y = GROUND_ROW + 8 + rng.range(0, 13);
        int w = rng.range(2, 4);
        for (int dx = 0; dx < w; ++dx) {
            c.put(x + dx, y, dx == 0 ? C_STONE + 1 : C_STONE + 0);
            c.put(x + dx, y + 1, C_SOIL + 1);
        }
        c.put(x, y - 1 < GROUND_ROW + 6 ? y : y - 1, c.at(x, y - 1 < GROUND_ROW + 6 ? y : y - 1));
    }
    // The pits: the hole colour from the floor line down, shadowed walls, turf curling over.
    for (const PitRange& pit : pit_ranges) {
        int a = strip_column(pit.first), b = strip_column(pit.last);
        for (int x = a; x <= b; ++x) {
            for (int y = GROUND_ROW; y < PANEL_H; ++y)
                c.put(x, y, C_PIT);
        }
        for (int y = GROUND_ROW; y < PANEL_H; ++y) {
            int d = y - GROUND_ROW;
            uint8_t wall = d < 4 ? C_GRASS + 0 : C_SOIL + 1;
            c.put(a - 1, y, wall);
            c.put(b + 1, y, wall);
            if (d >= 4) {
                c.put(a - 2, y, C_SOIL + 2);
                c.put(b + 2, y, C_SOIL + 3);
            }
        }
    }
}

// The sun gate: two carved sandstone pillars under a lintel crowned with a golden sun, and
// crimson banners. The level is won as Dorvo passes its left pillar.
void sun_gate(Canvas& c) {
    int left = strip_column(6596), right = strip_column(6716);
    int top = 96;
    auto pillar = [&](int x0) {
        for (int y = top + 14; y < GROUND_ROW; ++y) {
            for (int dx = 0; dx < 10; ++dx) {
                uint8_t col = dx == 0 || dx == 9 ? C_SAND + 0
                              : dx < 3           ? C_SAND + 5
                              : dx < 7           ? C_SAND + 4
                                                 : C_SAND + 2;
                // Drums of stone, each with a lit top and a shadowed joint.
                int band = (y - top) % 14;
                if (band == 0 && dx != 0 && dx != 9)
                    col = C_SAND + 1;
                if (band == 1 && dx != 0 && dx != 9)
                    col = C_SAND + 6;
                c.put(x0 + dx, y, col);
            }
        }
        // Base and capital, wider than the shaft.
        for (int y = GROUND_ROW - 5; y < GROUND_ROW; ++y) {
            for (int dx = -2; dx < 12; ++dx) {
                uint8_t col = dx == -2 || dx == 11 || y == GROUND_ROW - 5 ? C_SAND + 0
                              : y == GROUND_ROW - 4                       ? C_SAND + 6
                              : dx < 4                                    ? C_SAND + 4
                                                                          : C_SAND + 3;
                c.put(x0 + dx, y, col);
            }
        }
        for (int y = top + 8; y < top + 14; ++y) {
            for (int dx = -2; dx < 12; ++dx) {
                uint8_t col = dx == -2 || dx == 11 || y == top + 13 ? C_SAND + 0
                              : y == top + 8                        ? C_SAND + 6
                              : dx < 4                              ? C_SAND + 5
                                                                    : C_SAND + 3;
                c.put(x0 + dx, y, col);
            }
        }
    };
    pillar(left);
    pillar(right);
    // Lintel.
    for (int y = top; y < top + 9; ++y) {
        for (int x = left - 5; x <= right + 14; ++x) {
            uint8_t col = y == top || y == top + 8 || x == left - 5 || x == right + 14 ? C_SAND + 0
                          : y == top + 1                                               ? C_SAND + 6
                          : y < top + 5                                                ? C_SAND + 4
                                                                                       : C_SAND + 3;
            if (y == top + 4 && (x - left) % 6 == 0)
                col = C_SAND + 2;
            c.put(x, y, col);
        }
    }
    // The golden sun on the lintel, with rays.
    int sx = (left + right + 9) / 2, sy = top - 8;
    for (int y = sy - 16; y <= sy + 8; ++y) {
        for (int x = sx - 16; x <= sx + 16; ++x) {
            int dx = x - sx, dy = y - sy;
            int d2 = dx * dx + dy * dy;
            bool ray =
                d2 <= 15 * 15 && d2 > 8 * 8 &&
                (dx == 0 || dy == 0 || dx == dy || dx == -dy || dx == dy + 1 || dx == -dy + 1);
            if (d2 <= 8 * 8) {
                int l = (-dx - dy) * 10 / 8;
                uint8_t col = d2 > 7 * 7 ? C_GOLD + 1
                              : l > 6    ? C_GOLD + 6
                              : l > 0    ? C_GOLD + 5
                              : l > -6   ? C_GOLD + 4
                                         : C_GOLD + 3;
                c.put(x, y, col);
            } else if (ray && y < top) {
                c.put(x, y, d2 > 12 * 12 ? C_GOLD + 3 : C_GOLD + 4);
            }
        }
    }
    // Banners hanging from the lintel beside each pillar, with a swallowtail.
    auto banner = [&](int x0) {
        for (int y = top + 9; y < top + 46; ++y) {
            for (int dx = 0; dx < 8; ++dx) {
                int tail = y - (top + 40);
                if (tail > 0 && dx > 8 / 2 - 1 - tail && dx < 8 / 2 + tail)
                    continue;
                uint8_t col = dx == 0 || dx == 7 ? C_SCARF + 0 : dx < 3 ? C_SCARF + 3 : C_SCARF + 2;
                if (y == top + 9)
                    col = C_SCARF + 0;
                if ((y - top - 18) % 12 == 0 && dx > 0 && dx < 7)
                    col = C_GOLD + 4;
                c.put(x0 + dx, y, col);
            }
        }
    };
    banner(left + 13);
    banner(right - 11);
}

}  // namespace

Canvas backdrop_strip() {
    Canvas c(STRIP_W, PANEL_H, C_SKY);
    sky(c);
    clouds(c);
    mountains(c);
    hills(c);
    greenery(c);
    sun_gate(c);
    flowers(c);
    ground(c);
    return c;
}

Canvas backdrop_panel(const Canvas& strip, int k) {
    Canvas out(PANEL_W, PANEL_H, C_SKY);
    out.blit_part(strip, PANEL_W * (k - 1), 0, PANEL_W, PANEL_H, 0, 0, -1);
    return out;
}
