#pragma once

#include <QMainWindow>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "common/clock.h"
#include "viewer/viewer.h"
#include "viewer/ui/qt_host.h"

class QLabel;
class QLineEdit;
class QSpinBox;
class QSlider;
class QCheckBox;

namespace tesmar::ui {

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(const std::filesystem::path& station, QWidget* parent = nullptr);
    ~MainWindow() override;

    Viewer& viewer() { return *viewer_; }

private:
    void buildMenus();
    QWidget* buildControls();
    void showFact(station::Fact fact, const QString& text);
    void pullControls();   // widgets -> viewer controls
    void pushControls();   // viewer controls -> widgets
    void openImage();
    void spanishMenu();
    void channelChanged();
    void refreshWindowFacts();

    station::SystemClock clock_;
    std::unique_ptr<QtHost> host_;
    std::unique_ptr<Viewer> viewer_;

    QLabel* sceneTime_ = nullptr;
    QLabel* channelString_ = nullptr;
    QLabel* channelName_ = nullptr;
    QLabel* lineLabel_ = nullptr;
    QLabel* columnLabel_ = nullptr;
    QLabel* fileLabel_ = nullptr;
    QLabel* picture_ = nullptr;
    QSpinBox* channel_ = nullptr;
    QLineEdit* lon_ = nullptr;
    QLineEdit* lat_ = nullptr;
    QLineEdit* red_ = nullptr;
    QLineEdit* green_ = nullptr;
    QLineEdit* blue_ = nullptr;
    QSlider* scope_ = nullptr;
    QCheckBox* inverted_ = nullptr;
    QCheckBox* idle_ = nullptr;

    // One caption setter per main-menu entry, in the order of mainMenu().
    std::vector<std::function<void(const QString&)>> captionSetters_;
    QAction* spanishAction_ = nullptr;
};

int runMainWindow(int argc, char** argv, const std::filesystem::path& station);

}  // namespace tesmar::ui
