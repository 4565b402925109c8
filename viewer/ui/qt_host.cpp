#include "viewer/ui/qt_host.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QProgressBar>
#include <QStatusBar>
#include <QStringList>
#include <QTimer>

namespace tesmar::ui {

namespace {
QString q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
}  // namespace

QtHost::QtHost(QWidget* parent, QStatusBar* status, std::function<void(station::Fact, const QString&)> showFact)
    : parent_(parent), status_(status), showFact_(std::move(showFact)) {}

void QtHost::message(std::string_view text) { QMessageBox::information(parent_, "Tesmar", q(text)); }

bool QtHost::ask(std::string_view text) {
    return QMessageBox::question(parent_, "Tesmar", q(text), QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

std::optional<std::filesystem::path> QtHost::openFile(const station::FileDialog& dialog) {
    QStringList filters;
    for (const auto& [name, patterns] : dialog.filters)
        filters << q(name) + " (" + q(patterns) + ")";
    const QString chosen = QFileDialog::getOpenFileName(parent_, q(dialog.title),
                                                        QString::fromStdString(dialog.directory.string()),
                                                        filters.join(";;"), nullptr,
                                                        QFileDialog::DontUseNativeDialog);
    if (chosen.isEmpty()) return std::nullopt;
    return std::filesystem::path(chosen.toStdString());
}

void QtHost::status(std::string_view text) { status_->showMessage(q(text)); }

void QtHost::showFact(station::Fact fact, std::string_view text) { showFact_(fact, q(text)); }

void QtHost::busy(bool on) {
    if (on) QApplication::setOverrideCursor(Qt::WaitCursor);
    else QApplication::restoreOverrideCursor();
}

void QtHost::progress(int done, int total) {
    status_->showMessage(QString("%1 of %2").arg(done).arg(total));
    // A bar beside the status line, shown until the last item is done.
    if (!progress_) {
        progress_ = new QProgressBar;
        progress_->setMaximumWidth(200);
        status_->addPermanentWidget(progress_);
    }
    progress_->setRange(0, total > 0 ? total : 1);
    progress_->setValue(done);
    progress_->setVisible(done < total);
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtHost::quit() { QTimer::singleShot(0, qApp, &QApplication::quit); }

}  // namespace tesmar::ui
