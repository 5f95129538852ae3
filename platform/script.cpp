// Play scripts: reading the text into key presses, clicks, double clicks, close requests and
// held keys; writing it back; delivering a pass's input.
#include "platform/script.h"

#include <climits>
#include <cstdint>

#include "platform/file_read.h"
#include "platform/text_escape.h"
#include "platform/types.h"

namespace {

struct KeyName {
    const char* name;
    int code;
};
// The first name of a code is the one written.
const KeyName key_names[] = {
    {"LEFT", KEY_LEFT},     {"RIGHT", KEY_RIGHT},   {"UP", KEY_UP},         {"DOWN", KEY_DOWN},
    {"RETURN", KEY_RETURN}, {"ENTER", KEY_RETURN},  {"ESCAPE", KEY_ESCAPE}, {"DELETE", KEY_DELETE},
    {"NEXT", KEY_NEXT},     {"PAGEDOWN", KEY_NEXT},
};

// Past this a number only grows out of every range, so it stops growing instead of wrapping.
constexpr int64_t NUMBER_CEILING = INT64_C(1) << 40;

int digit_value(char c, int base) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (base == 16 && c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (base == 16 && c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// What went wrong on a line; false, so that readers can return it.
bool refuse(ScriptError* error, const std::string& word, const char* why) {
    error->word = text_escaped(word);
    error->why = why;
    return false;
}

bool read_pass(const std::string& word, int* out, ScriptError* error) {
    return script_read_number(word.c_str(), 0, INT_MAX, out) ||
           refuse(error, word, "not a pass (a number from 0 to 2147483647)");
}

bool read_key(const std::string& word, int* out, ScriptError* error) {
    for (const KeyName& k : key_names) {
        if (word == k.name) {
            *out = k.code;
            return true;
        }
    }
    if (word.size() == 1 &&
        ((word[0] >= 'A' && word[0] <= 'Z') || (word[0] >= '0' && word[0] <= '9'))) {
        *out = static_cast<unsigned char>(word[0]);
        return true;
    }
    return script_read_number(word.c_str(), 0, 255, out) ||
           refuse(error, word, "not a key (a name such as LEFT, A to Z, 0 to 9, or 0 to 255)");
}

bool read_point(const std::vector<std::string>& words, int* x, int* y, ScriptError* error) {
    if (!script_read_number(words[2].c_str(), 0, SCRIPT_FRAME_WIDTH - 1, x))
        return refuse(error, words[2], "not an x inside the frame (0 to 639)");
    if (!script_read_number(words[3].c_str(), 0, SCRIPT_FRAME_HEIGHT - 1, y))
        return refuse(error, words[3], "not a y inside the frame (0 to 479)");
    return true;
}

std::vector<std::string> words_of(const std::string& text, size_t from, size_t to) {
    std::vector<std::string> words;
    size_t at = from;
    for (;;) {
        while (at < to && (text[at] == ' ' || text[at] == '\t' || text[at] == '\r'))
            ++at;
        if (at >= to || text[at] == '#')
            return words;
        const size_t start = at;
        while (at < to && text[at] != ' ' && text[at] != '\t' && text[at] != '\r' &&
               text[at] != '#')
            ++at;
        words.push_back(text.substr(start, at - start));
    }
}

// The word count a command takes (a hold takes at least its count); false with the error set
// when the line has another.
bool count_words(const std::vector<std::string>& words, size_t count, bool or_more,
                 const char* needs, ScriptError* error) {
    if (words.size() < count)
        return refuse(error, words[0], needs);
    if (words.size() > count && !or_more)
        return refuse(error, words[count], "more than the command takes");
    return true;
}

bool read_hold(const std::vector<std::string>& words, Script* script, ScriptError* error) {
    ScriptHold hold{0, 0, {}};
    if (!count_words(words, 4, true, "needs its first and last pass and a key", error) ||
        !read_pass(words[1], &hold.first, error) || !read_pass(words[2], &hold.last, error)) {
        return false;
    }
    if (hold.last < hold.first)
        return refuse(error, words[2], "the hold ends before it starts");
    for (size_t i = 3; i < words.size(); ++i) {
        int key = 0;
        if (!read_key(words[i], &key, error))
            return false;
        hold.keys.push_back(key);
    }
    script->holds.push_back(hold);
    return true;
}

// One line with something on it; false, with the error set, when it cannot be read.
bool read_line(const std::vector<std::string>& words, Script* script, ScriptError* error) {
    const std::string& command = words[0];
    ScriptEvent e{ScriptCommand::key, 0, 0, 0};
    if (command == "key") {
        if (!count_words(words, 3, false, "needs a pass and a key", error) ||
            !read_pass(words[1], &e.pass, error) || !read_key(words[2], &e.a, error)) {
            return false;
        }
    } else if (command == "click" || command == "dblclick") {
        e.command = command == "click" ? ScriptCommand::click : ScriptCommand::double_click;
        if (!count_words(words, 4, false, "needs a pass, x and y", error) ||
            !read_pass(words[1], &e.pass, error) || !read_point(words, &e.a, &e.b, error)) {
            return false;
        }
    } else if (command == "close") {
        e.command = ScriptCommand::close;
        if (!count_words(words, 2, false, "needs a pass", error) ||
            !read_pass(words[1], &e.pass, error)) {
            return false;
        }
    } else if (command == "hold") {
        return read_hold(words, script, error);
    } else {
        return refuse(error, command, "not a command (key, click, dblclick, hold or close)");
    }
    script->events.push_back(e);
    return true;
}

// The word a NUL byte is in; the NUL alone when it lies in a comment or among blanks.
std::string word_holding_nul(const std::vector<std::string>& words) {
    for (const std::string& word : words) {
        if (word.find('\0') != std::string::npos)
            return word;
    }
    return std::string(1, '\0');
}

std::string key_text(int key) {
    for (const KeyName& k : key_names) {
        if (k.code == key)
            return k.name;
    }
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
        return std::string(1, static_cast<char>(key));
    // Codes 0 to 9 in one decimal digit would read back as the digit keys.
    return key < 10 ? "0x" + std::to_string(key) : std::to_string(key);
}

}  // namespace

bool script_last_frame(const std::string& text, int* pass, uint64_t* digest) {
    static constexpr char NOTE[] = "# last frame: pass ";
    static constexpr char DIGEST[] = ", digest ";
    const size_t note = text.find(NOTE);
    if (note == std::string::npos)
        return false;
    // Each number is read to its last digit, then checked, so that no digits are dropped.
    size_t at = note + sizeof NOTE - 1;
    const size_t pass_at = at;
    while (at < text.size() && at - pass_at < 11 && text[at] >= '0' && text[at] <= '9')
        ++at;
    int read_pass = 0;
    if (!script_read_number(text.substr(pass_at, at - pass_at).c_str(), 0, INT_MAX, &read_pass) ||
        text.compare(at, sizeof DIGEST - 1, DIGEST) != 0) {
        return false;
    }
    at += sizeof DIGEST - 1;
    uint64_t value = 0;
    int digits = 0;
    for (int d; at < text.size() && (d = digit_value(text[at], 16)) >= 0; ++at, ++digits) {
        if (digits == 16)
            return false;
        value = value << 4 | static_cast<uint64_t>(d);
    }
    if (digits == 0 ||
        (at < text.size() && text[at] != '\n' && text[at] != '\r' && text[at] != ' '))
        return false;
    *pass = read_pass;
    *digest = value;
    return true;
}

bool script_read_number(const char* text, int min, int max, int* out, const char** why) {
    const char* reason = "not a number";
    const char* p = text ? text : "";
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    int base = 10;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        base = 16;
        p += 2;
    }
    int64_t value = 0;
    int digits = 0;
    for (int d; (d = digit_value(*p, base)) >= 0; ++p, ++digits) {
        if (value < NUMBER_CEILING)
            value = value * base + d;
    }
    if (digits > 0 && *p == '\0') {
        if (negative)
            value = -value;
        if (value >= min && value <= max) {
            *out = static_cast<int>(value);
            return true;
        }
        reason = "out of range";
    }
    if (why)
        *why = reason;
    return false;
}

int script_parse(const std::string& text, Script* script,
                 void (*bad_line)(const ScriptError& error, void* context), void* context) {
    int bad = 0;
    ScriptError error{0, "", ""};
    size_t nul = text.find('\0');
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        const std::vector<std::string> words = words_of(text, at, end);
        if (nul < at)
            nul = text.find('\0', at);
        at = end + 1;
        ++error.line;
        if (nul < end) {
            // A NUL would end a word early wherever it is read as a C string ("5\0junk" as 5).
            refuse(&error, word_holding_nul(words), "holds a NUL byte: not text");
        } else if (words.empty() || read_line(words, script, &error)) {
            continue;
        }
        ++bad;
        if (bad_line)
            bad_line(error, context);
    }
    return bad;
}

bool script_read_file(const char* path, std::string* text, char* why, size_t why_size) {
    return file_read_whole(path, SCRIPT_FILE_MAX, text, why, why_size);
}

// Built by appending: GCC 12 at -O3 takes the operator+ temporaries for overlapping copies
// (-Wrestrict, a false alarm).
std::string script_write(const Script& script) {
    std::string text;
    for (const ScriptHold& hold : script.holds) {
        text.append("hold ").append(std::to_string(hold.first));
        text.append(" ").append(std::to_string(hold.last));
        for (int key : hold.keys)
            text.append(" ").append(key_text(key));
        text.append("\n");
    }
    for (const ScriptEvent& e : script.events) {
        const std::string pass = std::to_string(e.pass);
        switch (e.command) {
            case ScriptCommand::key:
                text.append("key ").append(pass).append(" ").append(key_text(e.a)).append("\n");
                break;
            case ScriptCommand::click:
            case ScriptCommand::double_click:
                text.append(e.command == ScriptCommand::click ? "click " : "dblclick ");
                text.append(pass).append(" ").append(std::to_string(e.a));
                text.append(" ").append(std::to_string(e.b)).append("\n");
                break;
            case ScriptCommand::close:
                text.append("close ").append(pass).append("\n");
                break;
        }
    }
    return text;
}

void script_deliver(const Script& script, int pass, const PlatformInput* input) {
    for (const ScriptEvent& e : script.events) {
        if (e.pass != pass)
            continue;
        switch (e.command) {
            case ScriptCommand::key:
                input->key_down(e.a);
                break;
            case ScriptCommand::click:
                input->button_down(e.a, e.b, 0);
                break;
            case ScriptCommand::double_click:
                input->button_down(e.a, e.b, 1);
                break;
            case ScriptCommand::close:
                input->close();
                break;
        }
    }
}

bool script_read_record(const std::string& line, InputRecord* record, ScriptError* error) {
    *record = INPUT_RECORD_EMPTY;
    const std::vector<std::string> words = words_of(line, 0, line.size());
    size_t at = 0;
    for (; at < words.size(); ++at) {
        const std::string& w = words[at];
        if (w == "key" || w == "click" || w == "dblclick" || w == "close")
            break;
        int key = 0;
        if (!read_key(w, &key, error))
            return false;
        input_hold(record, key);
    }
    if (at == words.size())
        return true;
    // The message: a script line of its own, with the pass left out.
    std::vector<std::string> message = {words[at], "0"};
    message.insert(message.end(), words.begin() + static_cast<long>(at) + 1, words.end());
    Script one;
    if (!read_line(message, &one, error))
        return false;
    const ScriptEvent& e = one.events[0];
    static const uint8_t kinds[] = {INPUT_KEY, INPUT_CLICK, INPUT_DOUBLE_CLICK, INPUT_CLOSE};
    record->message = kinds[static_cast<int>(e.command)];
    if (e.command == ScriptCommand::key) {
        record->key = static_cast<uint8_t>(e.a);
    } else if (e.command != ScriptCommand::close) {
        record->x = static_cast<uint16_t>(e.a);
        record->y = static_cast<uint16_t>(e.b);
    }
    return true;
}

void script_hold(const Script& script, int pass, InputRecord* record) {
    for (const ScriptHold& hold : script.holds) {
        if (pass >= hold.first && pass <= hold.last) {
            for (int key : hold.keys)
                input_hold(record, key);
        }
    }
}

void script_record(const Script& script, int pass, InputRecord* record) {
    *record = INPUT_RECORD_EMPTY;
    script_hold(script, pass, record);
    script_deliver(script, pass, &input_queue);
    input_queue_take(record);
}
