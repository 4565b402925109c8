#pragma once
// The two small dialogs that write the station's configuration: the reception folders
// (cd.txt) and the other computer's station directory (cdr.txt).

#include <QDialog>
#include <filesystem>

class QLineEdit;

namespace station::ui {

class PathsDialog : public QDialog {
    Q_OBJECT
  public:
    PathsDialog(std::filesystem::path dir, QWidget* parent = nullptr);

  private:
    void ready();
    std::filesystem::path dir_;
    QLineEdit* received_ = nullptr;
    QLineEdit* received13_ = nullptr;
};

class RemoteDialog : public QDialog {
    Q_OBJECT
  public:
    RemoteDialog(std::filesystem::path dir, QWidget* parent = nullptr);

  private:
    void ready();
    std::filesystem::path dir_;
    QLineEdit* remote_ = nullptr;
};

}  // namespace station::ui
