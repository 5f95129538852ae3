// Files written whole or not at all: links kept, failures (a full disk, a read-only folder, a
// write that fails mid-file) leave the old file and no temporary behind, with the reason, and
// two writers at once never leave a torn file. The append form keeps its lines through a kill.
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

// The folder's entries but the ones named; a temporary file left behind shows here.
int others_in(const std::string& dir, std::initializer_list<std::string> names) {
    int count = 0;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(dir, error)) {
        const std::string name = entry.path().filename().string();
        count += std::find(names.begin(), names.end(), name) == names.end();
    }
    return count;
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

// Writes text over path and checks the failure: false returned, this reason given, the old
// text still there and nothing new in the folder. 0, else the number of the check that
// failed (for a child to exit with).
int refused_keeping(const std::string& path, const std::string& text, int error) {
    const std::string before = read_all(path);
    const std::string folder = fs::path(path).parent_path();
    const int entries = others_in(folder, {});
    char why[FILE_WHY_MAX] = "";
    if (file_write_whole(path.c_str(), text.data(), text.size(), why, sizeof why))
        return 1;
    if (std::string(why) != std::strerror(error))
        return 2;
    if (read_all(path) != before)
        return 3;
    return others_in(folder, {}) == entries ? 0 : 4;
}

// A private mount namespace where this (root) process may mount a tmpfs; false elsewhere.
bool private_mounts() {
    return geteuid() == 0 && unshare(CLONE_NEWNS) == 0 &&
           mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

TEST(FileWrite, ReplacesWholeKeepingPermissionsAndWritesThroughSymbolicLinks) {
    const std::string dir = test_temp_dir();
    const std::string file = dir + "/settings.ini";
    std::ofstream(file) << "old";
    chmod(file.c_str(), 0600);
    char why[FILE_WHY_MAX] = "";
    ASSERT_TRUE(file_write_whole(file.c_str(), "new text", 8, why, sizeof why)) << why;
    EXPECT_EQ(read_all(file), "new text");
    EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write);

    // A chain of links, one relative, as a dotfile manager leaves them: the links stay, the
    // file at the end changes. A link to a file not there yet makes it.
    fs::create_directory(dir + "/dotfiles");
    fs::create_symlink("dotfiles/real.ini", dir + "/hop.ini");
    fs::create_symlink(dir + "/hop.ini", dir + "/linked.ini");
    ASSERT_TRUE(file_write_whole((dir + "/linked.ini").c_str(), "one", 3, why, sizeof why)) << why;
    ASSERT_TRUE(file_write_whole((dir + "/linked.ini").c_str(), "two", 3, why, sizeof why)) << why;
    EXPECT_TRUE(fs::is_symlink(dir + "/linked.ini"));
    EXPECT_TRUE(fs::is_symlink(dir + "/hop.ini"));
    EXPECT_EQ(read_all(dir + "/dotfiles/real.ini"), "two");
    EXPECT_EQ(others_in(dir + "/dotfiles", {"real.ini"}), 0);

    // Only where there is no file yet.
    EXPECT_FALSE(file_write_whole(file.c_str(), "x", 1, why, sizeof why, FILE_WRITE_NEW));
    EXPECT_EQ(errno, EEXIST);
    EXPECT_EQ(read_all(file), "new text");
    ASSERT_TRUE(
        file_write_whole((dir + "/fresh").c_str(), "x", 1, why, sizeof why, FILE_WRITE_NEW));
    EXPECT_EQ(others_in(dir, {"settings.ini", "dotfiles", "hop.ini", "linked.ini", "fresh"}), 0);
}

TEST(FileWrite, TargetsItCannotReplaceAreRefusedWithTheirReason) {
    const std::string dir = test_temp_dir();
    std::ofstream(dir + "/kept") << "kept";
    fs::create_directory(dir + "/folder");
    fs::create_symlink("loop", dir + "/loop");
    EXPECT_EQ(refused_keeping(dir + "/folder", "x", EISDIR), 0);
    EXPECT_EQ(refused_keeping(dir + "/loop", "x", ELOOP), 0);
    EXPECT_EQ(refused_keeping(dir + "/no/such/folder", "x", ENOENT), 0);

    // A FIFO is written straight when something reads it, and refused at once when nothing
    // does instead of waiting.
    const std::string fifo = dir + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    char why[FILE_WHY_MAX] = "";
    EXPECT_FALSE(file_write_whole(fifo.c_str(), "x", 1, why, sizeof why));
    EXPECT_STREQ(why, "nothing reads from that FIFO");
    const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_TRUE(file_write_whole(fifo.c_str(), "piped", 5, why, sizeof why)) << why;
    char got[8] = {};
    EXPECT_EQ(read(reader, got, sizeof got), 5);
    close(reader);
    EXPECT_STREQ(got, "piped");

    // A read-only folder: a read-only mount where this may mount one, else the permissions.
    const std::string locked = dir + "/locked";
    fs::create_directory(locked);
    std::ofstream(locked + "/kept") << "kept";
    EXPECT_EQ(in_child([&] {
                  if (private_mounts()) {
                      mount("ro", locked.c_str(), "tmpfs", 0, "size=64k");
                      std::ofstream(locked + "/kept") << "kept";
                      mount("ro", locked.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr);
                      return refused_keeping(locked + "/kept", "changed", EROFS);
                  }
                  // Root passes any permission: as nobody, then.
                  chmod(locked.c_str(), 0555);
                  chmod(dir.c_str(), 0711);
                  if (geteuid() == 0 && setuid(65534) != 0)
                      return 10;
                  return refused_keeping(locked + "/kept", "new", EACCES);
              }),
              0);
}

// A disk that fills part-way through the file: a file-size limit (the signal it sends
// ignored, so that write fails with EFBIG), /dev/full, and where this may mount one a small
// tmpfs. The old file stays and the temporary goes.
TEST(FileWrite, ADiskFullPartWayLeavesTheOldFileAndSaysSo) {
    const std::string dir = test_temp_dir();
    const std::string file = dir + "/frame.png";
    std::ofstream(file) << "the old picture";
    const std::string big(256 * 1024, 'p');
    EXPECT_EQ(in_child([&] {
                  std::signal(SIGXFSZ, SIG_IGN);
                  const rlimit limit = {100 * 1024, 100 * 1024};
                  setrlimit(RLIMIT_FSIZE, &limit);
                  if (const int failed = refused_keeping(file, big, EFBIG))
                      return failed;
                  // The streaming form, failing between its pieces.
                  static FileWriter writer;
                  char why[FILE_WHY_MAX] = "";
                  if (!file_writer_open(&writer, file.c_str(), why, sizeof why))
                      return 5;
                  for (int i = 0; i < 64; ++i)
                      file_writer_print(&writer, "%s", big.substr(0, 4000).c_str());
                  if (file_writer_commit(&writer, why, sizeof why) ||
                      std::string(why) != std::strerror(EFBIG))
                      return 6;
                  return others_in(dir, {"frame.png"}) == 0 ? 0 : 7;
              }),
              0);
    EXPECT_EQ(read_all(file), "the old picture");

    char why[FILE_WHY_MAX] = "";
    EXPECT_FALSE(file_write_whole("/dev/full", big.data(), big.size(), why, sizeof why));
    EXPECT_STREQ(why, std::strerror(ENOSPC));

    const std::string small = dir + "/small";
    fs::create_directory(small);
    EXPECT_EQ(in_child([&] {
                  if (!private_mounts())
                      return 0;
                  mount("small", small.c_str(), "tmpfs", 0, "size=64k");
                  std::ofstream(small + "/kept") << "kept";
                  return refused_keeping(small + "/kept", big, ENOSPC);
              }),
              0);
}

// Two processes write the same file over and over while a third reads it: every read is
// one writer's whole text.
TEST(FileWrite, WritersAtOnceNeverLeaveATornFile) {
    const std::string dir = test_temp_dir();
    const std::string file = dir + "/shared";
    const std::string texts[2] = {std::string(300000, 'a'), std::string(200000, 'b')};
    ASSERT_TRUE(file_write_whole(file.c_str(), texts[0].data(), texts[0].size(), nullptr, 0));
    pid_t writers[2];
    for (int w = 0; w < 2; ++w) {
        writers[w] = fork();
        if (writers[w] == 0) {
            for (int i = 0; i < 20; ++i) {
                if (!file_write_whole(file.c_str(), texts[w].data(), texts[w].size(), nullptr, 0))
                    _exit(1);
            }
            _exit(0);
        }
    }
    int torn = 0;
    for (int i = 0; i < 200; ++i) {
        const std::string seen = read_all(file);
        torn += seen != texts[0] && seen != texts[1];
    }
    for (pid_t pid : writers) {
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(torn, 0);
    EXPECT_EQ(others_in(dir, {"shared"}), 0);
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
