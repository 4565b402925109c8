#include "viewer/products/product_editor.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <sstream>

#include "common/atomic_file.h"

namespace tesmar::products {

namespace fs = std::filesystem;

namespace {

bool isWholeNumber(const std::string& text) {
    int v = 0;
    const auto* end = text.data() + text.size();
    const auto [p, ec] = std::from_chars(text.data(), end, v);
    return !text.empty() && ec == std::errc() && p == end;
}

// Corners are kept in whole degrees, halves going to the even neighbour.
std::string degrees(double v) { return std::to_string(static_cast<long>(std::nearbyint(v))); }

station::Result<bool> writeList(const fs::path& file, const std::string& text) {
    const auto written = station::writeFileAtomically(
        file, [&](std::ostream& out) { return static_cast<bool>(out << text); }, station::IfExists::Replace);
    if (!written) return station::Result<bool>::failure(written.error());
    return true;
}

station::Result<std::string> readText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return station::Result<std::string>::failure("cannot read " + file.string());
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

std::string cutNumber(const std::string& text) {
    std::string t = text.substr(0, text.find('.'));
    return t.substr(0, t.find(','));
}

bool sliceOffered(const ProductForm& form) {
    if (form.code == 'd') return true;
    return form.code == 's' && isWholeNumber(form.box1) && std::stoi(form.box1) < 12;
}

std::string headerFor(const ProductForm& form, const MercatorCorners& c) {
    std::string h = "## " + form.listText;
    if (form.zoomed) h += " zoom";
    if (form.mercator)
        h += " mercator " + degrees(c.west) + " " + degrees(c.north) + " " + degrees(c.east) + " " + degrees(c.south) +
             " " + (c.oneToOne ? "1" : "0") + (c.freeze ? " 1" : " 0");
    if (form.slicing && sliceOffered(form)) h += " slice" + cutNumber(form.lower) + ";" + cutNumber(form.upper);
    return h;
}

station::Result<ProductEntry> entryFromForm(ProductForm form, const MercatorCorners& corners,
                                            const std::vector<ProductEntry>& existing) {
    using R = station::Result<ProductEntry>;
    const std::string& name = form.listText;
    for (const auto& e : existing)
        if (e.header == name)
            return R::failure("Name of entry already exists: choose another name or remove first the repeated entry");
    if (existing.size() >= kMaxEntries) return R::failure("List is full (24 products). First remove some other entry");
    if (name.find_first_not_of(' ') == std::string::npos) return R::failure("Type a name for the new entry");
    // The name becomes part of file names and of the header, whose words switch options on.
    if (name.find_first_of("/\\") != std::string::npos || name.find("..") != std::string::npos)
        return R::failure("The name of an entry cannot hold \"/\", \"\\\" or \"..\"");
    for (const char* word : {"zoom", "mercat", "slice"})
        if (name.find(word) != std::string::npos)
            return R::failure("The name of an entry cannot hold the words \"zoom\", \"mercator\" or \"slice\"");
    form.lon = cutNumber(form.lon);
    form.lat = cutNumber(form.lat);
    if (!isWholeNumber(form.lon) || !isWholeNumber(form.lat))
        return R::failure("The centre longitude and latitude must be numbers");
    if (form.slicing && sliceOffered(form)) {
        form.lower = cutNumber(form.lower);
        form.upper = cutNumber(form.upper);
        if (!isWholeNumber(form.lower) || !isWholeNumber(form.upper))
            return R::failure("The slice values must be numbers");
    }
    ProductEntry e;
    e.header = headerFor(form, corners);
    e.code = form.code;
    e.box1 = form.box1;
    e.box2 = form.box2;
    e.box3 = form.box3;
    e.lon = form.lon;
    e.lat = form.lat;
    e.detail = std::to_string(std::clamp(form.detail, 1, 5));
    for (const auto& other : existing)
        if (other.header == e.header)
            return R::failure("Name of entry already exists: choose another name or remove first the repeated entry");
    // Only three characters of the name reach the file name: two entries must not share one.
    const auto mine = productOutput(e, "000000000000");
    for (const auto& other : existing) {
        const auto theirs = productOutput(other, "000000000000");
        if (mine && theirs && mine->fileName == theirs->fileName)
            return R::failure("This entry would write the same files as \"" + other.header +
                              "\": start its name with other characters");
    }
    return e;
}

ProductForm formFromEntry(const ProductEntry& e) {
    ProductForm f;
    f.listText = e.header;
    f.zoomed = e.zoom();
    f.mercator = e.header.find("mercator") != std::string::npos;
    f.slicing = e.slice();
    if (f.slicing) {
        f.lower = e.sliceLower();
        f.upper = e.sliceUpper();
    }
    for (const char k : kKindOrder)
        if (e.code == k) f.code = k;
    f.box1 = e.box1;
    f.box2 = e.box2;
    f.box3 = e.box3;
    f.lon = e.lon;
    f.lat = e.lat;
    if (isWholeNumber(e.detail)) f.detail = std::stoi(e.detail);
    return f;
}

station::Result<ProductList> loadProductList(const fs::path& file) {
    std::error_code ec;
    if (!fs::exists(file, ec)) {
        const auto made = writeList(file, "");
        if (!made) return station::Result<ProductList>::failure(made.error());
    }
    const auto text = readText(file);
    if (!text) return station::Result<ProductList>::failure(text.error());
    return parseProductList(*text);
}

station::Result<std::string> addEntry(const fs::path& file, const ProductForm& form, const MercatorCorners& corners) {
    using R = station::Result<std::string>;
    const auto list = loadProductList(file);
    if (!list) return R::failure(list.error());
    const auto entry = entryFromForm(form, corners, list->entries);
    if (!entry) return R::failure(entry.error());
    auto text = readText(file);
    if (!text) return R::failure(text.error());
    if (!text->empty() && text->back() != '\n') *text += '\n';
    const auto written = writeList(file, *text + productListText({*entry}));
    if (!written) return R::failure(written.error());
    return entry->header;
}

station::Result<int> deleteEntry(const fs::path& file, const std::string& header) {
    using R = station::Result<int>;
    const auto text = readText(file);
    if (!text) return R::failure(text.error());
    std::istringstream in(*text);
    std::string kept, line;
    int deleted = 0;
    int dropping = 0;  // lines of the deleted entry still to drop
    while (std::getline(in, line)) {
        std::string bare = line;
        if (!bare.empty() && bare.back() == '\r') bare.pop_back();
        const bool isHeader = bare.rfind("## ", 0) == 0;
        if (isHeader) dropping = 0;  // an entry ends at the next header, however short it was
        if (isHeader && bare == header) {
            ++deleted;
            dropping = 8;
        }
        if (dropping > 0) {
            --dropping;
            continue;
        }
        kept += line + "\n";
    }
    if (deleted == 0) return R::failure("There is no entry " + header);
    const auto written = writeList(file, kept);
    if (!written) return R::failure(written.error());
    return deleted;
}

const ProductEntry* findEntry(const ProductList& list, const std::string& header) {
    const ProductEntry* found = nullptr;
    for (const auto& e : list.entries)
        if (e.header == header) found = &e;
    return found;
}

}  // namespace tesmar::products
