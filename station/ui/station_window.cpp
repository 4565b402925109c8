#include "station/ui/station_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include "common/instance_name.h"
#include "station/ui/paths_dialogs.h"
#include "station/ui/purge_editor.h"

namespace station::ui {

namespace fs = std::filesystem;

namespace {
QString q(const std::string& s) { return QString::fromStdString(s); }

QLabel* link(const QString& text) {
    auto* l = new QLabel(QString("<a href=\"#\">%1</a>").arg(text));
    l->setCursor(Qt::PointingHandCursor);
    return l;
}
}  // namespace

StationWindow::StationWindow(fs::path dir, QWidget* parent) : QMainWindow(parent), dir_(std::move(dir)) {
    setWindowTitle("Processing started");
    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    auto* form = new QFormLayout;
    satellite_ = new QLineEdit("4");
    satellite_->setMaxLength(1);
    satellite_->setMaximumWidth(30);
    slot_ = new QLabel("-");
    form->addRow("MSG-", satellite_);
    form->addRow("Last transmitted slot:", slot_);
    received_ = new QLabel("Compressed segments received:");
    missing_ = new QLabel("Compressed segments missing:");
    for (auto* l : {received_, missing_}) l->setWordWrap(true);
    layout->addLayout(form);
    layout->addWidget(received_);
    layout->addWidget(missing_);

    auto* statusRow = new QHBoxLayout;
    status_ = new QLabel("Please wait");
    status_->setStyleSheet("background: yellow; padding: 2px 8px;");
    lamp_ = new QLabel;
    lamp_->setFixedSize(32, 10);
    statusRow->addWidget(status_);
    statusRow->addWidget(lamp_);
    statusRow->addStretch(1);
    layout->addLayout(statusRow);
    setLamp(0);

    rapidScan_ = new QCheckBox("5-minute rapid scan");
    purge_ = new QCheckBox("purging old files");
    purge_->setChecked(true);
    remote_ = new QCheckBox("remote generation");
    noNats_ = new QCheckBox("no nats generation");
    for (auto* c : {rapidScan_, purge_, remote_, noNats_}) layout->addWidget(c);
    // At most one of the two output options.
    connect(remote_, &QCheckBox::clicked, this, [this](bool on) {
        noNats_->setChecked(false);
        if (on && !fs::exists(dir_ / "cdr.txt")) {
            RemoteDialog dialog(dir_, this);
            dialog.exec();
            if (station_) station_->cycle().remoteDir = readCdr(dir_);
        }
    });
    connect(noNats_, &QCheckBox::clicked, this, [this] { remote_->setChecked(false); });

    auto* links = new QHBoxLayout;
    auto* log = link("Logged info");
    checkReception_ = link("Check reception");
    checkReception_->setVisible(fs::exists(dir_ / "cd.txt"));
    links->addWidget(log);
    links->addWidget(checkReception_);
    links->addStretch(1);
    layout->addLayout(links);
    connect(log, &QLabel::linkActivated, this,
            [this] { QDesktopServices::openUrl(QUrl::fromLocalFile(q((dir_ / "logfile.txt").string()))); });
    connect(checkReception_, &QLabel::linkActivated, this, [this] {
        if (station_) QDesktopServices::openUrl(QUrl::fromLocalFile(q(station_->cycle().paths().received.string())));
    });

    auto* buttons = new QHBoxLayout;
    auto* stop = new QPushButton("Stop");
    auto* viewer = new QPushButton("Open Viewer");
    auto* purge = new QPushButton("Edit Purge");
    auto* minimise = new QPushButton("Run Minimized");
    for (auto* b : {stop, viewer, purge, minimise}) buttons->addWidget(b);
    layout->addLayout(buttons);
    connect(stop, &QPushButton::clicked, this, &QWidget::close);
    connect(viewer, &QPushButton::clicked, this, [this] { openViewer(); });
    connect(purge, &QPushButton::clicked, this, [this] { editPurge(); });
    connect(minimise, &QPushButton::clicked, this, &QWidget::showMinimized);
    setCentralWidget(central);

    listenForOthers();
    timer_ = new QTimer(this);
    timer_->setInterval(30'000);
    connect(timer_, &QTimer::timeout, this, [this] { tick(); });
    timer_->start();
    QTimer::singleShot(0, this, [this] {
        if (openStation()) {
            status_->setText("Active");
            status_->setStyleSheet("background: lime; padding: 2px 8px;");
        }
    });
}

StationWindow::~StationWindow() = default;

CycleSettings StationWindow::settings() const {
    CycleSettings s;
    const auto digit = satellite_->text().toStdString();
    s.satellite = digit.size() == 1 ? digit[0] : '4';
    s.rapidScan = rapidScan_->isChecked();
    s.purge = purge_->isChecked();
    s.remote = remote_->isChecked();
    s.noNats = noNats_->isChecked();
    return s;
}

bool StationWindow::openStation() {
    if (station_) return true;
    if (!fs::exists(dir_ / "cd.txt")) {
        if (askingPaths_) return false;
        askingPaths_ = true;
        PathsDialog dialog(dir_, this);
        dialog.exec();
        askingPaths_ = false;
        if (!fs::exists(dir_ / "cd.txt")) return false;
    }
    checkReception_->setVisible(true);
    auto opened = Station::open(dir_, clock_, settings());
    if (!opened) {
        status_->setText(q(opened.error()));
        status_->setStyleSheet("background: red; color: white; padding: 2px 8px;");
        return false;
    }
    station_ = std::move(*opened);
    station_->cycle().start();
    slot_->setText(q(station_->cycle().closedSlot()));
    return true;
}

void StationWindow::tick() {
    if (!openStation()) return;
    if (remote_->isChecked() && !fs::exists(dir_ / "cdr.txt")) {
        RemoteDialog dialog(dir_, this);
        dialog.exec();
        station_->cycle().remoteDir = readCdr(dir_);
        return;
    }
    auto& cycle = station_->cycle();
    cycle.settings() = settings();
    const int phase = cycle.phase();
    if (phase == 1) setLamp(2);
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    cycle.tick();
    setLamp(phase == 0 ? 1 : 3);
    slot_->setText(q(cycle.closedSlot()));
    if (!cycle.receivedMessage.empty()) received_->setText(q(cycle.receivedMessage));
    if (!cycle.missingMessage.empty()) missing_->setText(q(cycle.missingMessage));
}

void StationWindow::setLamp(int state) {
    static const char* const colours[] = {"white", "magenta", "maroon", "lime"};
    lamp_->setStyleSheet(QString("background: %1; border: 1px solid gray;").arg(colours[state]));
}

void StationWindow::listenForOthers() {
    // The viewer's "Start processing" asks here whether we run, and brings this window up.
    server_ = new QLocalServer(this);
    const auto name = q(instanceName("tinrell", dir_));
    if (!server_->listen(name)) {
        QLocalServer::removeServer(name);  // left by a station that ended without closing it
        server_->listen(name);
    }
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (auto* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            showNormal();
            raise();
            activateWindow();
        }
    });
}

void StationWindow::openViewer() {
    const fs::path here = QCoreApplication::applicationDirPath().toStdString();
    for (const auto& candidate : {here / "tesmar", here.parent_path() / "viewer" / "tesmar"})
        if (fs::exists(candidate)) {
            QProcess::startDetached(q(candidate.string()), {"--dir", q(dir_.string())}, q(dir_.string()));
            return;
        }
    QMessageBox::information(this, "Open Viewer", "The viewer (tesmar) is not installed beside tinrell");
}

void StationWindow::editPurge() {
    // No purge runs while the policy is being edited; Accept switches it on again.
    purge_->setChecked(false);
    if (station_) station_->cycle().settings().purge = false;
    auto* editor = new PurgeEditor(dir_, this);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    connect(editor, &PurgeEditor::purgeSaved, this, [this] { purge_->setChecked(true); });
    editor->show();
}

int runStationWindow(int argc, char** argv, const std::vector<std::string>& args) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Start");
    fs::path dir = fs::current_path();
    for (std::size_t i = 0; i + 1 < args.size(); ++i)
        if (args[i] == "--dir") dir = args[i + 1];
    StationWindow w(dir);
    w.show();
    return QApplication::exec();
}

}  // namespace station::ui
