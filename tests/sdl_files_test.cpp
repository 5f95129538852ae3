// Where the game looks for its pictures and puts its screenshots: new names that never replace
// an earlier screenshot, the reason when none can be made, and the user-dirs file read only
// when it is a small text file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/file_read.h"
#include "platform/sdl/files.h"
#include "tests/runner_support.h"
#include "tests/test_support.h"

namespace {

TEST(SdlFiles, DataFoldersAreSearchedInOrderAndNamedWhenNoneHoldsThePictures) {
    DataDirSearch search;
    data_dir_candidates("/opt/q", "/env/q/", "/usr/games/", &search);
    ASSERT_EQ(search.count, 4);
    EXPECT_STREQ(search.tried[0], "/opt/q");
    EXPECT_STREQ(search.tried[1], "/env/q");
    EXPECT_STREQ(search.tried[2], "/usr/games");
    EXPECT_STREQ(search.tried[3], "/usr/share/quellaro");
    data_dir_candidates(nullptr, "", "/", &search);
    ASSERT_EQ(search.count, 2);
    EXPECT_STREQ(search.tried[0], "/");
    EXPECT_STREQ(search.tried[1], "/share/quellaro");
    data_dir_candidates(nullptr, nullptr, nullptr, &search);
    EXPECT_EQ(search.count, 0);

    const std::string root = test_temp_dir();
    std::filesystem::create_directories(root + "/bin");
    std::filesystem::create_directories(root + "/share/quellaro");
    std::filesystem::create_directories(root + "/empty");
    data_dir_candidates((root + "/empty").c_str(), nullptr, (root + "/bin/").c_str(), &search);
    EXPECT_EQ(data_dir_find(&search, "menubackground1.bmp"), -1);
    char list[4 * FILE_PATH_MAX];
    data_dir_list(&search, list, sizeof list);
    EXPECT_EQ(std::string(list),
              "  " + root + "/empty\n  " + root + "/bin\n  " + root + "/share/quellaro\n");
    std::ofstream(root + "/share/quellaro/menubackground1.bmp") << "BM";
    EXPECT_EQ(data_dir_find(&search, "menubackground1.bmp"), 2);
    std::ofstream(root + "/bin/menubackground1.bmp") << "BM";
    EXPECT_EQ(data_dir_find(&search, "menubackground1.bmp"), 1);
    // A folder by the marker's name does not count.
    std::filesystem::create_directories(root + "/empty/menubackground1.bmp");
    EXPECT_EQ(data_dir_find(&search, "menubackground1.bmp"), 1);
}

TEST(SdlFiles, ScreenshotsGoToThePicturesFolderElseTheDataFolder) {
    char out[512];
    const char* user_dirs =
        "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
        "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n";
    ASSERT_EQ(screenshot_folder("/pics", user_dirs, "/data", "/home/p", out, sizeof out), 1);
    EXPECT_STREQ(out, "/pics/Quellaro 2005");
    ASSERT_EQ(screenshot_folder(nullptr, user_dirs, "/data", "/home/p", out, sizeof out), 1);
    EXPECT_STREQ(out, "/home/p/Bilder/Quellaro 2005");
    ASSERT_EQ(screenshot_folder(nullptr, "XDG_PICTURES_DIR=\"/srv/shots\"", nullptr, "/home/p", out,
                                sizeof out),
              1);
    EXPECT_STREQ(out, "/srv/shots/Quellaro 2005");
    // The home folder itself as the pictures folder means there is none.
    ASSERT_EQ(
        screenshot_folder("", "XDG_PICTURES_DIR=\"$HOME/\"", "/data", "/home/p", out, sizeof out),
        1);
    EXPECT_STREQ(out, "/data/quellaro/screenshots");
    ASSERT_EQ(screenshot_folder("relative", nullptr, "also-relative", "/home/p", out, sizeof out),
              1);
    EXPECT_STREQ(out, "/home/p/.local/share/quellaro/screenshots");
    EXPECT_EQ(
        screenshot_folder(nullptr, "XDG_PICTURES_DIR=\"$HOME/P", nullptr, nullptr, out, sizeof out),
        0);

    std::tm when{};
    when.tm_year = 126;
    when.tm_mon = 0;
    when.tm_mday = 31;
    when.tm_hour = 14;
    when.tm_min = 5;
    when.tm_sec = 9;
    ASSERT_EQ(screenshot_name(&when, 1, out, sizeof out), 1);
    EXPECT_STREQ(out, "quellaro-2026-01-31-14-05-09.png");
    ASSERT_EQ(screenshot_name(&when, 3, out, sizeof out), 1);
    EXPECT_STREQ(out, "quellaro-2026-01-31-14-05-09-3.png");
    EXPECT_EQ(screenshot_name(&when, 1, out, 10), 0);
}

TEST(SdlFiles, FoldersAreMadeAllTheWayDown) {
    const std::string root = test_temp_dir();
    EXPECT_EQ(make_folders((root + "/a/b c/d").c_str()), 1);
    EXPECT_TRUE(std::filesystem::is_directory(root + "/a/b c/d"));
    EXPECT_EQ(make_folders((root + "/a/b c/d").c_str()), 1);  // already there
    EXPECT_EQ(make_parent_folders((root + "/x/y/file.ini").c_str()), 1);
    EXPECT_TRUE(std::filesystem::is_directory(root + "/x/y"));
    std::ofstream(root + "/plain") << "x";
    EXPECT_EQ(make_folders((root + "/plain").c_str()), 0);
    EXPECT_EQ(make_folders((root + "/plain/below").c_str()), 0);
}

}  // namespace

namespace {

TEST(SdlFiles, ScreenshotsTakeTheNextFreeNameAndAFolderThatTakesNoneSaysWhy) {
    const std::string dir = test_temp_dir();
    std::tm when{};
    when.tm_year = 126;
    when.tm_mday = 1;
    std::ofstream(dir + "/quellaro-2026-01-01-00-00-00.png") << "an earlier one";
    static FileWriter writer;
    char path[FILE_PATH_MAX + 64], why[FILE_WHY_MAX] = "";
    ASSERT_TRUE(screenshot_create(&writer, dir.c_str(), &when, path, sizeof path, why, sizeof why))
        << why;
    EXPECT_EQ(std::string(path), dir + "/quellaro-2026-01-01-00-00-00-2.png");
    ASSERT_TRUE(file_writer_write(&writer, "png", 3));
    ASSERT_TRUE(file_writer_commit(&writer, why, sizeof why)) << why;
    EXPECT_EQ(read_text_file(dir + "/quellaro-2026-01-01-00-00-00.png"), "an earlier one");

    // No file can be made there, even by root: the reason, not a name in use.
    EXPECT_FALSE(
        screenshot_create(&writer, "/sys/kernel", &when, path, sizeof path, why, sizeof why));
    EXPECT_STREQ(why, std::strerror(EACCES));
    EXPECT_FALSE(screenshot_create(&writer, (dir + "/missing").c_str(), &when, path, sizeof path,
                                   why, sizeof why));
    EXPECT_STREQ(why, std::strerror(ENOENT));
}

TEST(SdlFiles, TheUserDirsFileIsReadOnlyWhenItIsASmallTextFile) {
    const std::string home = test_temp_dir();
    const std::string path = home + "/.config/user-dirs.dirs";
    static char text[USER_DIRS_MAX + 1];
    char why[FILE_READ_WHY_MAX] = "";
    EXPECT_EQ(user_dirs_read(nullptr, home.c_str(), text, why, sizeof why), 0);  // none: usual
    std::filesystem::create_directories(home + "/.config");
    std::ofstream(path) << "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n";
    ASSERT_EQ(user_dirs_read("relative", home.c_str(), text, why, sizeof why), 1);
    EXPECT_STREQ(text, "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n");

    const struct {
        std::string bytes;  // "" for a FIFO
        const char* why;
    } refused[] = {
        {"", "a FIFO, not a regular file"},  // nothing writes to it: it must not be waited on
        {std::string("XDG_MUSIC_DIR=\"$HOME/M\"\0\nXDG_PICTURES_DIR=\"/x\"\n", 46),
         "holds a NUL byte: not text"},
        {std::string(USER_DIRS_MAX + 1, '#'), "over the size limit of 16 KiB (16385 bytes)"},
    };
    for (const auto& r : refused) {
        std::filesystem::remove(path);
        if (r.bytes.empty()) {
            ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
        } else {
            std::ofstream(path, std::ios::binary) << r.bytes;
        }
        EXPECT_EQ(user_dirs_read(nullptr, home.c_str(), text, why, sizeof why), -1) << r.why;
        EXPECT_STREQ(why, r.why);
        EXPECT_STREQ(text, "");
    }
}

}  // namespace
