#pragma once
// One reception station: its paths, the cycle with its extra steps, the lock that keeps a
// second processor off the same station. Both the window and the headless daemon run this.

#include <filesystem>
#include <memory>
#include <optional>

#include "common/clock.h"
#include "common/result.h"
#include "common/station_lock.h"
#include "station/meteosat7.h"
#include "station/other_products.h"
#include "station/reception_cycle.h"

namespace station {

inline constexpr const char* kReceptionJob = "reception-cycle";

class Station {
public:
    // Locks the station and reads cd.txt and cdr.txt; a refusal says why (another processor
    // runs on it, cd.txt is missing or incomplete).
    static Result<std::unique_ptr<Station>> open(const std::filesystem::path& dir, const Clock& clock,
                                                 CycleSettings settings);

    ReceptionCycle& cycle() { return *cycle_; }
    const std::filesystem::path& dir() const { return dir_; }

private:
    Station(std::filesystem::path dir, StationLock lock) : dir_(std::move(dir)), lock_(std::move(lock)) {}
    std::filesystem::path dir_;
    StationLock lock_;
    std::unique_ptr<ReceptionCycle> cycle_;
    std::unique_ptr<OtherProducts> otherProducts_;
    std::unique_ptr<Meteosat7> meteosat7_;
};

}  // namespace station
