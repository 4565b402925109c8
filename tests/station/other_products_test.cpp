#include "station/other_products.h"

#include <bzlib.h>
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "common/slot_time.h"
#include "tests/support/archives.h"
#include "tests/support/reception.h"
#include "tests/support/temp_dir.h"

namespace {

using testing_support::bzip2;
using testing_support::gzip;

using testing_support::readFile;

namespace fs = std::filesystem;
using station::OtherProductsReport;
using testing_support::TempDir;

using testing_support::at;
using testing_support::epochOf;

// A station directory with a stand-in `deco` (it copies its argument to the decompressed name
// in the directory it runs in, and fails on a file that reads "broken"), received13, and an
// output root apart from the station directory, as with remote generation.
struct Received {
    TempDir dir;
    station::ManualClock clock{at(epochOf("201906121047"))};
    station::StationPaths paths{dir / "station", dir / "received", dir / "received13"};
    fs::path out = dir / "remote";
    station::StationLog log{paths.cdo};
    station::OtherProducts products{paths, clock, log};
    std::vector<std::string> logged;

    Received() {
        fs::create_directories(paths.received13);
        fs::create_directories(paths.cdo);
        testing_support::writeScriptDeco(paths.cdo / "deco");
        log.echo = [this](const std::string& t) { logged.push_back(t); };
    }
    // A received file, last written `age` seconds before the clock's now.
    fs::path receive(const std::string& name, const std::string& bytes, int age = 60) const {
        return put(paths.received13 / name, bytes, age);
    }
    fs::path put(const fs::path& p, const std::string& bytes, int age = 60) const {
        fs::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << bytes;
        fs::last_write_time(
            p, fs::file_time_type::clock::from_sys(clock.now() - std::chrono::seconds(age)));
        return p;
    }
    OtherProductsReport run() { return products.deco_lrit(out); }
    std::vector<std::string> listed() const {
        std::vector<std::string> lines;
        std::ifstream in(paths.cdo / station::kTodelLrit);
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    bool said(const std::string& part) const {
        return std::any_of(logged.begin(), logged.end(),
                           [&](const std::string& l) { return l.find(part) != std::string::npos; });
    }
    std::string time() const { return station::localTimeText(clock.now()); }
};

bool has(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

enum class Kind { Copy, Gunzip, Bunzip2, Segment };

struct Case {
    int row;
    Kind kind;
    std::string name;    // as received
    std::string folder;  // under the output root; empty: unpacked next to itself
    std::string from;    // the sender an unpacked archive names in the log
};

// One file per row, each named so that only its own row takes it.
const std::vector<Case> kRowCases = {
    {1, Kind::Copy, "S-OSI_-NOR_-MULT-GL_NH_ICE_CONC_201906121030.grb", "gribs", ""},
    {2, Kind::Gunzip, "S-OSI_-NOR_-MULT-GL_SH_ICE_EDGE_201906121030.grb.gz", "", "the OSI SAF"},
    {3, Kind::Copy, "S-LSA_-HDF5_LSASAF_MSG_LST_MSG-Disk_201906121030", "hdf5", ""},
    {4, Kind::Copy, "S-O3M_-GOME_-O3_NRT-201906121030.h5", "hdf5", ""},
    {5, Kind::Bunzip2, "S-LSA_-HDF5_LSASAF_MSG_ALBEDO_MSG-Disk_201906121030.bz2", "",
     "the LSA SAF"},
    {6, Kind::Copy, "Z__C_EDZW_201906121030_dwdsat_icon_t2m.grb", "dwds", ""},
    {7, Kind::Bunzip2, "Z__C_EDZW_201906121030_dwdsat_icon_ww.grb.bz2", "", "DWDSAT"},
    {8, Kind::Copy, "AVHR_xxx_1B_M01_20190612102803Z", "avhrr", ""},
    {9, Kind::Copy, "avhrr_20190612_102800_noaa19.hrp", "avhrr", ""},
    {10, Kind::Bunzip2, "avhrr_20190612_104100_noaa18.hrp.bz2", "", "NOAA polar satellites"},
    {11, Kind::Copy, "IASI_EUMC_20190612_1030_bufr", "bufrs", ""},
    {12, Kind::Copy, "L-000-MSG4__-MPEF________-AMV______-000001___-201906121030-__", "bufrs", ""},
    {13, Kind::Copy, "L-000-MSG4__-MPEF________-GII______-000001___-201906121030-__", "bufrs", ""},
    {14, Kind::Copy, "L-000-MSG4__-MPEF________-FIRG_____-000001___-201906121030-__", "gribs", ""},
    {15, Kind::Segment, "L-000-MSG4__-MSG4________-IR_108___-000001___-201906121030-C_", "lrit",
     ""},
};

std::string withoutSuffix(const std::string& name) {
    return name.substr(0, name.rfind('.'));
}

// Where a case's result goes, and its name there.
fs::path targetOf(const Received& st, const Case& c) {
    switch (c.kind) {
        case Kind::Copy:
            return st.out / c.folder / c.name;
        case Kind::Gunzip:
        case Kind::Bunzip2:
            return st.paths.received13 / withoutSuffix(c.name);
        case Kind::Segment:
            return st.out / c.folder / (c.name.substr(0, c.name.size() - 3) + "-__");
    }
    return {};
}

std::string packed(Kind kind, const std::string& content) {
    return kind == Kind::Gunzip ? gzip(content) : kind == Kind::Bunzip2 ? bzip2(content) : content;
}

TEST(OtherProducts, EachRowTakesItsFilesOnceAndNeverReplacesATarget) {
    for (const auto& c : kRowCases) {
        for (const bool existing : {false, true}) {
            SCOPED_TRACE("row " + std::to_string(c.row) +
                         (existing ? ", target already there" : ""));
            Received st;
            const std::string content = "content of " + c.name;
            const auto source = st.receive(c.name, packed(c.kind, content));
            const auto target = targetOf(st, c);
            // Made just now: an earlier result the run must leave as it is (and, beside the
            // archive, not yet settled enough to be copied itself).
            if (existing) st.put(target, "made before", 0);

            const auto report = st.run();

            EXPECT_EQ(readFile(target), existing ? "made before" : content);
            EXPECT_EQ(st.listed(), std::vector<std::string>{source.string()})
                << "dealt with either way, so listed once";
            EXPECT_TRUE(fs::exists(source)) << "the purge deletes, not this step";
            EXPECT_TRUE(report.failed.empty());
            if (c.kind == Kind::Copy) {
                EXPECT_EQ(has(report.moved, c.name), !existing);
                EXPECT_EQ(has(report.alreadyThere, c.name), existing);
                EXPECT_EQ(st.said(st.time() + "  Moved to " + (st.out / c.folder).string() +
                                  "  the file " + c.name),
                          !existing);
            } else {
                EXPECT_EQ(has(report.decompressed, c.name), !existing);
                EXPECT_EQ(has(report.alreadyDecompressed, c.name), existing);
            }
            const std::string verb =
                c.kind == Kind::Gunzip ? "  Unzipped the file " : "  Bunzipped the file ";
            if (c.kind == Kind::Gunzip || c.kind == Kind::Bunzip2) {
                EXPECT_EQ(st.said(st.time() + verb + c.name + " from " + c.from), !existing);
            }
            if (c.kind == Kind::Segment) {
                EXPECT_EQ(report.segments, 1);
            }
        }
    }
}

TEST(OtherProducts, MasksIgnoreCase) {
    const std::vector<Case> cases = {
        {1, Kind::Copy, "s-osi_-nor_-mult-gl_nh_ice_conc.grb", "gribs", ""},
        {5, Kind::Bunzip2, "s-lsa_-hdf5_lsasaf_msg_albedo.bz2", "", "the LSA SAF"},
        {6, Kind::Copy, "Z__C_EDZW_201906121030_DWDSAT_icon.grb", "dwds", ""},
        {9, Kind::Copy, "AVHRR_20190612_102800_NOAA19.HRP", "avhrr", ""},
        {11, Kind::Copy, "iasi_eumc_20190612_BUFR", "bufrs", ""},
        {12, Kind::Copy, "l-000-msg4__-mpef________-amv______-000001___-201906121030-__", "bufrs",
         ""},
    };
    Received st;
    for (const auto& c : cases) st.receive(c.name, packed(c.kind, "content of " + c.name));
    st.run();
    for (const auto& c : cases)
        EXPECT_EQ(readFile(targetOf(st, c)), "content of " + c.name) << c.name;
    EXPECT_EQ(st.listed().size(), cases.size());
}

TEST(OtherProducts, AFileStillBeingWrittenWaitsForALaterRun) {
    Received st;
    const auto source =
        st.receive("S-OSI_-NOR_-MULT-GL_NH_ICE_CONC_201906121030.grb", "first part", 5);
    auto report = st.run();
    EXPECT_FALSE(fs::exists(st.out / "gribs" / source.filename()));
    EXPECT_TRUE(st.listed().empty());
    EXPECT_EQ(report.waiting, std::vector<std::string>{source.filename().string()});

    st.clock.advance(std::chrono::seconds(60));
    report = st.run();
    EXPECT_EQ(readFile(st.out / "gribs" / source.filename()), "first part");
    EXPECT_EQ(st.listed(), std::vector<std::string>{source.string()});
}

TEST(OtherProducts, AFailedDecompressionKeepsItsSourceOffTheList) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"S-OSI_-NOR_-MULT-GL_NH_ICE_CONC_201906121030.grb.gz", "this is no gzip stream"},
        {"avhrr_20190612_104100_noaa18.hrp.bz2", bzip2("a pass cut short").substr(0, 20)},
        {"L-000-MSG4__-MSG4________-IR_108___-000001___-201906121030-C_", "broken"},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        Received st;
        const auto source = st.receive(name, bytes);
        const auto report = st.run();
        EXPECT_EQ(report.failed, std::vector<std::string>{name});
        EXPECT_TRUE(st.listed().empty());
        EXPECT_TRUE(st.said("Not decompressed")) << "a failure is told";
        EXPECT_TRUE(fs::exists(source));
        // Nothing half made under the decompressed name, anywhere.
        if (name.find('.') != std::string::npos) {
            EXPECT_FALSE(fs::exists(st.paths.received13 / withoutSuffix(name)));
        }
        EXPECT_TRUE(fs::is_empty(st.out / "lrit"));
    }
}

TEST(OtherProducts, CompressedOzoneFilesAreLeftAlone) {
    Received st;
    const auto source = st.receive("S-O3M_-GOME_-O3_NRT-201906121030.h5.bz2", bzip2("ozone"));
    const auto report = st.run();
    EXPECT_TRUE(st.listed().empty());
    EXPECT_TRUE(fs::is_empty(st.out / "hdf5"));
    EXPECT_FALSE(fs::exists(st.paths.received13 / withoutSuffix(source.filename().string())));
    EXPECT_TRUE(report.moved.empty() && report.decompressed.empty() && report.failed.empty());
}

TEST(OtherProducts, AnUnpackedFileIsCopiedByTheNextRun) {
    Received st;
    const auto archive =
        st.receive("S-OSI_-NOR_-MULT-GL_SH_ICE_EDGE_201906121030.grb.gz", gzip("ice edge"));
    const auto unpacked = st.paths.received13 / withoutSuffix(archive.filename().string());
    st.run();
    ASSERT_TRUE(fs::exists(unpacked));
    EXPECT_FALSE(fs::exists(st.out / "gribs" / unpacked.filename()))
        << "too young to be taken at once";

    // The next run, once the unpacked file has settled; the archive is still there, as the
    // purge has not run in between.
    st.clock.set(std::chrono::system_clock::now() + std::chrono::hours(1));
    const auto report = st.run();
    EXPECT_EQ(readFile(st.out / "gribs" / unpacked.filename()), "ice edge");
    EXPECT_EQ(report.alreadyDecompressed, std::vector<std::string>{archive.filename().string()});
    const auto listed = st.listed();
    EXPECT_TRUE(has(listed, unpacked.string()));
    EXPECT_TRUE(has(listed, archive.string()));
}

TEST(OtherProducts, ARunStartsTheListAfreshAndMakesEveryFolder) {
    Received st;
    std::ofstream(st.paths.cdo / station::kTodelLrit) << st.paths.received13.string() << "/old\n";
    st.run();
    EXPECT_TRUE(st.listed().empty());
    for (const char* folder : {"gribs", "hdf5", "dwds", "avhrr", "bufrs", "lrit"})
        EXPECT_TRUE(fs::is_directory(st.out / folder)) << folder;
}

TEST(OtherProducts, DueOnQuarterHourSlotsOnly) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {"201906121000", true},  {"201906121015", true},  {"201906121045", true},
        {"201906121005", false}, {"201906121050", false}, {"", false},
        {"2019061210", false},
    };
    for (const auto& [slot, due] : cases) EXPECT_EQ(station::otherProductsDue(slot), due) << slot;
}

}  // namespace
