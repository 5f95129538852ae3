// Replay files: the header, the items, the start state's coding and the link text.
#include "programs/common/replay_format.h"

#include <cstdio>

namespace {

constexpr uint8_t MAGIC[4] = {'Q', 'R', 'P', 'L'};
enum : uint8_t {
    ITEM_INPUT = 0x01,
    ITEM_CHECKPOINT = 0x02,
    ITEM_DETAIL = 0x03,
    ITEM_CUT = 0x04,
    ITEM_END = 0x7F,
};
// An input op's byte: the message in the low three bits, held keys changed, the passes.
constexpr int OP_MESSAGE_MASK = 0x07;
constexpr int OP_HELD_CHANGE = 0x08;
constexpr int OP_SHORT_PASSES = 15;
constexpr uint8_t KNOWN_FLAGS = REPLAY_PRACTISED | REPLAY_CONTINUED | REPLAY_DETAILS;
constexpr uint32_t FIELD_MASK = (1u << STATE_LINE_FIELDS) - 1;

// --- Writing -----------------------------------------------------------------------------

bool put8(ReplayBytes* out, uint32_t value) {
    return out->push(static_cast<uint8_t>(value));
}

bool put_le(ReplayBytes* out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        if (!put8(out, static_cast<uint8_t>(value >> (8 * i))))
            return false;
    }
    return true;
}

bool put_varint(ReplayBytes* out, uint32_t value) {
    while (value >= 0x80) {
        if (!put8(out, (value & 0x7F) | 0x80))
            return false;
        value >>= 7;
    }
    return put8(out, value);
}

// Signed numbers zigzagged: small negatives stay short.
bool put_signed(ReplayBytes* out, int value) {
    const uint32_t bits = static_cast<uint32_t>(value);
    return put_varint(out, (bits << 1) ^ (value < 0 ? 0xFFFFFFFFu : 0));
}

bool put_text(ReplayBytes* out, const char* text, size_t max) {
    const size_t length = strnlen(text, max);
    return put8(out, static_cast<uint8_t>(length)) &&
           out->append(reinterpret_cast<const uint8_t*>(text), static_cast<int>(length));
}

bool put_times(ReplayBytes* out, const ReplayTimes& times) {
    bool ok = put_varint(out, times.passes) && put8(out, static_cast<uint8_t>(times.split_count));
    for (int i = 0; i < times.split_count && ok; ++i)
        ok = put_varint(out, times.splits[i]);
    return ok;
}

bool put_header(const Replay& replay, uint8_t kind, uint8_t flags, ReplayBytes* out) {
    const bool journal = kind == REPLAY_JOURNAL;
    bool ok = out->append(MAGIC, 4) && put8(out, REPLAY_FORMAT) && put8(out, kind) &&
              put8(out, flags) && put8(out, journal ? uint8_t{OUTCOME_OPEN} : replay.outcome) &&
              put_le(out, replay.data_digest, 8) &&
              put_le(out, journal ? 0 : replay.final_digest, 8) &&
              put_le(out, static_cast<uint64_t>(replay.date), 8) &&
              put_le(out, journal ? 0u : static_cast<uint32_t>(replay.passes), 4) &&
              put_le(out, static_cast<uint32_t>(replay.first_pass), 4) &&
              put_text(out, replay.version, REPLAY_VERSION_MAX) &&
              put_text(out, replay.name, REPLAY_NAME_MAX) && put_times(out, replay.timer_start);
    const ReplayTimes none = {};
    ok = ok && put_times(out, journal ? none : replay.timer_end) &&
         put_signed(out, journal ? 0 : replay.score) &&
         put_signed(out, journal ? 0 : replay.coins) &&
         put_signed(out, journal ? 0 : replay.furthest) &&
         put_varint(out, static_cast<uint32_t>(replay.start.count));
    return ok && out->append(replay.start.items, replay.start.count);
}

// The keys whose held state differs between the two sets, in ascending order.
int toggled_keys(const uint8_t before[INPUT_HELD_BYTES], const uint8_t now[INPUT_HELD_BYTES],
                 uint8_t keys[INPUT_KEYS]) {
    int count = 0;
    for (int key = 0; key < INPUT_KEYS; ++key) {
        if (((before[key >> 3] ^ now[key >> 3]) >> (key & 7)) & 1)
            keys[count++] = static_cast<uint8_t>(key);
    }
    return count;
}

uint32_t fold32(uint64_t hash) {
    return static_cast<uint32_t>(hash ^ (hash >> 32));
}

// --- Reading -----------------------------------------------------------------------------

struct Reader {
    const uint8_t* data;
    size_t size;
    size_t at;
    const char* why;  // the first thing found wrong; null while all is well
    bool short_read;  // the bytes ended inside an item

    bool fail(const char* reason) {
        if (why == nullptr)
            why = reason;
        return false;
    }
    bool take(void* out, size_t count) {
        if (size - at < count) {
            short_read = true;
            return fail("cut short");
        }
        std::memcpy(out, data + at, count);
        at += count;
        return true;
    }
    bool u8(uint8_t* out) { return take(out, 1); }
    bool le(uint64_t* out, int bytes) {
        uint8_t raw[8];
        if (!take(raw, static_cast<size_t>(bytes)))
            return false;
        *out = 0;
        for (int i = bytes - 1; i >= 0; --i)
            *out = *out << 8 | raw[i];
        return true;
    }
    bool varint(uint32_t* out, uint32_t max) {
        uint64_t value = 0;
        for (int shift = 0; shift < 35; shift += 7) {
            uint8_t byte;
            if (!u8(&byte))
                return false;
            value |= static_cast<uint64_t>(byte & 0x7F) << shift;
            if ((byte & 0x80) == 0) {
                if (value > max)
                    return fail("a number out of range");
                *out = static_cast<uint32_t>(value);
                return true;
            }
        }
        return fail("a number too long");
    }
    bool signed_number(int* out) {
        uint32_t bits;
        if (!varint(&bits, 0xFFFFFFFFu))
            return false;
        *out = static_cast<int>((bits >> 1) ^ (0u - (bits & 1)));
        return true;
    }
    bool text(char* out, size_t max) {
        uint8_t length;
        if (!u8(&length))
            return false;
        if (length > max)
            return fail("a name too long");
        if (!take(out, length))
            return false;
        out[length] = '\0';
        for (uint8_t i = 0; i < length; ++i) {
            if (out[i] == '\0' || static_cast<uint8_t>(out[i]) < 0x20 || out[i] == 0x7F)
                return fail("a name with control characters");
        }
        return true;
    }
    bool times(ReplayTimes* out) {
        uint8_t count;
        if (!varint(&out->passes, REPLAY_PASSES_MAX) || !u8(&count))
            return false;
        if (count > REPLAY_SPLITS_MAX)
            return fail("too many splits");
        out->split_count = count;
        for (int i = 0; i < count; ++i) {
            if (!varint(&out->splits[i], REPLAY_PASSES_MAX))
                return false;
        }
        return true;
    }
};

bool read_header(Reader* in, Replay* out) {
    uint8_t magic[4], format;
    if (!in->take(magic, 4) || std::memcmp(magic, MAGIC, 4) != 0)
        return in->fail("not a replay (it does not begin with QRPL)");
    if (!in->u8(&format))
        return false;
    if (format != REPLAY_FORMAT)
        return in->fail(format > REPLAY_FORMAT
                            ? "made in a newer replay format than this game reads"
                            : "made in an older replay format");
    uint64_t data_digest, final_digest, date, passes, first_pass;
    if (!in->u8(&out->kind) || !in->u8(&out->flags) || !in->u8(&out->outcome) ||
        !in->le(&data_digest, 8) || !in->le(&final_digest, 8) || !in->le(&date, 8) ||
        !in->le(&passes, 4) || !in->le(&first_pass, 4))
        return false;
    if (out->kind > REPLAY_JOURNAL)
        return in->fail("of an unknown kind");
    if ((out->flags & ~KNOWN_FLAGS) != 0)
        return in->fail("with unknown flags");
    if (out->outcome > OUTCOME_LEFT)
        return in->fail("with an unknown outcome");
    if (passes > REPLAY_PASSES_MAX || first_pass > 0x7FFFFFFFu - REPLAY_PASSES_MAX)
        return in->fail("a number out of range");
    out->data_digest = data_digest;
    out->final_digest = final_digest;
    out->date = static_cast<int64_t>(date);
    out->passes = static_cast<int>(passes);
    out->first_pass = static_cast<int>(first_pass);
    uint32_t start_length;
    if (!in->text(out->version, REPLAY_VERSION_MAX) || !in->text(out->name, REPLAY_NAME_MAX) ||
        !in->times(&out->timer_start) || !in->times(&out->timer_end) ||
        !in->signed_number(&out->score) || !in->signed_number(&out->coins) ||
        !in->signed_number(&out->furthest) || !in->varint(&start_length, REPLAY_START_MAX))
        return false;
    if (start_length > in->size - in->at) {
        in->short_read = true;
        return in->fail("cut short");
    }
    if (!out->start.append(in->data + in->at, static_cast<int>(start_length)))
        return in->fail("too large for the memory there is");
    in->at += start_length;
    return true;
}

struct Decoding {
    int passes;         // of the records read
    int detail_passes;  // of the details read
    uint8_t fields[STATE_LINE_FIELDS];
    uint8_t held[INPUT_HELD_BYTES];
};

bool read_input(Reader* in, Replay* out, Decoding* d) {
    uint8_t op;
    if (!in->u8(&op))
        return false;
    const int message = op & OP_MESSAGE_MASK;
    if (message > INPUT_CLOSE)
        return in->fail("a record of an unknown kind");
    uint32_t passes = (op >> 4) + 1u;
    if ((op >> 4) == OP_SHORT_PASSES) {
        uint32_t more;
        if (!in->varint(&more, REPLAY_PASSES_MAX))
            return false;
        passes = more + 16;
    }
    if (passes > static_cast<uint32_t>(REPLAY_PASSES_MAX - d->passes))
        return in->fail("too many passes");
    ReplayOp item = {static_cast<int>(passes), INPUT_RECORD_EMPTY};
    if (op & OP_HELD_CHANGE) {
        uint32_t count;
        if (!in->varint(&count, INPUT_KEYS))
            return false;
        if (count == 0)
            return in->fail("a change of keys held with no key");
        int last = -1;
        for (uint32_t i = 0; i < count; ++i) {
            uint8_t key;
            if (!in->u8(&key))
                return false;
            if (key <= last)
                return in->fail("keys held out of order");
            last = key;
            d->held[key >> 3] = static_cast<uint8_t>(d->held[key >> 3] ^ (1 << (key & 7)));
        }
    }
    std::memcpy(item.record.held, d->held, INPUT_HELD_BYTES);
    item.record.message = static_cast<uint8_t>(message);
    if (message == INPUT_KEY) {
        if (!in->u8(&item.record.key))
            return false;
    } else if (message == INPUT_CLICK || message == INPUT_DOUBLE_CLICK) {
        uint32_t x, y;
        if (!in->varint(&x, 0xFFFF) || !in->varint(&y, 0xFFFF))
            return false;
        item.record.x = static_cast<uint16_t>(x);
        item.record.y = static_cast<uint16_t>(y);
    }
    d->passes += item.passes;
    if (!out->ops.push(item))
        return in->fail("too large for the memory there is");
    return true;
}

bool read_detail(Reader* in, Replay* out, Decoding* d) {
    uint32_t mask, repeat;
    if (!in->varint(&mask, FIELD_MASK))
        return false;
    uint8_t fields[STATE_LINE_FIELDS];
    std::memcpy(fields, d->fields, sizeof fields);
    for (int field = 0; field < STATE_LINE_FIELDS; ++field) {
        if (((mask >> field) & 1) && !in->u8(&fields[field]))
            return false;
    }
    if (!in->varint(&repeat, REPLAY_PASSES_MAX))
        return false;
    if (repeat >= static_cast<uint32_t>(REPLAY_PASSES_MAX - d->detail_passes))
        return in->fail("too many passes");
    const bool same =
        out->details.count > 0 &&
        std::memcmp(out->details.items[out->details.count - 1].fields, fields, sizeof fields) == 0;
    if (!same) {
        ReplayDetail entry = {d->detail_passes, {}};
        std::memcpy(entry.fields, fields, sizeof fields);
        if (!out->details.push(entry))
            return in->fail("too large for the memory there is");
    }
    std::memcpy(d->fields, fields, sizeof fields);
    d->detail_passes += static_cast<int>(repeat) + 1;
    return true;
}

bool read_item(Reader* in, Replay* out, Decoding* d, bool* ended) {
    const size_t item_at = in->at;
    uint8_t tag;
    if (!in->u8(&tag))
        return false;
    switch (tag) {
        case ITEM_INPUT:
            return read_input(in, out, d);
        case ITEM_CHECKPOINT: {
            ReplayCheckpoint checkpoint;
            uint64_t digest;
            if (!in->le(&digest, 4) || !in->take(checkpoint.nibbles, sizeof checkpoint.nibbles))
                return false;
            checkpoint.digest = static_cast<uint32_t>(digest);
            if (!out->checkpoints.push(checkpoint))
                return in->fail("too large for the memory there is");
            return true;
        }
        case ITEM_DETAIL:
            if ((out->flags & REPLAY_DETAILS) == 0)
                return in->fail("with details its header does not announce");
            return read_detail(in, out, d);
        case ITEM_CUT: {
            uint32_t keep;
            if (!in->varint(&keep, REPLAY_PASSES_MAX))
                return false;
            if (out->kind != REPLAY_JOURNAL)
                return in->fail("with a cut outside a journal");
            if (static_cast<int>(keep) > d->passes)
                return in->fail("with a cut past its end");
            replay_cut(out, static_cast<int>(keep));
            d->passes = static_cast<int>(keep);
            d->detail_passes = d->detail_passes < d->passes ? d->detail_passes : d->passes;
            std::memset(d->held, 0, sizeof d->held);
            if (out->ops.count > 0)
                std::memcpy(d->held, out->ops.items[out->ops.count - 1].record.held,
                            sizeof d->held);
            std::memset(d->fields, 0, sizeof d->fields);
            if (out->details.count > 0)
                std::memcpy(d->fields, out->details.items[out->details.count - 1].fields,
                            sizeof d->fields);
            return true;
        }
        case ITEM_END: {
            uint64_t checksum;
            if (!in->le(&checksum, 4))
                return false;
            if (static_cast<uint32_t>(checksum) != fold32(replay_fnv64(in->data, item_at)))
                return in->fail("damaged (its checksum does not match)");
            *ended = true;
            return true;
        }
        default:
            return in->fail("damaged (an item of an unknown kind)");
    }
}

// What a finished replay must hold together.
const char* finished_mismatch(const Replay& replay, const Decoding& d) {
    if (d.passes != replay.passes)
        return "damaged (its records do not make its passes)";
    if (replay.passes == 0)
        return "empty (it holds no passes)";
    if (replay.checkpoints.count != replay.passes / REPLAY_CHECKPOINT_PASSES)
        return "damaged (its checkpoints do not match its passes)";
    if ((replay.flags & REPLAY_DETAILS) && d.detail_passes != replay.passes)
        return "damaged (its details do not match its passes)";
    if (replay.timer_start.split_count != replay.timer_end.split_count)
        return "damaged (its splits do not match)";
    return nullptr;
}

// A journal keeps what it wrote whole: the records, checkpoints and details of the same
// passes.
void settle_journal(Replay* replay, const Decoding& d) {
    int passes = d.passes;
    if ((replay->flags & REPLAY_DETAILS) && d.detail_passes < passes)
        passes = d.detail_passes;
    const int checkpoints = replay->checkpoints.count;
    if (checkpoints < passes / REPLAY_CHECKPOINT_PASSES)
        passes = checkpoints * REPLAY_CHECKPOINT_PASSES + REPLAY_CHECKPOINT_PASSES - 1;
    if (passes > d.passes)
        passes = d.passes;
    if (passes < d.passes)
        replay->cut_short = true;
    replay_cut(replay, passes);
    replay->passes = passes;
}

const uint8_t BASE64_DIGITS[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

int base64_value(char c) {
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '-' || c == '+')
        return 62;
    if (c == '_' || c == '/')
        return 63;
    return -1;
}

}  // namespace

void replay_free(Replay* replay) {
    replay->start.release();
    replay->ops.release();
    replay->checkpoints.release();
    replay->details.release();
    *replay = Replay();
}

bool replay_copy(const Replay& from, Replay* out) {
    replay_free(out);
    Replay copy = from;
    copy.start = ReplayBytes();
    copy.ops = ReplayList<ReplayOp>();
    copy.checkpoints = ReplayList<ReplayCheckpoint>();
    copy.details = ReplayList<ReplayDetail>();
    *out = copy;
    const bool ok = out->start.append(from.start.items, from.start.count) &&
                    out->ops.append(from.ops.items, from.ops.count) &&
                    out->checkpoints.append(from.checkpoints.items, from.checkpoints.count) &&
                    out->details.append(from.details.items, from.details.count);
    if (!ok)
        replay_free(out);
    return ok;
}

ReplayCheckpoint replay_checkpoint_of(const StateLine& line) {
    ReplayCheckpoint checkpoint = {fold32(state_line_digest(line)), {}};
    for (int field = 0; field < STATE_LINE_FIELDS; ++field) {
        const uint8_t byte = state_line_field_byte(line, field);
        const uint8_t nibble = static_cast<uint8_t>((byte ^ (byte >> 4)) & 0x0F);
        checkpoint.nibbles[field / 2] |= static_cast<uint8_t>(nibble << (4 * (field & 1)));
    }
    return checkpoint;
}

int replay_nibble(const ReplayCheckpoint& checkpoint, int field) {
    return (checkpoint.nibbles[field / 2] >> (4 * (field & 1))) & 0x0F;
}

bool replay_put_header(const Replay& replay, ReplayBytes* out) {
    return put_header(replay, REPLAY_JOURNAL, replay.flags, out);
}

bool replay_put_input(const uint8_t held[INPUT_HELD_BYTES], const InputRecord& record, int passes,
                      ReplayBytes* out) {
    uint8_t keys[INPUT_KEYS];
    const int toggles = toggled_keys(held, record.held, keys);
    const int message = record.message <= INPUT_CLOSE ? int{record.message} : int{INPUT_NONE};
    const int short_passes = passes - 1 < OP_SHORT_PASSES ? passes - 1 : OP_SHORT_PASSES;
    bool ok = put8(out, ITEM_INPUT) &&
              put8(out, static_cast<uint32_t>(message | (toggles ? OP_HELD_CHANGE : 0) |
                                              short_passes << 4));
    if (short_passes == OP_SHORT_PASSES)
        ok = ok && put_varint(out, static_cast<uint32_t>(passes - 16));
    if (toggles)
        ok = ok && put_varint(out, static_cast<uint32_t>(toggles)) && out->append(keys, toggles);
    if (message == INPUT_KEY)
        ok = ok && put8(out, record.key);
    if (message == INPUT_CLICK || message == INPUT_DOUBLE_CLICK)
        ok = ok && put_varint(out, record.x) && put_varint(out, record.y);
    return ok;
}

bool replay_put_checkpoint(const ReplayCheckpoint& checkpoint, ReplayBytes* out) {
    return put8(out, ITEM_CHECKPOINT) && put_le(out, checkpoint.digest, 4) &&
           out->append(checkpoint.nibbles, REPLAY_NIBBLE_BYTES);
}

bool replay_put_detail(const uint8_t before[STATE_LINE_FIELDS],
                       const uint8_t now[STATE_LINE_FIELDS], int repeat, ReplayBytes* out) {
    uint32_t mask = 0;
    for (int field = 0; field < STATE_LINE_FIELDS; ++field)
        mask |= static_cast<uint32_t>(before[field] != now[field]) << field;
    bool ok = put8(out, ITEM_DETAIL) && put_varint(out, mask);
    for (int field = 0; field < STATE_LINE_FIELDS && ok; ++field) {
        if ((mask >> field) & 1)
            ok = put8(out, now[field]);
    }
    return ok && put_varint(out, static_cast<uint32_t>(repeat));
}

bool replay_put_cut(int passes, ReplayBytes* out) {
    return put8(out, ITEM_CUT) && put_varint(out, static_cast<uint32_t>(passes));
}

bool replay_encode(const Replay& replay, bool with_details, ReplayBytes* out) {
    const bool details = with_details && (replay.flags & REPLAY_DETAILS) != 0;
    const uint8_t flags =
        static_cast<uint8_t>((replay.flags & ~REPLAY_DETAILS) | (details ? REPLAY_DETAILS : 0));
    bool ok = put_header(replay, REPLAY_FINISHED, flags, out);
    uint8_t held[INPUT_HELD_BYTES] = {};
    for (int i = 0; i < replay.ops.count && ok; ++i) {
        const ReplayOp& op = replay.ops.items[i];
        ok = replay_put_input(held, op.record, op.passes, out);
        std::memcpy(held, op.record.held, sizeof held);
    }
    for (int i = 0; i < replay.checkpoints.count && ok; ++i)
        ok = replay_put_checkpoint(replay.checkpoints.items[i], out);
    uint8_t fields[STATE_LINE_FIELDS] = {};
    for (int i = 0; i < replay.details.count && details && ok; ++i) {
        const ReplayDetail& entry = replay.details.items[i];
        const int next =
            i + 1 < replay.details.count ? replay.details.items[i + 1].first : replay.passes;
        ok = replay_put_detail(fields, entry.fields, next - entry.first - 1, out);
        std::memcpy(fields, entry.fields, sizeof fields);
    }
    if (ok)
        ok = put8(out, ITEM_END);
    return ok &&
           put_le(out, fold32(replay_fnv64(out->items, static_cast<size_t>(out->count - 1))), 4);
}

bool replay_decode(const uint8_t* data, size_t size, Replay* out, char* why, size_t why_size) {
    replay_free(out);
    Reader in = {data, size, 0, nullptr, false};
    Decoding d = {};
    bool ended = false;
    if (size > REPLAY_FILE_MAX) {
        in.fail("over the size limit");
    } else if (read_header(&in, out)) {
        while (!ended && in.at < size && read_item(&in, out, &d, &ended)) {
        }
        if (out->kind == REPLAY_JOURNAL && (in.why == nullptr || in.short_read)) {
            // A journal that stops inside an item lost its last pass to the crash; anything
            // else wrong in it is damage.
            in.why = nullptr;
            settle_journal(out, d);
            out->cut_short = out->cut_short || in.short_read;
        } else if (in.why == nullptr && !ended) {
            in.fail("cut short (it has no end mark)");
        } else if (in.why == nullptr && in.at != size) {
            in.fail("damaged (bytes follow its end mark)");
        } else if (in.why == nullptr) {
            in.why = finished_mismatch(*out, d);
        }
    }
    if (in.why != nullptr) {
        if (why != nullptr)
            std::snprintf(why, why_size, "%s", in.why);
        replay_free(out);
        return false;
    }
    return true;
}

bool replay_decode_any(const uint8_t* data, size_t size, Replay* out, char* why, size_t why_size) {
    if (size >= 4 && std::memcmp(data, MAGIC, 4) == 0)
        return replay_decode(data, size, out, why, why_size);
    ReplayBytes bytes;
    const bool text = replay_from_text(reinterpret_cast<const char*>(data), size, &bytes) &&
                      bytes.count >= 4 && std::memcmp(bytes.items, MAGIC, 4) == 0;
    const bool read =
        text && replay_decode(bytes.items, static_cast<size_t>(bytes.count), out, why, why_size);
    if (!text) {
        replay_free(out);
        std::snprintf(why, why_size, "not a replay (neither a replay file nor a link to one)");
    }
    bytes.release();
    return read;
}

void replay_cut(Replay* replay, int passes) {
    int kept = 0, op = 0;
    while (op < replay->ops.count && kept + replay->ops.items[op].passes <= passes)
        kept += replay->ops.items[op++].passes;
    if (op < replay->ops.count && kept < passes) {
        replay->ops.items[op].passes = passes - kept;
        ++op;
    }
    replay->ops.count = op;
    const int checkpoints = passes / REPLAY_CHECKPOINT_PASSES;
    if (replay->checkpoints.count > checkpoints)
        replay->checkpoints.count = checkpoints;
    while (replay->details.count > 0 &&
           replay->details.items[replay->details.count - 1].first >= passes)
        --replay->details.count;
    if (replay->passes > passes || replay->kind == REPLAY_JOURNAL)
        replay->passes = passes;
}

bool replay_add_record(Replay* replay, const InputRecord& record) {
    if (replay->ops.count > 0 && record.message == INPUT_NONE) {
        ReplayOp& last = replay->ops.items[replay->ops.count - 1];
        if (std::memcmp(last.record.held, record.held, INPUT_HELD_BYTES) == 0) {
            ++last.passes;
            ++replay->passes;
            return true;
        }
    }
    ReplayOp op = {1, record};
    if (op.record.message > INPUT_CLOSE)
        op.record.message = INPUT_NONE;
    if (op.record.message != INPUT_KEY)
        op.record.key = 0;
    if (op.record.message != INPUT_CLICK && op.record.message != INPUT_DOUBLE_CLICK)
        op.record.x = op.record.y = 0;
    if (!replay->ops.push(op))
        return false;
    ++replay->passes;
    return true;
}

bool replay_add_detail(Replay* replay, const uint8_t fields[STATE_LINE_FIELDS]) {
    // The details describe the passes of the records, the last of which was just added.
    const int pass = replay->passes - 1;
    if (replay->details.count > 0 &&
        std::memcmp(replay->details.items[replay->details.count - 1].fields, fields,
                    STATE_LINE_FIELDS) == 0)
        return true;
    ReplayDetail entry = {pass, {}};
    std::memcpy(entry.fields, fields, STATE_LINE_FIELDS);
    return replay->details.push(entry);
}

void replay_cursor_start(ReplayCursor* cursor, const Replay* replay) {
    *cursor = {replay, 0, 0};
}

bool replay_cursor_next(ReplayCursor* cursor, InputRecord* record) {
    const Replay& replay = *cursor->replay;
    if (cursor->op >= replay.ops.count)
        return false;
    const ReplayOp& op = replay.ops.items[cursor->op];
    *record = op.record;
    if (cursor->within > 0) {
        record->message = INPUT_NONE;
        record->key = 0;
        record->x = record->y = 0;
    }
    if (++cursor->within == op.passes) {
        ++cursor->op;
        cursor->within = 0;
    }
    return true;
}

const uint8_t* replay_detail_of(const Replay& replay, int pass) {
    if ((replay.flags & REPLAY_DETAILS) == 0 || pass < 0 || pass >= replay.passes)
        return nullptr;
    int low = 0, high = replay.details.count - 1, found = -1;
    while (low <= high) {
        const int middle = (low + high) / 2;
        if (replay.details.items[middle].first <= pass) {
            found = middle;
            low = middle + 1;
        } else {
            high = middle - 1;
        }
    }
    return found < 0 ? nullptr : replay.details.items[found].fields;
}

bool replay_start_code(const uint8_t* state, size_t length, const uint8_t* base, size_t base_length,
                       ReplayBytes* out) {
    out->clear();
    bool ok = put_varint(out, static_cast<uint32_t>(length));
    size_t at = 0;
    const auto base_at = [&](size_t i) { return i < base_length ? base[i] : uint8_t{0}; };
    while (at < length && ok) {
        size_t same = 0;
        while (at + same < length && state[at + same] == base_at(at + same))
            ++same;
        size_t differ = 0;
        while (at + same + differ < length &&
               state[at + same + differ] != base_at(at + same + differ))
            ++differ;
        ok = put_varint(out, static_cast<uint32_t>(same)) &&
             put_varint(out, static_cast<uint32_t>(differ)) &&
             out->append(state + at + same, static_cast<int>(differ));
        at += same + differ;
    }
    return ok;
}

size_t replay_start_decode(const ReplayBytes& coded, const uint8_t* base, size_t base_length,
                           uint8_t* out, size_t room, char* why, size_t why_size) {
    Reader in = {coded.items, static_cast<size_t>(coded.count), 0, nullptr, false};
    uint32_t length = 0;
    if (in.varint(&length, static_cast<uint32_t>(room))) {
        size_t at = 0;
        while (at < length && in.why == nullptr) {
            uint32_t same, differ;
            if (!in.varint(&same, length - static_cast<uint32_t>(at)) ||
                !in.varint(&differ, length - static_cast<uint32_t>(at) - same))
                break;
            if (same + differ == 0) {
                in.fail("damaged");
                break;
            }
            for (uint32_t i = 0; i < same; ++i, ++at)
                out[at] = at < base_length ? base[at] : 0;
            if (!in.take(out + at, differ))
                break;
            at += differ;
        }
        if (in.why == nullptr && in.at != in.size)
            in.fail("damaged");
    }
    if (in.why != nullptr || length == 0) {
        std::snprintf(why, why_size, "its start state is %s", in.why ? in.why : "empty");
        return 0;
    }
    return length;
}

bool replay_to_text(const uint8_t* data, size_t size, ReplayBytes* out) {
    out->clear();
    bool ok = true;
    for (size_t i = 0; i < size && ok; i += 3) {
        const uint32_t chunk = static_cast<uint32_t>(data[i]) << 16 |
                               (i + 1 < size ? data[i + 1] << 8 : 0) |
                               (i + 2 < size ? data[i + 2] : 0);
        const size_t digits = size - i >= 3 ? 4 : size - i + 1;
        for (size_t k = 0; k < digits && ok; ++k)
            ok = put8(out, BASE64_DIGITS[(chunk >> (18 - 6 * k)) & 0x3F]);
    }
    return ok;
}

bool replay_from_text(const char* text, size_t length, ReplayBytes* out) {
    out->clear();
    const char* end = text + length;
    for (const char* p = text; p + 8 <= end; ++p) {
        if (std::memcmp(p, "#replay=", 8) == 0) {
            text = p + 8;
            break;
        }
    }
    // The digits run to the end, but for the blanks and line ends a file or a paste adds.
    while (end > text && (end[-1] == '\n' || end[-1] == '\r' || end[-1] == ' ' || end[-1] == '\t'))
        --end;
    while (text < end && (*text == ' ' || *text == '\t'))
        ++text;
    if (text == end || static_cast<size_t>(end - text) > REPLAY_FILE_MAX / 3 * 4 + 4)
        return false;
    uint32_t chunk = 0;
    int bits = 0;
    for (const char* p = text; p < end; ++p) {
        if (*p == '=')  // padding, from an encoder that adds it
            break;
        const int value = base64_value(*p);
        if (value < 0)
            return false;
        chunk = chunk << 6 | static_cast<uint32_t>(value);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            if (!put8(out, (chunk >> bits) & 0xFF))
                return false;
        }
    }
    return out->count > 0;
}
