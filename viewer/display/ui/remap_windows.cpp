#include "viewer/display/ui/remap_windows.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>

namespace tesmar::ui {

RemapCornersDialog::RemapCornersDialog(bool polar, QWidget* parent) : QDialog(parent), polar_(polar) {
    setWindowTitle(polar ? "Choose stereographic parameters" : "Choose Mercator projection corners");
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    for (auto& e : entries_) e = new QLineEdit("0");
    auto pair = [](QLineEdit* a, QLineEdit* b) {
        auto* row = new QHBoxLayout;
        row->addWidget(a);
        row->addWidget(b);
        return row;
    };
    form->addRow("Lower east corner", pair(entries_[0], entries_[1]));
    form->addRow("Upper west corner", pair(entries_[2], entries_[3]));
    if (polar) form->addRow("Central reference:", pair(entries_[4], entries_[5]));
    layout->addLayout(form);
    freeze_ = new QCheckBox("Freeze these values");
    oneToOne_ = new QCheckBox(polar ? "1:1 degree ratio" : "1:1 kilometer");
    layout->addWidget(freeze_);
    layout->addWidget(oneToOne_);
    if (!polar) {
        oneToOne_->hide();  // set by the product cycle
        google_ = new QCheckBox("Google earth");
        layout->addWidget(google_);
        connect(google_, &QCheckBox::toggled, this, [this](bool on) {
            if (on) oneToOne_->setChecked(false);
        });
    }
    auto* go = new QPushButton(polar ? "Go ahead" : "Project it");
    layout->addWidget(go);
    connect(go, &QPushButton::clicked, this, &RemapCornersDialog::projectRequested);
}

bool RemapCornersDialog::frozen() const { return freeze_->isChecked(); }

void RemapCornersDialog::offer(const display::Corners& c, double lon0, double lat0) {
    if (frozen()) return;
    const double values[6] = {c.east, c.south, c.west, c.north, lon0, lat0};
    for (std::size_t i = 0; i < 6; ++i) entries_[i]->setText(QString::number(values[i], 'f', 1));
}

bool RemapCornersDialog::request(display::RemapRequest& out) const {
    std::array<double, 6> v{};
    for (std::size_t i = 0; i < 6; ++i) {
        bool ok = false;
        v[i] = entries_[i]->text().toDouble(&ok);
        if (!ok) return false;
    }
    out.corners = {v[0], v[1], v[2], v[3]};
    out.polar = polar_;
    out.lon0 = v[4];
    out.lat0 = v[5];
    out.oneToOne = oneToOne_->isChecked();
    out.plateCarree = google_ && google_->isChecked();
    return true;
}

display::OverlayCorners RemapCornersDialog::typedCorners() const {
    auto text = [this](std::size_t i) { return entries_[i]->text().trimmed().toStdString(); };
    return {text(3), text(1), text(0), text(2)};
}

ProjectionWindow::ProjectionWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle("Projection");
    auto* layout = new QVBoxLayout(this);
    picture_ = new QLabel;
    auto* scroll = new QScrollArea;
    scroll->setWidget(picture_);
    scroll->setWidgetResizable(true);
    layout->addWidget(scroll, 1);
    auto* buttons = new QHBoxLayout;
    auto* saveBitmap = new QPushButton("Save as bitmap");
    auto* saveGoogle = new QPushButton("Save for GoogleE..");
    auto* take = new QPushButton("Take to Main");
    auto* close = new QPushButton("Close");
    buttons->addWidget(saveBitmap);
    buttons->addWidget(saveGoogle);
    buttons->addStretch(1);
    buttons->addWidget(take);
    buttons->addWidget(close);
    layout->addLayout(buttons);

    // Each side moves by 0.02 degrees a step away from 50.
    nudgePanel_ = new QWidget;
    auto* nudgeRow = new QHBoxLayout(nudgePanel_);
    nudgeRow->setContentsMargins(0, 0, 0, 0);
    const std::array<const char*, 4> sides{"north", "south", "east", "west"};
    for (std::size_t i = 0; i < 4; ++i) {
        nudges_[i] = new QSpinBox;
        nudges_[i]->setRange(0, 100);
        nudges_[i]->setValue(50);
        nudgeRow->addWidget(new QLabel(sides[i]));
        nudgeRow->addWidget(nudges_[i]);
    }
    auto* nudge = new QPushButton("Nudge");
    auto* zero = new QPushButton("0");
    zero->setToolTip("All four sides back to 50");
    nudgeRow->addWidget(nudge);
    nudgeRow->addWidget(zero);
    nudgeRow->addStretch(1);
    layout->addWidget(nudgePanel_);
    nudgePanel_->setVisible(false);
    connect(saveBitmap, &QPushButton::clicked, this, &ProjectionWindow::saveBitmapRequested);
    connect(saveGoogle, &QPushButton::clicked, this, &ProjectionWindow::saveGoogleEarthRequested);
    connect(nudge, &QPushButton::clicked, this, &ProjectionWindow::nudgeRequested);
    connect(zero, &QPushButton::clicked, this, [this] {
        for (auto* n : nudges_) n->setValue(50);
    });
    connect(take, &QPushButton::clicked, this, &ProjectionWindow::takeToMainRequested);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    resize(960, 820);
}

void ProjectionWindow::showNudgePanel(bool visible) { nudgePanel_->setVisible(visible); }

std::array<int, 4> ProjectionWindow::nudgeSettings() const {
    return {nudges_[0]->value(), nudges_[1]->value(), nudges_[2]->value(), nudges_[3]->value()};
}

void ProjectionWindow::closeEvent(QCloseEvent* event) {
    nudgePanel_->setVisible(false);
    QWidget::closeEvent(event);
}

void ProjectionWindow::setPicture(const QImage& image) {
    picture_->setPixmap(QPixmap::fromImage(image));
    picture_->adjustSize();
}

}  // namespace tesmar::ui
