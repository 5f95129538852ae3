// The timer's panel and the results card.
#include "programs/common/run_overlay.h"

#include <cstddef>
#include <cstdio>
#include <cstring>

#include "engine/font.h"
#include "programs/common/overlay.h"

namespace {

constexpr int PANEL_TOP = 52;  // under the HUD's two lines, beside the practice note
constexpr int PANEL_MARGIN = 8;
constexpr int PANEL_WIDTH = 196;
constexpr int PAD = 8;
constexpr int LINE = FONT_HEIGHT + 2;
constexpr int CARD_WIDTH = 400;
// After a win, under the game's own "YOU WIN" and the timer's panel; after a death, over the
// title's name, clear of its menu.
constexpr int CARD_TOP_WON = 300;
constexpr int CARD_TOP_DIED = 8;
constexpr uint32_t WHITE = 0xFFFFFFFFu;
constexpr uint32_t GREY = 0xFFB0B0B0u;
constexpr uint32_t GOLD = 0xFFFFD040u;
constexpr uint32_t GREEN = 0xFF40E040u;
constexpr uint32_t RED = 0xFFFF5040u;

// Where red lies: set by the program before anything is drawn.
bool red_low;

uint32_t colour(uint32_t argb) {
    if (!red_low)
        return argb;
    return (argb & 0xFF00FF00u) | (argb >> 16 & 0xFFu) | (argb & 0xFFu) << 16;
}

void text(uint32_t* pixels, int pitch, int width, int height, int x, int y, const char* s,
          uint32_t argb, int scale = 1) {
    font_draw(reinterpret_cast<uint8_t*>(pixels), pitch * 4, 4, width, height, x, y, s,
              static_cast<int>(std::strlen(s)), colour(argb), scale);
}

// Text whose right edge is at right.
void text_right(uint32_t* pixels, int pitch, int width, int height, int right, int y, const char* s,
                uint32_t argb, int scale = 1) {
    const int w = font_text_width(s, static_cast<int>(std::strlen(s))) * scale;
    text(pixels, pitch, width, height, right - w, y, s, argb, scale);
}

void text_centred(uint32_t* pixels, int pitch, int width, int height, int y, const char* s,
                  uint32_t argb, int scale = 1) {
    const int w = font_text_width(s, static_cast<int>(std::strlen(s))) * scale;
    text(pixels, pitch, width, height, (width - w) / 2, y, s, argb, scale);
}

uint32_t mix(uint32_t hash, int value) {
    return (hash ^ static_cast<uint32_t>(value)) * 16777619u;
}

}  // namespace

void run_overlay_red_low(bool low) {
    red_low = low;
}

void run_overlay_timer(uint32_t* pixels, int pitch, int width, int height, const RunTimer& timer,
                       const PersonalBest& best) {
    if (pixels == nullptr)
        return;
    const int right = width - PANEL_MARGIN, left = right - PANEL_WIDTH;
    const int bottom = PANEL_TOP + PAD + 2 * FONT_HEIGHT + 4 + (RUN_SPLITS + 1) * LINE + PAD;
    overlay_darken(pixels, pitch, width, height, left, PANEL_TOP, right, bottom, 2);
    char figure[32], difference[32];
    run_timer_text(timer.passes, figure, sizeof figure);
    int y = PANEL_TOP + PAD;
    text_right(pixels, pitch, width, height, right - PAD, y, figure, WHITE, 2);
    y += 2 * FONT_HEIGHT + 4;
    for (int i = 0; i < RUN_SPLITS; ++i, y += LINE) {
        const int at = timer.splits[i];
        const int best_at = best.time > 0 ? best.splits[i] : 0;
        text(pixels, pitch, width, height, left + PAD, y, run_split_points[i].name,
             at > 0 ? WHITE : GREY);
        if (at > 0 && best_at > 0) {
            run_timer_difference(at - best_at, difference, sizeof difference);
            text_right(pixels, pitch, width, height, right - PAD, y, difference,
                       at <= best_at ? GREEN : RED);
        }
        // Reached: its time; not yet: the best's, in grey, to aim at.
        const int shown = at > 0 ? at : best_at;
        if (shown > 0) {
            run_timer_text(shown, figure, sizeof figure);
            text_right(pixels, pitch, width, height, right - PAD - 64, y, figure,
                       at > 0 ? WHITE : GREY);
        }
    }
    if (best.time > 0) {
        run_timer_text(best.time, figure, sizeof figure);
        text(pixels, pitch, width, height, left + PAD, y, "Best", GOLD);
        text_right(pixels, pitch, width, height, right - PAD - 64, y, figure, GOLD);
    } else {
        text(pixels, pitch, width, height, left + PAD, y, "No best yet", GREY);
    }
}

void run_overlay_card(uint32_t* pixels, int pitch, int width, int height, const RunCard& card) {
    if (pixels == nullptr)
        return;
    const bool won = card.outcome == OUTCOME_WON;
    const int lines = (won ? 3 : 4) + (card.practised || card.kept == 0 ? 1 : 0);
    const int left = (width - CARD_WIDTH) / 2;
    const int top = won ? CARD_TOP_WON : CARD_TOP_DIED;
    const int bottom = top + PAD * 2 + 2 * FONT_HEIGHT + 8 + lines * LINE;
    overlay_darken(pixels, pitch, width, height, left, top, left + CARD_WIDTH, bottom, 2);
    int y = top + PAD;
    text_centred(pixels, pitch, width, height, y, won ? "Level cleared" : "Run over", GOLD, 2);
    y += 2 * FONT_HEIGHT + 8;
    char line[96], figure[32];
    run_timer_text(card.passes, figure, sizeof figure);
    std::snprintf(line, sizeof line, "Time %s%s", figure,
                  card.beaten & BEAT_TIME ? "   New best time!" : "");
    text_centred(pixels, pitch, width, height, y, line, card.beaten & BEAT_TIME ? GREEN : WHITE);
    y += LINE;
    std::snprintf(line, sizeof line, "Score %d%s   Coins %d", card.score,
                  card.beaten & BEAT_SCORE ? " (best!)" : "", card.coins);
    text_centred(pixels, pitch, width, height, y, line, card.beaten & BEAT_SCORE ? GREEN : WHITE);
    y += LINE;
    if (!won) {
        std::snprintf(line, sizeof line, "Got %d%% of the way through the level", card.percent);
        text_centred(pixels, pitch, width, height, y, line, WHITE);
        y += LINE;
    }
    if (card.practised) {
        text_centred(pixels, pitch, width, height, y, "Practised: kept, but never a best", GREY);
        y += LINE;
    } else if (card.kept == 0) {
        text_centred(pixels, pitch, width, height, y, "This run could not be saved", RED);
        y += LINE;
    }
    y += LINE / 2;
    if (won)
        std::snprintf(line, sizeof line, "%s: back to the title", card.title_key);
    else
        std::snprintf(line, sizeof line, "%s: play again   %s: quit", card.again_key,
                      card.title_key);
    text_centred(pixels, pitch, width, height, y, line, WHITE);
}

int run_overlay_look(const RunTimer* timer, const RunCard* card) {
    if (timer == nullptr && card == nullptr)
        return 0;
    uint32_t hash = 2166136261u;
    if (timer != nullptr) {
        hash = mix(hash, timer->passes);
        for (const int split : timer->splits)
            hash = mix(hash, split);
    }
    if (card != nullptr)
        hash = mix(mix(mix(hash, card->outcome + 7), card->passes), card->kept + card->beaten);
    return static_cast<int>(hash >> 1 | 1);
}
