#include "viewer/display/ui/remap_windows.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
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

ProjectionWindow::ProjectionWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle("Projection");
    auto* layout = new QVBoxLayout(this);
    picture_ = new QLabel;
    auto* scroll = new QScrollArea;
    scroll->setWidget(picture_);
    scroll->setWidgetResizable(true);
    layout->addWidget(scroll, 1);
    auto* buttons = new QHBoxLayout;
    auto* take = new QPushButton("Take to Main");
    auto* close = new QPushButton("Close");
    buttons->addStretch(1);
    buttons->addWidget(take);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(take, &QPushButton::clicked, this, &ProjectionWindow::takeToMainRequested);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    resize(960, 820);
}

void ProjectionWindow::setPicture(const QImage& image) {
    picture_->setPixmap(QPixmap::fromImage(image));
    picture_->adjustSize();
}

}  // namespace tesmar::ui
