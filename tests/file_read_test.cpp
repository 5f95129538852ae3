// Reading outside input: only regular files, refused at once when something else is there (a
// FIFO would block for ever, a device read for ever), a file over its cap refused unread with
// the cap named; and the bytes of a file escaped before a message shows them.
#include "platform/file_read.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/script.h"
#include "platform/text_escape.h"
#include "tests/test_support.h"

namespace {

TEST(FileRead, OnlyRegularFilesAreReadAndNothingElseIsWaitedOn) {
    const std::string dir = test_temp_dir();
    ASSERT_EQ(mkfifo((dir + "/fifo").c_str(), 0600), 0);  // no writer: open would block
    std::filesystem::create_directory(dir + "/folder");
    std::filesystem::create_symlink("loop", dir + "/loop");
    std::ofstream(dir + "/plain") << "key 0 S\n";
    const struct {
        std::string path;
        const char* why;
    } refused[] = {
        {dir + "/fifo", "a FIFO, not a regular file"}, {dir + "/folder", "a folder, not a file"},
        {"/dev/zero", "a device, not a regular file"},  // would read without end
        {dir + "/loop", std::strerror(ELOOP)},         {dir + "/missing", std::strerror(ENOENT)},
    };
    for (const auto& r : refused) {
        std::string text = "old";
        char why[FILE_READ_WHY_MAX] = "";
        EXPECT_FALSE(script_read_file(r.path.c_str(), &text, why, sizeof why)) << r.path;
        EXPECT_STREQ(why, r.why) << r.path;
    }
    std::string text;
    ASSERT_TRUE(script_read_file((dir + "/plain").c_str(), &text));
    EXPECT_EQ(text, "key 0 S\n");
}

TEST(FileRead, AFileOverItsCapIsRefusedUnreadWithTheCapNamed) {
    const std::string path = test_temp_dir() + "/huge.txt";
    // A terabyte that takes no room: reading it would take hours.
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT, 0600);
    ASSERT_EQ(ftruncate(fd, off_t{1} << 40), 0);
    close(fd);
    std::string text;
    char why[FILE_READ_WHY_MAX] = "";
    EXPECT_FALSE(script_read_file(path.c_str(), &text, why, sizeof why));
    EXPECT_EQ(errno, EFBIG);
    EXPECT_STREQ(why, "over the size limit of 64 MiB (1099511627776 bytes)");

    char small[16];
    std::ofstream(path, std::ios::trunc) << std::string(17, 'x');
    EXPECT_EQ(file_read_into(path.c_str(), small, sizeof small, why, sizeof why), -1);
    EXPECT_STREQ(why, "over the size limit of 16 bytes (17 bytes)");
    std::ofstream(path, std::ios::trunc) << std::string(16, 'x');
    EXPECT_EQ(file_read_into(path.c_str(), small, sizeof small, why, sizeof why), 16);
    EXPECT_EQ(file_size_text(16 * 1024), "16 KiB");
}

TEST(TextEscape, ControlsAndBrokenUtf8AreEscapedAndTextIsKept) {
    const struct {
        std::string bytes;
        const char* shown;
    } cases[] = {
        {"plain words", "plain words"},
        {"Bilder/Imágenes/写真", "Bilder/Imágenes/写真"},  // UTF-8 stays
        {"\x1b]0;owned\x07", "\\x1b]0;owned\\x07"},        // a terminal title change
        {"a\\b", "a\\\\b"},                                // no escape passes for another
        {std::string("5\0j", 3), "5\\x00j"},               // NUL
        {"\xc2\x9b"
         "31m",
         "\\xc2\\x9b31m"},  // C1 CSI, well formed
        {"\xe2\x80\xae"
         "txt",
         "\\xe2\\x80\\xaetxt"},  // right-to-left override
        {"\xc0\xaf \xed\xa0\x80 \xff", "\\xc0\\xaf \\xed\\xa0\\x80 \\xff"},  // overlong, surrogate
        {"cut \xe6\x97", "cut \\xe6\\x97"},                                  // a sequence cut short
    };
    for (const auto& c : cases)
        EXPECT_EQ(text_escaped(c.bytes), c.shown) << c.shown;
    char out[12];
    EXPECT_STREQ(text_escape("0123456789abcdef", 16, out, sizeof out), "01234567...");
    EXPECT_STREQ(text_escape("\x01\x02\x03", 3, out, sizeof out), "\\x01\\x02...");
}

}  // namespace
