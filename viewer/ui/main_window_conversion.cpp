// Merge > HRIT to Native: the conversion window's start, the slot selection and the run.

#include <QApplication>

#include "viewer/conversion/ui/hrit_window.h"
#include "viewer/ui/main_window.h"

namespace tesmar::ui {

namespace {
QString q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

void MainWindow::hritToNative() {
    if (!hritWindow_) {
        hritWindow_ = new HritWindow(this);
        connect(hritWindow_, &HritWindow::startRequested, this, [this] { startConversion(); });
    }
    hritWindow_->show();
    hritWindow_->raise();
}

void MainWindow::startConversion() {
    auto options = hritWindow_->options();
    const auto checked = conversion::checkOptions(options);
    hritWindow_->setOptions(options);
    if (!checked) {
        hritWindow_->setStatus(q(checked.error()), HritWindow::Lamp::Refused);
        return;
    }
    hritWindow_->setStatus("Counting started..", HritWindow::Lamp::Counting);
    QApplication::processEvents();
    const auto census = conversion::countSegments(options);
    hritWindow_->setStatus(QString("Found %1uncompressed and %2 compressed HRIT files for merge")
                               .arg(census.uncompressed)
                               .arg(census.compressed),
                           HritWindow::Lamp::Counting);
    const auto offered = conversion::offeredSlots(census, options);
    if (offered.empty()) {
        host_->message("No NATs can be generated for your choices");
        return;
    }
    SlotSelectionDialog selection(offered, this);
    if (selection.exec() != QDialog::Accepted) return;
    const auto chosen = selection.chosen();
    if (chosen.empty()) return;
    const auto progress = [this](const std::string& line) {
        hritWindow_->setStatus(q(line), HritWindow::Lamp::Assembling);
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    const auto outcomes =
        conversion::convert(options, chosen, viewer_->cdo(), conversion::stationDecoBatch(viewer_->cdo()), progress);
    int made = 0;
    QStringList failed;
    for (const auto& o : outcomes) {
        if (o.file.empty()) failed << q(o.slot + ": " + o.why);
        else ++made;
    }
    hritWindow_->setStatus(QString("Completed conversion of %1 slots").arg(made), HritWindow::Lamp::Done);
    if (!failed.isEmpty()) host_->message(("Not assembled:\n" + failed.join("\n")).toStdString());
}

}  // namespace tesmar::ui
