// deco: the station's stand-in for an xRIT decompressor. It passes on segments whose data is
// not compressed and refuses everything else, so the reception runs end to end on our own
// synthetic slots and a real decompressor can take its place without changing the caller.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <system_error>

#include "common/decompressor.h"
#include "common/durable_file.h"
#include "tools/deco/segment_check.h"

namespace {

namespace fs = std::filesystem;
using deco::kUnreadable, deco::kUsage, deco::kWriteFailed;

// Larger than any segment by far; a file beyond it is not one, and is not read into memory.
constexpr std::uintmax_t kLargest = 64u << 20;

constexpr std::string_view kHelp = R"(usage: deco INPUT

Writes the decompressed form of the xRIT segment INPUT into the current directory, under
INPUT's file name with its final "-C_" replaced by "-__", and exits 0.

This is the station's stand-in: it handles only segments whose own headers say their data is
not compressed (an image structure record with compression flag 0), which it passes on
unchanged. Broadcast segments are compressed; to handle them, a real station points "deco" in
the station directory at its installed xRIT decompressor, through a symbolic link or a small
wrapper that takes the same single argument and writes the same output name.

Nothing is written on a refusal, and an existing output is never replaced.

exit codes:
  0  written
  2  usage: not one argument, or a name that does not end in "-C_"
  3  the input cannot be read, or its header is damaged or not a segment's
  4  the data is compressed (flag 1 lossless, 2 lossy): a real decompressor is needed
  5  the output cannot be written, or exists already
)";

int refuse(int code, const std::string& why) {
    std::cerr << "deco: " << why << '\n';
    return code;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
        std::cout << kHelp;
        return 0;
    }
    if (argc != 2) return refuse(kUsage, "usage: deco INPUT (deco --help explains)");
    const fs::path input = argv[1];
    const auto outputName = station::decompressedSegmentName(input.filename().string());
    if (!outputName)
        return refuse(kUsage, input.filename().string() +
                                  " is not a compressed segment name (it must end in -C_)");

    std::error_code ec;
    const auto size = fs::file_size(input, ec);
    if (ec || !fs::is_regular_file(input, ec))
        return refuse(kUnreadable, "cannot read " + input.string());
    if (size > kLargest)
        return refuse(kUnreadable, input.string() + " is too large to be a segment");
    std::string bytes(size, '\0');
    {
        std::ifstream in(input, std::ios::binary);
        if (!in.read(bytes.data(), static_cast<std::streamsize>(bytes.size())) ||
            static_cast<std::uintmax_t>(in.gcount()) != size ||
            in.peek() != std::ifstream::traits_type::eof())
            return refuse(kUnreadable, "cannot read " + input.string() + " whole");
    }

    if (const auto verdict = deco::checkSegment(bytes, input.string()); verdict.code != deco::kWritten)
        return refuse(verdict.code, verdict.why);

    const fs::path output = *outputName;
    if (fs::exists(fs::symlink_status(output, ec)))
        return refuse(kWriteFailed, output.string() + " exists already; it was left as it was");
    station::DurableFile file(output);
    file.write(bytes);
    const auto written = file.publish(station::IfExists::Keep, bytes.size());
    if (!written) return refuse(kWriteFailed, written.error());
    return 0;
}
