#pragma once
// A scratch directory per test, removed afterwards.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "tools/synth/native_writer.h"

namespace testing_support {

class TempDir {
public:
    TempDir() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "station";
        for (auto& c : name)
            if (c == '/') c = '_';
        path_ = std::filesystem::temp_directory_path() / ("station-test-" + name + "-" + std::to_string(::getpid()));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

    void write(const std::string& name, const std::string& text) const {
        std::filesystem::create_directories((path_ / name).parent_path());
        std::ofstream(path_ / name, std::ios::binary) << text;
    }

    // Writes a synthetic Native file and fails the test when that does not work.
    std::filesystem::path native(const std::string& name, const synth::SyntheticScene& scene) const {
        const auto p = path_ / name;
        std::filesystem::create_directories(p.parent_path());
        const auto r = synth::writeNative(scene, p);
        EXPECT_TRUE(r.ok()) << r.error();
        return p;
    }

private:
    std::filesystem::path path_;
};

// A small standard file: a band of lines over the whole width.
inline synth::SyntheticScene smallStandard(int south = 1800, int north = 1810) {
    synth::SyntheticScene s;
    s.south = south;
    s.north = north;
    return s;
}

}  // namespace testing_support
