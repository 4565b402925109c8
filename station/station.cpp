#include "station/station.h"

#include "station/segment_decompression.h"

namespace station {

Result<std::unique_ptr<Station>> Station::open(const std::filesystem::path& dir, const Clock& clock,
                                               CycleSettings settings) {
    using R = Result<std::unique_ptr<Station>>;
    auto lock = StationLock::tryAcquire(dir, kReceptionJob);
    if (!lock) return R::failure("Another reception processor is running on " + dir.string());
    auto paths = readCd(dir);
    if (!paths)
        return R::failure((dir / "cd.txt").string() +
                          " is missing or incomplete: it needs three lines, the station directory and the two "
                          "folders the reception client writes into (received files and other missions)");
    // The station is where it is now, whatever directory the file was written in.
    paths->cdo = dir;
    std::unique_ptr<Station> s(new Station(dir, std::move(*lock)));
    s->cycle_ = std::make_unique<ReceptionCycle>(*paths, clock, settings, stationDeco(dir));
    s->cycle_->remoteDir = readCdr(dir);
    return s;
}

}  // namespace station
