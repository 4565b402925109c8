#pragma once
// "Colour editor": the colour slice controls for a single channel or a temperature difference,
// the intensity, hue and saturation steps for other pictures, and "reverse colour". It reads
// its controls and asks for the slice or a step; the range fields' colours and the scale
// image follow "reverse colour" here, as they are only presentation.

#include <QWidget>

#include "viewer/compose/colour_editor.h"
#include "viewer/compose/colour_slice.h"
#include "viewer/compose/ihs_steps.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;

namespace tesmar::ui {

class ColourEditorWindow : public QWidget {
    Q_OBJECT
  public:
    explicit ColourEditorWindow(QWidget* parent = nullptr);

    compose::ColourSliceSettings sliceSettings() const;
    void setSliceSettings(const compose::ColourSliceSettings& settings);
    compose::ColourEditorSettings stepSettings() const;
    void setStepSettings(const compose::ColourEditorSettings& settings);
    // Shows the slice controls or the steps as the opening says, and fills the range fields
    // and label it gives. An Enhancement opening changes nothing.
    void applyOpening(const compose::ColourEditorOpening& opening);

  signals:
    // The button "Colour slice".
    void sliceRequested();
    // One of the six step buttons.
    void stepRequested(compose::ColourStep step);
    // "reverse colour" was clicked (the range fields of the data-overlay windows follow it).
    void reverseChanged(bool reverse);
    // Shown or hidden: while shown, the IHS conversion reads saturation the editor's way.
    void visibilityChanged(bool visible);

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void recol();

    QGroupBox* steps_ = nullptr;
    QGroupBox* slice_ = nullptr;
    QLineEdit* hueStep_ = nullptr;
    QLineEdit* lower_ = nullptr;
    QLineEdit* upper_ = nullptr;
    QLabel* rangeLabel_ = nullptr;
    QLabel* scale_ = nullptr;
    QCheckBox* reverse_ = nullptr;
};

}  // namespace tesmar::ui
