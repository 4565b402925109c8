#pragma once
// "Product definition": the entries of product.txt and the fields of one entry. It keeps no
// list of its own: the file is read again after every change, and the checks live in the
// product editor.

#include <QWidget>
#include <array>
#include <filesystem>

#include "viewer/products/product_editor.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace tesmar::ui {

class ProductWindow : public QWidget {
    Q_OBJECT
  public:
    explicit ProductWindow(std::filesystem::path productFile, QWidget* parent = nullptr);

    // "Setup product": the main window's centre, the list read again, "zoomed" off.
    void setup(const QString& lon, const QString& lat);
    products::ProductForm form() const;
    // The corners that a Mercator entry keeps (those of the corners window).
    void setCorners(const products::MercatorCorners& corners) { corners_ = corners; }
    void setShowItNowVisible(bool visible);

  signals:
    void showItNowRequested();
    void loopItNowRequested();
    void said(const QString& text);  // what the window tells the user in the status line

  private:
    void reload();
    void choose(const QString& header);
    void addEntry();
    void deleteEntry();
    void kindChosen(char code);
    void sliceClicked();
    void showSliceFields(bool visible);
    void tell(const QString& text, bool warning = false);

    std::filesystem::path file_;
    products::MercatorCorners corners_;
    QComboBox* list_ = nullptr;
    std::array<QLineEdit*, 3> boxes_{};
    std::array<QRadioButton*, 9> kinds_{};
    QLineEdit* lon_ = nullptr;
    QLineEdit* lat_ = nullptr;
    QSpinBox* detail_ = nullptr;
    QCheckBox* zoomed_ = nullptr;
    QCheckBox* mercator_ = nullptr;
    QCheckBox* slicing_ = nullptr;
    QCheckBox* contrast_ = nullptr;
    QLabel* sliceLabel_ = nullptr;
    QLineEdit* lower_ = nullptr;
    QLineEdit* upper_ = nullptr;
    QPushButton* showItNow_ = nullptr;
    QLabel* said_ = nullptr;
};

}  // namespace tesmar::ui
