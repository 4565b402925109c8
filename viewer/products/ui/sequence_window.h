#pragma once
// "Choice of product for the sequence": where the pictures go, which kind they are, the file
// format, and the two options; "Go" hands the choice to the main window.

#include <QWidget>
#include <array>
#include <filesystem>

#include "viewer/products/animation.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace tesmar::ui {

class SequenceWindow : public QWidget {
    Q_OBJECT
  public:
    explicit SequenceWindow(QWidget* parent = nullptr);

    // Shows the window with the destination set back to `destination`; the other choices stay
    // as they were left.
    void open(const std::filesystem::path& destination);
    products::SequenceSettings settings() const;

  signals:
    void goRequested();

  private:
    QLineEdit* destination_ = nullptr;
    std::array<QRadioButton*, products::kSequenceTypes.size()> types_{};
    QRadioButton* jpeg_ = nullptr;
    QRadioButton* bitmap_ = nullptr;
    QCheckBox* clean_ = nullptr;
    QCheckBox* zoomed_ = nullptr;
};

}  // namespace tesmar::ui
