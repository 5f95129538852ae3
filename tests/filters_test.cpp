// The colour filters: they leave black, white and the flags alone, and the contrast of the
// hero, a skivit and a question block against what lies around them in real frames of play
// stays at 3:1 or more under each simulated vision with each filter. The
// figures are printed (QUELLARO_CONTRAST=1) for the notes: along the object's edge, each of
// its own pixels against each neighbour that is not (WCAG's ratio of relative luminances),
// the median of those pairs.
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

double luminance_at(const Sample& s, int at, int filter, int vision) {
    PaletteEntry c = s.palette[s.frame[at]];
    filter_colours(filter, &c, &c, 1);
    return relative_luminance(vision_simulate(vision, c));
}

// The median contrast of the edge's pairs: an object pixel and a neighbour that is not one.
double edge_contrast(const Sample& s, int filter, int vision) {
    std::vector<char> own(W * H);
    for (int at : s.region.inside)
        own[at] = 1;
    std::vector<double> ratios;
    for (int at : s.region.inside) {
        const int x = at % W, y = at / W;
        const int next[4][2] = {{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}};
        for (const auto& n : next) {
            if (in_frame(n[0], n[1]) && !own[n[1] * W + n[0]])
                ratios.push_back(contrast_ratio(luminance_at(s, at, filter, vision),
                                                luminance_at(s, n[1] * W + n[0], filter, vision)));
        }
    }
    if (ratios.empty())
        return 0;
    std::nth_element(ratios.begin(), ratios.begin() + static_cast<long>(ratios.size() / 2),
                     ratios.end());
    return ratios[ratios.size() / 2];
}

// Plays a committed script and takes each object the first time it is fully on screen.
std::vector<Sample> samples() {
    std::vector<Sample> out;
    for (const char* script_name : {"win_level.txt"}) {
        Script script;
        EXPECT_EQ(script_parse(read_text_file(scripts_dir() + "/" + script_name), &script), 0);
        EXPECT_EQ(app_start(nullptr), 1);
        bool hero_done = false, skivit_done = false, qblock_done = false;
        for (int pass = 0; pass < 700; ++pass) {
            InputRecord record;
            script_record(script, app_next_pass(), &record);
            if (!app_run_pass(&record))
                break;
            if (game_mode != MODE_PLAYING)
                continue;
            const uint8_t* f = headless_frame_pixels();
            if (!hero_done && hero->state == HERO_ALIVE && fully_shown(*hero) &&
                hero_support != nullptr) {
                hero_done = true;
                out.push_back(sample_of(
                    "hero", object_region(f, static_cast<int>(hero->x), static_cast<int>(hero->y),
                                          hero->width, hero->height)));
            }
            for (const SpriteObject& s : skivits)
                if (!skivit_done && s.state == SKIVIT_WALKING && fully_shown(s)) {
                    skivit_done = true;
                    out.push_back(sample_of(
                        "skivit", object_region(f, static_cast<int>(s.x), static_cast<int>(s.y),
                                                s.width, s.height)));
                }
            for (const SpriteObject& s : qblocks)
                if (!qblock_done && s.state == QBLOCK_FRESH && fully_shown(s)) {
                    qblock_done = true;
                    out.push_back(sample_of(
                        "question block", object_region(f, static_cast<int>(s.x),
                                                        static_cast<int>(s.y), s.width, s.height)));
                }
        }
    }
    return out;
}

TEST(ColourFilters, LeaveBlackWhiteAndFlagsAloneAndNamesAreKnown) {
    const PaletteEntry in[2] = {{0, 0, 0, 7}, {255, 255, 255, 3}};
    for (int filter = 0; filter < FILTER_COUNT; ++filter) {
        PaletteEntry out[2];
        filter_colours(filter, in, out, 2);
        EXPECT_EQ(out[0].red + out[0].green + out[0].blue, 0) << filter;
        EXPECT_EQ(out[1].red + out[1].green + out[1].blue, 3 * 255) << filter;
        EXPECT_EQ(out[0].flags, 7);
        EXPECT_EQ(out[1].flags, 3);
        EXPECT_STRNE(filter_name(filter), "");
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
                EXPECT_GE(ratio, 3.0) << line;
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
