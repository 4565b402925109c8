#include "viewer/display/ui/fine_contrast_window.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QBarSeries>
#include <QChart>
#include <QChartView>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QValueAxis>
#include <QVBoxLayout>
#include <algorithm>

namespace tesmar::ui {

namespace {
const char* kPlaneNames[3] = {"red", "green", "blue"};
const QColor kPlaneColours[3] = {QColor(220, 40, 40), QColor(30, 160, 60), QColor(40, 80, 220)};
}  // namespace

FineContrastWindow::FineContrastWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle("Fine contrast adjustment");
    auto* layout = new QVBoxLayout(this);

    chart_ = new QChart;
    chart_->legend()->hide();
    for (int p = 0; p < 3; ++p) {
        lines_[static_cast<std::size_t>(p)] = new QLineSeries;
        lines_[static_cast<std::size_t>(p)]->setColor(kPlaneColours[p]);
        chart_->addSeries(lines_[static_cast<std::size_t>(p)]);
    }
    bars_ = new QBarSeries;
    chart_->addSeries(bars_);
    // One value axis pair for the three histograms. The read-out bars stand in one hidden
    // category in the middle of the plot, measured on their own byte axis at the right.
    axisX_ = new QValueAxis;
    axisX_->setRange(0, 255);
    axisX_->setLabelFormat("%d");
    axisX_->setTitleText("value");
    axisY_ = new QValueAxis;
    axisY_->setLabelFormat("%d");
    axisY_->setTitleText("cells");
    chart_->addAxis(axisX_, Qt::AlignBottom);
    chart_->addAxis(axisY_, Qt::AlignLeft);
    for (auto* line : lines_) {
        line->attachAxis(axisX_);
        line->attachAxis(axisY_);
    }
    barAxisY_ = new QValueAxis;
    barAxisY_->setRange(0, 255);
    barAxisY_->setLabelFormat("%d");
    barAxisY_->setTitleText("cell bytes");
    chart_->addAxis(barAxisY_, Qt::AlignRight);
    auto* barAxisX = new QBarCategoryAxis;
    barAxisX->append("cell");
    barAxisX->setVisible(false);
    chart_->addAxis(barAxisX, Qt::AlignBottom);
    bars_->attachAxis(barAxisX);
    bars_->attachAxis(barAxisY_);
    bars_->setBarWidth(0.25);
    auto* view = new QChartView(chart_);
    view->setMinimumSize(460, 260);
    layout->addWidget(view);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel("centre"), 0, 1);
    grid->addWidget(new QLabel("spread"), 0, 2);
    for (int p = 0; p < 3; ++p) {
        auto* s = new QSlider(Qt::Horizontal);
        s->setRange(1, 51);
        s->setValue(26);
        auto* e = new QSpinBox;
        e->setRange(1, 150);
        e->setSingleStep(5);
        e->setValue(30);
        e->setKeyboardTracking(false);  // render once a typed number is complete
        centre_[static_cast<std::size_t>(p)] = s;
        spread_[static_cast<std::size_t>(p)] = e;
        grid->addWidget(new QLabel(kPlaneNames[p]), p + 1, 0);
        grid->addWidget(s, p + 1, 1);
        grid->addWidget(e, p + 1, 2);
        connect(s, &QSlider::valueChanged, this, [this] {
            if (!quiet_) emit applyRequested();
        });
        connect(e, &QSpinBox::valueChanged, this, [this] {
            if (!quiet_) emit applyRequested();
        });
    }
    layout->addLayout(grid);

    auto* buttons = new QHBoxLayout;
    auto addButton = [&](const char* text, auto slot) {
        auto* b = new QPushButton(text);
        b->setMaximumWidth(70);
        connect(b, &QPushButton::clicked, this, slot);
        buttons->addWidget(b);
    };
    buttons->addWidget(new QLabel("centres"));
    addButton("+", [this] { moveSliders(1); });
    addButton("-", [this] { moveSliders(-1); });
    buttons->addWidget(new QLabel("spreads"));
    addButton("+", [this] { moveSpreads(5); });
    addButton("-", [this] { moveSpreads(-5); });
    buttons->addStretch(1);
    addButton("Apply", [this] { emit applyRequested(); });
    addButton("Normal", [this] { emit normalRequested(); });
    layout->addLayout(buttons);

    auto* probe = new QHBoxLayout;
    probe->addWidget(new QLabel("reference area: double click image"));
    reference_ = new QSlider(Qt::Horizontal);
    reference_->setRange(1, 4);
    reference_->setValue(2);
    probe->addWidget(reference_);
    // Kept for the probe's arithmetic; not shown.
    divisor_ = new QLineEdit("1", this);
    offset_ = new QLineEdit("1", this);
    divisor_->hide();
    offset_->hide();
    layout->addLayout(probe);
}

void FineContrastWindow::setHistogram(const std::array<std::array<int, 256>, 3>& counts) {
    int top = 1;
    for (int p = 0; p < 3; ++p) {
        QList<QPointF> points;
        for (int v = 1; v <= 255; ++v) {
            const int n = counts[static_cast<std::size_t>(p)][static_cast<std::size_t>(v)];
            if (n <= 0) continue;
            points.append(QPointF(v, n));
            top = std::max(top, n);
        }
        lines_[static_cast<std::size_t>(p)]->replace(points);
    }
    axisY_->setRange(0, top);
}

void FineContrastWindow::setReadoutBars(const std::vector<std::uint8_t>& bytes) {
    bars_->clear();
    // Side by side in one category: a grey bar for a single channel, else one per plane.
    // Half transparent, so the histogram stays readable behind them.
    const bool planes = bytes.size() == 3;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        auto* set = new QBarSet(planes ? kPlaneNames[i] : "grey");
        QColor colour = planes ? kPlaneColours[i] : QColor(110, 110, 110);
        colour.setAlpha(150);
        set->setColor(colour);
        set->setBorderColor(colour.darker());
        *set << bytes[i];
        bars_->append(set);
    }
}

void FineContrastWindow::setControls(const std::array<int, 3>& sliders, const std::array<int, 3>& spreads) {
    quiet_ = true;
    for (std::size_t p = 0; p < 3; ++p) {
        centre_[p]->setValue(sliders[p]);
        spread_[p]->setValue(spreads[p]);
    }
    quiet_ = false;
}

std::array<int, 3> FineContrastWindow::sliders() const {
    return {centre_[0]->value(), centre_[1]->value(), centre_[2]->value()};
}

std::array<int, 3> FineContrastWindow::spreads() const {
    return {spread_[0]->value(), spread_[1]->value(), spread_[2]->value()};
}

int FineContrastWindow::referenceArea() const { return reference_->value(); }
double FineContrastWindow::probeDivisor() const { return divisor_->text().toDouble(); }
double FineContrastWindow::probeOffset() const { return offset_->text().toDouble(); }

void FineContrastWindow::moveSliders(int by) {
    quiet_ = true;
    for (auto* s : centre_) s->setValue(std::clamp(s->value() + by, 1, 51));
    quiet_ = false;
    emit applyRequested();
}

void FineContrastWindow::moveSpreads(int by) {
    quiet_ = true;
    for (auto* e : spread_) e->setValue(std::clamp(e->value() + by, 1, 150));
    quiet_ = false;
    emit applyRequested();
}

}  // namespace tesmar::ui
