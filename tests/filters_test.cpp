// The colour filters: they leave black and the flags alone, and in real frames of play the
// hero, a skivit and a question block, and the scenery (ground, bricks, staircase blocks,
// pits) keep 3:1 or more against what lies around them under each filter for every vision
// it is made for (and for typical vision). The figures are printed (QUELLARO_CONTRAST=1)
// for the notes. Contrast is WCAG's ratio of relative luminances, after the filter and the
// simulated eye.
#include "programs/common/filters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/script.h"
#include "shell/app.h"
#include "shell/game_state.h"
#include "tests/runner_support.h"
#include "world/objects.h"
#include "world/world_state.h"

namespace {

constexpr int W = 640, H = 480, RING = 6;

struct Region {
    std::vector<int> inside, around;  // pixel offsets into the frame
};

struct Sample {
    const char* name;
    std::vector<uint8_t> frame;
    std::vector<PaletteEntry> palette;
    Region region;
};

bool in_frame(int x, int y) {
    return x >= 0 && x < W && y >= 0 && y < H;
}

// An object's box: its own pixels are those inside whose colour the ring around never has.
Region object_region(const uint8_t* frame, int x0, int y0, int w, int h) {
    Region r;
    bool ring_has[256] = {};
    for (int y = y0 - RING; y < y0 + h + RING; ++y)
        for (int x = x0 - RING; x < x0 + w + RING; ++x) {
            const bool inside = x >= x0 && x < x0 + w && y >= y0 && y < y0 + h;
            if (!inside && in_frame(x, y)) {
                r.around.push_back(y * W + x);
                ring_has[frame[y * W + x]] = true;
            }
        }
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x)
            if (in_frame(x, y) && !ring_has[frame[y * W + x]])
                r.inside.push_back(y * W + x);
    return r;
}

bool fully_shown(const SpriteObject& s) {
    return s.state != 0 && s.x >= RING && s.x + s.width <= W - RING && s.y >= RING &&
           s.y + s.height <= H - RING;
}

Sample sample_of(const char* name, const Region& region) {
    Sample s{name, {}, {}, region};
    const uint8_t* pixels = headless_frame_pixels();
    s.frame.assign(pixels, pixels + W * H);
    const PaletteEntry* palette = headless_frame_palette();
    s.palette.assign(palette, palette + 256);
    return s;
}

// Each palette index's luminance as that eye sees the frame through the filter.
std::vector<double> seen_luminance(const Sample& s, int filter, int vision) {
    PaletteEntry shown[256];
    filter_colours(filter, s.palette.data(), shown, 256);
    std::vector<double> l(256);
    for (int i = 0; i < 256; ++i)
        l[i] = relative_luminance(vision_simulate(vision, shown[i]));
    return l;
}

// Along the object's edge, each of its own pixels against each neighbour that is not one:
// the median of those pairs.
double edge_contrast(const Sample& s, int filter, int vision) {
    const std::vector<double> lum = seen_luminance(s, filter, vision);
    std::vector<char> own(W * H);
    for (int at : s.region.inside)
        own[at] = 1;
    std::vector<double> ratios;
    for (int at : s.region.inside) {
        const int x = at % W, y = at / W;
        const int next[4][2] = {{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}};
        for (const auto& n : next) {
            if (in_frame(n[0], n[1]) && !own[n[1] * W + n[0]])
                ratios.push_back(contrast_ratio(lum[s.frame[at]], lum[s.frame[n[1] * W + n[0]]]));
        }
    }
    if (ratios.empty())
        return 0;
    std::nth_element(ratios.begin(), ratios.begin() + static_cast<long>(ratios.size() / 2),
                     ratios.end());
    return ratios[ratios.size() / 2];
}

// Plays a committed script and takes each object the first time it is fully on screen.
// A frame shows the objects where they stood before its pass moved them: the boxes are
// taken before a pass, the pixels from the frame it draws.
struct Box {
    const char* name;
    int x, y, width, height;
};

Box box_of(const char* name, const SpriteObject& s) {
    return {name, static_cast<int>(s.x), static_cast<int>(s.y), s.width, s.height};
}

std::vector<Sample> samples() {
    std::vector<Sample> out;
    Script script;
    EXPECT_EQ(script_parse(read_text_file(scripts_dir() + "/win_level.txt"), &script), 0);
    EXPECT_EQ(app_start(nullptr), 1);
    bool hero_done = false, skivit_done = false, qblock_done = false;
    for (int pass = 0; pass < 700; ++pass) {
        const bool playing = game_mode == MODE_PLAYING;
        std::vector<Box> boxes;
        if (playing && !hero_done && hero->state == HERO_ALIVE && fully_shown(*hero) &&
            hero_support != nullptr) {
            hero_done = true;
            boxes.push_back(box_of("hero", *hero));
        }
        for (const SpriteObject& s : skivits)
            if (playing && !skivit_done && s.state == SKIVIT_WALKING && fully_shown(s)) {
                skivit_done = true;
                boxes.push_back(box_of("skivit", s));
            }
        for (const SpriteObject& s : qblocks)
            if (playing && !qblock_done && s.state == QBLOCK_FRESH && fully_shown(s)) {
                qblock_done = true;
                boxes.push_back(box_of("question block", s));
            }
        InputRecord record;
        script_record(script, app_next_pass(), &record);
        if (!app_run_pass(&record))
            break;
        const uint8_t* f = headless_frame_pixels();
        for (const Box& b : boxes)
            out.push_back(sample_of(b.name, object_region(f, b.x, b.y, b.width, b.height)));
    }
    return out;
}

// The scenery has no one edge to follow (the ground runs off both sides of the screen, a
// pit's opening is drawn straight into the frame, blocks stand in rows and stairs), so it is
// measured from where the level puts it: each colour of the object's known pixels against
// the background's known pixels, as the median luminance of each side: a block against the
// strip of backdrop over it, the ground against the backdrop over the floor line, a pit's
// opening against the ground on its two sides.
bool boxes_meet(int x0, int y0, int w, int h, const SpriteObject& o) {
    return o.state != 0 && x0 < o.x + o.width && o.x < x0 + w && y0 < o.y + o.height &&
           o.y < y0 + h;
}

bool box_clear(int x0, int y0, int w, int h) {
    auto clear_of = [&](const SpriteObject* objects, int count) {
        for (int i = 0; i < count; ++i)
            if (boxes_meet(x0, y0, w, h, objects[i]))
                return false;
        return true;
    };
    return clear_of(bricks, BRICK_COUNT) && clear_of(qblocks, QBLOCK_COUNT) &&
           clear_of(blocks, BLOCK_COUNT) && clear_of(pipes, PIPE_PIECE_COUNT) &&
           clear_of(skivits, SKIVIT_COUNT) && clear_of(hero, 1) && clear_of(coin_sprites, 2) &&
           clear_of(&power_up, 1);
}

void add_box(std::vector<int>* out, int x0, int y0, int w, int h) {
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x)
            if (in_frame(x, y))
                out->push_back(y * W + x);
}

// A block with open sky above it: its box, and the strip of sky over it.
bool block_against_sky(const SpriteObject* objects, int count, Region* out) {
    for (int i = 0; i < count; ++i) {
        const SpriteObject& b = objects[i];
        const int x = static_cast<int>(b.x), y = static_cast<int>(b.y);
        if (!fully_shown(b) || !box_clear(x, y - RING, b.width, RING))
            continue;
        add_box(&out->inside, x, y, b.width, b.height);
        add_box(&out->around, x, y - RING, b.width, RING);
        return true;
    }
    return false;
}

// A pit's opening (its colour below the floor line) against the ground beside it, on the
// same rows.
bool pit_against_ground(const uint8_t* f, Region* out) {
    const uint8_t* row = f + (FLOOR_LINE + 4) * W;
    for (int x0 = RING; x0 < W - RING; ++x0) {
        if (row[x0] != PIT_COLOR)
            continue;
        int x1 = x0;
        while (x1 < W - RING && row[x1] == PIT_COLOR)
            ++x1;
        if (row[x0 - 1] == PIT_COLOR || x1 >= W - RING || x1 - x0 < 16)
            return false;  // not wholly on screen
        for (int y = FLOOR_LINE + 1; y < H; ++y)
            for (int x = x0 - RING; x < x1 + RING; ++x)
                (f[y * W + x] == PIT_COLOR ? out->inside : out->around).push_back(y * W + x);
        return true;
    }
    return false;
}

// The ground under the floor line against the sky over it, in the columns where nothing
// stands (clear) and no pit opens.
bool ground_against_sky(const uint8_t* f, const bool* clear, Region* out) {
    for (int x = 0; x < W; ++x) {
        if (!clear[x] || f[(FLOOR_LINE + 4) * W + x] == PIT_COLOR)
            continue;
        add_box(&out->inside, x, FLOOR_LINE, 1, H - FLOOR_LINE);
        add_box(&out->around, x, FLOOR_LINE - RING, 1, RING);
    }
    return out->inside.size() >= 100 * static_cast<size_t>(H - FLOOR_LINE);
}

// As for the objects, the boxes before a pass, the pixels from its frame.
std::vector<Sample> scenery_samples() {
    std::vector<Sample> out;
    Script script;
    EXPECT_EQ(script_parse(read_text_file(scripts_dir() + "/win_level.txt"), &script), 0);
    EXPECT_EQ(app_start(nullptr), 1);
    bool brick = false, stair = false, pit = false, ground = false;
    for (int pass = 0; pass < 700 && !(brick && stair && pit && ground); ++pass) {
        const bool playing = game_mode == MODE_PLAYING;
        Region brick_at, stair_at;
        const bool brick_now =
            playing && !brick && block_against_sky(bricks, BRICK_COUNT, &brick_at);
        const bool stair_now =
            playing && !stair && block_against_sky(blocks, BLOCK_COUNT, &stair_at);
        bool clear[W];
        for (int x = 0; x < W; ++x)
            clear[x] = box_clear(x, FLOOR_LINE - 3 * RING, 1, 3 * RING);
        InputRecord record;
        script_record(script, app_next_pass(), &record);
        if (!app_run_pass(&record))
            break;
        if (!playing || game_mode != MODE_PLAYING)
            continue;
        const uint8_t* f = headless_frame_pixels();
        if (brick_now) {
            out.push_back(sample_of("brick", brick_at));
            brick = true;
        }
        if (stair_now) {
            out.push_back(sample_of("staircase block", stair_at));
            stair = true;
        }
        Region r;
        if (!pit && pit_against_ground(f, &r)) {
            out.push_back(sample_of("pit", r));
            pit = true;
        }
        Region g;
        if (!ground && ground_against_sky(f, clear, &g)) {
            out.push_back(sample_of("ground", g));
            ground = true;
        }
    }
    return out;
}

double median_luminance(const Sample& s, const std::vector<int>& at, int filter, int vision) {
    const std::vector<double> lum = seen_luminance(s, filter, vision);
    std::vector<double> l;
    l.reserve(at.size());
    for (int i : at)
        l.push_back(lum[s.frame[i]]);
    std::nth_element(l.begin(), l.begin() + static_cast<long>(l.size() / 2), l.end());
    return l[l.size() / 2];
}

// Held to 3:1 where a player of that vision would look: with the filter made for that
// vision, or the high-contrast one, and with any filter for typical vision. With no filter
// the picture is the game's own: the figures are held, the scenery only printed.
bool held(int filter, int vision, bool scenery) {
    if (filter == FILTER_NONE)
        return !scenery;
    return filter == FILTER_HIGH_CONTRAST || vision == VISION_TYPICAL ||
           (filter == FILTER_RED_GREEN && (vision == VISION_PROTAN || vision == VISION_DEUTAN)) ||
           (filter == FILTER_BLUE_YELLOW && vision == VISION_TRITAN);
}

TEST(ColourFilters, ContrastOfTheScenery) {
    const std::vector<Sample> all = scenery_samples();
    std::vector<std::string> names;
    for (const Sample& s : all) {
        names.push_back(s.name);
        EXPECT_GT(s.region.inside.size(), 20u) << s.name;
        EXPECT_GT(s.region.around.size(), 20u) << s.name;
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"brick", "ground", "pit", "staircase block"}));
    const bool print = std::getenv("QUELLARO_CONTRAST") != nullptr;
    static const char* const visions[VISION_COUNT] = {"typical", "protan", "deutan", "tritan"};
    for (const Sample& s : all) {
        for (int filter = 0; filter < FILTER_COUNT; ++filter) {
            std::string line = std::string(s.name) + " / " + filter_name(filter) + ":";
            for (int vision = 0; vision < VISION_COUNT; ++vision) {
                const double ratio =
                    contrast_ratio(median_luminance(s, s.region.inside, filter, vision),
                                   median_luminance(s, s.region.around, filter, vision));
                if (held(filter, vision, true)) {
                    EXPECT_GE(ratio, 3.0) << line << " " << visions[vision];
                }
                char figure[48];
                std::snprintf(figure, sizeof figure, " %s %.2f", visions[vision], ratio);
                line += figure;
            }
            if (print)
                std::printf("%s\n", line.c_str());
        }
    }
}

// Across the game's palette under each filter: black stays black and the flags are kept at
// every index, and darkening the palette as a fade does never lightens an entry, so a fade
// under a filter still darkens to its end. The sky stays blue (one filter once turned it
// olive).
TEST(ColourFilters, KeepFadesFlagsAndABlueSky) {
    const std::vector<Sample> all = scenery_samples();
    ASSERT_FALSE(all.empty());
    const Sample& s = all.front();
    const uint8_t sky = s.frame[40 * W + W / 2];  // over the score line's gap
    for (int filter = 0; filter < FILTER_COUNT; ++filter) {
        EXPECT_STRNE(filter_name(filter), "");
        PaletteEntry in[256], half[256], out[256], out_half[256];
        for (int i = 0; i < 256; ++i) {
            in[i] = s.palette[i];
            in[i].flags = static_cast<uint8_t>(i & 7);
            half[i] = {static_cast<uint8_t>(in[i].red / 2), static_cast<uint8_t>(in[i].green / 2),
                       static_cast<uint8_t>(in[i].blue / 2), in[i].flags};
        }
        filter_colours(filter, in, out, 256);
        filter_colours(filter, half, out_half, 256);
        for (int i = 0; i < 256; ++i) {
            EXPECT_EQ(out[i].flags, i & 7) << filter << " " << i;
            EXPECT_LE(relative_luminance(out_half[i]), relative_luminance(out[i]) + 1e-9)
                << filter << " " << i;
        }
        const PaletteEntry black[256] = {};
        filter_colours(filter, black, out, 256);
        for (int i = 0; i < 256; ++i)
            EXPECT_EQ(out[i].red + out[i].green + out[i].blue, 0) << filter << " " << i;
        filter_colours(filter, in, out, 256);
        EXPECT_GT(out[sky].blue, out[sky].red) << filter_name(filter);
        EXPECT_GT(out[sky].blue, out[sky].green) << filter_name(filter);
    }
    // Red and green, which a deutan eye takes for nearly one colour, are told apart again.
    const PaletteEntry red = {200, 40, 40, 0}, green = {40, 160, 40, 0};
    auto seen_gap = [&](int filter) {
        PaletteEntry r = red, g = green;
        filter_colours(filter, &r, &r, 1);
        filter_colours(filter, &g, &g, 1);
        const PaletteEntry a = vision_simulate(VISION_DEUTAN, r),
                           b = vision_simulate(VISION_DEUTAN, g);
        return std::abs(a.red - b.red) + std::abs(a.green - b.green) + std::abs(a.blue - b.blue);
    };
    EXPECT_GT(seen_gap(FILTER_RED_GREEN), seen_gap(FILTER_NONE));
}

TEST(ColourFilters, ContrastOfTheGamesObjectsUnderEachVisionAndFilter) {
    const std::vector<Sample> all = samples();
    std::vector<std::string> names;
    std::vector<Sample> firsts;
    for (const Sample& s : all) {
        if (std::find(names.begin(), names.end(), s.name) != names.end())
            continue;
        names.push_back(s.name);
        firsts.push_back(s);
        EXPECT_GT(s.region.inside.size(), 20u) << s.name;
        EXPECT_GT(s.region.around.size(), 20u) << s.name;
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"hero", "question block", "skivit"}));
    const bool print = std::getenv("QUELLARO_CONTRAST") != nullptr;
    static const char* const visions[VISION_COUNT] = {"typical", "protan", "deutan", "tritan"};
    for (const Sample& s : firsts) {
        for (int filter = 0; filter < FILTER_COUNT; ++filter) {
            std::string line = std::string(s.name) + " / " + filter_name(filter) + ":";
            for (int vision = 0; vision < VISION_COUNT; ++vision) {
                const double ratio = edge_contrast(s, filter, vision);
                if (held(filter, vision, false)) {
                    EXPECT_GE(ratio, 3.0) << line << " " << visions[vision];
                }
                char figure[48];
                std::snprintf(figure, sizeof figure, " %s %.2f", visions[vision], ratio);
                line += figure;
            }
            if (print)
                std::printf("%s\n", line.c_str());
        }
    }
}

}  // namespace
