// gzip and bzip2 archives of the reception's other products (the same bytes as each),
// decoded in process. A failure leaves nothing under the decompressed name and no temporary
// file; a success is refused when the size the caller expects is not the size decoded.

#include <sys/resource.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <string>

#include "common/atomic_file.h"
#include "common/decompressor.h"
#include "fuzz/fuzz_support.h"

namespace {

namespace fs = std::filesystem;
using fuzzing::require;

bool leftNothing(const fs::path& output) {
    std::error_code ec;
    return !fs::exists(fs::symlink_status(output, ec)) &&
           !fs::exists(fs::symlink_status(station::temporaryNameFor(output), ec));
}

void decompress(station::ArchiveFormat format, const char* name, std::string_view bytes) {
    const auto input = fuzzing::writeFile(name, bytes);
    const station::ArchiveDecompressor decompressor(format);
    const auto output = decompressor.outputFor(input);
    require(output.has_value(), "no decompressed name for an archive's name");
    std::error_code ec;
    fs::remove(*output, ec);

    const auto r = decompressor.decompress({input, {}});
    if (!r.ok) {
        require(leftNothing(*output), "a failed decompression left a file", r.reason);
        return;
    }
    const auto decoded = fs::file_size(*output, ec);
    require(!ec, "a decompression succeeded without its output", r.reason);
    fs::remove(*output, ec);
    // The same archive where the caller expects one byte more.
    const auto wrongSize = decompressor.decompress({input, decoded + 1});
    require(!wrongSize.ok && leftNothing(*output), "a decompression of the wrong size was kept");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // A small archive can expand to gigabytes; the decoder must fail cleanly when its output
    // cannot grow, so writes past this size fail instead of filling the scratch space.
    const rlimit limit{256u << 20, 256u << 20};
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, SIG_IGN);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto bytes = fuzzing::asText(data, size);
    decompress(station::ArchiveFormat::Gzip, "product.dat.gz", bytes);
    decompress(station::ArchiveFormat::Bzip2, "product.dat.bz2", bytes);
    return 0;
}
