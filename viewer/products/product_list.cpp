#include "viewer/products/product_list.h"

#include <sstream>
#include <string_view>

namespace tesmar::products {

std::string ProductEntry::name() const { return header.size() > 3 ? header.substr(3) : std::string{}; }

std::string ProductEntry::sliceLower() const {
    const auto at = header.find("slice");
    if (at == std::string::npos) return {};
    const auto semi = header.find(';', at);
    return header.substr(at + 5, semi == std::string::npos ? std::string::npos : semi - at - 5);
}

std::string ProductEntry::sliceUpper() const {
    const auto at = header.find("slice");
    const auto semi = at == std::string::npos ? std::string::npos : header.find(';', at);
    return semi == std::string::npos ? std::string{} : header.substr(semi + 1);
}

ProductList parseProductList(const std::string& text) {
    ProductList list;
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    std::size_t i = 0;
    while (i < lines.size() && list.entries.size() < kMaxEntries) {
        if (lines[i].rfind("## ", 0) != 0) {
            if (!lines[i].empty()) list.skipped.push_back("line " + std::to_string(i + 1) + " is not an entry's header");
            ++i;
            continue;
        }
        // The seven lines of the entry, stopping early at the next header.
        std::size_t end = i + 1;
        while (end < lines.size() && end < i + 8 && lines[end].rfind("## ", 0) != 0) ++end;
        if (end - i < 8) {
            list.skipped.push_back(lines[i] + ": the entry has " + std::to_string(end - i) + " of its 8 lines");
            i = end;
            continue;
        }
        ProductEntry e;
        e.header = lines[i];
        e.code = lines[i + 1].empty() ? ' ' : lines[i + 1][0];
        e.box1 = lines[i + 2];
        e.box2 = lines[i + 3];
        e.box3 = lines[i + 4];
        e.lon = lines[i + 5];
        e.lat = lines[i + 6];
        e.detail = lines[i + 7];
        list.entries.push_back(e);
        i += 8;
    }
    return list;
}

std::string productListText(const std::vector<ProductEntry>& entries) {
    std::string out;
    for (const auto& e : entries)
        out += e.header + "\n" + std::string(1, e.code) + "\n" + e.box1 + "\n" + e.box2 + "\n" + e.box3 + "\n" + e.lon +
               "\n" + e.lat + "\n" + e.detail + "\n";
    return out;
}

std::optional<ProductOutput> productOutput(const ProductEntry& e, const std::string& slot) {
    const std::string n = e.name().substr(0, 3);
    const std::string r = "r" + e.detail;
    ProductOutput o;
    std::string middle;
    switch (e.code) {
        case 's': middle = "s" + e.box1 + r; o = {"", "  ", "Single", 100}; break;
        case 'c': middle = "c" + e.box1 + e.box2 + e.box3 + r; o = {"", "   ", "Composite", 100}; break;
        case 'd': middle = "d" + e.box1 + e.box2 + r; o = {"", "   ", "Differen", 80}; break;
        case 'f': middle = "f" + e.box1 + e.box2 + r; o = {"", "   ", "Flow-type", 80}; break;
        case 'n': middle = "n" + e.box1 + e.box2 + r; o = {"", "   ", "Complex", 80}; break;
        case 'h':
            middle = "h" + r + "_" + e.box1 + e.box2 + e.box3 + "_c" + (e.lon.empty() ? std::string{} : e.lon.substr(0, 1));
            o = {"", "   ", "high resolution", 80};
            break;
        default: return std::nullopt;
    }
    o.fileName = n + "_" + middle + "_" + slot + ".jpg";
    // The name is made of the entry's lines and the scene's time, all read from files: one
    // that would leave prods/ ("/", "..") or be cut short at a NUL names no product.
    if (o.fileName.find_first_of(std::string_view("/\0", 2)) != std::string::npos)
        return std::nullopt;
    return o;
}

std::string noOutputReason(const ProductEntry& e) {
    if (std::string_view("scdfnh").find(e.code) == std::string_view::npos)
        return std::string("product code '") + e.code +
               "' needs imagery this station does not make yet";
    return "its lines or the scene's time hold \"/\" or a NUL, which no product file name may hold";
}

}  // namespace tesmar::products
