#include "viewer/products/product_list.h"

#include <gtest/gtest.h>

namespace {

using namespace tesmar::products;

TEST(ProductList, ReadsEntriesAndResynchronisesOnHeaders) {
    const std::string text =
        "## eur zoom\nc\n3\n2\n1\n7\n41\n5\r\n"
        "## broken\ns\n9\n"                                  // three lines only
        "## dif slice-3;120\nd\n9\n10\n0\n0\n45\n4\n"
        "stray line\n";
    const auto list = parseProductList(text);
    ASSERT_EQ(list.entries.size(), 2u);
    EXPECT_EQ(list.entries[0].name(), "eur zoom");
    EXPECT_TRUE(list.entries[0].zoom());
    EXPECT_EQ(list.entries[0].detail, "5");  // CR removed
    EXPECT_EQ(list.entries[1].code, 'd');
    EXPECT_EQ(list.entries[1].sliceLower(), "-3");
    EXPECT_EQ(list.entries[1].sliceUpper(), "120");
    EXPECT_EQ(list.skipped.size(), 2u);
    EXPECT_EQ(parseProductList(productListText(list.entries)).entries.size(), 2u);
}

TEST(ProductList, AtMostTwentyFourEntries) {
    std::string text;
    for (int i = 0; i < 30; ++i) text += "## e" + std::to_string(i) + "\ns\n9\n2\n1\n0\n0\n5\n";
    EXPECT_EQ(parseProductList(text).entries.size(), 24u);
}

TEST(ProductList, FileNamesAndQualities) {
    const struct {
        ProductEntry entry;
        const char* name;
        int quality;
        const char* word;
    } cases[] = {
        {{"## eur zoom", 'c', "3", "2", "1", "7", "41", "5"}, "eur_c321r5_201305011200.jpg", 100, "Composite"},
        {{"## eur zoom", 'd', "9", "10", "", "7", "41", "5"}, "eur_d910r5_201305011200.jpg", 80, "Differen"},
        {{"## ab", 's', "9", "", "", "0", "0", "3"}, "ab_s9r3_201305011200.jpg", 100, "Single"},
        {{"## hrv", 'h', "12", "12", "9", "-5", "40", "5"}, "hrv_hr5_12129_c-_201305011200.jpg", 80, "high resolution"},
    };
    for (const auto& c : cases) {
        const auto o = productOutput(c.entry, "201305011200");
        ASSERT_TRUE(o);
        EXPECT_EQ(o->fileName, c.name);
        EXPECT_EQ(o->quality, c.quality);
        EXPECT_EQ(o->titleWord, c.word);
    }
    EXPECT_FALSE(productOutput({"## goes", 'g', "4", "", "", "0", "0", "5"}, "201305011200"));
}

// The file name is made of an entry's lines and the scene's time, all read from files: a
// name that would leave prods/ or be cut at a NUL is no product (found by fuzzing product.txt).
TEST(ProductList, NoFileNameOutsideTheProductFolder) {
    using namespace std::string_literals;
    const ProductEntry cases[] = {
        {"## ../", 's', "9", "", "", "0", "0", "5"},
        {"## /tm", 's', "9", "", "", "0", "0", "5"},
        {"## eur", 's', "/../../../tmp/x", "", "", "0", "0", "5"},
        {"## eur", 'c', "3", "2", "1", "0", "0", "5/.."},
        {"## tdi", 'd', "9\0"s, "5", "", "0", "0", "5"},
    };
    for (const auto& e : cases) {
        EXPECT_FALSE(productOutput(e, "201305011200")) << e.box1 << " " << e.detail;
        EXPECT_EQ(noOutputReason(e).find("needs imagery"), std::string::npos);
    }
    const ProductEntry fine{"## eur", 's', "9", "", "", "0", "0", "5"};
    EXPECT_FALSE(productOutput(fine, "2013/5011200"));  // a scene time is read from the file too
    EXPECT_NE(noOutputReason({"## goes", 'g', "4", "", "", "0", "0", "5"}).find("needs imagery"), std::string::npos);
}

}  // namespace
