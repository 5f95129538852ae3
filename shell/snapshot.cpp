// Snapshots: the modules' blocks of state written in turn, checked whole and put back.
#include "shell/snapshot.h"

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "engine/display.h"
#include "engine/sound.h"
#include "engine/sprite.h"
#include "shell/app.h"
#include "shell/game_state.h"
#include "shell/window.h"
#include "world/objects.h"
#include "world/world_state.h"

namespace {

// The one place that says which modules hold state.
const StateBlockList* const state_lists[] = {
    &app_state,   &game_globals_state,  &window_state,         &display_state,
    &sound_state, &world_objects_state, &world_counters_state,
};

// A sprite's values: everything before what it owns (its sequences and frames).
constexpr size_t SPRITE_VALUES = offsetof(SpriteObject, anims);
constexpr size_t BLOCK_HEAD = 2 * sizeof(uint32_t);
constexpr int VALUE_LIMIT = 1000000000;
// The flags set when a sprite is made and its frames loaded, never by play.
constexpr int MADE_FLAGS = SPRITE_CLONE | SPRITE_LOADED;
// Why the last restore refused a block, naming it for whoever looks into it.
char refused[128];

// FNV-1a of the block's name: a block read back is the block written.
uint32_t tag_of(const char* name) {
    uint32_t hash = 2166136261u;
    for (const char* c = name; *c; ++c) {
        hash ^= static_cast<uint8_t>(*c);
        hash *= 16777619u;
    }
    return hash;
}

size_t payload_size(const StateBlock& block) {
    switch (block.kind) {
        case STATE_SPRITES:
            return block.size * SPRITE_VALUES;
        case STATE_SPRITE_LINK:
            return sizeof(int32_t);
        default:
            return block.size;
    }
}

// Sprites are numbered across the sprite blocks in their order.
SpriteObject* sprite_numbered(int32_t number) {
    // A negative number (-1: none) names no sprite; counting down from it could overflow.
    if (number < 0)
        return nullptr;
    for (const StateBlockList* list : state_lists) {
        for (int i = 0; i < list->count; ++i) {
            const StateBlock& b = list->blocks[i];
            if (b.kind != STATE_SPRITES)
                continue;
            if (static_cast<size_t>(number) < b.size)
                return static_cast<SpriteObject*>(b.data) + number;
            number -= static_cast<int32_t>(b.size);
        }
    }
    return nullptr;
}

int32_t number_of(const SpriteObject* sprite) {
    if (sprite == nullptr)
        return -1;
    int32_t base = 0;
    for (const StateBlockList* list : state_lists) {
        for (int i = 0; i < list->count; ++i) {
            const StateBlock& b = list->blocks[i];
            if (b.kind != STATE_SPRITES)
                continue;
            const auto* first = static_cast<const SpriteObject*>(b.data);
            if (sprite >= first && sprite < first + b.size)
                return base + static_cast<int32_t>(sprite - first);
            base += static_cast<int32_t>(b.size);
        }
    }
    return -1;
}

size_t write_payload(const StateBlock& block, uint8_t* out) {
    switch (block.kind) {
        case STATE_SPRITES: {
            const auto* sprites = static_cast<const SpriteObject*>(block.data);
            for (size_t i = 0; i < block.size; ++i)
                std::memcpy(out + i * SPRITE_VALUES, &sprites[i], SPRITE_VALUES);
            return block.size * SPRITE_VALUES;
        }
        case STATE_SPRITE_LINK: {
            const int32_t number = number_of(*static_cast<SpriteObject* const*>(block.data));
            std::memcpy(out, &number, sizeof number);
            return sizeof number;
        }
        case STATE_CUSTOM:
            return block.write(out);
        default:
            std::memcpy(out, block.data, block.size);
            return block.size;
    }
}

// The length of a sequence, up to its end mark.
int sequence_length(const int* sequence) {
    int length = 0;
    while (sequence[length] != -1)
        ++length;
    return length;
}

bool int_sane(int value) {
    return value >= -VALUE_LIMIT && value <= VALUE_LIMIT;
}

// A sprite's saved values against the sprite they go back into: its make (size, frames,
// depth, clone and loaded flags: a panel given its picture again would set the loaded flag
// the saved form left clear) is the same, its sequence position lies inside its sequence,
// and its numbers are ones the world's arithmetic can go on from.
bool sprite_allowed(const SpriteObject& saved, const SpriteObject& live) {
    if (saved.width != live.width || saved.height != live.height ||
        saved.extra_width != live.extra_width || saved.depth != live.depth ||
        saved.frame_count != live.frame_count ||
        (saved.flags & MADE_FLAGS) != (live.flags & MADE_FLAGS)) {
        return false;
    }
    if (saved.anim < 0 || saved.anim >= SPRITE_MAX_ANIMS || saved.anim_pos < 0 ||
        saved.anim_tick < 0 || !int_sane(saved.anim_tick) || !int_sane(saved.anim_period) ||
        !int_sane(saved.state) || !int_sane(saved.aux_state) || !int_sane(saved.frame)) {
        return false;
    }
    if (const int* sequence = live.anims[saved.anim]) {
        if (saved.anim_pos >= sequence_length(sequence))
            return false;
    }
    for (float value : {saved.x, saved.y, saved.vx, saved.vy}) {
        if (!state_float_sane(value))
            return false;
    }
    for (float value : saved.fvars) {
        if (!state_float_sane(value))
            return false;
    }
    return true;
}

bool sprites_allowed(const StateBlock& block, const uint8_t* in) {
    const auto* live = static_cast<const SpriteObject*>(block.data);
    for (size_t i = 0; i < block.size; ++i) {
        SpriteObject saved = live[i];
        std::memcpy(&saved, in + i * SPRITE_VALUES, SPRITE_VALUES);
        if (!sprite_allowed(saved, live[i]))
            return false;
    }
    return true;
}

bool link_allowed(const StateBlock& block, const uint8_t* in) {
    int32_t number;
    std::memcpy(&number, in, sizeof number);
    const SpriteObject* linked = number == -1 ? nullptr : sprite_numbered(number);
    if (number != -1 && linked == nullptr)
        return false;
    return block.allows == nullptr || block.allows(linked);
}

// Whether a block's saved payload, of the right length, may go back.
bool payload_allowed(const StateBlock& block, const uint8_t* in, size_t length) {
    switch (block.kind) {
        case STATE_SPRITES:
            return sprites_allowed(block, in);
        case STATE_SPRITE_LINK:
            return link_allowed(block, in);
        case STATE_CUSTOM:
            return block.read(in, length, 0) != 0;
        default:
            return block.allows == nullptr || block.allows(in);
    }
}

void apply_payload(const StateBlock& block, const uint8_t* in, size_t length) {
    switch (block.kind) {
        case STATE_SPRITES: {
            auto* sprites = static_cast<SpriteObject*>(block.data);
            for (size_t i = 0; i < block.size; ++i)
                std::memcpy(&sprites[i], in + i * SPRITE_VALUES, SPRITE_VALUES);
            break;
        }
        case STATE_SPRITE_LINK: {
            int32_t number;
            std::memcpy(&number, in, sizeof number);
            *static_cast<SpriteObject**>(block.data) =
                number == -1 ? nullptr : sprite_numbered(number);
            break;
        }
        case STATE_CUSTOM:
            static_cast<void>(block.read(in, length, 1));
            break;
        default:
            std::memcpy(block.data, in, block.size);
            break;
    }
}

// Walks the saved blocks against the game's, calling visit(block, payload, length) for each;
// false, with *why set, at the first that does not match or visit refuses.
template <typename Visit>
bool walk(const uint8_t* state, size_t size, const char** why, Visit visit) {
    size_t at = 0;
    for (int n = 0; n < game_state_block_count(); ++n) {
        const StateBlock& block = *game_state_block(n);
        uint32_t head[2];
        if (size - at < BLOCK_HEAD) {
            *why = "it is cut short";
            return false;
        }
        std::memcpy(head, state + at, sizeof head);
        at += BLOCK_HEAD;
        const size_t length = head[1];
        const bool fixed = block.kind != STATE_CUSTOM;
        if (head[0] != tag_of(block.name) || (fixed && length != payload_size(block)) ||
            length > payload_size(block)) {
            *why = "its blocks are not this game's";
            return false;
        }
        if (size - at < length) {
            *why = "it is cut short";
            return false;
        }
        if (!visit(block, state + at, length)) {
            std::snprintf(refused, sizeof refused, "its %s holds values the game never reaches",
                          block.name);
            *why = refused;
            return false;
        }
        at += length;
    }
    if (at != size) {
        *why = "it holds more than the game's blocks";
        return false;
    }
    return true;
}

}  // namespace

int game_state_block_count() {
    int count = 0;
    for (const StateBlockList* list : state_lists)
        count += list->count;
    return count;
}

const StateBlock* game_state_block(int index) {
    for (const StateBlockList* list : state_lists) {
        if (index < list->count)
            return &list->blocks[index];
        index -= list->count;
    }
    return nullptr;
}

size_t game_snapshot(uint8_t* out, size_t room) {
    size_t at = 0;
    for (int n = 0; n < game_state_block_count(); ++n) {
        const StateBlock& block = *game_state_block(n);
        if (room - at < BLOCK_HEAD + payload_size(block))
            return 0;
        const uint32_t length = static_cast<uint32_t>(write_payload(block, out + at + BLOCK_HEAD));
        const uint32_t head[2] = {tag_of(block.name), length};
        std::memcpy(out + at, head, sizeof head);
        at += BLOCK_HEAD + length;
    }
    return at;
}

int game_state_check(const uint8_t* state, size_t size, const char** why) {
    const char* reason = "";
    const bool ok = state != nullptr &&
                    walk(state, size, &reason,
                         [](const StateBlock& block, const uint8_t* payload, size_t length) {
                             return payload_allowed(block, payload, length);
                         });
    if (why)
        *why = state == nullptr ? "there is nothing" : reason;
    return ok ? 1 : 0;
}

int game_restore(const uint8_t* state, size_t size, const char** why) {
    if (!game_state_check(state, size, why))
        return 0;
    const char* unused = "";
    walk(state, size, &unused, [](const StateBlock& block, const uint8_t* payload, size_t length) {
        apply_payload(block, payload, length);
        return true;
    });
    for (int n = 0; n < game_state_block_count(); ++n) {
        if (const auto restored = game_state_block(n)->restored)
            restored();
    }
    return 1;
}
