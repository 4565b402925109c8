#pragma once
// The viewer's shared state and its scene-level commands. Windows only present it.

#include <filesystem>
#include <optional>
#include <string>

#include "common/clock.h"
#include "common/host.h"
#include "viewer/messages.h"
#include "viewer/scene/data_window.h"
#include "viewer/scene/native_scene.h"
#include "viewer/scene/navigation.h"
#include "viewer/scene/scene_time.h"

namespace tesmar {

// Texts of the main window's entries and options, with their start values.
struct Controls {
    std::string channel = "1";
    std::string red = "3", green = "2", blue = "1";
    std::string lon = "7", lat = "41";
    int scopeSlider = 5;        // 1 to 5
    bool inverted = false;      // infrared channels are drawn cold-white
    bool channelHint = false;   // "Choose an existing channel" shown on the entry
    bool idleVisible = false;   // the "idle" option appears once a file was opened
};

class Viewer {
public:
    Viewer(station::Host& host, const station::Clock& clock, std::filesystem::path stationDir);

    // Start-up of the main window; `screenHeight` in pixels.
    void oncre(int screenHeight = 1080);

    // "Open image": file dialog, then the header of the chosen file.
    void abrefiche();
    // Reads the header of `file` into the scene without a dialog. A file that cannot be read
    // is refused with a message and the previous scene, `fich` included, stays.
    bool abrefiche_secre(const std::filesystem::path& file);
    // Shows the scene time of `fich`.
    void lee_fecha();
    // Newest Native file of nats/ into `datea`, `srtime0`.
    void cualesdatea();
    // Calibration of `ncha` from the current file; false (and marked invalid) when it fails.
    bool lee();
    void wavef();
    // The channel entry changed.
    void nomcan();
    // The current channel checked for use: 1 to 12 and present in the file. A refusal is
    // told to the user.
    std::optional<int> usableChannel();
    // Data window for the current entries; false when an entry cannot be used.
    bool leedatos();
    // "Spanish menu".
    void transla();

    const std::string& mess(int row) const { return messages_.get(row, lang); }
    nav::Context navContext() const { return {scene.p95}; }
    const std::filesystem::path& cdo() const { return cdo_; }

    station::Host& host;
    const station::Clock& clock;

    NativeScene scene;
    int ncha = 1;
    ChannelCalibration cal;
    bool calValid = false;
    double wave_fac = 0.639;
    DataWindow window;
    Controls controls;

    int gsize = 920, gsizev = 740;
    station::TimePoint srtime0;
    std::string datea{kDefaultDatea};
    Lang lang = Lang::English;
    bool spanishMenu = false;
    int iborde = 0;           // Open dialogs cancelled while no file is current
    bool pictureMade = false;
    int zoom_c = 0;
    std::string label = "EUMETSAT ";
    std::filesystem::path townFile, coastBitmap, goesCoastBitmap;

private:
    std::filesystem::path cdo_;
    MessageTable messages_;
};

}  // namespace tesmar
