#pragma once
// "HRIT to NATIVE": the conversion's fields, its status line with the lamp, and the slot
// selection window. The window only collects settings and shows progress; the conversion
// itself is the core's.

#include <QDialog>
#include <QWidget>

#include "viewer/conversion/hrit_conversion.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;

namespace tesmar::ui {

class HritWindow : public QWidget {
    Q_OBJECT
  public:
    enum class Lamp { Rest, Refused, Counting, Assembling, Done };

    explicit HritWindow(QWidget* parent = nullptr);
    conversion::ConversionOptions options() const;
    // The fields as the checks left them (a bad date is reset).
    void setOptions(const conversion::ConversionOptions& options);
    void setStatus(const QString& text, Lamp lamp);

  signals:
    void startRequested();

  private:
    QLineEdit* source_ = nullptr;
    QLineEdit* destination_ = nullptr;
    QLineEdit* start_ = nullptr;
    QLineEdit* end_ = nullptr;
    QCheckBox* recursive_ = nullptr;
    QCheckBox* regional_ = nullptr;
    QCheckBox* uncompressedOnly_ = nullptr;
    QCheckBox* threshold_ = nullptr;
    QLineEdit* percentage_ = nullptr;
    QCheckBox* clean_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* lamp_ = nullptr;
};

// "Select times for NAT creation": the offered slots, several may be chosen.
class SlotSelectionDialog : public QDialog {
    Q_OBJECT
  public:
    SlotSelectionDialog(const std::vector<conversion::SlotCount>& offered, QWidget* parent = nullptr);
    std::vector<std::string> chosen() const;

  private:
    QListWidget* list_ = nullptr;
};

}  // namespace tesmar::ui
