// Palette effects: colour rotation over a range of the display palette and blinking entries.
#include <cstring>

#include "engine/bitmap.h"
#include "engine/display.h"
#include "engine/gfx.h"
#include "engine/primitives.h"

namespace {

BlinkRecord blink_table[BLINK_SLOTS];
bool blink_table_ready = false;

bool valid_slot(int index) {
    return index >= 0 && index < BLINK_SLOTS && blink_table[index].state != 0;
}

void show(const BlinkRecord& slot) {
    palette_set_entry(slot.index, slot.state == 1 ? &slot.color_on : &slot.color_off);
}

}  // namespace

int palette_rotate(int first, int last) {
    if (first < 0 || last > 255 || first > last || !display_palette)
        return 0;
    const int count = last - first + 1;
    PaletteEntry old_entries[256];
    PaletteEntry rotated[256];
    if (gfx_palette_get_entries(display_palette, first, count, old_entries) != GFX_OK)
        return 0;
    rotated[0] = old_entries[count - 1];
    for (int i = 1; i < count; ++i)
        rotated[i] = old_entries[i - 1];
    // The range was read from this palette just now: writing it back and reading it all
    // cannot be refused.
    static_cast<void>(gfx_palette_set_entries(display_palette, first, count, rotated));
    static_cast<void>(gfx_palette_get_entries(display_palette, 0, 256, shadow_palette));
    return 1;
}

int palette_blink(int command, const BlinkRecord* record, int index) {
    if (!blink_table_ready) {
        std::memset(blink_table, 0, sizeof(blink_table));
        blink_table_ready = true;
    }
    switch (command) {
        case BLINK_ADD: {
            if (!record || record->index < 0 || record->index > 255)
                return -1;
            for (int slot = 0; slot < BLINK_SLOTS; ++slot) {
                if (blink_table[slot].state != 0)
                    continue;
                blink_table[slot] = *record;
                blink_table[slot].state = -1;
                blink_table[slot].counter = 0;
                show(blink_table[slot]);
                return slot;
            }
            return -1;
        }
        case BLINK_DELETE:
            if (!valid_slot(index))
                return -1;
            std::memset(&blink_table[index], 0, sizeof(BlinkRecord));
            return 1;
        case BLINK_UPDATE: {
            if (!record || !valid_slot(index))
                return -1;
            BlinkRecord& slot = blink_table[index];
            slot.color_on = record->color_on;
            slot.color_off = record->color_off;
            slot.on_time = record->on_time;
            slot.off_time = record->off_time;
            show(slot);
            return 1;
        }
        case BLINK_RUN:
            for (BlinkRecord& slot : blink_table) {
                if (slot.state == 0)
                    continue;
                ++slot.counter;
                if (slot.counter >= (slot.state == 1 ? slot.on_time : slot.off_time)) {
                    slot.counter = 0;
                    slot.state = -slot.state;
                    show(slot);
                }
            }
            return 1;
        default:
            return -1;
    }
}
