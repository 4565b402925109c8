#pragma once
// "Purge editor": the six values of purge.txt with the disk space they call for. The window
// only collects the fields; the checks, the estimate and the file are the purge's own.

#include <QDialog>
#include <array>
#include <filesystem>

#include "station/purge.h"

class QLabel;
class QLineEdit;

namespace station::ui {

class PurgeEditor : public QDialog {
    Q_OBJECT
  public:
    // Shows the values of purge.txt of `cdo` (created with the defaults when missing).
    explicit PurgeEditor(std::filesystem::path cdo, QWidget* parent = nullptr);

  signals:
    // purge.txt has been written: purging old files may go on.
    void purgeSaved();

  private:
    PurgeFields texts() const;
    void showEstimate();
    void save();

    std::filesystem::path cdo_;
    std::array<QLineEdit*, 6> fields_{};
    QLabel* estimate_ = nullptr;
};

}  // namespace station::ui
