#include "viewer/compose/ui/colour_editor_window.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "viewer/compose/colour_scale.h"

namespace tesmar::ui {

namespace {

QString text(const std::string& s) {
    return QString::fromStdString(s);
}

void setTextColour(QLineEdit* field, const display::Rgb& c) {
    QPalette p = field->palette();
    p.setColor(QPalette::Text, QColor(c.r, c.g, c.b));
    field->setPalette(p);
}

QPixmap scalePixmap(bool reverse) {
    const auto image = compose::scaleImage(reverse);
    const QImage q(image.rgb.data(), image.width, image.height, image.width * 3,
                   QImage::Format_RGB888);
    return QPixmap::fromImage(q.copy());
}

}  // namespace

ColourEditorWindow::ColourEditorWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle("Colour editor");
    auto* layout = new QVBoxLayout(this);

    // The intensity, hue and saturation steps.
    steps_ = new QGroupBox;
    auto* grid = new QGridLayout(steps_);
    struct Row {
        const char* label;
        compose::ColourStep minus, plus;
    };
    static const std::array<Row, 3> kRows{{
        {"Intensity", compose::ColourStep::nega_inte, compose::ColourStep::posi_inte},
        {"Hue ", compose::ColourStep::nega_color, compose::ColourStep::posi_color},
        {"Saturation ", compose::ColourStep::nega_satu, compose::ColourStep::posi_satu},
    }};
    for (int i = 0; i < 3; ++i) {
        const auto& row = kRows[static_cast<std::size_t>(i)];
        grid->addWidget(new QLabel(row.label), i, 0);
        auto* minus = new QPushButton("--");
        auto* plus = new QPushButton("+");
        grid->addWidget(minus, i, 1);
        grid->addWidget(plus, i, 2);
        connect(minus, &QPushButton::clicked, this,
                [this, s = row.minus] { emit stepRequested(s); });
        connect(plus, &QPushButton::clicked, this, [this, s = row.plus] { emit stepRequested(s); });
    }
    hueStep_ = new QLineEdit(text(compose::ColourEditorSettings{}.hueStep));
    hueStep_->setMaximumWidth(50);
    grid->addWidget(hueStep_, 1, 3);
    grid->addWidget(new QLabel("o"), 1, 4);
    layout->addWidget(steps_);

    // The slice controls.
    const compose::ColourSliceSettings start;
    slice_ = new QGroupBox;
    auto* sliceLayout = new QVBoxLayout(slice_);
    auto* range = new QHBoxLayout;
    lower_ = new QLineEdit(text(start.lower));
    upper_ = new QLineEdit(text(start.upper));
    lower_->setMaximumWidth(80);
    upper_->setMaximumWidth(80);
    range->addWidget(lower_);
    range->addStretch();
    range->addWidget(upper_);
    sliceLayout->addLayout(range);
    rangeLabel_ = new QLabel(text(start.rangeLabel));
    sliceLayout->addWidget(rangeLabel_);
    scale_ = new QLabel;
    scale_->setFixedSize(compose::kScaleSteps, compose::kScaleImageHeight);
    sliceLayout->addWidget(scale_);
    auto* sliceButton = new QPushButton("Colour slice");
    sliceLayout->addWidget(sliceButton);
    connect(sliceButton, &QPushButton::clicked, this, &ColourEditorWindow::sliceRequested);
    layout->addWidget(slice_);

    reverse_ = new QCheckBox("reverse colour");
    layout->addWidget(reverse_);
    connect(reverse_, &QCheckBox::clicked, this, [this](bool on) {
        recol();
        emit reverseChanged(on);
    });
    recol();
}

void ColourEditorWindow::recol() {
    const auto colours = compose::rangeFieldColours(reverse_->isChecked());
    setTextColour(lower_, colours.lower);
    setTextColour(upper_, colours.upper);
    scale_->setPixmap(scalePixmap(reverse_->isChecked()));
}

compose::ColourSliceSettings ColourEditorWindow::sliceSettings() const {
    compose::ColourSliceSettings s;
    s.lower = lower_->text().toStdString();
    s.upper = upper_->text().toStdString();
    s.rangeLabel = rangeLabel_->text().toStdString();
    s.reverse = reverse_->isChecked();
    return s;
}

void ColourEditorWindow::setSliceSettings(const compose::ColourSliceSettings& s) {
    lower_->setText(text(s.lower));
    upper_->setText(text(s.upper));
    rangeLabel_->setText(text(s.rangeLabel));
    reverse_->setChecked(s.reverse);
    recol();
}

compose::ColourEditorSettings ColourEditorWindow::stepSettings() const {
    compose::ColourEditorSettings s;
    s.hueStep = hueStep_->text().toStdString();
    return s;
}

void ColourEditorWindow::setStepSettings(const compose::ColourEditorSettings& s) {
    hueStep_->setText(text(s.hueStep));
}

void ColourEditorWindow::applyOpening(const compose::ColourEditorOpening& opening) {
    if (opening.mode == compose::ColourEditorMode::Enhancement) return;
    const bool slice = opening.mode == compose::ColourEditorMode::Slice;
    if (!opening.lower.empty()) lower_->setText(text(opening.lower));
    if (!opening.upper.empty()) upper_->setText(text(opening.upper));
    if (!opening.rangeLabel.empty()) rangeLabel_->setText(text(opening.rangeLabel));
    steps_->setVisible(!slice);
    slice_->setVisible(slice);
    resize(width(), opening.height);
}

void ColourEditorWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    emit visibilityChanged(true);
}

void ColourEditorWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    emit visibilityChanged(false);
}

}  // namespace tesmar::ui
