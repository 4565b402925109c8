#pragma once
// The viewer's shared state and its scene-level commands. Windows only present it.

#include <array>
#include <filesystem>
#include <optional>
#include <string>

#include "common/clock.h"
#include "viewer/compose/colour_editor.h"
#include "viewer/compose/colour_slice.h"
#include "viewer/compose/composites.h"
#include "viewer/compose/ihs_steps.h"
#include "viewer/compose/restrict_colour.h"
#include "viewer/compose/hrv_colour.h"
#include "viewer/compose/ihs.h"
#include "viewer/compose/recipes.h"
#include "viewer/display/fine_contrast.h"
#include "viewer/display/height_focus.h"
#include "viewer/display/stretch.h"
#include "viewer/display/overlays.h"
#include "viewer/display/picture_geometry.h"
#include "viewer/display/raster.h"
#include "viewer/display/readout.h"
#include "viewer/display/remap.h"
#include "viewer/display/kml.h"
#include "common/result.h"
#include "viewer/products/animation.h"
#include "viewer/products/product_editor.h"
#include "viewer/products/product_list.h"
#include "common/gated_host.h"
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

    bool automaticStretch = true;
    bool heightFocus = false;
    int adjustHeight = 1;     // 0 to 5
    bool tails = false;
    int gammaStrength = 2;    // 0 to 6
    int contrastLevel = 0;    // -2 to 4
    bool coastLines = true;
    bool waterBounds = false;
    bool towns = false;
    bool ihs = false;             // composites through the intensity-hue-saturation blend
    bool compositionPanel = true; // the channel boxes and "IHS" shown
};

// What the picture on screen is, for the commands that rework it.
struct ShownPicture {
    display::PictureGeometry geometry;
    bool hrvSingle = false;   // a single-channel HRV picture
    bool incomplete = false;  // part of its lines were missing from the file
};

// The station job that the product cycle locks: one cycle per station.
inline constexpr const char* kProductCycleJob = "product-cycle";

class Viewer {
public:
    Viewer(station::Host& host, const station::Clock& clock, std::filesystem::path stationDir);
    Viewer(const Viewer&) = delete;  // `host` refers to the viewer's own gate
    Viewer& operator=(const Viewer&) = delete;

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

    // "Show image": a single-channel picture of the channel entry. False, with the previous
    // picture left as it was, when nothing could be drawn.
    bool geogracr();
    // Renders the raster into the picture with the current contrast settings.
    void renderPicture();
    // Coast lines into the raster when "coast lines" is on (asks for a mask when missing).
    void superoverl();
    // Towns, fires and water bounds onto the picture, as their options say.
    void drawMapMarks();
    // Mouse read-out at a picture position.
    display::ReadoutTexts readtem(int x, int y);
    // Merge commands: plain composite, temperature difference, complex composite (the
    // dialog's "Compose"), a standard RGB recipe, and the product cycle's complex composite.
    bool composite();
    bool two_channel_tt();
    bool compose();
    bool runRecipe(const compose::Recipe& recipe);
    bool night();
    // Merge > "HRV coloured": the HRV picture first (the window then offers the colouring);
    // hr_colo colours it with the window's channels.
    bool hr_colour();
    bool hr_colo(const compose::HrvColourSettings& settings);
    // Display > "Colour": what the colour editor opens with (or the enhancement for HRV).
    compose::ColourEditorOpening open_col();
    // The editor's "slice": paints the picture between two values with the colour scale.
    bool colourslice(const compose::ColourSliceSettings& settings);
    // The same slice of the Projection window's picture.
    bool colourslice3(const compose::ColourSliceSettings& settings);
    // One of the editor's intensity, hue and saturation steps.
    bool colourStep(compose::ColourStep step, const compose::ColourEditorSettings& settings);
    // Display > "Re-colour": clears the unchecked planes and renders again.
    bool recolour(const compose::RestrictColourSettings& settings);
    // A composite channel box changed (0 red, 1 green, 2 blue): a text that is not a number
    // becomes "2" (an empty box, "-" and "1" are left while typing). True when the channel
    // named is absent from the file, for the box's hint.
    bool nc_c(int plane);
    // File > "Control composition".
    void muestra_compos() { controls.compositionPanel = !controls.compositionPanel; }

    // "Change coastline": another VIS/IR coast mask.
    void change_coast();
    // The "shp_coast" button: coast.txt from the station's shore.shp.
    void lee_shp();
    // Remap > "(Zoom in)" around the last click, "Zoom out" (rebuild and replay), "Re-centre"
    // on the last click; `mausea` re-centres on the middle of the display.
    bool zoomin();
    bool zoom_out();
    // The current kind of picture built again from the current file and settings: nothing
    // when the kind cannot be rebuilt, else whether its builder succeeded.
    std::optional<bool> rebuildPicture();
    bool recentre();
    bool mausea();
    // Remap > "Mercator" / "Polar stereographic": the corners offered for the picture on
    // screen (empty for a zoomed picture, which is refused with a message).
    std::optional<display::Corners> mercator(bool polar);
    // "Project it" / "Go ahead": the remapped picture into gp and `projection`.
    bool remapPicture(display::RemapRequest request);
    // "Take to Main": the projection becomes the main picture.
    bool taketomain();
    // The product cycle: one entry of the list made on the current scene into `dir`
    // (nothing is saved unless its builder succeeded), and one timer tick over nats/.
    struct ProductRun {
        std::string entry;
        std::filesystem::path file;  // empty when nothing was written
        std::string why;             // why not
        double seconds = 0;
        std::string note;            // what a made product lacks (no coast mask, ...)
    };
    // One picture to make: what to build, its options, and where and how it is written.
    struct ProductJob {
        products::ProductEntry entry;  // code, boxes, centre and detail
        bool zoom = false;
        bool mercator = false;
        std::string cornersLine;  // the Mercator corners are read from this line
        bool slice = false;
        std::string lower, upper;
        std::filesystem::path file;
        std::string separator;  // between the date label and the title in the stamp
        std::string titleWord;  // the title must hold it, or nothing is written
        int quality = 80;
        static ProductJob of(const products::ProductEntry& entry);  // options from its header
    };
    ProductRun makeProduct(const products::ProductEntry& entry, const std::filesystem::path& dir,
                           const display::MarkPainter& painter);
    ProductRun makeProduct(const ProductJob& job, const display::MarkPainter& painter);
    // File > Save as bitmap / JPEG / PNG: the picture with its marks and the stamp, written
    // under the chosen name with its extension. The stamp goes on a copy, never on screen.
    enum class PictureFormat { Bmp, Jpeg, Png };
    station::Result<std::filesystem::path> savePicture(const std::filesystem::path& chosen, PictureFormat format,
                                                       const display::MarkPainter& painter);
    // The projection window's "Save as bitmap": the projected picture, no stamp.
    station::Result<std::filesystem::path> saveProjectionBmp(const std::filesystem::path& chosen);
    // "Save for GoogleE..": the projection as JPEG plus its ground-overlay KML, corners as typed.
    station::Result<std::filesystem::path> guarda_ge(const std::filesystem::path& chosen,
                                                     const display::OverlayCorners& typed);
    // "Nudge": the last overlay's KML written again with its corners moved (north, south,
    // east, west settings, 50 moves nothing); without one, the animation index.
    station::Result<std::filesystem::path> do_nudge(const std::array<int, 4>& settings);
    // "GE animation": each file's picture of the current kind remapped for Google Earth into
    // creas/ge_TIME.jpg, and the index creas/kml_KIND.kml. Gives the index.
    station::Result<std::filesystem::path> ge_animation(const std::vector<std::filesystem::path>& files,
                                                        const display::Corners& corners,
                                                        const display::MarkPainter& painter);
    // "Show_it_now": the product window's entry made on the current file into creas/.
    ProductRun tualotuyo_now(const products::ProductForm& form, const display::MarkPainter& painter);
    // Makes every entry for `nativeFile` (or the newest slot of nats/ when empty) unless that
    // slot was done already. Returns what each entry gave.
    std::vector<ProductRun> tualotuyo(const display::MarkPainter& painter, const std::filesystem::path& nativeFile = {});
    // Display size from the main window's size.
    void onresiz(int windowWidth, int windowHeight);
    display::ContrastControls contrastControls() const;

    // Contrast commands on the picture shown.
    void contrastNormal();  // "Contrast", "do contrast!", the fine-contrast "Normal"
    void equalize();        // "equalize"
    void des_auto();        // moving "adjust height" switches the automatic stretch off
    void focus_change();    // height-focus takes the composite channels as positive
    // Fine contrast: histogram of the picture, and rendering with centres and spreads.
    std::array<std::array<int, 256>, 3> pictureHistogram() const;
    void morecon(const std::array<int, 3>& sliders, const std::array<int, 3>& spreads);
    // The raster bytes under a picture position (zeros off the picture).
    std::array<std::uint8_t, 3> cellBytes(int x, int y) const;
    // The statistics probe at a picture position; returns the sliders and spreads it set.
    display::ProbeResult fijaclix(int x, int y, int referenceArea, double divisor, double offset);

    const std::string& mess(int row) const { return messages_.get(row, lang); }
    nav::Context navContext() const { return {scene.p95}; }
    const std::filesystem::path& cdo() const { return cdo_; }

    // Every command talks to the desktop through the gate, which unattended runs close.
    station::GatedHost gate;
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
    int zoom_c = 0;            // zoom depth of the picture on screen (zoom.depth())
    display::ZoomState zoom;
    display::Raster gp;        // the zoom's work raster and the projection
    display::Image24 projection;  // the Projection window's picture
    display::RemapResult remapped;
    int clickposx = 0, clickposy = 0;  // last pointer position over the picture
    std::string label = "EUMETSAT ";
    std::filesystem::path townFile, coastBitmap, goesCoastBitmap;

    // The picture: raster, work plane, kind, rendered picture and the marks drawn on it.
    display::Raster g;
    display::WorkPlane fx;
    int prodnr = 0;
    ShownPicture shown;
    display::Image24 picture;
    display::DrawList marks;
    bool shows_single = false, zoominchiv = false, geogracr_hecho = false;
    int maxg = 0, ming = 255;
    double mindf = 0, maxdf = 0;
    std::string title;        // the picture's title line
    std::string rangeLabel;   // the temperature difference's range
    compose::ComplexSettings complex;  // the Complex composite dialog
    compose::HrvColourSettings hrvColour;  // the "HRV coloured" window
    bool colourEditorOpen = false;     // the colour editor's saturation scale applies
    std::array<float, 3> media{130, 130, 130};      // fine-contrast centres
    std::array<float, 3> contraste{31, 31, 31};     // fine-contrast spreads
    // Distance measurement of the read-out (switched on by the transect tool).
    bool cursormeas = false;
    nav::GeoPoint distanceOrigin;
    struct SavedOverlay {
        std::filesystem::path kml;  // empty until the first overlay is saved
        std::string baseName;
        double north = 0, south = 0, east = 0, west = 0;
    } overlay;
    struct Animation {
        std::vector<std::string> times;
        display::AnimationCorners corners;
        int kind = 0;
    } animation;
    // The frame list of the animation window, shared by the animations, the idle slide show
    // and the picture sequences; and where the last "Zoom in" was made (picture pixels), which
    // a sequence "zoomed as in last zooming" repeats.
    products::FrameList cord;
    std::optional<display::RasterCell> lastZoom;
    std::string date_ante;  // scene time of the last slot whose products were made
    std::string unreadable_ante;  // the last Native file the cycle could not read, and its time
    // Asked once for a coast mask in this session; unattended runs never ask.
    bool unattended = false;

private:
    std::filesystem::path cdo_;
    MessageTable messages_;
};

}  // namespace tesmar
