#pragma once
// The product list: `product.txt`, entries of eight lines each, the first a header "## " +
// name + options, then code, three boxes, centre longitude and latitude, detail.

#include <optional>
#include <string>
#include <vector>

namespace tesmar::products {

struct ProductEntry {
    std::string header;  // "## name zoom mercator W N E S K F slice lo;hi"
    char code = 's';
    std::string box1, box2, box3;
    std::string lon, lat, detail;

    std::string name() const;  // the header after "## "
    bool zoom() const { return header.find("zoom") != std::string::npos; }
    bool mercator() const { return header.find("mercat") != std::string::npos; }
    bool slice() const { return header.find("slice") != std::string::npos; }
    // The slice's lower and upper values: between "slice" and ";", and after the ";".
    std::string sliceLower() const;
    std::string sliceUpper() const;
};

inline constexpr std::size_t kMaxEntries = 24;

struct ProductList {
    std::vector<ProductEntry> entries;
    std::vector<std::string> skipped;  // why lines were passed over
};

// Reads the list. Entries start at their "## " header lines, so a short or damaged entry
// costs only itself; at most 24 entries are taken.
ProductList parseProductList(const std::string& text);
std::string productListText(const std::vector<ProductEntry>& entries);

struct ProductOutput {
    std::string fileName;  // "eur_c321r5_201305011200.jpg"
    std::string separator; // between the date label and the title in the stamp
    std::string titleWord; // what the title line must hold for the picture to be saved
    int quality = 80;      // JPEG quality; 0 for BMP
};

// The file name and stamp of an entry's product for a slot; empty when the code is unknown or
// the name would not be a plain file name of prods/.
std::optional<ProductOutput> productOutput(const ProductEntry& entry, const std::string& slot);
// Why productOutput gives nothing for the entry, as the product cycle reports it.
std::string noOutputReason(const ProductEntry& entry);

}  // namespace tesmar::products
