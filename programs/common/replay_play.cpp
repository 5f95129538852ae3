// Playing a replay back: its records, the checkpoints compared, and the verdict.
#include "programs/common/replay_play.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/display.h"
#include "engine/sound.h"
#include "shell/app.h"
#include "shell/savestate.h"
#include "shell/snapshot.h"

namespace {

StateLine line;
// The start state decoded, on its way into the game; the game as a watched replay left it,
// while its difference is narrowed down.
uint8_t start_state[GAME_SNAPSHOT_MAX];
uint8_t left_at[GAME_SNAPSHOT_MAX];

// The fields whose digests differ between a checkpoint and the line.
uint32_t nibbles_differing(const ReplayCheckpoint& kept, const ReplayCheckpoint& now) {
    uint32_t mask = 0;
    for (int field = 0; field < STATE_LINE_FIELDS; ++field) {
        if (replay_nibble(kept, field) != replay_nibble(now, field))
            mask |= 1u << field;
    }
    return mask;
}

int first_field(uint32_t mask) {
    for (int field = 0; field < STATE_LINE_FIELDS; ++field) {
        if ((mask >> field) & 1)
            return field;
    }
    return -1;
}

bool keep_good_state(ReplayPlayer* player) {
    if (player->good_state == nullptr) {
        player->good_state = static_cast<uint8_t*>(std::malloc(GAME_SNAPSHOT_MAX));
        if (player->good_state == nullptr)
            return false;
    }
    player->good_length = game_snapshot(player->good_state, GAME_SNAPSHOT_MAX);
    player->good_passes = player->played;
    return player->good_length > 0;
}

void free_player(ReplayPlayer* player) {
    std::free(player->good_state);
    *player = ReplayPlayer{};
}

// Plays again from the last checkpoint that matched, unseen and unheard, comparing every
// pass's field digests with the replay's up to limit passes: the first pass that differs
// and its fields. false when the replay keeps no details or none differ.
bool narrow_down(ReplayPlayer* player, int limit, ReplayVerdict* verdict) {
    const Replay& replay = *player->replay;
    if ((replay.flags & REPLAY_DETAILS) == 0 || player->good_length == 0)
        return false;
    const char* why = "";
    if (!game_restore(player->good_state, player->good_length, &why))
        return false;
    ReplayCursor cursor;
    replay_cursor_start(&cursor, &replay);
    InputRecord record;
    for (int i = 0; i < player->good_passes; ++i)
        replay_cursor_next(&cursor, &record);
    display_set_presenting(0);
    sound_set_quiet(1);
    bool found = false;
    for (int pass = player->good_passes; pass < limit && !found; ++pass) {
        if (!replay_cursor_next(&cursor, &record))
            break;
        const int going = app_run_pass(&record);
        state_line_make(&line, app_next_pass() - 1);
        const uint8_t* kept = replay_detail_of(replay, pass);
        uint32_t mask = 0;
        for (int field = 0; kept != nullptr && field < STATE_LINE_FIELDS; ++field) {
            if (state_line_field_byte(line, field) != kept[field])
                mask |= 1u << field;
        }
        if (mask != 0) {
            verdict->first = verdict->last = replay.first_pass + pass;
            verdict->field = first_field(mask);
            verdict->fields = mask;
            found = true;
        }
        if (!going)
            break;
    }
    sound_set_quiet(0);
    display_set_presenting(1);
    return found;
}

}  // namespace

bool replay_play_begin(ReplayPlayer* player, const Replay* replay, const uint8_t* base,
                       size_t base_length, char* why, size_t why_size) {
    *player = ReplayPlayer{};
    player->replay = replay;
    player->bad_checkpoint = -1;
    if (std::strcmp(replay->version, QUELLARO_VERSION) != 0) {
        std::snprintf(why, why_size, "it was made by Quellaro 2005 %s; this is %s",
                      replay->version[0] ? replay->version : "(unnamed)", QUELLARO_VERSION);
        return false;
    }
    if (replay->data_digest != savestate_data_digest()) {
        std::snprintf(why, why_size,
                      "it was made with other pictures or sounds than the game has here");
        return false;
    }
    if (replay->start.count > 0) {
        const size_t length = replay_start_decode(replay->start, base, base_length, start_state,
                                                  sizeof start_state, why, why_size);
        const char* refused = "";
        if (length == 0)
            return false;
        if (!game_restore(start_state, length, &refused)) {
            std::snprintf(why, why_size, "its start state is not one of this game: %s", refused);
            return false;
        }
    } else if (!game_restore(base, base_length, nullptr)) {
        std::snprintf(why, why_size, "the game cannot go back to its start");
        return false;
    }
    run_timer_start(&player->timer, replay->timer_start);
    replay_cursor_start(&player->cursor, replay);
    if (!keep_good_state(player)) {
        std::snprintf(why, why_size, "there is no memory to check it");
        free_player(player);
        return false;
    }
    return true;
}

bool replay_play_next(ReplayPlayer* player, InputRecord* record) {
    if (player->ended)
        return false;
    return replay_cursor_next(&player->cursor, record);
}

void replay_play_after(ReplayPlayer* player, int going) {
    run_timer_pass(&player->timer);
    ++player->played;
    player->ended = going == 0;
    const Replay& replay = *player->replay;
    if (player->played % REPLAY_CHECKPOINT_PASSES != 0 || player->bad_checkpoint >= 0)
        return;
    const int index = player->played / REPLAY_CHECKPOINT_PASSES - 1;
    if (index >= replay.checkpoints.count)
        return;
    state_line_make(&line, app_next_pass() - 1);
    const ReplayCheckpoint now = replay_checkpoint_of(line);
    const ReplayCheckpoint& kept = replay.checkpoints.items[index];
    if (now.digest == kept.digest) {
        keep_good_state(player);
    } else {
        player->bad_checkpoint = index;
        player->bad_fields = nibbles_differing(kept, now);
    }
}

bool replay_play_differs(const ReplayPlayer& player) {
    return player.bad_checkpoint >= 0;
}

int replay_play_done(const ReplayPlayer& player) {
    return player.played;
}

void replay_play_verdict(ReplayPlayer* player, ReplayVerdict* verdict) {
    const Replay& replay = *player->replay;
    *verdict = ReplayVerdict{};
    verdict->passes = player->played;
    verdict->times = run_timer_times(player->timer);
    verdict->field = -1;
    state_line_make(&line, app_next_pass() - 1);
    verdict->final_digest = state_line_digest(line);
    const bool finished = replay.kind == REPLAY_FINISHED;
    int window_end = player->played;
    bool differs = false;
    if (player->bad_checkpoint >= 0) {
        differs = true;
        window_end = (player->bad_checkpoint + 1) * REPLAY_CHECKPOINT_PASSES;
        verdict->fields = player->bad_fields;
        verdict->field = first_field(player->bad_fields);
    } else if (player->played < replay.passes) {
        std::snprintf(verdict->note, sizeof verdict->note,
                      player->ended ? "the game ended after %d of its %d passes"
                                    : "stopped after %d of its %d passes",
                      player->played, replay.passes);
        differs = player->ended;
        verdict->result = VERDICT_UNCHECKED;
    } else if (finished && verdict->final_digest != replay.final_digest) {
        differs = true;
    } else if (finished && (verdict->times.passes != replay.timer_end.passes ||
                            std::memcmp(verdict->times.splits, replay.timer_end.splits,
                                        sizeof(uint32_t) * RUN_SPLITS) != 0)) {
        char now[32], kept[32];
        run_timer_text(static_cast<int>(verdict->times.passes), now, sizeof now);
        run_timer_text(static_cast<int>(replay.timer_end.passes), kept, sizeof kept);
        std::snprintf(verdict->note, sizeof verdict->note,
                      "the timer gives %s (%u passes) where the replay says %s (%u)", now,
                      verdict->times.passes, kept, replay.timer_end.passes);
        verdict->result = VERDICT_DIFFERS;
    }
    if (differs) {
        verdict->result = VERDICT_DIFFERS;
        verdict->first = replay.first_pass + player->good_passes;
        verdict->last = replay.first_pass + window_end - 1;
        narrow_down(player, window_end, verdict);
    }
    free_player(player);
}

void replay_play_judge(ReplayPlayer* player, ReplayVerdict* verdict, char* text, size_t size) {
    const size_t length = game_snapshot(left_at, sizeof left_at);
    replay_play_verdict(player, verdict);
    if (length > 0) {
        const char* why = "";
        game_restore(left_at, length, &why);
    }
    replay_verdict_text(*verdict, text, size);
}

void replay_play_stop(ReplayPlayer* player) {
    free_player(player);
}

void replay_fields_text(uint32_t mask, char* out, size_t size) {
    size_t at = 0;
    out[0] = '\0';
    for (int field = 0; field < STATE_LINE_FIELDS && at < size; ++field) {
        if ((mask >> field) & 1) {
            const int written = std::snprintf(out + at, size - at, "%s%s", at ? ", " : "",
                                              state_line_field_name(field));
            at += written > 0 ? static_cast<size_t>(written) : 0;
        }
    }
}

void replay_verdict_text(const ReplayVerdict& verdict, char* out, size_t size) {
    char time[32];
    run_timer_text(static_cast<int>(verdict.times.passes), time, sizeof time);
    if (verdict.result == VERDICT_MATCHES) {
        std::snprintf(out, size, "OK: %d passes, time %s, final digest %016" PRIx64, verdict.passes,
                      time, verdict.final_digest);
        return;
    }
    if (verdict.result == VERDICT_UNCHECKED) {
        std::snprintf(out, size, "NOT CHECKED: %s", verdict.note);
        return;
    }
    if (verdict.first == 0 && verdict.last == 0 && verdict.note[0]) {
        std::snprintf(out, size, "DIFFERS: %s", verdict.note);
        return;
    }
    char fields[256];
    replay_fields_text(verdict.fields, fields, sizeof fields);
    const char* field = verdict.field >= 0 ? state_line_field_name(verdict.field) : "";
    if (verdict.first == verdict.last) {
        std::snprintf(out, size, "DIFFERS at pass %d, first in %s (fields that differ: %s)",
                      verdict.first, field[0] ? field : "(unknown)", fields[0] ? fields : "?");
    } else {
        std::snprintf(out, size,
                      "DIFFERS between pass %d and pass %d%s%s (this replay keeps no digests "
                      "of every pass to tell which%s%s)",
                      verdict.first, verdict.last, field[0] ? ", first in " : "", field,
                      fields[0] ? "; fields that differ at the checkpoint: " : "", fields);
    }
}
