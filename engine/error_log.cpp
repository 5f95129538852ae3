// The error log: diagnostic lines to a file or a given stream, flushed at once.
#include "engine/error_log.h"

#include <chrono>
#include <cstdarg>
#include <cstring>
#include <ctime>

namespace {
// One formatted message holds at most 79 characters.
constexpr int LOG_BUFFER = 80;
// The log's stream, null while the log is closed, and whether it is a file opened here.
FILE* error_log_file;
bool log_is_own_file;
}  // namespace

int error_log_write(const char* format, ...) {
    if (!format || !error_log_file)
        return 0;
    char buffer[LOG_BUFFER];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof(buffer), format, args);  // cuts long messages to 79
    va_end(args);
    std::fputs(buffer, error_log_file);
    std::fflush(error_log_file);
    return 1;
}

int error_log_open(const char* file_name, FILE* stream) {
    if (stream) {
        error_log_file = stream;
        log_is_own_file = false;
    } else {
        if (!file_name)
            return 0;
        error_log_file = std::fopen(file_name, "w");
        if (!error_log_file)
            return 0;
        log_is_own_file = true;
    }
    const auto now = std::chrono::system_clock::now();
    const time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto milliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    char ctime_text[32] = "";
    if (const tm* local = std::localtime(&seconds)) {
        std::strftime(ctime_text, sizeof(ctime_text), "%a %b %e %H:%M:%S %Y\n", local);
    }
    char time_string[64];
    std::snprintf(time_string, sizeof(time_string), "%.19s.%hu, %s", ctime_text,
                  static_cast<unsigned short>(milliseconds), ctime_text + 20);
    error_log_write("\nOpening Error Output File (%s) on %s\n", file_name ? file_name : "",
                    time_string);
    if (log_is_own_file) {
        std::fclose(error_log_file);
        error_log_file = std::fopen(file_name, "a+");
        if (!error_log_file)
            return 0;
    }
    return 1;
}

int error_log_close() {
    if (!error_log_file)
        return 0;
    error_log_write("\nClosing Error Output File.");
    if (error_log_file != stdout && error_log_file != stderr)
        std::fclose(error_log_file);
    error_log_file = nullptr;
    return 1;
}
