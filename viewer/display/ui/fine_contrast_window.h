#pragma once
// "Fine contrast adjustment": centre sliders and spreads per colour plane, the histogram of
// the picture and the bars of the read-out. It holds no arithmetic: it reports its settings.

#include <QWidget>
#include <array>
#include <cstdint>
#include <vector>

class QSlider;
class QSpinBox;
class QChart;
class QLineSeries;
class QBarSeries;
class QLineEdit;
class QValueAxis;

namespace tesmar::ui {

class FineContrastWindow : public QWidget {
    Q_OBJECT
public:
    explicit FineContrastWindow(QWidget* parent = nullptr);

    void setHistogram(const std::array<std::array<int, 256>, 3>& counts);
    // One bar (single-channel pictures) or three (red, green, blue).
    void setReadoutBars(const std::vector<std::uint8_t>& bytes);
    void setControls(const std::array<int, 3>& sliders, const std::array<int, 3>& spreads);

    std::array<int, 3> sliders() const;
    std::array<int, 3> spreads() const;
    int referenceArea() const;
    double probeDivisor() const;
    double probeOffset() const;

signals:
    void applyRequested();
    void normalRequested();

private:
    void moveSliders(int by);
    void moveSpreads(int by);

    std::array<QSlider*, 3> centre_{};
    std::array<QSpinBox*, 3> spread_{};
    QSlider* reference_ = nullptr;
    QLineEdit* divisor_ = nullptr;
    QLineEdit* offset_ = nullptr;
    std::array<QLineSeries*, 3> lines_{};
    QBarSeries* bars_ = nullptr;
    QChart* chart_ = nullptr;
    QValueAxis* axisX_ = nullptr;
    QValueAxis* axisY_ = nullptr;
    QValueAxis* barAxisY_ = nullptr;
    bool quiet_ = false;  // no signals while the controls are set from outside
};

}  // namespace tesmar::ui
