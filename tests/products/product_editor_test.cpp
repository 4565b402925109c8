#include "viewer/products/product_editor.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/support/temp_dir.h"

namespace {

using namespace tesmar::products;
using testing_support::TempDir;

std::string read(const std::filesystem::path& p) {
    std::ifstream in(p);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

ProductForm named(const std::string& name) {
    ProductForm f;
    f.listText = name;
    return f;
}

TEST(ProductEditor, HeadersAndNumberFieldsAsStored) {
    MercatorCorners corners{-10.6, 60.4, 30.5, 35.2, false, true};
    auto f = named("europe");
    f.lon = "7.9";
    f.lat = "-3,5";
    f.zoomed = true;
    f.mercator = true;
    f.slicing = true;
    f.lower = "-3.5";
    f.upper = "120.2";
    const auto e = entryFromForm(f, corners, {});
    ASSERT_TRUE(e.ok()) << e.error();
    EXPECT_EQ(e->header, "## europe zoom mercator -11 60 30 35 0 1 slice-3;120");
    EXPECT_EQ(e->lon, "7");
    EXPECT_EQ(e->lat, "-3");
    EXPECT_EQ(e->sliceLower(), "-3");
    EXPECT_EQ(e->sliceUpper(), "120");

    // Slicing stays off where the window does not offer it.
    f.code = 'c';
    f.listText = "rgb";
    EXPECT_EQ(headerFor(f, corners).find("slice"), std::string::npos);
    f.code = 's';
    f.box1 = "12";
    EXPECT_EQ(headerFor(f, corners).find("slice"), std::string::npos);

    // Choosing the entry brings its fields back.
    const auto back = formFromEntry(*e);
    EXPECT_TRUE(back.zoomed && back.mercator && back.slicing);
    EXPECT_EQ(back.lower, "-3");
    EXPECT_EQ(back.lon, "7");
    EXPECT_EQ(back.detail, 5);
}

TEST(ProductEditor, RefusesEntriesThatWouldBeMisreadOrCollide) {
    std::vector<ProductEntry> existing(1);
    existing[0].header = "## europe";
    existing[0].code = 'c';
    existing[0].box1 = "3";
    existing[0].box2 = "2";
    existing[0].box3 = "1";
    existing[0].detail = "5";
    struct Case {
        std::string name;
        std::string lon;
        std::string says;
    } cases[] = {
        {"## europe", "0", "already exists"},
        {"europe", "0", "already exists"},
        {"", "0", "Type a name"},
        {"   ", "0", "Type a name"},
        {"a/b", "0", "cannot hold"},
        {"..x", "0", "cannot hold"},
        {"my zoom", "0", "\"zoom\""},
        {"sliced", "0", "\"zoom\""},
        {"eurasia", "0", "same files"},  // "eur" + the same code, boxes and detail
        {"asia", "east", "must be numbers"},
    };
    for (const auto& c : cases) {
        auto f = named(c.name);
        f.code = 'c';
        f.lon = c.lon;
        const auto e = entryFromForm(f, {}, existing);
        ASSERT_FALSE(e.ok()) << c.name;
        EXPECT_NE(e.error().find(c.says), std::string::npos) << c.name << ": " << e.error();
    }
    auto other = named("eurasia");
    other.code = 'd';  // another file name
    EXPECT_TRUE(entryFromForm(other, {}, existing).ok());

    std::vector<ProductEntry> full(kMaxEntries, existing[0]);
    const auto e = entryFromForm(named("one more"), {}, full);
    ASSERT_FALSE(e.ok());
    EXPECT_EQ(e.error(), "List is full (24 products). First remove some other entry");
}

TEST(ProductEditor, AddChooseAndDeleteInTheFile) {
    TempDir dir;
    const auto file = dir / "product.txt";
    auto list = loadProductList(file);  // created empty when missing
    ASSERT_TRUE(list.ok());
    EXPECT_TRUE(std::filesystem::exists(file));

    auto f = named("ir");
    f.box1 = "9";
    ASSERT_EQ(*addEntry(file, f, {}), "## ir");
    f = named("rgb");
    f.code = 'c';
    ASSERT_TRUE(addEntry(file, f, {}).ok());
    EXPECT_EQ(read(file), "## ir\ns\n9\n2\n1\n0\n0\n5\n## rgb\nc\n3\n2\n1\n0\n0\n5\n");

    list = loadProductList(file);
    ASSERT_NE(findEntry(*list, "## rgb"), nullptr);
    EXPECT_EQ(findEntry(*list, "## rgb")->code, 'c');
    EXPECT_EQ(findEntry(*list, "## none"), nullptr);

    ASSERT_EQ(*deleteEntry(file, "## ir"), 1);
    EXPECT_EQ(read(file), "## rgb\nc\n3\n2\n1\n0\n0\n5\n");
    EXPECT_FALSE(deleteEntry(file, "## ir").ok());
    ASSERT_EQ(*deleteEntry(file, "## rgb"), 1);
    EXPECT_EQ(read(file), "");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "no temporary left";
}

TEST(ProductEditor, DeletingAShortEntryKeepsTheNextOne) {
    TempDir dir;
    dir.write("product.txt", "## cut\ns\n9\n## next\nc\n3\n2\n1\n0\n0\n5\n");
    ASSERT_EQ(*deleteEntry(dir / "product.txt", "## cut"), 1);
    EXPECT_EQ(read(dir / "product.txt"), "## next\nc\n3\n2\n1\n0\n0\n5\n");
}

}  // namespace
