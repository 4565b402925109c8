#pragma once
// Editing the product list: what the "Product definition" window holds, the header an entry
// gets, and adding, choosing and deleting entries in product.txt. Every change rewrites the
// file whole (temporary file, then rename), so a crash never leaves half a list.

#include <filesystem>
#include <string>
#include <vector>

#include "common/result.h"
#include "viewer/products/product_list.h"

namespace tesmar::products {

// Kinds in the order the window checks them; the first is the default.
inline constexpr char kKindOrder[] = {'s', 'c', 'd', 'a', 'b', 'h', 'f', 'g', 'n'};

struct ProductForm {
    std::string listText;  // the typed name of a new entry, or the chosen entry's header
    char code = 's';
    std::string box1 = "3", box2 = "2", box3 = "1";
    std::string lon = "0", lat = "0";
    int detail = 5;
    bool zoomed = false;
    bool mercator = false;
    bool slicing = false;
    bool contrast = false;  // only "Show_it_now" uses it
    std::string lower = "-3", upper = "120";
};

// The corners window's values that a Mercator entry keeps.
struct MercatorCorners {
    double west = 0, north = 0, east = 0, south = 0;
    bool oneToOne = false;
    bool freeze = false;
};

// A number field as an entry stores it: cut before the first "." and then before the first ",".
std::string cutNumber(const std::string& text);
// Slicing is offered for a single channel below 12 and for a temperature difference.
bool sliceOffered(const ProductForm& form);
// "## " + the name + the options that are set.
std::string headerFor(const ProductForm& form, const MercatorCorners& corners);

// The entry the form describes, checked against the entries already in the list: a refusal
// gives the message to show, and the list is left as it was.
station::Result<ProductEntry> entryFromForm(ProductForm form, const MercatorCorners& corners,
                                            const std::vector<ProductEntry>& existing);
// The form shown when an entry is chosen.
ProductForm formFromEntry(const ProductEntry& entry);

// product.txt itself. Reading creates an empty file when there is none.
station::Result<ProductList> loadProductList(const std::filesystem::path& file);
// Appends the entry; gives its header.
station::Result<std::string> addEntry(const std::filesystem::path& file, const ProductForm& form,
                                      const MercatorCorners& corners);
// Removes every entry whose header is `header`; gives how many there were.
station::Result<int> deleteEntry(const std::filesystem::path& file, const std::string& header);
// The chosen header's entry (the last one of that header wins).
const ProductEntry* findEntry(const ProductList& list, const std::string& header);

}  // namespace tesmar::products
