// Reading text pixel maps into pictures.
#include "tools/artgen/pixmap.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/artgen/palette.h"

Canvas pixmap_read(const char* name, const char* text, Legend legend) {
    std::vector<std::string> rows;
    std::string row;
    for (const char* p = text;; ++p) {
        if (*p == '\n' || *p == 0) {
            // Trailing spaces are editing noise; interior spaces are not allowed.
            while (!row.empty() && row.back() == ' ')
                row.pop_back();
            size_t start = row.find_first_not_of(' ');
            rows.push_back(start == std::string::npos ? std::string() : row.substr(start));
            row.clear();
            if (*p == 0)
                break;
        } else {
            row.push_back(*p);
        }
    }
    while (!rows.empty() && rows.front().empty())
        rows.erase(rows.begin());
    while (!rows.empty() && rows.back().empty())
        rows.pop_back();
    if (rows.empty()) {
        std::fprintf(stderr, "artgen: map %s is empty\n", name);
        std::exit(2);
    }
    const int w = static_cast<int>(rows[0].size());
    const int h = static_cast<int>(rows.size());
    Canvas out(w, h, C_KEY);
    for (int y = 0; y < h; ++y) {
        if (static_cast<int>(rows[y].size()) != w) {
            std::fprintf(stderr, "artgen: map %s row %d is %d wide, not %d\n", name, y,
                         static_cast<int>(rows[y].size()), w);
            std::exit(2);
        }
        for (int x = 0; x < w; ++x) {
            char s = rows[y][x];
            if (s == '.')
                continue;
            int found = -1;
            for (int k = 0; k < legend.count; ++k) {
                if (legend.entries[k].symbol == s)
                    found = legend.entries[k].index;
            }
            if (found < 0) {
                std::fprintf(stderr, "artgen: map %s row %d column %d: unknown symbol '%c'\n", name,
                             y, x, s);
                std::exit(2);
            }
            out.put(x, y, static_cast<uint8_t>(found));
        }
    }
    return out;
}
