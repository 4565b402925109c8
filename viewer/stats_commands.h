#pragma once
// The temporal statistics as viewer commands (Merge > Temporal, Merge > "Evolution RGB",
// Lrit > "Heating in K"): each chosen Native file is opened and its picture of the current
// kind made with the current settings, combined cell by cell, and the statistic becomes the
// picture on screen.

#include <filesystem>
#include <string>
#include <vector>

#include "common/result.h"
#include "viewer/compose/temporal_stats.h"
#include "viewer/viewer.h"

namespace tesmar {

struct StatisticRun {
    bool made = false;                 // the picture on screen is the statistic
    int combined = 0;                  // files that entered it
    std::vector<std::string> skipped;  // "file: why", for the files left out
    std::filesystem::path netcdf;      // the temperature file written (average and maximum)
    std::string netcdfError;           // why it was not
};

// The statistic over `files`, taken in the order of their scene times whatever the order
// given. An empty list (a cancelled dialog) changes nothing. A file that cannot be opened or
// whose picture cannot be made, or whose picture ends early or covers another window than
// the first, is left out and reported; when no file is left the previous picture stays.
// Rise and heating compare with the picture on screen and need one (heating: a single
// infrared channel, the one in the channel box). The evolution RGB asks whether it should
// take the maximum (infrared) or the minimum (near infrared) through the host. Average and
// maximum also write the temperature file ncs/TIME_average.nc or ncs/TIME_maximum.nc, TIME
// being the scene time of the latest file combined (see exportFileName).
// Afterwards the file that was current before is current again, with its bounds, window and
// calibration.
StatisticRun temporalStatistic(Viewer& v, compose::Statistic statistic,
                               const std::vector<std::filesystem::path>& files);

// Why the statistic cannot start with the picture on screen (rise and heating need one, the
// evolution RGB a channel number); empty when it can.
std::string statisticRefusal(const Viewer& v, compose::Statistic statistic);

// The temperature file of a statistic made of a series whose latest scene time is `sceneTime`:
// each statistic has its own name, so the average and the maximum of one series do not
// overwrite each other.
std::filesystem::path exportFileName(const Viewer& v, compose::Statistic statistic,
                                     const std::string& sceneTime);

// Brightness temperatures of the picture on screen over the fixed region into `file` (its
// folder is made when missing). Temperatures exist only for a single-channel picture of an
// infrared channel (4 to 11); any other picture writes rows of 0. Refused for an empty window.
station::Result<std::filesystem::path> exportTemperatures(Viewer& v,
                                                          const std::filesystem::path& file);

}  // namespace tesmar
