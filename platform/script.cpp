// Play scripts: reading the text into key presses, clicks, double clicks, close requests and
// held keys; writing it back; delivering a pass's input.
#include "platform/script.h"

#include <cstdlib>
#include <cstring>

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

bool parse_int(const std::string& text, long* out) {
    return script_read_number(text.c_str(), out);
}

bool parse_key(const std::string& text, int* out) {
    for (const KeyName& k : key_names) {
        if (text == k.name) {
            *out = k.code;
            return true;
        }
    }
    if (text.size() == 1 &&
        ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= '0' && text[0] <= '9'))) {
        *out = static_cast<unsigned char>(text[0]);
        return true;
    }
    long value;
    if (parse_int(text, &value) && value >= 0 && value <= 255) {
        *out = static_cast<int>(value);
        return true;
    }
    return false;
}

std::vector<std::string> words_of(std::string line) {
    line = line.substr(0, line.find('#'));
    std::vector<std::string> words;
    size_t at = 0;
    while ((at = line.find_first_not_of(" \t\r", at)) != std::string::npos) {
        const size_t end = line.find_first_of(" \t\r", at);
        words.push_back(line.substr(at, end - at));
        at = end;
    }
    return words;
}

// Reads the numbers after the command into values; false unless all of them are numbers.
bool numbers(const std::vector<std::string>& words, size_t count, long* values) {
    for (size_t i = 0; i < count; ++i) {
        if (!parse_int(words[i + 1], &values[i]))
            return false;
    }
    return true;
}

bool parse_hold(const std::vector<std::string>& words, Script* script) {
    long range[2];
    if (words.size() < 4 || !numbers(words, 2, range))
        return false;
    ScriptHold hold{static_cast<int>(range[0]), static_cast<int>(range[1]), {}};
    for (size_t i = 3; i < words.size(); ++i) {
        int key = 0;
        if (!parse_key(words[i], &key))
            return false;
        hold.keys.push_back(key);
    }
    script->holds.push_back(hold);
    return true;
}

// One line with something on it; false when it cannot be read.
bool parse_line(const std::vector<std::string>& words, Script* script) {
    const std::string& command = words[0];
    long v[3];
    int key = 0;
    if (command == "key" && words.size() == 3 && numbers(words, 1, v) &&
        parse_key(words[2], &key)) {
        script->events.push_back({ScriptCommand::key, static_cast<int>(v[0]), key, 0});
        return true;
    }
    if ((command == "click" || command == "dblclick") && words.size() == 4 &&
        numbers(words, 3, v)) {
        const ScriptCommand kind =
            command == "click" ? ScriptCommand::click : ScriptCommand::double_click;
        script->events.push_back(
            {kind, static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[2])});
        return true;
    }
    if (command == "close" && words.size() == 2 && numbers(words, 1, v)) {
        script->events.push_back({ScriptCommand::close, static_cast<int>(v[0]), 0, 0});
        return true;
    }
    return command == "hold" && parse_hold(words, script);
}

std::string key_text(int key) {
    for (const KeyName& k : key_names) {
        if (k.code == key)
            return k.name;
    }
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
        return std::string(1, static_cast<char>(key));
    return std::to_string(key);
}

}  // namespace

bool script_read_number(const char* text, long* out) {
    if (!text || !*text)
        return false;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 0);
    if (*end != '\0')
        return false;
    *out = value;
    return true;
}

int script_parse(const std::string& text, Script* script, void (*bad_line)(int, void*),
                 void* context) {
    int bad = 0;
    int number = 0;
    for (size_t at = 0; at < text.size();) {
        const size_t end = text.find('\n', at);
        const std::vector<std::string> words =
            words_of(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
        at = end == std::string::npos ? text.size() : end + 1;
        ++number;
        if (words.empty() || parse_line(words, script))
            continue;
        ++bad;
        if (bad_line)
            bad_line(number, context);
    }
    return bad;
}

std::string script_write(const Script& script) {
    std::string text;
    for (const ScriptHold& hold : script.holds) {
        text += "hold " + std::to_string(hold.first) + " " + std::to_string(hold.last);
        for (int key : hold.keys)
            text += " " + key_text(key);
        text += "\n";
    }
    for (const ScriptEvent& e : script.events) {
        const std::string pass = std::to_string(e.pass);
        const std::string at = " " + std::to_string(e.a) + " " + std::to_string(e.b);
        switch (e.command) {
            case ScriptCommand::key:
                text += "key " + pass + " " + key_text(e.a) + "\n";
                break;
            case ScriptCommand::click:
                text.append("click ").append(pass).append(at).append("\n");
                break;
            case ScriptCommand::double_click:
                text.append("dblclick ").append(pass).append(at).append("\n");
                break;
            case ScriptCommand::close:
                text += "close " + pass + "\n";
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
