#include "viewer/compose/ui/complex_composite_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace tesmar::ui {

namespace {
const char* kColours[3] = {"RED", "GREEN", "BLUE"};
}

ComplexCompositeDialog::ComplexCompositeDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Complex composite");
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    auto* maxLabel = new QLabel("Max_diff:");
    auto* minLabel = new QLabel("Min_diff:");
    auto* gammaLabel = new QLabel("Gamma:");
    auto* gammaHint = new QLabel("0.5, 1 .. 2.5");
    grid->addWidget(maxLabel, 2, 0);
    grid->addWidget(minLabel, 3, 0);
    grid->addWidget(gammaLabel, 4, 0);
    for (int k = 0; k < 3; ++k) {
        const auto i = static_cast<std::size_t>(k);
        grid->addWidget(new QLabel(kColours[k]), 0, k + 1, Qt::AlignCenter);
        auto* pair = new QHBoxLayout;
        minuend_[i] = new QLineEdit;
        subtrahend_[i] = new QLineEdit;
        minuend_[i]->setMaximumWidth(40);
        subtrahend_[i]->setMaximumWidth(40);
        pair->addWidget(minuend_[i]);
        pair->addWidget(new QLabel("-"));
        pair->addWidget(subtrahend_[i]);
        grid->addLayout(pair, 1, k + 1);
        top_[i] = new QLineEdit;
        bottom_[i] = new QLineEdit;
        gamma_[i] = new QSlider(Qt::Horizontal);
        gamma_[i]->setRange(1, 5);
        grid->addWidget(top_[i], 2, k + 1);
        grid->addWidget(bottom_[i], 3, k + 1);
        grid->addWidget(gamma_[i], 4, k + 1);
    }
    grid->addWidget(gammaHint, 5, 1, 1, 3);
    layout->addLayout(grid);
    fixed_ = new QCheckBox("fixed ranges and gamma");
    noColourAbove_ = new QCheckBox("No colour above range");
    layout->addWidget(fixed_);
    layout->addWidget(noColourAbove_);
    auto* buttons = new QHBoxLayout;
    auto* compose = new QPushButton("Compose");
    auto* cancel = new QPushButton("Cancel");
    buttons->addStretch(1);
    buttons->addWidget(compose);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    fixedOnly_ = {maxLabel, minLabel, gammaLabel, gammaHint};
    connect(fixed_, &QCheckBox::toggled, this, &ComplexCompositeDialog::showFixed);
    connect(compose, &QPushButton::clicked, this, &ComplexCompositeDialog::composeRequested);
    connect(cancel, &QPushButton::clicked, this, &QDialog::close);
    setSettings({});
}

void ComplexCompositeDialog::showFixed(bool on) {
    for (auto* w : fixedOnly_) w->setVisible(on);
    for (std::size_t k = 0; k < 3; ++k) {
        top_[k]->setVisible(on);
        bottom_[k]->setVisible(on);
        gamma_[k]->setVisible(on);
    }
}

void ComplexCompositeDialog::setSettings(const compose::ComplexSettings& s) {
    for (std::size_t k = 0; k < 3; ++k) {
        minuend_[k]->setText(QString::number(s.planes[k].a));
        subtrahend_[k]->setText(QString::number(s.planes[k].b));
        top_[k]->setText(QString::number(s.planes[k].top));
        bottom_[k]->setText(QString::number(s.planes[k].bottom));
        gamma_[k]->setValue(s.planes[k].gamma);
    }
    fixed_->setChecked(s.fixedRanges);
    noColourAbove_->setChecked(s.noColourAbove);
    showFixed(s.fixedRanges);
}

compose::ComplexSettings ComplexCompositeDialog::settings(const compose::ComplexSettings& previous) const {
    compose::ComplexSettings s = previous;
    for (std::size_t k = 0; k < 3; ++k) {
        bool ok = false;
        if (const int a = minuend_[k]->text().toInt(&ok); ok) s.planes[k].a = a;
        if (const int b = subtrahend_[k]->text().toInt(&ok); ok) s.planes[k].b = b;
        if (const double t = top_[k]->text().toDouble(&ok); ok) s.planes[k].top = t;
        if (const double b = bottom_[k]->text().toDouble(&ok); ok) s.planes[k].bottom = b;
        s.planes[k].gamma = gamma_[k]->value();
    }
    s.fixedRanges = fixed_->isChecked();
    s.noColourAbove = noColourAbove_->isChecked();
    return s;
}

}  // namespace tesmar::ui
