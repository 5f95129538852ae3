// Every frame the load steps cut: inside its picture, clear of the grid, transparent only
// around the figure, and never in the pit colour.
#include <gtest/gtest.h>

#include <vector>

#include "tests/art_support.h"

namespace {

constexpr int KEY = 253;
constexpr int PIT = 91;

struct Cut {
    const char* file;
    int x, y, w, h;
    bool cell;  // cut in cell mode: a one-pixel grid line of the key colour runs around it
};

// Where the load steps cut each frame.
std::vector<Cut> cuts() {
    std::vector<Cut> out;
    auto cell = [&](const char* f, int w, int h, int cx, int cy) {
        out.push_back({f, cx * (w + 1) + 1, cy * (h + 1) + 1, w, h, true});
    };
    for (int cy = 0; cy < 2; ++cy) {
        for (int cx = 0; cx < 5; ++cx) {
            cell("dorvosprites.bmp", 24, 32, cx, cy);
            cell("dorvospritelarge.bmp", 24, 64, cx, cy);
        }
    }
    cell("dorvosprites.bmp", 24, 32, 0, 2);
    for (int cx = 0; cx < 4; ++cx)
        cell("questionblock.bmp", 32, 32, cx, 0);
    cell("brick.bmp", 32, 32, 0, 0);
    out.push_back({"brick.bmp", 34, 1, 16, 16, false});
    out.push_back({"brick.bmp", 67, 1, 16, 16, false});
    cell("mushroom.bmp", 32, 32, 0, 0);
    cell("skivit.bmp", 32, 32, 0, 0);
    cell("skivit.bmp", 32, 32, 1, 0);
    cell("skivit.bmp", 32, 32, 0, 1);
    for (int cx = 0; cx < 4; ++cx)
        cell("coin.bmp", 16, 28, cx, 0);
    cell("pipe.bmp", 64, 32, 0, 0);
    cell("pipe.bmp", 64, 32, 0, 1);
    out.push_back({"block.bmp", 0, 0, 32, 32, false});
    return out;
}

// Key pixels of the frame that cannot reach its edge through key pixels: holes in a figure,
// which would show the world through it.
int enclosed_key_pixels(const ArtPicture& p, const Cut& c) {
    std::vector<char> seen(static_cast<size_t>(c.w) * c.h, 0);
    std::vector<int> stack;
    auto key = [&](int x, int y) { return p.at(c.x + x, c.y + y) == KEY; };
    for (int y = 0; y < c.h; ++y) {
        for (int x = 0; x < c.w; ++x) {
            if ((x == 0 || y == 0 || x == c.w - 1 || y == c.h - 1) && key(x, y)) {
                seen[y * c.w + x] = 1;
                stack.push_back(y * c.w + x);
            }
        }
    }
    while (!stack.empty()) {
        int at = stack.back();
        stack.pop_back();
        int x = at % c.w, y = at / c.w;
        const int nx[4] = {x - 1, x + 1, x, x}, ny[4] = {y, y, y - 1, y + 1};
        for (int k = 0; k < 4; ++k) {
            if (nx[k] < 0 || ny[k] < 0 || nx[k] >= c.w || ny[k] >= c.h)
                continue;
            int n = ny[k] * c.w + nx[k];
            if (!seen[n] && key(nx[k], ny[k])) {
                seen[n] = 1;
                stack.push_back(n);
            }
        }
    }
    int enclosed = 0;
    for (int y = 0; y < c.h; ++y) {
        for (int x = 0; x < c.w; ++x)
            enclosed += key(x, y) && !seen[y * c.w + x];
    }
    return enclosed;
}

TEST(ArtFrames, EveryCutLiesInsideItsPictureWithTheGridAroundIt) {
    for (const Cut& c : cuts()) {
        SCOPED_TRACE(std::string(c.file) + " at " + std::to_string(c.x) + "," +
                     std::to_string(c.y));
        ArtPicture p = art_load(c.file);
        ASSERT_TRUE(p.ok);
        ASSERT_LE(c.x + c.w, p.width);
        ASSERT_LE(c.y + c.h, p.height);
        if (!c.cell)
            continue;
        // The grid line on all four sides is the key colour, so no frame carries a line.
        for (int x = c.x - 1; x <= c.x + c.w; ++x) {
            EXPECT_EQ(p.at(x, c.y - 1), KEY) << "top line at x " << x;
            if (c.y + c.h < p.height) {
                EXPECT_EQ(p.at(x, c.y + c.h), KEY) << "bottom line at x " << x;
            }
        }
        for (int y = c.y; y < c.y + c.h; ++y) {
            EXPECT_EQ(p.at(c.x - 1, y), KEY) << "left line at y " << y;
            EXPECT_EQ(p.at(c.x + c.w, y), KEY) << "right line at y " << y;
        }
    }
}

TEST(ArtFrames, KeyColourOnlySurroundsTheFigureAndNoFrameIsEmpty) {
    for (const Cut& c : cuts()) {
        SCOPED_TRACE(std::string(c.file) + " at " + std::to_string(c.x) + "," +
                     std::to_string(c.y));
        ArtPicture p = art_load(c.file);
        ASSERT_TRUE(p.ok);
        int visible = 0;
        for (int y = 0; y < c.h; ++y) {
            for (int x = 0; x < c.w; ++x)
                visible += p.at(c.x + x, c.y + y) != KEY;
        }
        EXPECT_GT(visible, c.w * c.h / 8);
        EXPECT_EQ(enclosed_key_pixels(p, c), 0);
    }
}

TEST(ArtFrames, FiguresStandOnTheBottomRowOfTheirFrames) {
    // The hero, the skivits and the power-up are snapped to the floor by their frame's bottom
    // edge; a gap there would make them hover.
    struct Standing {
        const char* file;
        int x, y, w, h;
    } standing[] = {
        {"dorvosprites.bmp", 1, 1, 24, 32},
        {"dorvosprites.bmp", 26, 1, 24, 32},
        {"dorvosprites.bmp", 51, 1, 24, 32},
        {"dorvospritelarge.bmp", 1, 1, 24, 64},
        {"dorvospritelarge.bmp", 26, 1, 24, 64},
        {"dorvospritelarge.bmp", 51, 1, 24, 64},
        {"skivit.bmp", 1, 1, 32, 32},
        {"skivit.bmp", 34, 1, 32, 32},
        {"skivit.bmp", 1, 34, 32, 32},
        {"mushroom.bmp", 1, 1, 32, 32},
    };
    for (const Standing& s : standing) {
        SCOPED_TRACE(std::string(s.file) + " at " + std::to_string(s.x));
        ArtPicture p = art_load(s.file);
        ASSERT_TRUE(p.ok);
        int on_bottom = 0;
        for (int x = 0; x < s.w; ++x)
            on_bottom += p.at(s.x + x, s.y + s.h - 1) != KEY;
        EXPECT_GT(on_bottom, 2);
    }
}

TEST(ArtFrames, NoSpriteUsesThePitColour) {
    for (const char* f :
         {"dorvosprites.bmp", "dorvospritelarge.bmp", "questionblock.bmp", "brick.bmp",
          "mushroom.bmp", "skivit.bmp", "coin.bmp", "pipe.bmp", "block.bmp"}) {
        ArtPicture p = art_load(f);
        ASSERT_TRUE(p.ok) << f;
        for (uint8_t v : p.pixels)
            ASSERT_NE(v, PIT) << f;
    }
}

TEST(ArtFrames, LeftFacingFramesMirrorTheRightFacingOnes) {
    for (const char* f : {"dorvosprites.bmp", "dorvospritelarge.bmp"}) {
        ArtPicture p = art_load(f);
        ASSERT_TRUE(p.ok) << f;
        int h = std::string(f) == "dorvosprites.bmp" ? 32 : 64;
        for (int cx = 0; cx < 5; ++cx) {
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < 24; ++x) {
                    ASSERT_EQ(p.at(cx * 25 + 1 + x, 1 + y), p.at(cx * 25 + 1 + 23 - x, h + 2 + y))
                        << f << " frame " << cx;
                }
            }
        }
    }
}

}  // namespace
