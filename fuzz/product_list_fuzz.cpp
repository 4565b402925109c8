// product.txt: the list reader, the names of the products an entry makes, and the product
// window's way through a form and back. Whatever the list holds, a product is written under
// a plain file name of prods/ (never a path that leaves it), and what the editor adds or
// deletes is what the list then reads.

#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "viewer/products/product_editor.h"
#include "viewer/products/product_list.h"

namespace {

namespace products = tesmar::products;
using fuzzing::require;

void checkOutput(const products::ProductEntry& e) {
    for (const char* slot : {"201903181200", "000000000000"}) {
        const auto out = products::productOutput(e, slot);
        if (out)
            require(fuzzing::plainFileName(out->fileName), "a product file name that is a path",
                    out->fileName);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(fuzzing::asText(data, size));
    const auto list = products::parseProductList(text);
    require(list.entries.size() <= products::kMaxEntries, "more entries than the list holds");

    const products::MercatorCorners corners{-10, 60, 30, 35, false, false};
    for (const auto& e : list.entries) {
        require(e.header.rfind("## ", 0) == 0, "an entry without its header");
        (void)e.name();
        (void)e.sliceLower();
        (void)e.sliceUpper();
        checkOutput(e);
        const auto form = products::formFromEntry(e);
        (void)products::sliceOffered(form);
        (void)products::headerFor(form, corners);
        for (const auto* existing :
             {&list.entries, static_cast<const std::vector<products::ProductEntry>*>(nullptr)}) {
            const auto made = products::entryFromForm(
                form, corners, existing ? *existing : std::vector<products::ProductEntry>{});
            if (!made) continue;
            require(made->header.rfind("## ", 0) == 0, "a new entry without its header");
            checkOutput(*made);
        }
    }

    // Written back, the list keeps every entry. (A line ending in stray carriage returns loses
    // one of them on each reading, as CR LF files must; that is all that may change.)
    const auto again = products::parseProductList(products::productListText(list.entries));
    require(again.entries.size() == list.entries.size(), "the list does not read back");

    // The editor on the file: what it adds is then in the list, what it deletes is gone.
    const auto file = fuzzing::writeFile("product.txt", text);
    const auto loaded = products::loadProductList(file);
    require(loaded.ok() && loaded->entries.size() == list.entries.size(),
            "the file reads otherwise than its text");
    if (!list.entries.empty()) {
        auto form = products::formFromEntry(list.entries.front());
        form.listText = "fz " + std::to_string(size);
        const auto added = products::addEntry(file, form, corners);
        if (added) {
            const auto after = products::loadProductList(file);
            require(after.ok() && products::findEntry(*after, *added) != nullptr,
                    "an added entry is not in the list", *added);
        }
        const auto& header = list.entries.back().header;
        if (products::deleteEntry(file, header)) {
            const auto after = products::loadProductList(file);
            require(after.ok() && products::findEntry(*after, header) == nullptr,
                    "a deleted entry is still listed", header);
        }
    }
    return 0;
}
