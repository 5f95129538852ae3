// Every test ctest runs has its time limit, so that a test that hangs fails after five minutes
// instead of stalling the run: a list of variables among gtest_discover_tests' PROPERTIES once
// took the SDL tests' limit away unnoticed, and one of them hung for 827 s.
#include <gtest/gtest.h>

#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>

TEST(TestLimits, EveryTestCtestRunsHasItsTimeLimit) {
    const std::string command =
        std::string("ctest --test-dir ") + QUELLARO_BUILD_DIR + " --show-only=json-v1 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string text;
    char chunk[65536];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
        text.append(chunk, n);
    ASSERT_EQ(pclose(pipe), 0);
    const nlohmann::json listing = nlohmann::json::parse(text, nullptr, false);
    ASSERT_FALSE(listing.is_discarded());
    int tests = 0, sdl_tests = 0;
    for (const auto& test : listing["tests"]) {
        const std::string name = test["name"];
        double limit = 0;
        for (const auto& property : test["properties"]) {
            if (property["name"] == "TIMEOUT")
                limit = property["value"];
        }
        EXPECT_GT(limit, 0) << name;
        EXPECT_LE(limit, 300) << name;
        tests += 1;
        sdl_tests += name.rfind("Sdl", 0) == 0 && test["command"][0].get<std::string>().find(
                                                      "quellaro_sdl_tests") != std::string::npos;
    }
    EXPECT_GT(tests, 100);
    std::printf("%d tests, %d of them the SDL backend's, each with its time limit\n", tests,
                sdl_tests);
}
