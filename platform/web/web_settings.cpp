// The player's settings in the page's storage: the desktop's settings text (sound, keys,
// gamepad) under one name, and the browser's own scaling choice under another, read when the
// program starts and written again whenever the player changes one.
#include <cstdio>
#include <cstring>

#include "platform/web/layout.h"
#include "platform/web/web_backend.h"

namespace {

constexpr const char* SETTINGS_NAME = "quellaro.settings";
constexpr const char* SCALE_NAME = "quellaro.scale";
// The stored text: the settings need about 1.5 KB; the desktop's file is read up to 64 KB.
constexpr int TEXT_ROOM = 64 * 1024;

// The text as read from and written to the storage.
char text[TEXT_ROOM];
// Whether the browser refused to keep them (said once, not at every change).
int refusal_reported;

void report_line(void*, int line, const char* message) {
    std::fprintf(stderr, "Quellaro 2005: the stored settings, line %d: %s\n", line, message);
}

}  // namespace

Settings web_settings;
int web_scale = WEB_SCALE_AUTO;

void web_settings_load() {
    settings_default(&web_settings);
    web_scale = WEB_SCALE_AUTO;
    int length = web_store_get(SETTINGS_NAME, reinterpret_cast<uint8_t*>(text), TEXT_ROOM);
    if (length < 0) {
        std::fprintf(stderr,
                     "Quellaro 2005: the stored settings cannot be read; the defaults "
                     "apply\n");
    } else if (length > 0) {
        settings_parse(text, static_cast<size_t>(length), &web_settings, report_line, nullptr);
    }
    char name[16];
    length = web_store_get(SCALE_NAME, reinterpret_cast<uint8_t*>(name), sizeof name - 1);
    if (length > 0) {
        name[length] = '\0';
        const int mode = web_scale_mode_from_name(name);
        if (mode >= 0) {
            web_scale = mode;
        } else {
            std::fprintf(stderr, "Quellaro 2005: no scaling is called \"%.15s\"; auto applies\n",
                         name);
        }
    }
}

int web_settings_keep() {
    const size_t length = settings_format(&web_settings, text, sizeof text);
    const char* scale = web_scale_mode_name(web_scale);
    const int kept = length > 0 &&
                     web_store_put(SETTINGS_NAME, reinterpret_cast<const uint8_t*>(text),
                                   static_cast<int>(length)) &&
                     web_store_put(SCALE_NAME, reinterpret_cast<const uint8_t*>(scale),
                                   static_cast<int>(std::strlen(scale)));
    if (!kept && !refusal_reported) {
        std::fprintf(stderr,
                     "Quellaro 2005: the browser keeps no settings (its storage is full "
                     "or turned off); they last until the page closes\n");
        refusal_reported = 1;
    }
    if (kept) {
        refusal_reported = 0;
    }
    return kept;
}
