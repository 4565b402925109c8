#pragma once

#include <QMainWindow>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/clock.h"
#include "common/station_lock.h"
#include "viewer/ui/qt_host.h"
#include "viewer/viewer.h"
#include "viewer/compose/temporal_stats.h"

class QLabel;
class QLineEdit;
class QSpinBox;
class QSlider;
class QCheckBox;
class QGroupBox;
class QTimer;
class QVBoxLayout;

namespace tesmar::ui {

class PictureView;
class FineContrastWindow;
class ComplexCompositeDialog;
class HrvColourWindow;
class ColourEditorWindow;
class RestrictColourWindow;
class RemapCornersDialog;
class ProjectionWindow;
class ProductWindow;
class HritWindow;
class AnimationWindow;
class SequenceWindow;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(const std::filesystem::path& station, QWidget* parent = nullptr);
    ~MainWindow() override;

    Viewer& viewer() { return *viewer_; }
    // Opens a Native file without the dialog.
    void openFile(const std::filesystem::path& file);

private:
    void buildMenus();
    QWidget* buildControls();
    QWidget* buildReadout();
    void showFact(station::Fact fact, const QString& text);
    void pullControls();  // widgets -> viewer controls
    void pushControls();  // viewer controls -> widgets
    void refreshWindowFacts();
    void showPicture();   // the viewer's picture and marks on screen
    void enablePictureCommands();

    // Commands.
    void openImage();
    void showImage();
    void contrast();
    void enhancement();
    void controlContrast();
    void tidyUp();
    void spanishMenu();
    void channelChanged();
    void pointerAt(int x, int y);
    // Runs a picture command and shows what it made.
    void build(const std::function<bool()>& command);
    void complexComposite();
    void hrvColoured();
    void colourEditor();
    void restrictColour();
    void remapCorners(bool polar);
    void controlComposition();
    void probe(int x, int y);

    station::SystemClock clock_;
    std::unique_ptr<QtHost> host_;
    std::unique_ptr<Viewer> viewer_;

    QLabel* sceneTime_ = nullptr;
    QLabel* channelString_ = nullptr;
    QLabel* channelName_ = nullptr;
    QLabel* lineLabel_ = nullptr;
    QLabel* columnLabel_ = nullptr;
    QLabel* fileLabel_ = nullptr;
    PictureView* picture_ = nullptr;
    QSpinBox* channel_ = nullptr;
    QLineEdit* lon_ = nullptr;
    QLineEdit* lat_ = nullptr;
    QLineEdit* red_ = nullptr;
    QLineEdit* green_ = nullptr;
    QLineEdit* blue_ = nullptr;
    QSlider* scope_ = nullptr;
    QCheckBox* inverted_ = nullptr;
    QCheckBox* idle_ = nullptr;
    QGroupBox* contrastBox_ = nullptr;
    QCheckBox* stretch_ = nullptr;
    QCheckBox* heightFocus_ = nullptr;
    QSlider* adjustHeight_ = nullptr;
    QCheckBox* tails_ = nullptr;
    QSlider* gamma_ = nullptr;
    QSlider* contrastLevel_ = nullptr;
    QCheckBox* coastLines_ = nullptr;
    QCheckBox* waterBounds_ = nullptr;
    QCheckBox* towns_ = nullptr;
    // Read-out fields.
    QLabel* readCount_ = nullptr;
    QLabel* readLon_ = nullptr;
    QLabel* readLat_ = nullptr;
    QLabel* readValue_ = nullptr;
    QLabel* readLine_ = nullptr;
    QLabel* readColumn_ = nullptr;

    FineContrastWindow* fineContrast_ = nullptr;
    ComplexCompositeDialog* complexDialog_ = nullptr;
    HrvColourWindow* hrvWindow_ = nullptr;
    ColourEditorWindow* colourWindow_ = nullptr;
    RestrictColourWindow* restrictWindow_ = nullptr;
    RemapCornersDialog* mercatorDialog_ = nullptr;
    RemapCornersDialog* polarDialog_ = nullptr;
    ProjectionWindow* projection_ = nullptr;
    QGroupBox* compositionBox_ = nullptr;
    QCheckBox* ihs_ = nullptr;
    QLabel* rangeLabel_ = nullptr;

    // Products and export (main_window_products.cpp).
    void buildProductControls(QVBoxLayout* side);
    void addProductCommands();
    void setupProducts();
    void cycleTick();
    void generatingToggled(bool on);
    void idleToggled(bool on);
    void showItNow();
    void loopItNow();
    void startProcessing();
    void savePicture(Viewer::PictureFormat format);
    void saveProjectionBitmap();
    void saveForGoogleEarth();
    void nudge();
    void geAnimation();
    std::vector<std::filesystem::path> chooseNativeFiles();
    void showProjection();
    display::MarkPainter painter() const;

    // HRIT to Native (main_window_conversion.cpp).
    void hritToNative();
    void startConversion();
    HritWindow* hritWindow_ = nullptr;

    ProductWindow* productWindow_ = nullptr;
    QCheckBox* generating_ = nullptr;
    QTimer* cycleTimer_ = nullptr;
    std::optional<station::StationLock> productLock_;
    bool productRunning_ = false;  // a run is in progress: the idle show and ticks wait

    // Animation and picture sequences (main_window_animation.cpp).
    void addAnimationCommands();
    // Display > "Animation": graphic files chosen in a dialog that opens in `folder`, put in
    // time order and played once in the animation window.
    void anicrea(const std::filesystem::path& folder);
    // File > "Create bitmaps": the sequence window; its "Go" makes the sequence (goLoop).
    void asicrea();
    void goLoop();
    AnimationWindow* animationWindow();  // made on first use
    AnimationWindow* animationWindow_ = nullptr;
    SequenceWindow* sequenceWindow_ = nullptr;

    // Temporal statistics (main_window_stats.cpp): the chosen Native files combined into the
    // statistic of the current kind of picture, with a progress bar while they are read.
    void addStatsCommands();
    void temporalStatistic(compose::Statistic statistic);

    // Menu commands by "Menu/Caption", and one caption setter per main-menu entry.
    std::map<std::string, std::function<void()>> commands_;
    std::map<std::string, QAction*> actions_;
    std::vector<std::function<void(const QString&)>> captionSetters_;
};

int runMainWindow(int argc, char** argv, const std::filesystem::path& station, const std::filesystem::path& file);

}  // namespace tesmar::ui
