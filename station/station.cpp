#include "station/station.h"

#include "common/slot_time.h"
#include "station/purge.h"
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
    auto& cycle = *s->cycle_;
    s->otherProducts_ = std::make_unique<OtherProducts>(*paths, clock, cycle.log());
    s->meteosat7_ = std::make_unique<Meteosat7>(*paths, clock, cycle.log());
    Station* self = s.get();
    cycle.afterDecompression = [self] {
        auto& c = *self->cycle_;
        self->otherProducts_->settle = self->meteosat7_->settle = c.settings().settle;
        if (otherProductsDue(c.closedSlot())) self->otherProducts_->deco_lrit(c.outputRoot());
        if (const auto r = self->meteosat7_->deco_ana(c.closedSlot()); r.started) c.receivedMessage = r.message;
    };
    cycle.afterAssembly = [self, &clock] {
        auto& c = *self->cycle_;
        if (const auto k = self->meteosat7_->doma_ana(c.closedSlot()); k.reported) c.missingMessage = k.message;
        if (!c.settings().purge) return;
        // The slot being received is the one after the closed slot.
        const auto receiving = slot_time::ant_fecha(c.settings().refresh(), c.closedSlot(), c.settings().refresh());
        purga(PurgeContext{c.paths(), clock, c.closedSlot(), receiving, [&c](const std::string& t) { c.log().line(t); }, {}});
    };
    return s;
}

}  // namespace station
