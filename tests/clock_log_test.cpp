// The frame clock on the virtual tick, and the error log.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "engine/clock.h"
#include "engine/error_log.h"
#include "platform/headless/headless.h"
#include "tests/test_support.h"

TEST(Clock, WaitsFromTheStartAcrossTheWrapAndNeverEarly) {
    headless_set_time(1000);
    clock_start();
    EXPECT_EQ(clock_wait(30), 1030u);
    headless_set_time(1000);
    clock_start();
    headless_set_time(1045);  // already 45 ms gone: no wait
    EXPECT_EQ(clock_wait(30), 1045u);
    headless_set_time(0xFFFFFFFFu - 15);
    clock_start();
    headless_set_time(14);  // 30 ms later, across the wrap
    EXPECT_EQ(clock_wait(30), 14u);
    headless_set_time(0xFFFFFFFFu - 5);
    clock_start();
    const uint32_t end = clock_wait(30);
    EXPECT_EQ(end - clock_start_time, 30u);
}

TEST(ErrorLog, ClosedLogDropsWritesAndLongMessagesAreCut) {
    EXPECT_EQ(error_log_write("\nnothing %d", 1), 0);
    EXPECT_EQ(error_log_close(), 0);
    const std::string path = test_temp_dir() + "/stream.txt";
    FILE* stream = std::fopen(path.c_str(), "w+");
    ASSERT_NE(stream, nullptr);
    ASSERT_EQ(error_log_open("ignored", stream), 1);
    EXPECT_EQ(error_log_write(nullptr), 0);
    const std::string long_text(200, 'x');
    EXPECT_EQ(error_log_write("\n%s", long_text.c_str()), 1);
    EXPECT_EQ(error_log_close(), 1);  // closes the stream it was given
    FILE* again = std::fopen(path.c_str(), "r");
    ASSERT_NE(again, nullptr);
    char text[1024] = {};
    const size_t n = std::fread(text, 1, sizeof(text) - 1, again);
    std::fclose(again);
    text[n] = '\0';
    const char* cut = std::strstr(text, "\nxxx");
    ASSERT_NE(cut, nullptr);
    EXPECT_EQ(std::strspn(cut + 1, "x"), 78u);  // 79 characters with the newline
    EXPECT_NE(std::strstr(text, "\nClosing Error Output File."), nullptr);
}

TEST(ErrorLog, StandardOutputStaysOpenAfterClosing) {
    ASSERT_EQ(error_log_open(nullptr, stdout), 1);
    EXPECT_EQ(error_log_close(), 1);
    EXPECT_GE(std::fprintf(stdout, "\n"), 0);
    EXPECT_EQ(std::fflush(stdout), 0);
}

TEST(ErrorLog, FileBeginsWithTheOpeningLine) {
    // Lines are formatted into 80 characters, so a short name keeps the opening line whole.
    std::filesystem::current_path(test_temp_dir());
    const std::string path = "e.txt";
    ASSERT_EQ(error_log_open(path.c_str(), nullptr), 1);
    error_log_write("\npixel format = %d", 8);
    ASSERT_EQ(error_log_close(), 1);
    FILE* f = std::fopen(path.c_str(), "r");
    ASSERT_NE(f, nullptr);
    char text[512] = {};
    const size_t n = std::fread(text, 1, sizeof(text) - 1, f);
    std::fclose(f);
    text[n] = '\0';
    const std::string head = "\nOpening Error Output File (" + path + ") on ";
    ASSERT_EQ(std::string(text).compare(0, head.size(), head), 0) << text;
    // "Sun Dec  6 06:17:53.5, 2026" and its newline, then one more newline.
    const char* time = text + head.size();
    EXPECT_EQ(time[19], '.');
    const char* comma = std::strchr(time, ',');
    ASSERT_NE(comma, nullptr);
    EXPECT_EQ(comma[1], ' ');
    EXPECT_EQ(std::strncmp(comma + 6, "\n\n", 2), 0);
    EXPECT_NE(std::strstr(text, "\n\npixel format = 8\nClosing Error Output File."), nullptr);
}
