// Loading generated pictures for the art tests.
#include "tests/art_support.h"

#include <cstdio>
#include <cstring>

#include "engine/bitmap.h"

ArtPicture art_load(const char* name) {
    ArtPicture p;
    FILE* f = std::fopen(name, "rb");
    if (!f)
        return p;
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        p.raw.insert(p.raw.end(), buf, buf + n);
    std::fclose(f);
    BitmapFile bmp;
    std::memset(&bmp, 0, sizeof bmp);
    if (!bitmap_load_file(&bmp, name))
        return p;
    p.width = bmp.info_header.width;
    p.height = bmp.info_header.height;
    p.pixels.assign(bmp.buffer, bmp.buffer + static_cast<size_t>(p.width) * p.height);
    std::memcpy(p.palette, bmp.palette, sizeof p.palette);
    bitmap_unload_file(&bmp);
    p.ok = true;
    return p;
}

const std::vector<std::string>& art_all_pictures() {
    static std::vector<std::string> names;
    if (names.empty()) {
        for (int k = 1; k <= 13; ++k)
            names.push_back("dorvo" + std::to_string(k) + ".bmp");
        for (const char* n : {"dorvosprites.bmp", "dorvospritelarge.bmp", "questionblock.bmp",
                              "brick.bmp", "mushroom.bmp", "skivit.bmp", "coin.bmp", "pipe.bmp",
                              "block.bmp", "menubackground1.bmp", "menubackground2.bmp",
                              "menubackground3.bmp", "menubackground4.bmp", "option2.bmp",
                              "option3.bmp", "icon16.bmp", "icon32.bmp", "cursor.bmp"})
            names.push_back(n);
    }
    return names;
}
