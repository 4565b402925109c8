#pragma once
// "Complex composite": a channel difference, a fixed range and a gamma per colour. The dialog
// shows a settings record and gives it back; "Compose" asks the main window to build.

#include <QDialog>
#include <array>

#include "viewer/compose/recipes.h"

class QLineEdit;
class QSlider;
class QCheckBox;
class QLabel;

namespace tesmar::ui {

class ComplexCompositeDialog : public QDialog {
    Q_OBJECT
public:
    explicit ComplexCompositeDialog(QWidget* parent = nullptr);

    void setSettings(const compose::ComplexSettings& settings);
    // The settings as typed; channel and range texts that are not numbers keep their values.
    compose::ComplexSettings settings(const compose::ComplexSettings& previous) const;

signals:
    void composeRequested();

private:
    void showFixed(bool on);

    std::array<QLineEdit*, 3> minuend_{}, subtrahend_{}, top_{}, bottom_{};
    std::array<QSlider*, 3> gamma_{};
    QCheckBox* fixed_ = nullptr;
    QCheckBox* noColourAbove_ = nullptr;
    std::array<QWidget*, 4> fixedOnly_{};
};

}  // namespace tesmar::ui
