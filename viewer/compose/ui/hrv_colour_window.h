#pragma once
// "HRV coloured": the channel blended into each colour plane of the HRV picture. It holds no
// arithmetic: it reports its entries and asks for the colouring.

#include <QWidget>
#include <array>

#include "viewer/compose/hrv_colour.h"

class QLabel;
class QLineEdit;

namespace tesmar::ui {

class HrvColourWindow : public QWidget {
    Q_OBJECT
  public:
    explicit HrvColourWindow(QWidget* parent = nullptr);

    compose::HrvColourSettings settings() const;
    void setSettings(const compose::HrvColourSettings& settings);
    // The "IHS" option of the main window changed: the plane labels follow it.
    void setIhs(bool ihs);

  signals:
    // The "colour" button.
    void applyRequested();

  private:
    std::array<QLabel*, 3> labels_{};
    std::array<QLineEdit*, 3> fields_{};
};

}  // namespace tesmar::ui
