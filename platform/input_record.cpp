// The input queue and the record of a pass from the platform's live input.
#include "platform/input_record.h"

namespace {

struct QueuedMessage {
    uint8_t message, key;
    uint16_t x, y;
};

// Far more than a burst of input ever holds between two passes; beyond it, later messages
// are dropped, as a full queue of old dropped them.
constexpr int QUEUE_CAPACITY = 256;
// Messages waiting for their pass, oldest at head.
QueuedMessage waiting[QUEUE_CAPACITY];
int head;
int count;

void put(const QueuedMessage& message) {
    if (count == QUEUE_CAPACITY)
        return;
    waiting[(head + count) % QUEUE_CAPACITY] = message;
    ++count;
}

void put_key(int key) {
    if (key >= 0 && key < INPUT_KEYS)
        put({INPUT_KEY, static_cast<uint8_t>(key), 0, 0});
}

// Positions are frame pixels: anything else is cut to 16 bits as the message word cuts it.
void put_click(int x, int y, int double_click) {
    put({double_click ? INPUT_DOUBLE_CLICK : INPUT_CLICK, 0, static_cast<uint16_t>(x),
         static_cast<uint16_t>(y)});
}

void put_close() {
    put({INPUT_CLOSE, 0, 0, 0});
}

}  // namespace

const PlatformInput input_queue = {put_key, put_click, put_close};

void input_queue_take(InputRecord* record) {
    record->message = INPUT_NONE;
    record->key = 0;
    record->x = record->y = 0;
    if (count == 0)
        return;
    const QueuedMessage& oldest = waiting[head];
    record->message = oldest.message;
    record->key = oldest.key;
    record->x = oldest.x;
    record->y = oldest.y;
    head = (head + 1) % QUEUE_CAPACITY;
    --count;
}

int input_queue_length() {
    return count;
}

void input_queue_clear() {
    head = count = 0;
}

void input_take_live(InputRecord* record) {
    platform_pump_events(&input_queue);
    platform_read_held_keys(record->held);
    input_queue_take(record);
}
