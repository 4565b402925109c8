#include "viewer/scene/scene_time.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace {

TEST(SceneTime, Formats) {
    EXPECT_EQ(tesmar::formatSceneTime("201903181330"), "2019-03-18 13:30");
    EXPECT_EQ(tesmar::formatSceneTime("2019"), "2019");
}

TEST(Cualesdatea, TakesTheNewestFileAndItsTime) {
    testing_support::TempDir dir;
    const auto nats = dir.path() / "nats";
    using namespace std::chrono;
    const auto base = system_clock::now() - hours(1);
    const struct {
        const char* name;
        int minutesAfter;
        const char* datea;
    } cases[] = {
        {"201903181200.nat", 1, "201903181200"},
        {"ABCDEFGHIJKL.nat", 2, "201903181200"},  // not a "20*" name: ignored
        {"20.nat", 3, "200301011200"},             // too short to hold a time
        {"20ABCDEFGHIJKL.nat", 4, "200301011200"},
        {"MSG2-201903181215.nat", 5, "200301011200"},  // not a "20*" name: ignored
    };
    tesmar::NewestNative state{"200301011200", base};
    for (const auto& c : cases) {
        dir.write(std::string("nats/") + c.name, "x");
        std::filesystem::last_write_time(nats / c.name,
                                         std::chrono::file_clock::from_sys(base + minutes(c.minutesAfter)));
        state = tesmar::cualesdatea(nats, state);
        if (std::string(c.name) == "ABCDEFGHIJKL.nat" || std::string(c.name) == "MSG2-201903181215.nat") continue;
        EXPECT_EQ(state.datea, c.datea) << c.name;
    }
    // An older file changes nothing; a missing directory changes nothing.
    const auto before = state;
    dir.write("nats/201001011200.nat", "x");
    std::filesystem::last_write_time(nats / "201001011200.nat", std::chrono::file_clock::from_sys(base));
    state = tesmar::cualesdatea(nats, state);
    EXPECT_EQ(state.datea, before.datea);
    EXPECT_EQ(tesmar::cualesdatea(dir.path() / "none", before).datea, before.datea);
}

}  // namespace
