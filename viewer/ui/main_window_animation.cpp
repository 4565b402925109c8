// The main window's animations: Display > "Animation", File > "Create bitmaps" with the
// sequence window, and the animation window they share with the idle slide show and
// "Loop_it_now". The frame list itself is the viewer's.

#include <QCheckBox>
#include <QFileDialog>
#include <QStatusBar>

#include "viewer/products/ui/animation_window.h"
#include "viewer/products/ui/sequence_window.h"
#include "viewer/sequence_commands.h"
#include "viewer/ui/main_window.h"

namespace tesmar::ui {

namespace fs = std::filesystem;

namespace {
QString q(const std::string& s) {
    return QString::fromStdString(s);
}
}  // namespace

void MainWindow::addAnimationCommands() {
    commands_["Display/Animation"] = [this] { anicrea(viewer_->cdo()); };
    commands_["File/Create bitmaps"] = [this] { asicrea(); };
}

AnimationWindow* MainWindow::animationWindow() {
    if (!animationWindow_) {
        animationWindow_ = new AnimationWindow(viewer_->cord, this);
        animationWindow_->setButtonsVisible(!idle_->isChecked());
    }
    return animationWindow_;
}

void MainWindow::anicrea(const fs::path& folder) {
    // A chosen animation takes the window over from the idle slide show.
    if (idle_->isChecked()) idle_->setChecked(false);
    const QString title = q(viewer_->mess(3));
    statusBar()->showMessage(title);
    const QStringList chosen = QFileDialog::getOpenFileNames(
        this, title, q(folder.string()),
        "All formats (*);;Bitmap file (*.bmp *.BMP);;Jpeg file (*.jpg *.JPG *.jpeg)");
    if (chosen.isEmpty()) return;
    std::vector<fs::path> files;
    files.reserve(static_cast<std::size_t>(chosen.size()));
    for (const auto& f : chosen) files.emplace_back(f.toStdString());
    viewer_->cord.choose(std::move(files));
    animationWindow()->playChosen();
}

void MainWindow::asicrea() {
    if (!sequenceWindow_) {
        sequenceWindow_ = new SequenceWindow(this);
        connect(sequenceWindow_, &SequenceWindow::goRequested, this, [this] { goLoop(); });
    }
    sequenceWindow_->open(viewer_->cdo() / "creas");
}

void MainWindow::goLoop() {
    if (productRunning_) return;
    const auto settings = sequenceWindow_->settings();
    pullControls();
    const auto files = chooseNativeFiles();
    if (!files.empty()) {
        productRunning_ = true;  // the cycle's ticks and the idle show wait for the sequence
        const auto run = go_loop(*viewer_, settings, files, painter());
        productRunning_ = false;
        showPicture();
        pushControls();
        refreshWindowFacts();
        if (!run.refusal.empty()) {
            host_->message(run.refusal);
            return;
        }
        QString failed;
        for (const auto& p : run.pictures)
            if (p.file.empty()) failed += "\n" + q(p.native.filename().string()) + ": " + q(p.why);
        if (!run.restoreWhy.empty()) failed += "\n" + q(run.restoreWhy);
        statusBar()->showMessage(QString("%1 of %2 pictures written into %3")
                                     .arg(run.made())
                                     .arg(run.pictures.size())
                                     .arg(q(settings.destination.string())));
        if (!failed.isEmpty()) host_->message(("Not made:" + failed).toStdString());
    }
    anicrea(settings.destination);
}

}  // namespace tesmar::ui
