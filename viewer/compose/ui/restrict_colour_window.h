#pragma once
// "Restrict colour components": which colour planes stay. It reads its boxes and asks for
// the re-colouring.

#include <QWidget>
#include <array>

#include "viewer/compose/restrict_colour.h"

class QCheckBox;

namespace tesmar::ui {

class RestrictColourWindow : public QWidget {
    Q_OBJECT
  public:
    explicit RestrictColourWindow(QWidget* parent = nullptr);

    compose::RestrictColourSettings settings() const;
    // Checks all three boxes, as every opening of the window does.
    void reset();

  signals:
    // The button "Re-colour".
    void applyRequested();

  private:
    std::array<QCheckBox*, 3> planes_{};
};

}  // namespace tesmar::ui
