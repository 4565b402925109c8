// The main window's temporal statistics: Merge > Temporal, Merge > "Evolution RGB" and
// Lrit > "Heating in K". The window chooses the files and shows the result; the viewer reads
// the files, makes the statistic and reports the files it left out.

#include <QStatusBar>
#include <utility>

#include "viewer/stats_commands.h"
#include "viewer/ui/main_window.h"

namespace tesmar::ui {

void MainWindow::addStatsCommands() {
    using compose::Statistic;
    const std::pair<const char*, Statistic> entries[] = {
        {"Merge/Temporal/Average image", Statistic::Average},
        {"Merge/Temporal/Deviation image", Statistic::Deviation},
        {"Merge/Temporal/Max - Min", Statistic::Range},
        {"Merge/Temporal/Max image", Statistic::Maximum},
        {"Merge/Temporal/Min image", Statistic::Minimum},
        {"Merge/Temporal/Max - Actual", Statistic::Rise},
        {"Merge/Evolution RGB", Statistic::Evolution},
        {"Lrit/Heating in K", Statistic::Heating},
    };
    for (const auto& [path, statistic] : entries)
        commands_[path] = [this, statistic = statistic] { temporalStatistic(statistic); };
}

void MainWindow::temporalStatistic(compose::Statistic statistic) {
    pullControls();
    // Refused before the files are chosen, not after.
    if (const auto why = statisticRefusal(*viewer_, statistic); !why.empty()) {
        host_->message(why);
        return;
    }
    const auto files = chooseNativeFiles();
    if (files.empty()) return;  // cancelled: the picture stays
    const auto run = tesmar::temporalStatistic(*viewer_, statistic, files);
    pushControls();
    refreshWindowFacts();
    if (!run.made) return;
    showPicture();
    enablePictureCommands();
    QString said =
        QString::fromStdString(viewer_->title) + QString(" (%1 files)").arg(run.combined);
    if (!run.netcdf.empty())
        said += ", temperatures in " + QString::fromStdString(run.netcdf.string());
    statusBar()->showMessage(said);
}

}  // namespace tesmar::ui
