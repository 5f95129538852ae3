// The art generator: writes every picture of the game, its palette file, icons and cursor
// into assets/ (or --out DIR), or a preview of the whole level (--preview FILE.png).
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/png.h"
#include "tools/artgen/art.h"
#include "tools/artgen/bmp_out.h"
#include "tools/artgen/palette.h"
#include "tools/artgen/preview.h"
#include "tools/artgen/sheet.h"
#include "tools/support/folders.h"
#include "tools/support/options.h"

namespace {

bool write(const std::string& dir, const char* name, const Canvas& c) {
    return write_bmp8(dir + "/" + name, c, art_palette()) != 0;
}

Canvas grid_sheet(const std::vector<Canvas>& frames, int w, int h, int cols, int rows,
                  const int (*cells)[2]) {
    Canvas sheet = sheet_new(w, h, cols, rows);
    for (size_t i = 0; i < frames.size(); ++i)
        sheet_put(sheet, w, h, cells[i][0], cells[i][1], frames[i]);
    return sheet;
}

bool write_all(const std::string& dir) {
    bool ok = true;
    const PaletteEntry* pal = art_palette();
    ok &= write_palette_text(dir + "/PALDATA2.PAL", pal) != 0;

    static const int hero_cells[11][2] = {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {0, 1},
                                          {1, 1}, {2, 1}, {3, 1}, {4, 1}, {0, 2}};
    ok &= write(dir, "dorvosprites.bmp", grid_sheet(hero_small_frames(), 24, 32, 5, 3, hero_cells));
    ok &= write(dir, "dorvospritelarge.bmp",
                grid_sheet(hero_large_frames(), 24, 64, 5, 2, hero_cells));

    static const int row_cells[4][2] = {{0, 0}, {1, 0}, {2, 0}, {3, 0}};
    ok &= write(dir, "questionblock.bmp", grid_sheet(qblock_frames(), 32, 32, 4, 1, row_cells));

    // The brick at cell (0, 0); its two fragments at (34, 1) and (67, 1), the corners of the
    // next two 32 x 32 cells.
    Canvas brick = sheet_new(32, 32, 3, 1);
    sheet_put(brick, 32, 32, 0, 0, brick_frame());
    std::vector<Canvas> frags = brick_frag_frames();
    brick.blit(frags[0], 34, 1, -1);
    brick.blit(frags[1], 67, 1, -1);
    ok &= write(dir, "brick.bmp", brick);

    Canvas mushroom = sheet_new(32, 32, 1, 1);
    sheet_put(mushroom, 32, 32, 0, 0, power_up_frame());
    ok &= write(dir, "mushroom.bmp", mushroom);

    static const int skivit_cells[3][2] = {{0, 0}, {1, 0}, {0, 1}};
    ok &= write(dir, "skivit.bmp", grid_sheet(skivit_frames(), 32, 32, 2, 2, skivit_cells));
    ok &= write(dir, "coin.bmp", grid_sheet(coin_frames(), 16, 28, 4, 1, row_cells));

    Canvas pipe = sheet_new(64, 32, 1, 2);
    sheet_put(pipe, 64, 32, 0, 0, pipe_top_frame());
    sheet_put(pipe, 64, 32, 0, 1, pipe_body_frame());
    ok &= write(dir, "pipe.bmp", pipe);
    // The staircase block is cut at (0, 0): no grid around it.
    ok &= write(dir, "block.bmp", stair_block_frame());

    Canvas strip = backdrop_strip();
    for (int k = 1; k <= 13; ++k) {
        char name[32];
        std::snprintf(name, sizeof name, "dorvo%d.bmp", k);
        ok &= write(dir, name, backdrop_panel(strip, k));
    }
    for (int i = 0; i < 4; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "menubackground%d.bmp", i + 1);
        ok &= write(dir, name, menu_picture(i));
    }
    ok &= write(dir, "option2.bmp", info_picture(1));
    ok &= write(dir, "option3.bmp", info_picture(2));

    ok &= write(dir, "icon16.bmp", icon_picture(16));
    ok &= write(dir, "icon32.bmp", icon_picture(32));
    ok &= write(dir, "cursor.bmp", cursor_picture());
    int hx = 0, hy = 0;
    cursor_hotspot(&hx, &hy);
    char hotspot[32];
    const int length = std::snprintf(hotspot, sizeof hotspot, "%d %d\n", hx, hy);
    ok &= tool_write_file("artgen", dir + "/cursor_hotspot.txt", hotspot,
                          static_cast<size_t>(length));
    return ok;
}

// The desktop's icons for an install: hicolor/SIZExSIZE/apps/quellaro.png, the colour key
// see-through.
bool write_icons(const std::string& dir) {
    const PaletteEntry* pal = art_palette();
    bool ok = true;
    for (int size : {16, 32, 48, 128, 256}) {
        const Canvas icon = icon_picture(size);
        std::vector<uint8_t> rgba(static_cast<size_t>(size) * size * 4);
        for (size_t i = 0; i < icon.pixels.size(); ++i) {
            const uint8_t index = icon.pixels[i];
            rgba[4 * i] = pal[index].red;
            rgba[4 * i + 1] = pal[index].green;
            rgba[4 * i + 2] = pal[index].blue;
            rgba[4 * i + 3] = index == C_KEY ? 0 : 255;
        }
        const std::string folder =
            dir + "/hicolor/" + std::to_string(size) + "x" + std::to_string(size) + "/apps";
        std::string made;
        for (size_t at = 0; at != std::string::npos;) {
            at = folder.find('/', at + 1);
            made = folder.substr(0, at);
            if (!tool_is_dir(made))
                mkdir(made.c_str(), 0777);
        }
        const std::string path = folder + "/quellaro.png";
        char why[FILE_WHY_MAX] = "";
        if (!png_write_rgba(path.c_str(), rgba.data(), size * 4, size, size, why, sizeof why)) {
            std::fprintf(stderr, "artgen: cannot write %s: %s\n", path.c_str(), why);
            ok = false;
        }
    }
    return ok;
}

// The usage on out; the status to exit with.
int usage(FILE* out, int status) {
    std::fprintf(out,
                 "usage: artgen [--out DIR]      write every picture and the palette file\n"
                 "       artgen --preview FILE.png  write the whole level in one picture\n"
                 "       artgen --icons DIR       write the desktop icons (DIR/hicolor/...)\n");
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    const char* out = nullptr;
    const char* preview_path = nullptr;
    const char* icons = nullptr;
    const ToolOption options[] = {
        {"--out", &out}, {"--preview", &preview_path}, {"--icons", &icons}};
    if (tool_help_asked(argc, argv))
        return usage(stdout, 0);
    if (!tool_read_options("artgen", argc, argv, options, 3))
        return usage(stderr, 2);
    std::string out_dir = out ? out : "";
    const std::string preview = preview_path ? preview_path : "";
    if (icons != nullptr) {
        if (!write_icons(icons)) {
            std::fprintf(stderr, "artgen: cannot write the icons into %s\n", icons);
            return 1;
        }
        return 0;
    }
    if (!preview.empty()) {
        if (!write_level_preview(preview.c_str())) {
            std::fprintf(stderr, "artgen: cannot write %s: %s\n", preview.c_str(),
                         std::strerror(errno));
            return 1;
        }
        return 0;
    }
    if (out_dir.empty())
        out_dir = tool_assets_dir("tools/artgen", __FILE__);
    if (!tool_make_dir("artgen", out_dir))
        return 1;
    if (!write_all(out_dir)) {
        std::fprintf(stderr, "artgen: writing into %s failed\n", out_dir.c_str());
        return 1;
    }
    return 0;
}
