#include "viewer/ui/main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSlider>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include "viewer/products/ui/product_window.h"

#include "viewer/display/picture/qt_picture.h"
#include "viewer/compose/ui/complex_composite_dialog.h"
#include "viewer/compose/ui/colour_editor_window.h"
#include "viewer/compose/ui/hrv_colour_window.h"
#include "viewer/compose/ui/restrict_colour_window.h"
#include "viewer/display/ui/fine_contrast_window.h"
#include "viewer/display/ui/remap_windows.h"
#include "viewer/messages.h"
#include "viewer/ui/picture_view.h"

namespace tesmar::ui {

namespace {
QString q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QSlider* slider(int lo, int hi) {
    auto* s = new QSlider(Qt::Horizontal);
    s->setRange(lo, hi);
    s->setPageStep(1);
    s->setTickPosition(QSlider::TicksBelow);
    return s;
}
}  // namespace

MainWindow::MainWindow(const std::filesystem::path& station, QWidget* parent) : QMainWindow(parent) {
    setWindowTitle("Tesmar");
    host_ = std::make_unique<QtHost>(this, statusBar(),
                                     [this](station::Fact f, const QString& t) { showFact(f, t); });
    viewer_ = std::make_unique<Viewer>(*host_, clock_, station);
    commands_ = {
        {"File/Open image", [this] { openImage(); }},
        {"File/Tidy up", [this] { tidyUp(); }},
        {"File/Change coastline", [this] { viewer_->change_coast(); }},
        {"File/Control contrast", [this] { controlContrast(); }},
        {"Display/Show image", [this] { showImage(); }},
        {"Display/Contrast", [this] { contrast(); }},
        {"Display/Enhancement", [this] { enhancement(); }},
        {"About/Spanish menu", [this] { spanishMenu(); }},
        {"File/Control composition", [this] { controlComposition(); }},
        {"Merge/Composite", [this] { build([this] { return viewer_->composite(); }); }},
        {"Merge/Temperature difference", [this] { build([this] { return viewer_->two_channel_tt(); }); }},
        {"Merge/Complex composite", [this] { complexComposite(); }},
        {"Merge/HRV coloured", [this] { hrvColoured(); }},
        {"Display/Colour", [this] { colourEditor(); }},
        {"Remap/Mercator", [this] { remapCorners(false); }},
        {"Remap/Polar stereographic", [this] { remapCorners(true); }},
        {"Remap/(Zoom in)", [this] { build([this] { return viewer_->zoomin(); }); }},
        {"Remap/Zoom out", [this] { build([this] { return viewer_->zoom_out(); }); }},
        {"Remap/Re-centre", [this] { build([this] { return viewer_->recentre(); }); }},
        {"Display/Re-colour", [this] { restrictColour(); }},
    };
    for (const auto& recipe : compose::standardRecipes())
        commands_["Merge/Standard RGB ../" + std::string(recipe.menu)] = [this, &recipe] {
            build([this, &recipe] { return viewer_->runRecipe(recipe); });
            if (complexDialog_) complexDialog_->setSettings(viewer_->complex);
        };
    addProductCommands();
    addStatsCommands();
    addAnimationCommands();
    buildMenus();
    setCentralWidget(buildControls());
    resize(1240, 880);

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
        const std::string path =
            e.menu.empty() ? std::string(e.caption) : std::string(e.menu) + "/" + std::string(e.caption);
        if (e.menu.empty() || isParent(path)) {
            QMenu* m = e.menu.empty() ? menuBar()->addMenu(q(e.caption))
                                      : menus[std::string(e.menu)]->addMenu(q(e.caption));
            m->setEnabled(e.built || isParent(path));
            menus[path] = m;
            captionSetters_.push_back([m](const QString& t) { m->setTitle(t); });
            continue;
        }
        QAction* a = menus[std::string(e.menu)]->addAction(q(e.caption));
        if (!e.shortcut.empty()) a->setShortcut(QKeySequence(q(e.shortcut)));
        const auto command = commands_.find(path);
        a->setEnabled(e.built && command != commands_.end() && !e.needsPicture);
        if (command != commands_.end()) connect(a, &QAction::triggered, this, command->second);
        a->setData(e.needsPicture);
        actions_[path] = a;
        captionSetters_.push_back([a](const QString& t) { a->setText(t); });
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
    side->addWidget(chBox);

    compositionBox_ = new QGroupBox("Composition");
    auto* compForm = new QFormLayout(compositionBox_);
    red_ = new QLineEdit;
    green_ = new QLineEdit;
    blue_ = new QLineEdit;
    auto* rgb = new QHBoxLayout;
    for (auto* e : {red_, green_, blue_}) {
        e->setMaximumWidth(40);
        rgb->addWidget(e);
    }
    ihs_ = new QCheckBox("IHS");
    compForm->addRow("R G B:", rgb);
    compForm->addRow(ihs_);
    auto* hint = new QLabel("difference: R minus G");
    compForm->addRow(hint);
    side->addWidget(compositionBox_);

    auto* centreBox = new QGroupBox("Centre and scope");
    auto* cForm = new QFormLayout(centreBox);
    lon_ = new QLineEdit;
    lat_ = new QLineEdit;
    scope_ = slider(1, 5);
    lineLabel_ = new QLabel("line: ");
    columnLabel_ = new QLabel("column: ");
    cForm->addRow("Longitude:", lon_);
    cForm->addRow("Latitude:", lat_);
    cForm->addRow("Scope:", scope_);
    cForm->addRow(lineLabel_, columnLabel_);
    side->addWidget(centreBox);

    contrastBox_ = new QGroupBox("Contrast");
    auto* kForm = new QFormLayout(contrastBox_);
    stretch_ = new QCheckBox("automatic stretch");
    heightFocus_ = new QCheckBox("height-focus");
    tails_ = new QCheckBox("tails");
    adjustHeight_ = slider(0, 5);
    gamma_ = slider(0, 6);
    contrastLevel_ = slider(-2, 4);
    auto* doContrast = new QPushButton("do contrast!");
    auto* equalize = new QPushButton("equalize");
    kForm->addRow(stretch_);
    kForm->addRow("contrast level", contrastLevel_);
    kForm->addRow(heightFocus_, tails_);
    kForm->addRow("adjust height", adjustHeight_);
    kForm->addRow("gamma strength", gamma_);
    kForm->addRow(doContrast, equalize);
    side->addWidget(contrastBox_);

    auto* overlayBox = new QGroupBox("Overlays");
    auto* oLayout = new QVBoxLayout(overlayBox);
    coastLines_ = new QCheckBox("coast lines");
    waterBounds_ = new QCheckBox("water bounds");
    towns_ = new QCheckBox("towns");
    for (auto* c : {coastLines_, waterBounds_, towns_}) oLayout->addWidget(c);
    auto* shpCoast = new QPushButton("shp_coast");
    shpCoast->setToolTip("Make coast.txt from shore.shp in the station directory");
    oLayout->addWidget(shpCoast);
    connect(shpCoast, &QPushButton::clicked, this, [this] { viewer_->lee_shp(); });
    side->addWidget(overlayBox);

    idle_ = new QCheckBox("idle");
    idle_->setVisible(false);
    idle_->setToolTip("Show the stored products of one entry of the list as a slide show");
    side->addWidget(idle_);
    buildProductControls(side);
    side->addStretch(1);
    row->addLayout(side);

    auto* right = new QVBoxLayout;
    picture_ = new PictureView;
    picture_->setMinimumSize(viewer_->gsize, viewer_->gsizev);
    picture_->setAlignment(Qt::AlignCenter);
    picture_->setText("No picture yet.\nOpen a Native file (Ctrl+O), then Display > Show image (Ctrl+D).");
    auto* scroll = new QScrollArea;
    scroll->setWidget(picture_);
    scroll->setWidgetResizable(true);
    right->addWidget(scroll, 1);
    right->addWidget(buildReadout());
    row->addLayout(right, 1);

    connect(channel_, &QSpinBox::valueChanged, this, [this] { channelChanged(); });
    for (auto* e : {lon_, lat_, red_, green_, blue_})
        connect(e, &QLineEdit::editingFinished, this, [this] { pullControls(); });
    const std::array<QLineEdit*, 3> boxes{red_, green_, blue_};
    for (int p = 0; p < 3; ++p)
        connect(boxes[static_cast<std::size_t>(p)], &QLineEdit::textEdited, this, [this, p, boxes] {
            pullControls();
            const bool absent = viewer_->nc_c(p);
            pushControls();
            boxes[static_cast<std::size_t>(p)]->setToolTip(absent ? "Choose an existing channel" : QString());
            boxes[static_cast<std::size_t>(p)]->setStyleSheet(absent ? "background: #ffe0e0;" : "");
        });
    for (auto* s : {scope_, gamma_, contrastLevel_})
        connect(s, &QSlider::valueChanged, this, [this] { pullControls(); });
    connect(adjustHeight_, &QSlider::valueChanged, this, [this] {
        pullControls();
        viewer_->des_auto();
        pushControls();
    });
    connect(heightFocus_, &QCheckBox::toggled, this, [this] {
        pullControls();
        viewer_->focus_change();
        pushControls();
    });
    for (auto* c : {inverted_, stretch_, tails_, coastLines_, waterBounds_, towns_, ihs_})
        connect(c, &QCheckBox::toggled, this, [this] { pullControls(); });
    connect(doContrast, &QPushButton::clicked, this, [this] { contrast(); });
    connect(equalize, &QPushButton::clicked, this, [this] {
        pullControls();
        viewer_->equalize();
        showPicture();
    });
    connect(picture_, &PictureView::hovered, this, &MainWindow::pointerAt);
    connect(picture_, &PictureView::doubleClicked, this, &MainWindow::probe);
    return central;
}

QWidget* MainWindow::buildReadout() {
    auto* box = new QWidget;
    auto* l = new QHBoxLayout(box);
    l->setContentsMargins(0, 0, 0, 0);
    for (auto** label : {&readLon_, &readLat_, &readLine_, &readColumn_, &readCount_, &readValue_}) {
        *label = new QLabel;
        (*label)->setMinimumWidth(90);
        l->addWidget(*label);
    }
    readValue_->setMinimumWidth(180);
    rangeLabel_ = new QLabel;
    l->addWidget(rangeLabel_);
    l->addStretch(1);
    return box;
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
    c.inverted = inverted_->isChecked();
    c.automaticStretch = stretch_->isChecked();
    c.heightFocus = heightFocus_->isChecked();
    c.tails = tails_->isChecked();
    c.adjustHeight = adjustHeight_->value();
    c.gammaStrength = gamma_->value();
    c.contrastLevel = contrastLevel_->value();
    c.coastLines = coastLines_->isChecked();
    c.waterBounds = waterBounds_->isChecked();
    c.towns = towns_->isChecked();
    c.ihs = ihs_->isChecked();
}

void MainWindow::pushControls() {
    const auto& c = viewer_->controls;
    const QSignalBlocker blocks[] = {QSignalBlocker(channel_),      QSignalBlocker(scope_),
                                     QSignalBlocker(inverted_),     QSignalBlocker(stretch_),
                                     QSignalBlocker(heightFocus_),  QSignalBlocker(tails_),
                                     QSignalBlocker(adjustHeight_), QSignalBlocker(gamma_),
                                     QSignalBlocker(contrastLevel_), QSignalBlocker(coastLines_),
                                     QSignalBlocker(waterBounds_),  QSignalBlocker(towns_),
                                     QSignalBlocker(ihs_)};
    channel_->setValue(QString::fromStdString(c.channel).toInt());
    lon_->setText(QString::fromStdString(c.lon));
    lat_->setText(QString::fromStdString(c.lat));
    red_->setText(QString::fromStdString(c.red));
    green_->setText(QString::fromStdString(c.green));
    blue_->setText(QString::fromStdString(c.blue));
    scope_->setValue(c.scopeSlider);
    inverted_->setChecked(c.inverted);
    stretch_->setChecked(c.automaticStretch);
    heightFocus_->setChecked(c.heightFocus);
    tails_->setChecked(c.tails);
    adjustHeight_->setValue(c.adjustHeight);
    gamma_->setValue(c.gammaStrength);
    contrastLevel_->setValue(c.contrastLevel);
    coastLines_->setChecked(c.coastLines);
    waterBounds_->setChecked(c.waterBounds);
    towns_->setChecked(c.towns);
    ihs_->setChecked(c.ihs);
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

void MainWindow::showPicture() {
    if (viewer_->picture.width <= 0) return;
    QImage image = picture::toQImage(viewer_->picture);
    picture::paintMarks(image, viewer_->marks);
    picture_->setPicture(image);
}

void MainWindow::enablePictureCommands() {
    for (auto& [path, action] : actions_)
        if (action->data().toBool() && commands_.count(path)) action->setEnabled(true);
}

void MainWindow::openImage() {
    pullControls();
    viewer_->abrefiche();
    viewer_->nomcan();
    if (!viewer_->scene.fich.empty()) viewer_->leedatos();
    pushControls();
    refreshWindowFacts();
}

void MainWindow::showImage() {
    build([this] { return viewer_->geogracr(); });
    refreshWindowFacts();
}

void MainWindow::build(const std::function<bool()>& command) {
    pullControls();
    if (command()) {
        showPicture();
        enablePictureCommands();
    }
    rangeLabel_->setText(QString::fromStdString(viewer_->rangeLabel));
    pushControls();
}

void MainWindow::complexComposite() {
    if (!complexDialog_) {
        complexDialog_ = new ComplexCompositeDialog(this);
        connect(complexDialog_, &ComplexCompositeDialog::composeRequested, this, [this] {
            viewer_->complex = complexDialog_->settings(viewer_->complex);
            build([this] { return viewer_->compose(); });
        });
    }
    complexDialog_->setSettings(viewer_->complex);
    complexDialog_->show();
    complexDialog_->raise();
}

void MainWindow::hrvColoured() {
    build([this] { return viewer_->hr_colour(); });
    if (viewer_->prodnr != 1 || !viewer_->geogracr_hecho) return;
    if (!hrvWindow_) {
        hrvWindow_ = new HrvColourWindow(this);
        connect(hrvWindow_, &HrvColourWindow::applyRequested, this, [this] {
            build([this] { return viewer_->hr_colo(hrvWindow_->settings()); });
            if (viewer_->prodnr == 4) hrvWindow_->close();
        });
    }
    hrvWindow_->setSettings(viewer_->hrvColour);
    hrvWindow_->setIhs(viewer_->controls.ihs);
    hrvWindow_->show();
    hrvWindow_->raise();
}

void MainWindow::colourEditor() {
    pullControls();
    const auto opening = viewer_->open_col();
    if (opening.mode == compose::ColourEditorMode::Enhancement) {
        enhancement();
        return;
    }
    if (!colourWindow_) {
        colourWindow_ = new ColourEditorWindow(this);
        connect(colourWindow_, &ColourEditorWindow::sliceRequested, this, [this] {
            pullControls();
            // With the Projection window open the slice goes to its picture.
            if (projection_ && projection_->isVisible()) {
                if (viewer_->colourslice3(colourWindow_->sliceSettings()))
                    projection_->setPicture(picture::toQImage(viewer_->projection));
                return;
            }
            if (viewer_->colourslice(colourWindow_->sliceSettings())) showPicture();
        });
        connect(colourWindow_, &ColourEditorWindow::stepRequested, this, [this](compose::ColourStep step) {
            pullControls();
            if (viewer_->colourStep(step, colourWindow_->stepSettings())) showPicture();
        });
        connect(colourWindow_, &ColourEditorWindow::visibilityChanged, this,
                [this](bool visible) { viewer_->colourEditorOpen = visible; });
    }
    colourWindow_->applyOpening(opening);
    colourWindow_->show();
    colourWindow_->raise();
}

void MainWindow::restrictColour() {
    if (!restrictWindow_) {
        restrictWindow_ = new RestrictColourWindow(this);
        connect(restrictWindow_, &RestrictColourWindow::applyRequested, this, [this] {
            pullControls();
            if (viewer_->recolour(restrictWindow_->settings())) showPicture();
        });
    }
    restrictWindow_->reset();
    restrictWindow_->show();
    restrictWindow_->raise();
}

void MainWindow::remapCorners(bool polar) {
    pullControls();
    const auto corners = viewer_->mercator(polar);
    if (!corners) return;
    auto*& dialog = polar ? polarDialog_ : mercatorDialog_;
    if (!dialog) {
        dialog = new RemapCornersDialog(polar, this);
        connect(dialog, &RemapCornersDialog::projectRequested, this, [this, dialog] {
            display::RemapRequest request;
            if (!dialog->request(request)) {
                host_->message("The corners must be numbers");
                return;
            }
            pullControls();
            if (!viewer_->remapPicture(request)) return;
            showProjection();
        });
    }
    dialog->offer(*corners, viewer_->window.fi, viewer_->window.la);
    dialog->show();
    dialog->raise();
}

void MainWindow::controlComposition() {
    viewer_->muestra_compos();
    compositionBox_->setVisible(viewer_->controls.compositionPanel);
}

void MainWindow::contrast() {
    pullControls();
    viewer_->contrastNormal();
    showPicture();
}

void MainWindow::enhancement() {
    pullControls();
    if (!fineContrast_) {
        fineContrast_ = new FineContrastWindow(this);
        connect(fineContrast_, &FineContrastWindow::applyRequested, this, [this] {
            viewer_->morecon(fineContrast_->sliders(), fineContrast_->spreads());
            showPicture();
        });
        connect(fineContrast_, &FineContrastWindow::normalRequested, this, [this] { contrast(); });
    }
    fineContrast_->setHistogram(viewer_->pictureHistogram());
    fineContrast_->show();
    fineContrast_->raise();
}

void MainWindow::probe(int x, int y) {
    if (!fineContrast_ || !fineContrast_->isVisible()) return;
    const auto r = viewer_->fijaclix(x, y, fineContrast_->referenceArea(), fineContrast_->probeDivisor(),
                                     fineContrast_->probeOffset());
    fineContrast_->setControls(r.sliders, r.spreads);
    viewer_->morecon(r.sliders, r.spreads);
    showPicture();
}

void MainWindow::controlContrast() { contrastBox_->setVisible(!contrastBox_->isVisible()); }

void MainWindow::tidyUp() {
    // Auxiliary windows close; the picture and the scene stay.
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != this && w->isVisible() && w->windowTitle() != "Time display") w->close();
}

void MainWindow::pointerAt(int x, int y) {
    const auto t = viewer_->readtem(x, y);
    readLon_->setText(q(t.lonText));
    readLat_->setText(q(t.latText));
    readLine_->setText(q(t.lineText));
    readColumn_->setText(q(t.columnText));
    readCount_->setText(q(t.countText));
    readValue_->setText(q(t.valueText));
    if (!t.distanceText.empty()) statusBar()->showMessage(q(t.distanceText));
    if (fineContrast_ && fineContrast_->isVisible() && t.inside) {
        const auto cell = viewer_->cellBytes(x, y);
        if (viewer_->shows_single) fineContrast_->setReadoutBars({cell[0]});
        else fineContrast_->setReadoutBars({cell[0], cell[1], cell[2]});
    }
}

void MainWindow::spanishMenu() {
    viewer_->transla();
    const auto& entries = mainMenu();
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (!entries[i].spanish.empty()) captionSetters_[i](q(entries[i].spanish));
    if (auto it = actions_.find("About/Spanish menu"); it != actions_.end()) it->second->setEnabled(false);
}

void MainWindow::openFile(const std::filesystem::path& file) {
    pullControls();
    if (viewer_->abrefiche_secre(file)) {
        viewer_->controls.idleVisible = true;
        viewer_->nomcan();
        viewer_->leedatos();
        host_->status(viewer_->mess(msg::ChooseAction));
    }
    pushControls();
    refreshWindowFacts();
}

int runMainWindow(int argc, char** argv, const std::filesystem::path& station, const std::filesystem::path& file) {
    QApplication app(argc, argv);
    MainWindow w(station);
    w.show();
    if (!file.empty()) w.openFile(file);
    return QApplication::exec();
}

}  // namespace tesmar::ui
