// The coast masks coastline_m11.bmp (VIS/IR grid) and coastline_hrv.pbm (HRV grid), burnt into
// the raster of a picture. The masks are read by fixed row offsets, so the input chooses the
// picture (scene, centre, scope, channel, satellite position) and the bytes of the mask rows
// that picture reads; the file may end anywhere. Burning stays inside the raster and the picture.

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "fuzz/native_patches.h"
#include "viewer/display/overlays.h"
#include "viewer/display/raster.h"
#include "viewer/scene/data_window.h"
#include "viewer/scene/native_scene.h"

namespace {

namespace fs = std::filesystem;
namespace display = tesmar::display;
using fuzzing::require;

// The scenes of the Native target's base files, read by the header reader itself.
const std::vector<tesmar::NativeScene>& scenes() {
    static const std::vector<tesmar::NativeScene> all = [] {
        std::vector<tesmar::NativeScene> out;
        for (const auto& s : fuzzing::native_patches::baseScenes()) {
            const auto header = synth::headerBytes(s);
            const auto parsed = tesmar::parseNativeHeader(
                std::span(reinterpret_cast<const std::uint8_t*>(header.data()), header.size()));
            if (!parsed) std::abort();
            out.push_back(*parsed);
        }
        return out;
    }();
    return all;
}

struct MaskShape {
    std::int64_t header;
    std::int64_t rowBytes;
    std::int64_t rows;
};
constexpr MaskShape kVisIrMask{62, 464, 3712};
constexpr MaskShape kHrvMask{38, 1392, 11136};

// A mask file of its full length (or cut short), zero but for `bytes` from mask row `row`.
void writeMask(const fs::path& path, const MaskShape& shape, std::int64_t length, std::int64_t row,
               const std::string& bytes) {
    { std::ofstream(path, std::ios::binary | std::ios::trunc); }
    fs::resize_file(path, static_cast<std::uintmax_t>(length));
    std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
    const std::int64_t at =
        shape.header + std::clamp<std::int64_t>(row, 0, shape.rows - 1) * shape.rowBytes;
    if (at >= length) return;
    f.seekp(at);
    f.write(bytes.data(),
            static_cast<std::streamsize>(std::min<std::int64_t>(bytes.size(), length - at)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::Input in(data, size);
    const auto& scene = scenes()[in.inRange<std::size_t>(0, scenes().size() - 1)];
    const bool hrv = in.flag() && scene.channelPresent(12);
    tesmar::WindowRequest request;
    request.fi = in.inRange(-9000, 9000) / 100.0;
    request.la = in.inRange(-9000, 9000) / 100.0;
    request.scopeSlider = in.inRange(1, 5);
    request.ncha = hrv ? 12 : 1;
    static const double kShifts[] = {0.0, 9.5, -41.5, 41.5, 145.0};
    const tesmar::nav::Context nav{kShifts[in.inRange<std::size_t>(0, 4)]};
    const auto window = tesmar::leedatos(scene, nav, request);
    const auto geometry =
        hrv ? display::PictureGeometry::hrvSingle(window) : display::PictureGeometry::visIr(window);
    const display::OverlayContext ctx{scene, window, geometry, hrv, nav};

    // Which mask, how long its file is, and the rows the bytes go to: the first line of the
    // window, or any row.
    const bool hrvMask = hrv && in.flag();
    const auto& shape = hrvMask ? kHrvMask : kVisIrMask;
    const std::int64_t full = shape.header + shape.rows * shape.rowBytes;
    const std::int64_t length = in.flag() ? full : in.inRange<std::int64_t>(0, full);
    const int first = window.fil + scene.sol;
    const int flag = scene.marked() ? 1 : 0;
    std::int64_t row = hrvMask ? 11135 - 3 * (first + flag) - 2 : hrv ? first - 1 : first;
    if (in.flag()) row = in.inRange<std::int64_t>(0, shape.rows - 1);
    const auto bytes = in.rest();

    const auto dir = fuzzing::scratch();
    const auto visIrPath = dir / "coastline_m11.bmp", hrvPath = dir / "coastline_hrv.pbm";
    std::error_code ec;
    fs::remove(hrvPath, ec);
    writeMask(hrvMask ? hrvPath : visIrPath, shape, length, row, bytes);

    static display::Raster g;
    const auto burnt = display::overl(ctx, visIrPath, hrvPath, g);
    require(burnt.ok(), "a mask that exists was refused", burnt.ok() ? "" : burnt.error());
    require(*burnt >= 0, "a negative count of burnt cells");
    if (geometry.empty() || window.empty())
        require(*burnt == 0, "cells burnt into an empty picture");
    return 0;
}
