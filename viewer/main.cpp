// tesmar: the viewer. With a subcommand it works on the command line and needs no display;
// without one it opens the main window on the station directory.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "viewer/cli.h"

#ifdef TESMAR_WITH_GUI
#include <QGuiApplication>

#include "viewer/display/picture/qt_picture.h"
#include "viewer/ui/main_window.h"
#endif

namespace {

#ifdef TESMAR_WITH_GUI
// Names are drawn with the desktop's fonts; on the command line an off-screen platform gives
// them without a display.
// The application object is made on first use and ends with main's scope.
tesmar::MarkPainter offscreenPainter(int& argc, char** argv, std::unique_ptr<QGuiApplication>& app) {
    return [&argc, argv, &app](tesmar::display::Image24& image, const tesmar::display::DrawList& marks) {
        if (!QGuiApplication::instance()) {
            if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
            if (!std::getenv("XDG_RUNTIME_DIR")) {
                const auto runtime = std::filesystem::temp_directory_path() / ("runtime-" + std::to_string(getuid()));
                std::filesystem::create_directories(runtime);
                std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
                setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
            }
            app = std::make_unique<QGuiApplication>(argc, argv);
        }
        tesmar::picture::paintMarks(image, marks);
    };
}
#endif

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (tesmar::isCliInvocation(args)) {
#ifdef TESMAR_WITH_GUI
        std::unique_ptr<QGuiApplication> app;
        return tesmar::runCli(args, std::cout, std::cerr, offscreenPainter(argc, argv, app));
#else
        return tesmar::runCli(args, std::cout, std::cerr);
#endif
    }

    std::filesystem::path station;
    std::filesystem::path file;  // a Native file to open at start
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--dir" && i + 1 < args.size()) station = args[++i];
        else if (args[i].size() > 4 && args[i].substr(args[i].size() - 4) == ".nat") file = args[i];
    }
    if (station.empty()) {
        // The current directory is the station; in a fresh checkout that is the demo station.
        station = std::filesystem::current_path();
        if (!std::filesystem::exists(station / "nats") && std::filesystem::exists(station / "demo-station" / "nats"))
            station /= "demo-station";
    }
#ifdef TESMAR_WITH_GUI
    return tesmar::ui::runMainWindow(argc, argv, station, file);
#else
    std::cerr << "tesmar: this build has no windows; see tesmar --help\n";
    return 2;
#endif
}
