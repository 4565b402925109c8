#include "station/ui/paths_dialogs.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "station/station_paths.h"

namespace station::ui {

namespace {
// Folders are kept with a final separator, as cd.txt has always held them.
std::filesystem::path folder(const QString& text) {
    auto s = text.trimmed().toStdString();
    if (!s.empty() && s.back() != '/') s += '/';
    return s;
}
}  // namespace

PathsDialog::PathsDialog(std::filesystem::path dir, QWidget* parent) : QDialog(parent), dir_(std::move(dir)) {
    setWindowTitle("Path to Eumetcast \"received\" files");
    auto* layout = new QVBoxLayout(this);
    received_ = new QLineEdit("/srv/received/");
    received13_ = new QLineEdit("/srv/received/");
    layout->addWidget(new QLabel("Type the reception directory with the compressed segments from Eumetcast (hrit):"));
    layout->addWidget(received_);
    layout->addWidget(new QLabel("Type the reception directory for other missions from Eumetcast (Lrit, SAF products, etc.):"));
    layout->addWidget(received13_);
    auto* ready = new QPushButton("Ready");
    layout->addWidget(ready);
    connect(ready, &QPushButton::clicked, this, [this] { this->ready(); });
}

void PathsDialog::ready() {
    if (std::filesystem::exists(dir_ / "cd.txt")) return;  // written already: nothing to change
    const auto written = writeCd(dir_, folder(received_->text()), folder(received13_->text()));
    if (!written) QMessageBox::warning(this, windowTitle(), QString::fromStdString(written.error()));
    accept();
}

RemoteDialog::RemoteDialog(std::filesystem::path dir, QWidget* parent) : QDialog(parent), dir_(std::move(dir)) {
    setWindowTitle("Tesmar directory in the other computer:");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Type the Tesmar directory at the remote side:"));
    layout->addWidget(new QLabel("(It could had been assigned a network letter, like K:\\, or something as suggested below)"));
    remote_ = new QLineEdit("/mnt/remoteComputer/sharedDirectory");
    layout->addWidget(remote_);
    auto* ready = new QPushButton("Ready");
    layout->addWidget(ready);
    connect(ready, &QPushButton::clicked, this, [this] { this->ready(); });
}

void RemoteDialog::ready() {
    const auto written = writeCdr(dir_, folder(remote_->text()));
    if (!written) QMessageBox::warning(this, windowTitle(), QString::fromStdString(written.error()));
    accept();
}

}  // namespace station::ui
