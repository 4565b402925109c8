#include "common/atomic_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/support/temp_dir.h"

namespace {

using testing_support::TempDir;

std::string contents(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

const auto writeNew = [](std::ostream& out) { return static_cast<bool>(out << "new"); };

TEST(AtomicFile, KeepRefusesAnExistingFile) {
    TempDir dir;
    dir.write("f.txt", "old");
    const auto r = station::writeFileAtomically(dir / "f.txt", writeNew, station::IfExists::Keep);
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(contents(dir / "f.txt"), "old");
    EXPECT_FALSE(std::filesystem::exists(station::temporaryNameFor(dir / "f.txt")));
}

TEST(AtomicFile, ReplaceAndKeepWriteTheWholeContent) {
    TempDir dir;
    dir.write("f.txt", "old");
    auto r = station::writeFileAtomically(dir / "f.txt", writeNew, station::IfExists::Replace);
    ASSERT_TRUE(r.ok()) << r.error();
    EXPECT_EQ(*r, 3U);
    EXPECT_EQ(contents(dir / "f.txt"), "new");
    r = station::writeFileAtomically(dir / "g.txt", writeNew, station::IfExists::Keep);
    ASSERT_TRUE(r.ok()) << r.error();
    EXPECT_EQ(contents(dir / "g.txt"), "new");
}

TEST(AtomicFile, AFailedFillLeavesTheOldFileAndNoTemporary) {
    TempDir dir;
    dir.write("f.txt", "old");
    const auto r = station::writeFileAtomically(
        dir / "f.txt", [](std::ostream& out) { return !(out << "half").fail() && false; },
        station::IfExists::Replace);
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(contents(dir / "f.txt"), "old");
    EXPECT_FALSE(std::filesystem::exists(station::temporaryNameFor(dir / "f.txt")));
}

}  // namespace
