// tesmar: the viewer. With a subcommand it works on the command line and needs no display;
// without one it opens the main window on the station directory.

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "viewer/cli.h"

#ifdef TESMAR_WITH_GUI
#include "viewer/ui/main_window.h"
#endif

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (tesmar::isCliInvocation(args)) return tesmar::runCli(args, std::cout, std::cerr);

    std::filesystem::path station = std::filesystem::current_path();
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--dir" && i + 1 < args.size()) {
            station = args[++i];
        } else if (args[i].rfind("-", 0) == 0 && args[i] != "--dir") {
            // Qt's own options (-platform, -style ...) are passed on to it.
            continue;
        }
    }
#ifdef TESMAR_WITH_GUI
    return tesmar::ui::runMainWindow(argc, argv, station);
#else
    std::cerr << "tesmar: this build has no windows; see tesmar --help\n";
    return 2;
#endif
}
