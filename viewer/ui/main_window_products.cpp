// The main window's product commands: the product definition window, the 90-second product
// cycle ("generating products"), the idle slide show, Show/Loop it now, starting the reception
// processor, and saving pictures and Google-Earth files.

#include <QCheckBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QLocalSocket>
#include <QProcess>
#include <QRandomGenerator>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>
#include <iostream>

#include "common/instance_name.h"
#include "viewer/display/picture/qt_picture.h"
#include "viewer/display/ui/remap_windows.h"
#include "viewer/products/idle_frames.h"
#include "viewer/products/ui/animation_window.h"
#include "viewer/products/ui/product_window.h"
#include "viewer/ui/main_window.h"
#include "viewer/ui/picture_view.h"

namespace tesmar::ui {

namespace fs = std::filesystem;

namespace {
constexpr int kCycleMs = 90'000;
QString q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

display::MarkPainter MainWindow::painter() const {
    return [](display::Image24& image, const display::DrawList& marks) { picture::paintMarks(image, marks); };
}

void MainWindow::buildProductControls(QVBoxLayout* side) {
    generating_ = new QCheckBox("generating products");
    generating_->setToolTip("Every 90 seconds, make the pictures of product.txt from each new file of nats/ into prods/");
    side->addWidget(generating_);
    connect(generating_, &QCheckBox::toggled, this, [this](bool on) { generatingToggled(on); });
    connect(idle_, &QCheckBox::toggled, this, [this](bool on) { idleToggled(on); });

    cycleTimer_ = new QTimer(this);
    cycleTimer_->setInterval(kCycleMs);
    connect(cycleTimer_, &QTimer::timeout, this, [this] { cycleTick(); });
    cycleTimer_->start();
}

void MainWindow::addProductCommands() {
    commands_["File/Setup product"] = [this] { setupProducts(); };
    commands_["File/Save as bitmap"] = [this] { savePicture(Viewer::PictureFormat::Bmp); };
    commands_["File/Save as JPEG"] = [this] { savePicture(Viewer::PictureFormat::Jpeg); };
    commands_["File/Save as PNG"] = [this] { savePicture(Viewer::PictureFormat::Png); };
    commands_["Display/GE animation"] = [this] { geAnimation(); };
    commands_["About/Start processing"] = [this] { startProcessing(); };
    commands_["Merge/HRIT to Native"] = [this] { hritToNative(); };
}

void MainWindow::setupProducts() {
    if (!productWindow_) {
        productWindow_ = new ProductWindow(viewer_->cdo() / "product.txt", this);
        connect(productWindow_, &ProductWindow::showItNowRequested, this, [this] { showItNow(); });
        connect(productWindow_, &ProductWindow::loopItNowRequested, this, [this] { loopItNow(); });
        connect(productWindow_, &ProductWindow::said, this, [this](const QString& t) { statusBar()->showMessage(t); });
    }
    pullControls();
    // A Mercator entry keeps the corners of the corners window, or those offered for the picture.
    products::MercatorCorners corners;
    display::RemapRequest request;
    if (mercatorDialog_ && mercatorDialog_->request(request)) {
        corners = {request.corners.west, request.corners.north, request.corners.east, request.corners.south,
                   request.oneToOne, mercatorDialog_->frozen()};
    } else if (viewer_->picture.width > 0 && viewer_->zoom.depth() == 0 && !viewer_->shown.geometry.empty()) {
        const auto c = display::mercatorCorners(viewer_->scene, viewer_->window, viewer_->navContext(),
                                                viewer_->shown.hrvSingle);
        corners = {c.west, c.north, c.east, c.south, false, false};
    }
    productWindow_->setCorners(corners);
    productWindow_->setShowItNowVisible(viewer_->picture.width > 0);
    productWindow_->setup(lon_->text(), lat_->text());
    productWindow_->show();
    productWindow_->raise();
}

void MainWindow::generatingToggled(bool on) {
    if (!on) {
        productLock_.reset();
        return;
    }
    // One product cycle per station: a running "tesmar products" service would write the same files.
    productLock_ = station::StationLock::tryAcquire(viewer_->cdo(), kProductCycleJob);
    if (!productLock_) {
        const QSignalBlocker block(generating_);
        generating_->setChecked(false);
        host_->message("Another product cycle (tesmar products) is running on this station: stop it first.");
        return;
    }
    if (idle_->isChecked()) idle_->setChecked(false);
    pullControls();
    if (viewer_->controls.coastLines && !fs::exists(viewer_->coastBitmap)) {
        // Asked now, while somebody is there: the cycle itself never asks.
        host_->message(viewer_->mess(1));
        viewer_->change_coast();
    }
    statusBar()->showMessage("Generating products: new files of nats/ are made into prods/ every 90 seconds");
    QTimer::singleShot(0, this, [this] { cycleTick(); });
}

void MainWindow::idleToggled(bool on) {
    if (on && generating_->isChecked()) generating_->setChecked(false);
    // The slide show plays in the animation window, whose own buttons wait while it is idle.
    if (!animationWindow_) return;
    animationWindow_->setButtonsVisible(!on);
    if (!on) animationWindow_->stopPlay();
}

void MainWindow::cycleTick() {
    if (productRunning_) return;  // a run still going: this tick is skipped
    if (idle_->isChecked()) {
        if (viewer_->cord.playing()) return;  // the frames of an earlier tick still play
        const auto list = products::loadProductList(viewer_->cdo() / "product.txt");
        if (!list || list->entries.empty()) return;
        const auto& entry = list->entries[QRandomGenerator::global()->bounded(static_cast<int>(list->entries.size()))];
        auto frames = products::idleFrames(viewer_->cdo() / "prods", entry);
        if (!frames.empty()) animationWindow()->playIdle(std::move(frames));
        return;
    }
    if (!generating_->isChecked()) return;
    productRunning_ = true;
    pullControls();
    const auto runs = viewer_->tualotuyo(painter());
    productRunning_ = false;
    if (runs.empty()) return;
    int made = 0;
    QString failed;
    for (const auto& r : runs) {
        // The log of an unattended desktop: one line per product, like the service's.
        if (r.file.empty()) std::cerr << "failed:  " << r.entry << ": " << r.why << '\n';
        else std::cerr << "made:    " << r.file.string() << (r.note.empty() ? "" : "  " + r.note) << '\n';
        if (r.file.empty()) failed += " " + q(r.entry);
        else ++made;
    }
    showPicture();
    pushControls();
    refreshWindowFacts();
    statusBar()->showMessage(QString("Products of %1: %2 made%3").arg(q(viewer_->scene.bsc)).arg(made)
                                 .arg(failed.isEmpty() ? QString() : ", not made:" + failed));
}

void MainWindow::showItNow() {
    if (!productWindow_ || productRunning_) return;
    productRunning_ = true;
    pullControls();
    const auto run = viewer_->tualotuyo_now(productWindow_->form(), painter());
    productRunning_ = false;
    showPicture();
    pushControls();
    if (run.file.empty()) host_->message("The product was not made: " + run.why);
    else statusBar()->showMessage("Made " + q(run.file.string()));
}

std::vector<fs::path> MainWindow::chooseNativeFiles() {
    const QStringList chosen = QFileDialog::getOpenFileNames(
        this, q(viewer_->lang == Lang::Spanish ? "Elige los ficheros NATIVE para crear los gráficos"
                                                   : "Select the NATIVE files for creating the GRAPHIC formats"),
        q((viewer_->cdo() / "nats").string()), "Native files (*.nat *.NAT);;All files (*)");
    std::vector<fs::path> files;
    for (const auto& f : chosen) files.emplace_back(f.toStdString());
    return files;
}

void MainWindow::loopItNow() {
    if (!productWindow_ || productRunning_) return;
    const auto files = chooseNativeFiles();
    if (files.empty()) return;
    productRunning_ = true;
    pullControls();
    QStringList failed;
    for (std::size_t i = 0; i < files.size(); ++i) {
        host_->progress(static_cast<int>(i), static_cast<int>(files.size()));
        if (!viewer_->abrefiche_secre(files[i])) {
            failed << q(files[i].filename().string());
            continue;
        }
        viewer_->leedatos();
        const auto run = viewer_->tualotuyo_now(productWindow_->form(), painter());
        if (run.file.empty()) failed << q(files[i].filename().string()) + ": " + q(run.why);
        showPicture();
    }
    productRunning_ = false;
    pushControls();
    refreshWindowFacts();
    statusBar()->showMessage(q(viewer_->mess(15)));
    if (!failed.isEmpty()) host_->message(("Not made:\n" + failed.join("\n")).toStdString());
    anicrea(viewer_->cdo() / "creas");
}

void MainWindow::startProcessing() {
    // The reception processor lives beside this program (or beside its build folder).
    const fs::path here = QCoreApplication::applicationDirPath().toStdString();
    fs::path program;
    for (const auto& candidate : {here / "tinrell", here.parent_path() / "station" / "tinrell"})
        if (fs::exists(candidate)) program = candidate;
    if (program.empty()) {
        statusBar()->showMessage("The reception processor (tinrell) is not installed beside tesmar");
        return;
    }
    QLocalSocket probe;
    probe.connectToServer(q(station::instanceName("tinrell", viewer_->cdo())));
    if (probe.waitForConnected(200)) {
        probe.write("show\n");
        probe.waitForBytesWritten(200);
        statusBar()->showMessage("The reception processor is running already");
        return;
    }
    const bool started = QProcess::startDetached(q(program.string()), {"--dir", q(viewer_->cdo().string())},
                                                 q(viewer_->cdo().string()));
    statusBar()->showMessage(started ? "Processing started" : "The reception processor could not be started");
}

void MainWindow::savePicture(Viewer::PictureFormat format) {
    const char* filter = format == Viewer::PictureFormat::Bmp    ? "Bitmap (*.bmp)"
                         : format == Viewer::PictureFormat::Jpeg ? "JPEG (*.jpg)"
                                                                 : "PNG (*.png)";
    const QString chosen = QFileDialog::getSaveFileName(this, "Save the picture", q((viewer_->cdo() / "creas").string()), filter);
    if (chosen.isEmpty()) return;
    const auto saved = viewer_->savePicture(chosen.toStdString(), format, painter());
    if (!saved) host_->message(saved.error());
    else statusBar()->showMessage("Saved " + q(saved->string()));
}

void MainWindow::showProjection() {
    if (!projection_) {
        projection_ = new ProjectionWindow(this);
        connect(projection_, &ProjectionWindow::takeToMainRequested, this, [this] {
            if (viewer_->taketomain()) showPicture();
            projection_->close();
        });
        connect(projection_, &ProjectionWindow::saveBitmapRequested, this, [this] { saveProjectionBitmap(); });
        connect(projection_, &ProjectionWindow::saveGoogleEarthRequested, this, [this] { saveForGoogleEarth(); });
        connect(projection_, &ProjectionWindow::nudgeRequested, this, [this] { nudge(); });
    }
    projection_->setPicture(picture::toQImage(viewer_->projection));
    projection_->show();
    projection_->raise();
}

void MainWindow::saveProjectionBitmap() {
    const QString chosen = QFileDialog::getSaveFileName(this, "Save the projection", q((viewer_->cdo() / "creas").string()), "Bitmap (*.bmp)");
    if (chosen.isEmpty()) return;
    const auto saved = viewer_->saveProjectionBmp(chosen.toStdString());
    if (!saved) host_->message(saved.error());
    else statusBar()->showMessage("Saved " + q(saved->string()));
}

void MainWindow::saveForGoogleEarth() {
    if (!mercatorDialog_) return;
    const QString chosen = QFileDialog::getSaveFileName(this, "Save for Google Earth", q((viewer_->cdo() / "creas").string()), "Google Earth (*.kml)");
    if (chosen.isEmpty()) return;
    const auto saved = viewer_->guarda_ge(chosen.toStdString(), mercatorDialog_->typedCorners());
    if (!saved) {
        host_->message(saved.error());
        return;
    }
    statusBar()->showMessage("Saved " + q(saved->string()));
    projection_->showNudgePanel(true);
}

void MainWindow::nudge() {
    const auto written = viewer_->do_nudge(projection_->nudgeSettings());
    if (!written) host_->message(written.error());
    else statusBar()->showMessage("Nudged " + q(written->string()));
}

void MainWindow::geAnimation() {
    pullControls();
    const auto corners = viewer_->mercator(false);
    if (!corners) return;
    display::RemapRequest request;
    request.corners = *corners;
    if (mercatorDialog_ && mercatorDialog_->request(request) && request.corners.north == request.corners.south)
        request.corners = *corners;  // the corners window holds nothing yet: the picture's own
    const auto files = chooseNativeFiles();
    if (files.empty()) return;
    const auto index = viewer_->ge_animation(files, request.corners, painter());
    showPicture();
    pushControls();
    refreshWindowFacts();
    if (!index) {
        host_->message(index.error());
        return;
    }
    showProjection();
    projection_->showNudgePanel(true);
    host_->message("Your loop index for GE is ready at: " + index->string());
}

}  // namespace tesmar::ui
