// The menus drawn over the finished frame: the frame dimmed, a dark panel with a light edge, the
// page's title, its entries with the highlighted one on a light bar, and a line of help. Only
// greys and halving are used, so ARGB and the canvas's RGBA look alike; nothing depends on
// colour alone (the highlight is a bar, a shared binding a "!").
#include <cstddef>
#include <cstdio>
#include <cstring>

#include "engine/font.h"
#include "programs/common/options_menu.h"
#include "programs/common/pause_menu.h"
#include "programs/common/pause_menu_layout.h"

namespace {

constexpr uint32_t WHITE = 0xFFFFFFFFu;
constexpr uint32_t BLACK = 0xFF000000u;
constexpr uint32_t BAR = 0xFFE4E4E4u;
constexpr uint32_t EDGE = 0xFFC8C8C8u;
constexpr uint32_t SOFT = 0xFFB4B4B4u;
constexpr int MARGIN = 16, GAP = 10;
constexpr int CONTROLS_ROWS_SHOWN = 15;

struct Canvas {
    uint32_t* pixels;
    int pitch, width, height;
};

// Each channel halved, times times, kept opaque.
void dim(const Canvas& c, int x0, int y0, int x1, int y1, int times) {
    x0 = x0 < 0 ? 0 : x0;
    y0 = y0 < 0 ? 0 : y0;
    x1 = x1 > c.width ? c.width : x1;
    y1 = y1 > c.height ? c.height : y1;
    const uint32_t mask = (0xFFu >> times) * 0x010101u;
    for (int y = y0; y < y1; ++y) {
        uint32_t* row = c.pixels + static_cast<std::ptrdiff_t>(y) * c.pitch;
        for (int x = x0; x < x1; ++x)
            row[x] = ((row[x] >> times) & mask) | 0xFF000000u;
    }
}

void fill(const Canvas& c, int x0, int y0, int w, int h, uint32_t colour) {
    for (int y = y0 < 0 ? 0 : y0; y < y0 + h && y < c.height; ++y) {
        uint32_t* row = c.pixels + static_cast<std::ptrdiff_t>(y) * c.pitch;
        for (int x = x0 < 0 ? 0 : x0; x < x0 + w && x < c.width; ++x)
            row[x] = colour;
    }
}

int text_width(const char* text, int scale) {
    return font_text_width(text, static_cast<int>(std::strlen(text))) * scale;
}

void text(const Canvas& c, const char* s, int x, int y, int scale, uint32_t colour) {
    font_draw(reinterpret_cast<uint8_t*>(c.pixels), c.pitch * 4, 4, c.width, c.height, x, y, s,
              static_cast<int>(std::strlen(s)), colour, scale);
}

void centred(const Canvas& c, const char* s, int y, int scale, uint32_t colour) {
    text(c, s, (c.width - text_width(s, scale)) / 2, y, scale, colour);
}

// An entry's value as shown: arrows round a highlighted one Left and Right change, and the
// row waiting for a binding asks for it.
void value_of(const MenuView& view, const MenuEntry& e, bool lit, char* out, size_t size) {
    if (view.waiting_action >= 0 && e.item == ITEM_ACTION + view.waiting_action) {
        std::snprintf(out, size, "%s",
                      view.binds_pad ? "press a key or button..." : "press a key...");
        return;
    }
    const bool arrows = lit && options_menu_has_value(e.item);
    std::snprintf(out, size, arrows ? "< %s >" : "%s", e.value);
}

// The line of help under the entries.
void hint_of(const MenuView& view, char* out, size_t size) {
    const bool controls = view.page == PAGE_CONTROLS;
    const int at = view.highlight;
    if (view.waiting_action >= 0) {
        std::snprintf(out, size, "%s", view.prompt);
    } else if (view.said[0]) {
        std::snprintf(out, size, "%s", view.said);
    } else if (controls && at >= 0 && at < view.entries.count &&
               view.entries.entries[at].marked == MARK_OVERRULED) {
        std::snprintf(out, size, "! its keys do nothing: another action takes them");
    } else if (controls && at >= 0 && at < view.entries.count && view.entries.entries[at].marked) {
        std::snprintf(out, size, "! shares a key or button with another action");
    } else if (controls && at >= 0 && at < view.entries.count &&
               view.entries.entries[at].item >= ITEM_ACTION) {
        std::snprintf(out, size, "Enter: bind a new key%s   Esc: back",
                      view.binds_pad ? " or button" : "");
    } else if (view.page == PAGE_CONFIRM) {
        std::snprintf(out, size, "Left or Right: choose   Enter: take   Esc: keep playing");
    } else {
        std::snprintf(out, size, "Arrows: choose and change   Enter: take   Esc: back");
    }
}

}  // namespace

MenuLayout menu_layout(const MenuView& view, int width, int height) {
    MenuLayout l{};
    const bool controls = view.page == PAGE_CONTROLS;
    l.across = view.page == PAGE_CONFIRM;
    l.scale = controls ? 1 : 2;
    l.row_height = controls ? 20 : 36;
    const int count = view.entries.count;
    l.visible = controls && count > CONTROLS_ROWS_SHOWN ? CONTROLS_ROWS_SHOWN : count;
    l.first = view.scroll;
    if (view.highlight < l.first)
        l.first = view.highlight;
    if (view.highlight >= l.first + l.visible)
        l.first = view.highlight - l.visible + 1;
    if (l.first > count - l.visible)
        l.first = count - l.visible;
    l.first = l.first < 0 ? 0 : l.first;
    l.width = controls ? 600 : 540;
    const int title_height = FONT_HEIGHT * 2 + (view.detail[0] ? GAP + FONT_HEIGHT : 0);
    const int rows_height = l.across ? l.row_height : l.visible * l.row_height;
    l.height = MARGIN + title_height + GAP + rows_height + GAP + FONT_HEIGHT + MARGIN;
    l.x = (width - l.width) / 2;
    l.y = (height - l.height) / 2;
    l.title_y = l.y + MARGIN;
    l.rows_y = l.title_y + title_height + GAP;
    l.value_x = l.x + (controls ? 190 : l.width / 2);
    l.hint_y = l.rows_y + rows_height + GAP;
    return l;
}

int menu_layout_row_at(const MenuLayout& l, const MenuView& view, int x, int y, int* side) {
    *side = 0;
    if (x < l.x || x >= l.x + l.width || y < l.rows_y)
        return -1;
    if (l.across) {
        if (y >= l.rows_y + l.row_height || view.entries.count == 0)
            return -1;
        return (x - l.x) * view.entries.count / l.width;
    }
    const int row = l.first + (y - l.rows_y) / l.row_height;
    if (row >= l.first + l.visible || row >= view.entries.count)
        return -1;
    *side = x < l.x + l.width / 2 ? -1 : 1;
    return row;
}

void menu_draw(MenuView& view, uint32_t* pixels, int pitch, int width, int height) {
    const Canvas c = {pixels, pitch, width, height};
    if (pixels == nullptr)
        return;
    if (view.page == PAGE_NONE) {
        if (view.stepping) {
            const char* line = "Paused: a pass at a time. Esc: menu";
            const int w = text_width(line, 2) + 24;
            dim(c, (width - w) / 2, 96, (width + w) / 2, 96 + FONT_HEIGHT * 2 + 12, 2);
            centred(c, line, 102, 2, WHITE);
        }
        return;
    }
    const MenuLayout l = menu_layout(view, width, height);
    view.scroll = l.first;
    dim(c, 0, 0, width, height, 1);
    dim(c, l.x, l.y, l.x + l.width, l.y + l.height, 2);
    fill(c, l.x, l.y, l.width, 2, EDGE);
    fill(c, l.x, l.y + l.height - 2, l.width, 2, EDGE);
    fill(c, l.x, l.y, 2, l.height, EDGE);
    fill(c, l.x + l.width - 2, l.y, 2, l.height, EDGE);
    centred(c, view.title, l.title_y, 2, WHITE);
    if (view.detail[0])
        centred(c, view.detail, l.title_y + FONT_HEIGHT * 2 + GAP, 1, SOFT);
    const int pad = 4 * l.scale;
    const int text_dy = (l.row_height - FONT_HEIGHT * l.scale) / 2;
    for (int i = 0; i < (l.across ? view.entries.count : l.visible); ++i) {
        const int index = l.across ? i : l.first + i;
        const MenuEntry& e = view.entries.entries[index];
        const bool lit = index == view.highlight;
        int x = l.x + 12, y = l.rows_y + i * l.row_height, w = l.width - 24;
        if (l.across) {
            w = (l.width - 24) / view.entries.count;
            x = l.x + 12 + i * w;
            y = l.rows_y;
        }
        if (lit)
            fill(c, x, y, w, l.row_height, BAR);
        const uint32_t ink = lit ? BLACK : WHITE;
        char label[sizeof e.label + 4];
        std::snprintf(label, sizeof label, "%s%s", e.marked ? "! " : "", e.label);
        if (l.across) {
            text(c, label, x + (w - text_width(label, l.scale)) / 2, y + text_dy, l.scale, ink);
            continue;
        }
        text(c, label, x + pad, y + text_dy, l.scale, ink);
        if (e.value[0]) {
            char value[sizeof e.value + 8];
            value_of(view, e, lit, value, sizeof value);
            text(c, value, l.value_x, y + text_dy, l.scale, ink);
        }
    }
    // More rows above or below those shown.
    if (!l.across && l.first > 0)
        text(c, "^", l.x + l.width - 20, l.rows_y - 14, 1, SOFT);
    if (!l.across && l.first + l.visible < view.entries.count)
        text(c, "v", l.x + l.width - 20, l.rows_y + l.visible * l.row_height, 1, SOFT);
    char hint[128];
    hint_of(view, hint, sizeof hint);
    centred(c, hint, l.hint_y, 1, SOFT);
}
