// fuzz_corpus DIR: writes the seed corpus of every fuzz target into DIR/<target>/, each seed
// made by the station's own writers (the synthetic Native writer and received slot, the kit,
// the product list and purge writers, the picture writers), so the fuzzers start from files
// the station really meets. Nothing here is committed: the corpus is made afresh by the build.

#include <bzlib.h>
#include <unistd.h>
#include <zlib.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "common/segment_name.h"
#include "common/segment_templates.h"
#include "common/xrit_header.h"
#include "fuzz/native_patches.h"
#include "station/purge.h"
#include "station/station_paths.h"
#include "tools/kit/bit_mask.h"
#include "tools/kit/coast_text.h"
#include "tools/kit/mask_files.h"
#include "tools/kit/towns.h"
#include "tools/synth/received_slot.h"
#include "tools/synth/shapefile_writer.h"
#include "viewer/display/picture_files.h"
#include "viewer/display/png_writer.h"
#include "viewer/products/product_editor.h"
#include "viewer/products/product_list.h"

namespace {

namespace fs = std::filesystem;
namespace seg = station::segments;

class Corpus {
  public:
    explicit Corpus(fs::path root) : root_(std::move(root)) {}

    void add(const std::string& target, const std::string& name, const std::string& bytes) {
        const auto dir = root_ / target;
        fs::create_directories(dir);
        std::ofstream(dir / name, std::ios::binary) << bytes;
        ++count_;
    }
    int count() const { return count_; }
    const fs::path& root() const { return root_; }

  private:
    fs::path root_;
    int count_ = 0;
};

std::string readFile(const fs::path& p, std::size_t most = std::string::npos) {
    std::ifstream in(p, std::ios::binary);
    std::string s{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (s.size() > most) s.resize(most);
    return s;
}

// ---- Native files: programs of edits (see native_patches.h) ----

std::string be32(std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    return {static_cast<char>(u >> 24), static_cast<char>(u >> 16), static_cast<char>(u >> 8),
            static_cast<char>(u)};
}
std::string be24(std::uint32_t v) {
    return {static_cast<char>(v >> 16), static_cast<char>(v >> 8), static_cast<char>(v)};
}

void nativeSeeds(Corpus& c) {
    using namespace fuzzing::native_patches;
    const auto bases = baseScenes().size();
    for (std::size_t b = 0; b < bases; ++b)
        c.add("native", "base" + std::to_string(b), std::string(1, static_cast<char>(b)));
    auto op = [](Op o) { return std::string(1, static_cast<char>(o)); };
    // A standard band made a full disk's first lines; a region whose stated width differs.
    c.add("native", "south-1",
          std::string(1, 0) + op(kDecimal) + '\0' + be32(1) + op(kDecimal) + '\1' + be32(3));
    c.add("native", "stated-columns", std::string(1, 1) + op(kDecimal) + '\5' + be32(1000));
    // Without HRV; with a channel missing from the middle.
    c.add("native", "no-hrv",
          std::string(1, 0) + op(kField) + '\2' + '\0' + '\x0b' + "XXXXXXXXXXX-");
    c.add("native", "absent-4", std::string(1, 1) + op(kField) + '\2' + '\3' + '\0' + "-");
    // An assembled file whose bounds or HRV windows move.
    c.add("native", "assembled-north", std::string(1, 3) + op(kWord) + '\1' + be32(3712));
    c.add("native", "assembled-hrv",
          std::string(1, 4) + op(kWord) + '\6' + be32(11136) + op(kWord) + '\5' + be32(1));
    // The mark on a standard file, and taken off an assembled one.
    c.add("native", "marked-standard", std::string(1, 0) + op(kField) + '\x0e' + '\0' + '\0' + "s");
    c.add("native", "unmarked-assembled",
          std::string(1, 4) + op(kField) + '\x0e' + '\0' + '\0' + " ");
    // Cut inside the header, and inside the second line.
    c.add("native", "cut-header", std::string(1, 0) + op(kCut) + be24(392300));
    c.add("native", "cut-line",
          std::string(1, 1) + op(kCut) +
              be24(static_cast<std::uint32_t>(native::kImageStart) + 70000));
    // A line's packed pixels overwritten.
    c.add("native", "pixels",
          std::string(1, 2) + op(kBytes) +
              be24(static_cast<std::uint32_t>(native::kImageStart) + 65) + '\x08' +
              std::string(8, '\xff'));
}

// ---- Segment names and templates ----

void segmentSeeds(Corpus& c) {
    int n = 0;
    auto add = [&](const seg::SegmentName& s) {
        c.add("segment_names", "name" + std::to_string(n++), s.build());
    };
    add({'H', '4', false, seg::Part::Image, 9, 8, "201903181200", true});
    add({'H', '1', true, seg::Part::Image, 12, 24, "201512312355", false});
    add({'L', '2', false, seg::Part::Prologue, 0, 0, "202002291200", false});
    add({'H', '3', false, seg::Part::Epilogue, 0, 0, "201903181215", true});
    c.add("segment_names", "template", seg::templateText('4'));
    const auto lines = seg::templateLines('2');
    c.add("segment_names", "template-crlf",
          lines[0] + "\r\n" + lines[100] + "\r\n\r\nshort line\r\n");
}

// ---- xRIT headers: the first bytes of the synthetic reception's files ----

void xritSeeds(Corpus& c) {
    const auto dir = fs::temp_directory_path() / ("station-corpus-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    synth::ReceivedSlotOptions o;
    o.content = synth::Content::Pattern;
    o.only = std::set<synth::SegmentKey>{{9, 1}, {12, 1}};
    const auto files = synth::writeReceivedSlot(o, dir);
    if (files)
        for (const auto& f : *files)
            c.add("xrit_header", f.name.substr(26, 9) + f.name.substr(36, 6),
                  readFile(dir / f.name, 6400));
    fs::remove_all(dir);
    namespace xrit = station::xrit;
    c.add("xrit_header", "lossless",
          xrit::makeHeader(xrit::kFileTypeImage, 64, 8000, xrit::ImageStructure{10, 3712, 464, 1},
                           "x-C_"));
    c.add("xrit_header", "bare", xrit::makeHeader(xrit::kFileTypeImage, 16, 0, std::nullopt, ""));
}

// ---- product.txt and the viewer's start-up ----

std::string productText() {
    namespace p = tesmar::products;
    std::vector<p::ProductEntry> entries;
    const p::MercatorCorners corners{-15, 62, 35, 30, false, false};
    for (const char code : p::kKindOrder) {
        p::ProductForm form;
        form.listText = std::string(1, code) + "x_" + std::to_string(entries.size());
        form.code = code;
        form.zoomed = code == 'c';
        form.mercator = code == 'f';
        form.slicing = code == 's' || code == 'd';
        form.detail = static_cast<int>(entries.size()) % 5 + 1;
        if (const auto e = p::entryFromForm(form, corners, entries)) entries.push_back(*e);
    }
    return p::productListText(entries);
}

void productSeeds(Corpus& c, const fs::path& source) {
    const auto made = productText();
    c.add("product_list", "editor", made);
    const auto demo = readFile(source / "tools" / "demo-product.txt");
    if (!demo.empty()) c.add("product_list", "demo", demo);
    c.add("viewer_startup", "editor", "EUMETSAT \n" + made);
    if (!demo.empty()) c.add("viewer_startup", "demo", "Station label\r\n" + demo);
}

// ---- purge.txt, cd.txt, cdr.txt and the names the purge keeps ----

void stationSeeds(Corpus& c) {
    const auto dir = fs::temp_directory_path() / ("station-corpus-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    if (station::writePurgePolicy(dir, station::PurgePolicy{}))
        c.add("station_files", "purge", readFile(dir / station::kPurgeFile));
    if (station::writePurgePolicy(dir, {0, 5, 1, 2, 3, 2147483647}))
        c.add("station_files", "purge-extremes", readFile(dir / station::kPurgeFile));
    if (station::writeCd(dir, dir / "received", dir / "received13"))
        c.add("station_files", "cd", readFile(dir / "cd.txt"));
    if (station::writeCdr(dir, "/srv/other-station"))
        c.add("station_files", "cdr", readFile(dir / "cdr.txt"));
    c.add("station_files", "names",
          "eur_c321r5_201305011200.jpg\n201903181200.nat\n201903181200\n201903181200_5\n");
    fs::remove_all(dir);
}

// ---- Overlay texts ----

void overlaySeeds(Corpus& c) {
    using tesmar::nav::GeoPoint;
    const std::vector<kit::GeoLine> lines = {{{-9.5, 43.0}, {-8.9, 42.1}, {-8.8, 41.2}},
                                             {{3.2, 42.4}, {3.0, 43.1}}};
    c.add("overlay_texts", "coast", kit::formatCoastText(kit::toCoastLines(lines)));
    const std::vector<kit::Place> places = {{{-3.7, 40.42}, "Madrid"},
                                            {{8.55, 47.37}, "Z\xc3\xbcrich"},
                                            {{-58.38, -34.6}, "Buenos Aires"}};
    c.add("overlay_texts", "towns", kit::formatTownText(places));
    c.add("overlay_texts", "towns-cp1252", "town\r\n-370 4042 M\xe1laga\r\n855 4737 ##hidden\r\n");
    c.add("overlay_texts", "fires", "-370,4042,310\n855,4737,295\n## comment,1,2\n");
}

// ---- Shapefiles: polylines, a polygon and a point, as a GIS writes them ----

void shapefileSeeds(Corpus& c) {
    synth::ShapefileWriter w;
    w.poly(3, {{{-9.5, 43.0}, {-8.9, 42.1}}, {{3.2, 42.4}, {3.0, 43.1}, {3.1, 43.3}}});
    w.point(1.0, 2.0);
    w.poly(5, {{{0, 0}, {1, 0}, {1, 1}, {0, 0}}});
    c.add("shapefile", "mixed", w.file());
    synth::ShapefileWriter empty;
    c.add("shapefile", "empty", empty.file());
}

// ---- Coast masks: the picture's choices, then rows of a kit mask ----

// The choices in the order the target takes them (see coast_masks_fuzz.cpp): scene, HRV
// picture, centre, scope, satellite position, HRV mask, whole file, rows at the window.
std::string maskChoices(int scene, bool hrv, double lon, double lat, int scope, int shift,
                        bool hrvMask) {
    std::string c;
    c += static_cast<char>(scene);
    c += static_cast<char>(hrv ? 1 : 0);
    for (const double deg : {lon, lat}) {
        const auto v = static_cast<std::uint16_t>(std::lround(deg * 100) + 9000);
        c += static_cast<char>(v >> 8);
        c += static_cast<char>(v & 0xff);
    }
    c += static_cast<char>(scope - 1);
    c += static_cast<char>(shift);
    if (hrv) c += static_cast<char>(hrvMask ? 1 : 0);
    c += '\1';  // the file is whole
    c += '\0';  // the bytes go to the window's first rows
    return c;
}

void maskSeeds(Corpus& c) {
    kit::BitMask mask(3712, 4, false);
    for (int b = 0; b < 3712; b += 7) mask.put(b % 4, b, true);
    const std::string rows(reinterpret_cast<const char*>(mask.bytes().data()), mask.bytes().size());
    kit::BitMask hrv(11136, 2, true);
    for (int b = 0; b < 11136; b += 5) hrv.put(b % 2, b, false);
    const std::string hrvRows(reinterpret_cast<const char*>(hrv.bytes().data()),
                              hrv.bytes().size());
    c.add("coast_masks", "europe", maskChoices(0, false, 7, 41, 5, 0, false) + rows);
    c.add("coast_masks", "region-shifted", maskChoices(1, false, 3, 10, 3, 1, false) + rows);
    c.add("coast_masks", "hrv-mask", maskChoices(3, true, 0, 5, 5, 0, true) + hrvRows);
    c.add("coast_masks", "hrv-from-visir", maskChoices(4, true, 0, 5, 5, 2, false) + rows);
    c.add("coast_masks", "bmp-header",
          maskChoices(0, false, 0, 0, 1, 4, false) + kit::bmpHeader(3712, 3712) + rows);
}

// ---- Pictures for the graphic import ----

void pictureSeeds(Corpus& c) {
    namespace display = tesmar::display;
    const auto dir = fs::temp_directory_path() / ("station-corpus-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    display::Image24 image(23, 9);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            auto* p = image.pixel(x, y);
            p[0] = static_cast<std::uint8_t>(x * 11);
            p[1] = static_cast<std::uint8_t>(y * 28);
            p[2] = static_cast<std::uint8_t>((x + y) * 7);
        }
    for (const int quality : {90, 20}) {
        const auto p = dir / ("q" + std::to_string(quality) + ".jpg");
        if (display::writeJpeg(image, p, quality))
            c.add("pictures", p.filename().string(), readFile(p));
    }
    const auto png = dir / "picture.png";
    if (display::writePng(image, png)) c.add("pictures", "picture.png", readFile(png));
    fs::remove_all(dir);
}

// ---- gzip and bzip2 archives ----

std::string gzip(const std::string& data) {
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&z, data.size()) + 32, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

std::string bzip2(const std::string& data) {
    std::string out(data.size() + data.size() / 100 + 700, '\0');
    auto size = static_cast<unsigned>(out.size());
    if (BZ2_bzBuffToBuffCompress(out.data(), &size, const_cast<char*>(data.data()),
                                 static_cast<unsigned>(data.size()), 1, 0, 0) != BZ_OK)
        return {};
    out.resize(size);
    return out;
}

void archiveSeeds(Corpus& c) {
    const std::string text = seg::templateText('4');
    const std::string other = "RAW PRODUCT 201903181200\n" + std::string(300, '\x7f');
    c.add("archives", "template.gz", gzip(text));
    c.add("archives", "two-streams.gz", gzip(text.substr(0, 200)) + gzip(other));
    c.add("archives", "empty.gz", gzip(""));
    c.add("archives", "template.bz2", bzip2(text));
    c.add("archives", "two-streams.bz2", bzip2(other) + bzip2(text.substr(0, 300)));
    c.add("archives", "empty.bz2", bzip2(""));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::cerr << "usage: fuzz_corpus DIR [SOURCE]\n"
                     "writes the seeds of every fuzz target into DIR/<target>/; SOURCE is the\n"
                     "checkout (for tools/demo-product.txt)\n";
        return 2;
    }
    Corpus corpus(argv[1]);
    const fs::path source = argc == 3 ? fs::path(argv[2]) : fs::current_path();
    nativeSeeds(corpus);
    segmentSeeds(corpus);
    xritSeeds(corpus);
    productSeeds(corpus, source);
    stationSeeds(corpus);
    overlaySeeds(corpus);
    shapefileSeeds(corpus);
    maskSeeds(corpus);
    pictureSeeds(corpus);
    archiveSeeds(corpus);
    std::cout << "fuzz_corpus: " << corpus.count() << " seeds in " << corpus.root().string()
              << '\n';
    return 0;
}
