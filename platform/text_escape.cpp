// Escaping file bytes for messages: printable UTF-8 kept, the rest as \xNN.
#include "platform/text_escape.h"

#include <cstdint>

namespace {

// The length of the UTF-8 sequence at p (of at most left bytes) when it is well formed and
// shows a printable character; 0 when its bytes must be escaped.
size_t printable_sequence(const uint8_t* p, size_t left) {
    const uint8_t lead = p[0];
    if (lead >= 0x20 && lead < 0x7F)
        return 1;
    size_t length = 0;
    uint32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07u;
    } else {
        return 0;  // a control character, DEL, a stray continuation byte or no UTF-8 lead
    }
    if (length > left)
        return 0;
    for (size_t i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        code = code << 6 | (p[i] & 0x3Fu);
    }
    const uint32_t least[5] = {0, 0, 0x80, 0x800, 0x10000};
    const bool well_formed =
        code >= least[length] && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
    // C1 controls (some terminals act on them), and the marks and overrides of direction.
    const bool control = code <= 0x9F || code == 0x200E || code == 0x200F ||
                         (code >= 0x202A && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069);
    return well_formed && !control ? length : 0;
}

// Appends piece (of length bytes) when it fits with room for "..." and the NUL after it.
bool put(char* out, size_t size, size_t* used, const char* piece, size_t length) {
    if (*used + length + 4 > size)
        return false;
    for (size_t i = 0; i < length; ++i)
        out[(*used)++] = piece[i];
    return true;
}

}  // namespace

const char* text_escape(const void* bytes, size_t length, char* out, size_t size) {
    if (size == 0)
        return out;
    const auto* p = static_cast<const uint8_t*>(bytes);
    size_t used = 0;
    bool whole = true;
    for (size_t at = 0; at < length && whole;) {
        const size_t run = printable_sequence(p + at, length - at);
        if (run == 1 && p[at] == '\\') {
            whole = put(out, size, &used, "\\\\", 2);
        } else if (run > 0) {
            whole = put(out, size, &used, reinterpret_cast<const char*>(p + at), run);
        } else {
            static const char hex[] = "0123456789abcdef";
            const char escape[4] = {'\\', 'x', hex[p[at] >> 4], hex[p[at] & 15]};
            whole = put(out, size, &used, escape, 4);
        }
        at += run > 0 ? run : 1;
    }
    if (!whole) {
        // Room for "..." was kept, unless out is smaller than that.
        for (const char* dots = "..."; *dots && used + 1 < size; ++dots)
            out[used++] = *dots;
    }
    out[used] = '\0';
    return out;
}

std::string text_escaped(const std::string& bytes) {
    // Each byte takes four characters at the most.
    std::string out(bytes.size() * 4 + 4, '\0');
    text_escape(bytes.data(), bytes.size(), out.data(), out.size());
    out.resize(std::char_traits<char>::length(out.c_str()));
    return out;
}
