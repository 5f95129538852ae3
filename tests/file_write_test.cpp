// Files written whole or not at all, for every writer of the programs: a disk that fills
// part-way and a read-only folder leave the old file and no temporary behind and say why; a
// symbolic link stays a link with its file updated; two writers at once never leave a torn
// file. Then what only the file writer itself does: targets it cannot replace, FIFOs and
// devices, new names that never replace, and the append form that keeps its lines through a
// kill.
#include "platform/file_write.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "engine/bitmap.h"
#include "platform/png.h"
#include "platform/sdl/settings.h"
#include "tests/test_support.h"

namespace fs = std::filesystem;

namespace {

// The file's bytes; "" for anything that cannot be read (a folder, a loop).
std::string read_all(const std::string& path) {
    std::string text;
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK);
    char chunk[65536];
    for (ssize_t n; fd >= 0 && (n = read(fd, chunk, sizeof chunk)) > 0;)
        text.append(chunk, static_cast<size_t>(n));
    if (fd >= 0)
        close(fd);
    return text;
}

int entries_in(const std::string& dir) {
    std::error_code error;
    const auto entries = fs::directory_iterator(dir, error);
    return error ? 0 : static_cast<int>(std::distance(entries, fs::directory_iterator()));
}

// Runs body in a child process; its exit status (0 when every check there passed).
int in_child(const std::function<int()>& body) {
    const pid_t pid = fork();
    if (pid == 0)
        _exit(body());
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// A private mount namespace where this (root) process may mount a tmpfs; false elsewhere.
bool private_mounts() {
    return geteuid() == 0 && unshare(CLONE_NEWNS) == 0 &&
           mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

// One writer of the programs: writes its content number `variant` (0 or 1) at path; false,
// with why, when it cannot.
using WriteFn = std::function<bool(const std::string& path, int variant, char* why, size_t size)>;
struct Writer {
    const char* name;
    WriteFn write;
};

// A frame of noise, which compresses badly: larger than any small limit below.
std::vector<uint8_t> noise(size_t size, uint32_t seed) {
    std::vector<uint8_t> bytes(size);
    for (uint8_t& b : bytes) {
        seed = seed * 1664525u + 1013904223u;
        b = static_cast<uint8_t>(seed >> 24);
    }
    return bytes;
}

const Writer writers[] = {
    {"file_write_whole",
     [](const std::string& path, int variant, char* why, size_t size) {
         const std::string text(200000 + 1000 * variant, static_cast<char>('a' + variant));
         return file_write_whole(path.c_str(), text.data(), text.size(), why, size);
     }},
    {"png_write_indexed",
     [](const std::string& path, int variant, char* why, size_t size) {
         const std::vector<uint8_t> frame = noise(320 * 240, 7 + variant);
         PaletteEntry palette[256];
         for (int i = 0; i < 256; ++i)
             palette[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(i * variant), 9, 0};
         return png_write_indexed(path.c_str(), frame.data(), 320, 320, 240, palette, why, size) ==
                1;
     }},
    {"png_write_rgb",
     [](const std::string& path, int variant, char* why, size_t size) {
         const std::vector<uint8_t> rgb = noise(200 * 150 * 3, 3 + variant);
         return png_write_rgb(path.c_str(), rgb.data(), 200, 150, why, size) == 1;
     }},
    {"settings_save",
     [](const std::string& path, int variant, char* why, size_t size) {
         // The player's comments make the file larger than the small limits below.
         std::string text = "[sound]\nmusic = " + std::to_string(10 + variant) + "\n";
         for (int i = 0; i < 200; ++i)
             text += "# a comment the player wrote, number " + std::to_string(i) + "\n";
         static SettingsKept kept;
         Settings settings;
         settings_default(&settings);
         settings_parse(text.data(), text.size(), &settings, nullptr, nullptr, &kept);
         return settings_save(path.c_str(), &settings, &kept, why, size) == 1;
     }},
    {"palette_save_file",
     [](const std::string& path, int variant, char* why, size_t size) {
         PaletteEntry entries[256];
         for (int i = 0; i < 256; ++i)
             entries[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i),
                           static_cast<uint8_t>(variant * 100), 4};
         const bool written = palette_save_file(path.c_str(), entries) == 1;
         std::snprintf(why, size, "%s", written ? "" : std::strerror(errno));
         return written;
     }},
};

// Writes over path and checks the failure: false returned, this reason given, the old bytes
// still there and nothing new in the folder. 0, else the number of the check that failed
// (for a child to exit with).
int refused_keeping(const Writer& writer, const std::string& path, int error) {
    const std::string before = read_all(path);
    const std::string folder = fs::path(path).parent_path();
    const int entries = entries_in(folder);
    char why[FILE_WHY_MAX] = "";
    if (writer.write(path, 1, why, sizeof why))
        return 1;
    if (std::string(why) != std::strerror(error))
        return 2;
    if (read_all(path) != before)
        return 3;
    return entries_in(folder) == entries ? 0 : 4;
}

class EveryWriter : public ::testing::TestWithParam<Writer> {};

// A disk that fills part-way through the file: a file-size limit (the signal it sends ignored,
// so that write fails with EFBIG) and, where this may mount one, a small tmpfs.
TEST_P(EveryWriter, ADiskFullPartWayLeavesTheOldFileAndSaysSo) {
    const Writer& writer = GetParam();
    const std::string dir = test_temp_dir();
    const std::string file = dir + "/target";
    std::ofstream(file) << "the old file";
    EXPECT_EQ(in_child([&] {
                  std::signal(SIGXFSZ, SIG_IGN);
                  const rlimit limit = {2048, 2048};
                  setrlimit(RLIMIT_FSIZE, &limit);
                  return refused_keeping(writer, file, EFBIG);
              }),
              0);
    EXPECT_EQ(read_all(file), "the old file");
    EXPECT_EQ(in_child([&] {
                  if (!private_mounts())
                      return 0;
                  mount("small", dir.c_str(), "tmpfs", 0, "size=4k");
                  std::ofstream(file) << "kept";
                  return refused_keeping(writer, file, ENOSPC);
              }),
              0);
}

// A read-only mount where this may mount one, else a folder without write permission (as
// nobody when this runs as root, which passes any permission).
TEST_P(EveryWriter, AReadOnlyFolderLeavesTheOldFileAndSaysSo) {
    const Writer& writer = GetParam();
    const std::string dir = test_temp_dir();
    const std::string locked = dir + "/locked";
    fs::create_directory(locked);
    std::ofstream(locked + "/kept") << "kept";
    EXPECT_EQ(in_child([&] {
                  if (private_mounts()) {
                      mount("ro", locked.c_str(), "tmpfs", 0, "size=64k");
                      std::ofstream(locked + "/kept") << "kept";
                      mount("ro", locked.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr);
                      return refused_keeping(writer, locked + "/kept", EROFS);
                  }
                  chmod(locked.c_str(), 0555);
                  chmod(dir.c_str(), 0711);
                  if (geteuid() == 0 && setuid(65534) != 0)
                      return 10;
                  return refused_keeping(writer, locked + "/kept", EACCES);
              }),
              0);
    EXPECT_EQ(read_all(locked + "/kept"), "kept");
}

// Two processes write the file over and over, each its own content, while this one reads it:
// every read is one writer's whole file. A chain of links to it (one relative, as dotfile
// managers make them) stays a chain, and the file at its end is the one written.
TEST_P(EveryWriter, WritersAtOnceNeverTearAFileAndLinksStayLinks) {
    const Writer& writer = GetParam();
    const std::string dir = test_temp_dir();
    std::string whole[2];
    for (int v = 0; v < 2; ++v) {
        const std::string reference = dir + "/reference" + std::to_string(v);
        char why[FILE_WHY_MAX] = "";
        ASSERT_TRUE(writer.write(reference, v, why, sizeof why)) << why;
        whole[v] = read_all(reference);
    }
    fs::create_directory(dir + "/dotfiles");
    fs::create_symlink("dotfiles/real", dir + "/hop");
    fs::create_symlink(dir + "/hop", dir + "/linked");
    const std::string file = dir + "/linked";
    pid_t writers[2];
    for (int v = 0; v < 2; ++v) {
        writers[v] = fork();
        if (writers[v] == 0) {
            char why[FILE_WHY_MAX];
            for (int i = 0; i < 10; ++i) {
                if (!writer.write(file, v, why, sizeof why))
                    _exit(1);
            }
            _exit(0);
        }
    }
    int torn = 0;
    for (int i = 0; i < 100; ++i) {
        const std::string seen = read_all(file);
        torn += !seen.empty() && seen != whole[0] && seen != whole[1];
    }
    for (pid_t pid : writers) {
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(torn, 0);
    EXPECT_TRUE(fs::is_symlink(dir + "/linked") && fs::is_symlink(dir + "/hop"));
    const std::string last = read_all(dir + "/dotfiles/real");
    EXPECT_TRUE(last == whole[0] || last == whole[1]);
    EXPECT_EQ(entries_in(dir + "/dotfiles"), 1);
}

INSTANTIATE_TEST_SUITE_P(Writers, EveryWriter, ::testing::ValuesIn(writers),
                         [](const ::testing::TestParamInfo<Writer>& info) {
                             return std::string(info.param.name);
                         });

TEST(FileWrite, ReplacesKeepingPermissionsAndOnlyWhereAskedMakesNewNames) {
    const std::string dir = test_temp_dir();
    const std::string file = dir + "/settings.ini";
    std::ofstream(file) << "old";
    chmod(file.c_str(), 0600);
    char why[FILE_WHY_MAX] = "";
    ASSERT_TRUE(file_write_whole(file.c_str(), "new text", 8, why, sizeof why)) << why;
    EXPECT_EQ(read_all(file), "new text");
    EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write);

    EXPECT_FALSE(file_write_whole(file.c_str(), "x", 1, why, sizeof why, FILE_WRITE_NEW));
    EXPECT_EQ(errno, EEXIST);
    EXPECT_EQ(read_all(file), "new text");
    ASSERT_TRUE(
        file_write_whole((dir + "/fresh").c_str(), "x", 1, why, sizeof why, FILE_WRITE_NEW));
    EXPECT_EQ(read_all(dir + "/fresh"), "x");
    EXPECT_EQ(entries_in(dir), 2);
}

TEST(FileWrite, TargetsItCannotReplaceAreRefusedAndDevicesWrittenStraight) {
    const std::string dir = test_temp_dir();
    fs::create_directory(dir + "/folder");
    fs::create_symlink("loop", dir + "/loop");
    const Writer& plain = writers[0];
    EXPECT_EQ(refused_keeping(plain, dir + "/folder", EISDIR), 0);
    EXPECT_EQ(refused_keeping(plain, dir + "/loop", ELOOP), 0);
    EXPECT_EQ(refused_keeping(plain, dir + "/no/such/folder", ENOENT), 0);

    // A device cannot be replaced: it is written, and its failures told.
    char why[FILE_WHY_MAX] = "";
    EXPECT_TRUE(file_write_whole("/dev/null", "x", 1, why, sizeof why)) << why;
    EXPECT_FALSE(file_write_whole("/dev/full", "x", 1, why, sizeof why));
    EXPECT_STREQ(why, std::strerror(ENOSPC));

    // A FIFO: written straight when something reads it, refused at once when nothing does.
    const std::string fifo = dir + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(file_write_whole(fifo.c_str(), "x", 1, why, sizeof why));
    EXPECT_STREQ(why, "nothing reads from that FIFO");
    const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_TRUE(file_write_whole(fifo.c_str(), "piped", 5, why, sizeof why)) << why;
    char got[8] = {};
    EXPECT_EQ(read(reader, got, sizeof got), 5);
    close(reader);
    EXPECT_STREQ(got, "piped");
}

TEST(FileWrite, TheStreamingFormKeepsItsFirstFailureToTheCommit) {
    const std::string dir = test_temp_dir();
    const std::string file = dir + "/states.jsonl";
    std::ofstream(file) << "old lines\n";
    EXPECT_EQ(in_child([&] {
                  std::signal(SIGXFSZ, SIG_IGN);
                  const rlimit limit = {100000, 100000};
                  setrlimit(RLIMIT_FSIZE, &limit);
                  static FileWriter writer;
                  char why[FILE_WHY_MAX] = "";
                  if (!file_writer_open(&writer, file.c_str(), why, sizeof why))
                      return 1;
                  for (int pass = 0; pass < 20000; ++pass)
                      file_writer_print(&writer, "{\"pass\":%d,\"score\":%d}\n", pass, pass * 7);
                  if (file_writer_commit(&writer, why, sizeof why))
                      return 2;
                  return std::string(why) == std::strerror(EFBIG) && entries_in(dir) == 1 ? 0 : 3;
              }),
              0);
    EXPECT_EQ(read_all(file), "old lines\n");
    // Abandoned: the old file stays, the temporary goes.
    static FileWriter writer;
    ASSERT_TRUE(file_writer_open(&writer, file.c_str(), nullptr, 0));
    EXPECT_TRUE(file_writer_print(&writer, "%s", std::string(100000, 'x').c_str()));
    file_writer_abandon(&writer);
    EXPECT_EQ(read_all(file), "old lines\n");
    EXPECT_EQ(entries_in(dir), 1);
}

TEST(FileWrite, AnAppendedFileKeepsEveryLineThroughAKillAndReportsAFailedWrite) {
    const std::string dir = test_temp_dir();
    const std::string path = dir + "/recording.txt";
    std::ofstream(path) << "an older recording, emptied at the start\n";
    EXPECT_EQ(in_child([&] {
                  FileAppender appender;
                  if (!file_append_open(&appender, path.c_str(), nullptr, 0))
                      return 1;
                  for (int pass = 0; pass < 100; ++pass) {
                      const std::string line = "key " + std::to_string(pass) + " S\n";
                      file_append(&appender, line.data(), line.size());
                  }
                  raise(SIGKILL);
                  return 2;
              }),
              128 + SIGKILL);
    const std::string kept = read_all(path);
    EXPECT_EQ(kept.rfind("key 0 S\n", 0), 0u);
    EXPECT_NE(kept.find("\nkey 99 S\n"), std::string::npos);

    EXPECT_EQ(in_child([&] {
                  std::signal(SIGXFSZ, SIG_IGN);
                  const rlimit limit = {64, 64};
                  setrlimit(RLIMIT_FSIZE, &limit);
                  FileAppender appender;
                  char why[FILE_WHY_MAX] = "";
                  if (!file_append_open(&appender, path.c_str(), why, sizeof why))
                      return 1;
                  for (int i = 0; i < 10; ++i)
                      file_append(&appender, "0123456789abcdef\n", 17);
                  return !file_append_close(&appender, why, sizeof why) &&
                                 std::string(why) == std::strerror(EFBIG)
                             ? 0
                             : 2;
              }),
              0);
}

}  // namespace
