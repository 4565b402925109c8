#pragma once
// A scratch directory per test, removed afterwards.

#include <gtest/gtest.h>

#include <filesystem>
#include <algorithm>
#include <fstream>
#include <sstream>
#include <vector>
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

// The bytes of a file ("" when it cannot be read).
inline std::string readFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The names of the entries of a folder, sorted.
inline std::vector<std::string> namesIn(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A small standard file: a band of lines over the whole width.
inline synth::SyntheticScene smallStandard(int south = 1800, int north = 1810) {
    synth::SyntheticScene s;
    s.south = south;
    s.north = north;
    return s;
}

}  // namespace testing_support
