#pragma once
// The reception processor's window ("Processing started"): the closed slot, what was received
// and what is missing, the status lamp, the settings and the buttons. The cycle runs on the
// window's 30-second timer; the window only shows it.

#include <QMainWindow>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/clock.h"
#include "station/station.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QLocalServer;
class QTimer;

namespace station::ui {

class StationWindow : public QMainWindow {
    Q_OBJECT
  public:
    explicit StationWindow(std::filesystem::path dir, QWidget* parent = nullptr);
    ~StationWindow() override;

  private:
    void tick();
    bool openStation();  // false while cd.txt is missing (the paths dialog is shown)
    CycleSettings settings() const;
    void setLamp(int state);  // 0 rest, 1 decompressed, 2 assembling, 3 merged
    void listenForOthers();
    void openViewer();
    void editPurge();

    std::filesystem::path dir_;
    SystemClock clock_;
    std::unique_ptr<Station> station_;
    QTimer* timer_ = nullptr;
    QLocalServer* server_ = nullptr;
    QLineEdit* satellite_ = nullptr;
    QLabel* slot_ = nullptr;
    QLabel* received_ = nullptr;
    QLabel* missing_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* lamp_ = nullptr;
    QLabel* checkReception_ = nullptr;
    QCheckBox* rapidScan_ = nullptr;
    QCheckBox* purge_ = nullptr;
    QCheckBox* remote_ = nullptr;
    QCheckBox* noNats_ = nullptr;
    bool askingPaths_ = false;
};

int runStationWindow(int argc, char** argv, const std::vector<std::string>& args);

}  // namespace station::ui
