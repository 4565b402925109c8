#include "viewer/ui/main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QSlider>
#include <QSpinBox>
#include <QStatusBar>
#include <QVBoxLayout>
#include <map>

#include "viewer/messages.h"

namespace tesmar::ui {

namespace {
QString q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
}  // namespace

MainWindow::MainWindow(const std::filesystem::path& station, QWidget* parent) : QMainWindow(parent) {
    setWindowTitle("Tesmar");
    host_ = std::make_unique<QtHost>(this, statusBar(),
                                     [this](station::Fact f, const QString& t) { showFact(f, t); });
    viewer_ = std::make_unique<Viewer>(*host_, clock_, station);
    buildMenus();
    setCentralWidget(buildControls());
    resize(1220, 860);

    const QScreen* screen = QGuiApplication::primaryScreen();
    viewer_->oncre(screen ? screen->size().height() : 1080);
    viewer_->nomcan();
    pushControls();
    refreshWindowFacts();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildMenus() {
    const auto& entries = mainMenu();
    std::map<std::string, QMenu*> menus;
    auto isParent = [&](const std::string& path) {
        for (const auto& e : entries)
            if (e.menu == path) return true;
        return false;
    };
    for (const auto& e : entries) {
        const std::string path = e.menu.empty() ? std::string(e.caption) : std::string(e.menu) + "/" + std::string(e.caption);
        if (e.menu.empty() || isParent(path)) {
            QMenu* m = e.menu.empty() ? menuBar()->addMenu(q(e.caption)) : menus[std::string(e.menu)]->addMenu(q(e.caption));
            m->setEnabled(e.built || isParent(path));
            menus[path] = m;
            captionSetters_.push_back([m](const QString& t) { m->setTitle(t); });
            continue;
        }
        QAction* a = menus[std::string(e.menu)]->addAction(q(e.caption));
        if (!e.shortcut.empty()) a->setShortcut(QKeySequence(q(e.shortcut)));
        a->setEnabled(e.built);
        if (!e.built) a->setToolTip(e.needsPicture ? "Needs a picture" : "Not available yet");
        captionSetters_.push_back([a](const QString& t) { a->setText(t); });
        if (path == "File/Open image") connect(a, &QAction::triggered, this, &MainWindow::openImage);
        if (path == "About/Spanish menu") {
            spanishAction_ = a;
            connect(a, &QAction::triggered, this, &MainWindow::spanishMenu);
        }
    }
}

QWidget* MainWindow::buildControls() {
    auto* central = new QWidget;
    auto* row = new QHBoxLayout(central);

    auto* side = new QVBoxLayout;
    auto* sceneBox = new QGroupBox("Scene");
    auto* sceneForm = new QFormLayout(sceneBox);
    fileLabel_ = new QLabel("-");
    fileLabel_->setWordWrap(true);
    sceneTime_ = new QLabel("-");
    channelString_ = new QLabel("-");
    channelString_->setFont(QFont("Monospace"));
    sceneForm->addRow("File:", fileLabel_);
    sceneForm->addRow("Time:", sceneTime_);
    sceneForm->addRow("Channels:", channelString_);
    side->addWidget(sceneBox);

    auto* chBox = new QGroupBox("Channel");
    auto* chForm = new QFormLayout(chBox);
    channel_ = new QSpinBox;
    channel_->setRange(0, 14);
    channelName_ = new QLabel;
    inverted_ = new QCheckBox("inverted");
    chForm->addRow("Channel:", channel_);
    chForm->addRow("", channelName_);
    chForm->addRow("", inverted_);
    red_ = new QLineEdit;
    green_ = new QLineEdit;
    blue_ = new QLineEdit;
    for (auto* e : {red_, green_, blue_}) e->setMaximumWidth(40);
    auto* rgb = new QHBoxLayout;
    rgb->addWidget(red_);
    rgb->addWidget(green_);
    rgb->addWidget(blue_);
    chForm->addRow("R G B:", rgb);
    side->addWidget(chBox);

    auto* centreBox = new QGroupBox("Centre and scope");
    auto* cForm = new QFormLayout(centreBox);
    lon_ = new QLineEdit;
    lat_ = new QLineEdit;
    scope_ = new QSlider(Qt::Horizontal);
    scope_->setRange(1, 5);
    scope_->setTickPosition(QSlider::TicksBelow);
    lineLabel_ = new QLabel("line: ");
    columnLabel_ = new QLabel("column: ");
    cForm->addRow("Longitude:", lon_);
    cForm->addRow("Latitude:", lat_);
    cForm->addRow("Scope:", scope_);
    cForm->addRow(lineLabel_, columnLabel_);
    side->addWidget(centreBox);

    idle_ = new QCheckBox("idle");
    idle_->setVisible(false);
    side->addWidget(idle_);
    side->addStretch(1);
    row->addLayout(side);

    picture_ = new QLabel;
    picture_->setFixedSize(viewer_->gsize, viewer_->gsizev);
    picture_->setStyleSheet("background: #101418; color: #8899aa;");
    picture_->setAlignment(Qt::AlignCenter);
    picture_->setText("No picture yet.\nOpen a Native file, then choose an action from the menu.");
    auto* scroll = new QScrollArea;
    scroll->setWidget(picture_);
    row->addWidget(scroll, 1);

    connect(channel_, &QSpinBox::valueChanged, this, [this] { channelChanged(); });
    for (auto* e : {lon_, lat_, red_, green_, blue_})
        connect(e, &QLineEdit::editingFinished, this, [this] { pullControls(); });
    connect(scope_, &QSlider::valueChanged, this, [this] { pullControls(); });
    return central;
}

void MainWindow::showFact(station::Fact fact, const QString& text) {
    switch (fact) {
        case station::Fact::SceneTime: sceneTime_->setText(text); break;
        case station::Fact::ChannelString: channelString_->setText(text); break;
        case station::Fact::Line: lineLabel_->setText(text); break;
        case station::Fact::Column: columnLabel_->setText(text); break;
        case station::Fact::ChannelName: channelName_->setText(text); break;
    }
}

void MainWindow::pullControls() {
    auto& c = viewer_->controls;
    c.channel = std::to_string(channel_->value());
    c.lon = lon_->text().toStdString();
    c.lat = lat_->text().toStdString();
    c.red = red_->text().toStdString();
    c.green = green_->text().toStdString();
    c.blue = blue_->text().toStdString();
    c.scopeSlider = scope_->value();
}

void MainWindow::pushControls() {
    const auto& c = viewer_->controls;
    const QSignalBlocker block(channel_);
    channel_->setValue(QString::fromStdString(c.channel).toInt());
    lon_->setText(QString::fromStdString(c.lon));
    lat_->setText(QString::fromStdString(c.lat));
    red_->setText(QString::fromStdString(c.red));
    green_->setText(QString::fromStdString(c.green));
    blue_->setText(QString::fromStdString(c.blue));
    scope_->setValue(c.scopeSlider);
    inverted_->setChecked(c.inverted);
    idle_->setVisible(c.idleVisible);
    channel_->setToolTip(c.channelHint ? "Choose an existing channel" : QString());
}

void MainWindow::channelChanged() {
    pullControls();
    viewer_->nomcan();
    pushControls();
}

void MainWindow::refreshWindowFacts() {
    const auto& s = viewer_->scene;
    fileLabel_->setText(s.fich.empty() ? QString("-") : QString::fromStdString(s.fich.filename().string()));
}

void MainWindow::openImage() {
    pullControls();
    viewer_->abrefiche();
    viewer_->nomcan();
    if (!viewer_->scene.fich.empty()) viewer_->leedatos();
    pushControls();
    refreshWindowFacts();
}

void MainWindow::spanishMenu() {
    viewer_->transla();
    const auto& entries = mainMenu();
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (!entries[i].spanish.empty()) captionSetters_[i](q(entries[i].spanish));
    if (spanishAction_) spanishAction_->setEnabled(false);
}

int runMainWindow(int argc, char** argv, const std::filesystem::path& station) {
    QApplication app(argc, argv);
    MainWindow w(station);
    w.show();
    return QApplication::exec();
}

}  // namespace tesmar::ui
