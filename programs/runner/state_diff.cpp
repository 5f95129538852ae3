// Two files of state lines compared line by line, and within the first line that differs,
// value by value.
#include "programs/runner/state_diff.h"

#include <unistd.h>

#include <cstdio>

#include "platform/file_read.h"
#include "platform/text_escape.h"

namespace {

// A state line is a few kilobytes; anything this long is not one.
constexpr size_t LINE_CAP = size_t{1} << 20;
constexpr int DEPTH_MAX = 32;

struct Scanner {
    const std::string& text;
    size_t at;
    std::vector<StateLeaf>* out;

    void blanks() {
        while (at < text.size() &&
               (text[at] == ' ' || text[at] == '\t' || text[at] == '\r' || text[at] == '\n'))
            ++at;
    }
    bool string(std::string* value) {
        if (at >= text.size() || text[at] != '"')
            return false;
        const size_t begin = at++;
        while (at < text.size() && text[at] != '"')
            at += text[at] == '\\' ? 2 : 1;
        if (at >= text.size())
            return false;
        ++at;
        *value = text.substr(begin, at - begin);
        return true;
    }
    // An object's or an array's members, each under its key or index.
    bool members(const std::string& path, int depth, bool object) {
        ++at;
        blanks();
        const char close = object ? '}' : ']';
        for (int index = 0; at < text.size() && text[at] != close; ++index) {
            std::string key = std::to_string(index);
            if (object) {
                if (!string(&key))
                    return false;
                key = key.substr(1, key.size() - 2);
                blanks();
                if (at >= text.size() || text[at++] != ':')
                    return false;
            }
            if (!value(path.empty() ? key : std::string(path).append("/").append(key), depth + 1))
                return false;
            blanks();
            if (at < text.size() && text[at] == ',') {
                ++at;
                blanks();
            }
        }
        if (at >= text.size())
            return false;
        ++at;
        return true;
    }
    bool value(const std::string& path, int depth) {
        blanks();
        if (at >= text.size() || depth > DEPTH_MAX)
            return false;
        const char c = text[at];
        if (c == '{' || c == '[')
            return members(path, depth, c == '{');
        std::string leaf;
        if (c == '"') {
            if (!string(&leaf))
                return false;
        } else {
            const size_t begin = at;
            while (at < text.size() && text[at] != ',' && text[at] != '}' && text[at] != ']' &&
                   text[at] != ' ')
                ++at;
            if (at == begin)
                return false;
            leaf = text.substr(begin, at - begin);
        }
        out->push_back({path, leaf});
        return true;
    }
};

// Reads the next line (without its newline); false at the end or past the cap (*too_long).
bool next_line(FILE* in, std::string* line, bool* too_long) {
    line->clear();
    int c;
    while ((c = std::getc(in)) != EOF && c != '\n') {
        if (line->size() == LINE_CAP) {
            *too_long = true;
            return false;
        }
        line->push_back(static_cast<char>(c));
    }
    return c != EOF || !line->empty();
}

FILE* open_lines(const char* path) {
    char why[FILE_READ_WHY_MAX];
    int64_t size = 0;
    const int fd = file_open_input(path, &size, why, sizeof why);
    FILE* in = fd >= 0 ? fdopen(fd, "r") : nullptr;
    if (in == nullptr) {
        if (fd >= 0)
            close(fd);
        std::fprintf(stderr, "quellaro-headless: cannot read %s: %s\n", text_escaped(path).c_str(),
                     why);
    }
    return in;
}

// The pass a line names, or its number in the file when it names none.
std::string pass_of(const std::vector<StateLeaf>& leaves, int number) {
    for (const StateLeaf& leaf : leaves) {
        if (leaf.path == "pass")
            return "pass " + leaf.value;
    }
    return "line " + std::to_string(number);
}

// Where two lines part; true when they do, after printing it.
bool compare(const std::string& a, const std::string& b, int number, bool* unreadable) {
    if (a == b)
        return false;
    std::vector<StateLeaf> la, lb;
    if (!state_line_leaves(a, &la) || !state_line_leaves(b, &lb)) {
        std::fprintf(stderr, "quellaro-headless: line %d is not a state line\n", number);
        *unreadable = true;
        return true;
    }
    const size_t count = la.size() > lb.size() ? la.size() : lb.size();
    for (size_t i = 0; i < count; ++i) {
        const StateLeaf none = {"", "(none)"};
        const StateLeaf& x = i < la.size() ? la[i] : none;
        const StateLeaf& y = i < lb.size() ? lb[i] : none;
        if (x.path != y.path || x.value != y.value) {
            const std::string where = pass_of(la, number);
            if (x.path == y.path) {
                std::printf("%s: %s: %s / %s\n", where.c_str(), text_escaped(x.path).c_str(),
                            text_escaped(x.value).c_str(), text_escaped(y.value).c_str());
            } else {
                std::printf("%s: %s = %s / %s = %s\n", where.c_str(), text_escaped(x.path).c_str(),
                            text_escaped(x.value).c_str(), text_escaped(y.path).c_str(),
                            text_escaped(y.value).c_str());
            }
            return true;
        }
    }
    // The same values written differently (blanks): not a difference of state.
    return false;
}

}  // namespace

bool state_line_leaves(const std::string& line, std::vector<StateLeaf>* out) {
    out->clear();
    Scanner scanner = {line, 0, out};
    if (!scanner.value("", 0))
        return false;
    scanner.blanks();
    return scanner.at == line.size();
}

int state_diff_files(const char* a, const char* b) {
    FILE* fa = open_lines(a);
    FILE* fb = fa != nullptr ? open_lines(b) : nullptr;
    if (fb == nullptr) {
        if (fa != nullptr)
            std::fclose(fa);
        return 2;
    }
    int status = 0;
    std::string la, lb;
    bool too_long = false, unreadable = false;
    for (int number = 1;; ++number) {
        const bool more_a = next_line(fa, &la, &too_long);
        const bool more_b = next_line(fb, &lb, &too_long);
        if (too_long) {
            std::fprintf(stderr, "quellaro-headless: line %d is over %zu bytes: not a state line\n",
                         number, LINE_CAP);
            status = 2;
            break;
        }
        if (!more_a && !more_b) {
            std::printf("the same: %d lines\n", number - 1);
            break;
        }
        if (more_a != more_b) {
            std::printf("line %d: %s ends; the other goes on\n", number,
                        text_escaped(more_a ? b : a).c_str());
            status = 1;
            break;
        }
        if (compare(la, lb, number, &unreadable)) {
            status = unreadable ? 2 : 1;
            break;
        }
    }
    std::fclose(fa);
    std::fclose(fb);
    return status;
}
