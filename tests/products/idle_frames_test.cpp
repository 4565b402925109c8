#include "viewer/products/idle_frames.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace {

using namespace tesmar::products;
using testing_support::TempDir;

std::string inProds(const char* name) {
    std::string path = "prods/";  // appended, not added: GCC 12 warns falsely on "x" + string
    path += name;
    return path;
}

ProductEntry composite() {
    return ProductEntry{"## eur zoom", 'c', "3", "2", "1", "0", "0", "5"};
}

TEST(IdleFrames, TheEntrysProductsOldestFirst) {
    TempDir dir;
    // Across a new year and a new century digit; another entry's and the cycle's other files.
    for (const char* name : {"eur_c321r5_202101010000.jpg", "eur_c321r5_202012312345.jpg", "eur_c321r5_209912312345.jpg",
                             "eur_c321r5_201903181200.jpg", "eur_c321r5_copy.jpg", "eur_c321r4_202012312345.jpg",
                             "air_f56r2_202012312345.jpg"})
        dir.write(inProds(name), "x");
    const auto frames = idleFrames(dir / "prods", composite());
    std::vector<std::string> names;
    for (const auto& f : frames) names.push_back(f.filename().string());
    EXPECT_EQ(names, (std::vector<std::string>{"eur_c321r5_201903181200.jpg", "eur_c321r5_202012312345.jpg",
                                               "eur_c321r5_202101010000.jpg", "eur_c321r5_209912312345.jpg",
                                               "eur_c321r5_copy.jpg"}));
    EXPECT_EQ(idleFrames(dir / "prods", composite(), 4).size(), 4u);
}

TEST(IdleFrames, ThreeOrFewerOrNoFolderShowNothing) {
    TempDir dir;
    EXPECT_TRUE(idleFrames(dir / "prods", composite()).empty());
    for (const char* name : {"eur_c321r5_202101010000.jpg", "eur_c321r5_202101010015.jpg", "eur_c321r5_202101010030.jpg"})
        dir.write(inProds(name), "x");
    EXPECT_TRUE(idleFrames(dir / "prods", composite()).empty());
}

}  // namespace
