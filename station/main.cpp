// tinrell: the reception processor. With --headless or --once it runs without windows; else
// it opens the station window.

#include <iostream>
#include <string>
#include <vector>

#include "station/daemon.h"

#ifdef TINRELL_WITH_GUI
#include "station/ui/station_window.h"
#endif

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
#ifdef TINRELL_WITH_GUI
    if (station::wantsWindow(args)) return station::ui::runStationWindow(argc, argv, args);
#endif
    return station::runTinrellCommandLine(args, std::cout, std::cerr);
}
