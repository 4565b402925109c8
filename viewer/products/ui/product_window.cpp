#include "viewer/products/ui/product_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace tesmar::ui {

namespace {

const char* const kPrompt = "Selected products:";

// Captions in the order the kinds are checked; the same order as products::kKindOrder.
const std::array<const char*, 9> kKindCaptions{
    "single image (box 1)",
    "colour composite (R:box1, G:box2, B:box3)",
    "difference image (Box1 - Box2)",
    "anaglyph 2-sat (box 1)",
    "Single anaglyph (box 1)",
    "high resolution (R:box1, G:box2, B:box3)",
    "flow-type standard",
    "GOES-E (box 1: channel 1..4 or composite 0)",
    "complex composite (as in Ctrl+X)",
};

QString q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

ProductWindow::ProductWindow(std::filesystem::path productFile, QWidget* parent)
    : QWidget(parent, Qt::Window), file_(std::move(productFile)) {
    setWindowTitle("Product definition");
    auto* layout = new QVBoxLayout(this);

    list_ = new QComboBox;
    list_->setEditable(true);
    list_->setInsertPolicy(QComboBox::NoInsert);
    list_->setMinimumWidth(420);
    list_->setToolTip("Choose an entry to see it, or type the name of a new one");
    layout->addWidget(list_);

    auto* middle = new QHBoxLayout;
    auto* kindsBox = new QGroupBox("Kind of product");
    auto* kindsLayout = new QVBoxLayout(kindsBox);
    for (std::size_t i = 0; i < kinds_.size(); ++i) {
        kinds_[i] = new QRadioButton(kKindCaptions[i]);
        kindsLayout->addWidget(kinds_[i]);
        const char code = products::kKindOrder[i];
        connect(kinds_[i], &QRadioButton::clicked, this, [this, code] { kindChosen(code); });
    }
    kinds_[0]->setChecked(true);
    middle->addWidget(kindsBox);

    auto* fields = new QVBoxLayout;
    auto* boxesBox = new QGroupBox("Boxes");
    auto* boxesLayout = new QGridLayout(boxesBox);
    const std::array<const char*, 3> starts{"3", "2", "1"};
    for (std::size_t i = 0; i < 3; ++i) {
        boxes_[i] = new QLineEdit(starts[i]);
        boxes_[i]->setMaximumWidth(60);
        boxesLayout->addWidget(new QLabel(QString("Box %1").arg(i + 1)), 0, static_cast<int>(i));
        boxesLayout->addWidget(boxes_[i], 1, static_cast<int>(i));
    }
    fields->addWidget(boxesBox);

    auto* centreBox = new QGroupBox("Centred around");
    auto* centreForm = new QFormLayout(centreBox);
    lon_ = new QLineEdit("0");
    lat_ = new QLineEdit("0");
    detail_ = new QSpinBox;
    detail_->setRange(1, 5);
    detail_->setValue(5);
    centreForm->addRow("Longitude (E)", lon_);
    centreForm->addRow("Latitude (N)", lat_);
    centreForm->addRow("Detailed", detail_);
    fields->addWidget(centreBox);

    auto* optionsBox = new QGroupBox("Options");
    auto* optionsLayout = new QGridLayout(optionsBox);
    zoomed_ = new QCheckBox("zoomed");
    mercator_ = new QCheckBox("mercator");
    mercator_->setToolTip("The corners of the Remap > Mercator window are kept with the entry");
    slicing_ = new QCheckBox("slicing");
    contrast_ = new QCheckBox("contrast");
    contrast_->setToolTip("Used by Show_it_now only");
    sliceLabel_ = new QLabel("min....max");
    lower_ = new QLineEdit("-3");
    upper_ = new QLineEdit("120");
    lower_->setMaximumWidth(60);
    upper_->setMaximumWidth(60);
    optionsLayout->addWidget(zoomed_, 0, 0);
    optionsLayout->addWidget(mercator_, 0, 1);
    optionsLayout->addWidget(contrast_, 0, 2);
    optionsLayout->addWidget(slicing_, 1, 0);
    optionsLayout->addWidget(sliceLabel_, 1, 1);
    auto* sliceFields = new QHBoxLayout;
    sliceFields->addWidget(lower_);
    sliceFields->addWidget(upper_);
    optionsLayout->addLayout(sliceFields, 1, 2);
    fields->addWidget(optionsBox);
    fields->addStretch(1);
    middle->addLayout(fields);
    layout->addLayout(middle);
    showSliceFields(false);

    auto* buttons = new QHBoxLayout;
    auto* add = new QPushButton("Add_entry");
    auto* remove = new QPushButton("Delete_entry");
    showItNow_ = new QPushButton("Show_it_now");
    showItNow_->setVisible(false);
    auto* loop = new QPushButton("Loop_it_now");
    auto* close = new QPushButton("Close");
    for (auto* b : {add, remove, showItNow_, loop, close}) buttons->addWidget(b);
    layout->addLayout(buttons);
    said_ = new QLabel;
    said_->setWordWrap(true);
    layout->addWidget(said_);

    connect(list_, &QComboBox::activated, this, [this](int index) { choose(list_->itemText(index)); });
    connect(zoomed_, &QCheckBox::clicked, this, [this](bool on) {
        if (on) detail_->setValue(5);
    });
    connect(slicing_, &QCheckBox::clicked, this, [this] { sliceClicked(); });
    connect(add, &QPushButton::clicked, this, [this] { addEntry(); });
    connect(remove, &QPushButton::clicked, this, [this] { deleteEntry(); });
    connect(showItNow_, &QPushButton::clicked, this, &ProductWindow::showItNowRequested);
    connect(loop, &QPushButton::clicked, this, &ProductWindow::loopItNowRequested);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    reload();
}

void ProductWindow::setup(const QString& lon, const QString& lat) {
    lon_->setText(lon);
    lat_->setText(lat);
    reload();
    list_->setEditText("Selected products: ");
    zoomed_->setChecked(false);
}

void ProductWindow::setShowItNowVisible(bool visible) { showItNow_->setVisible(visible); }

products::ProductForm ProductWindow::form() const {
    products::ProductForm f;
    f.listText = list_->currentText().toStdString();
    for (std::size_t i = 0; i < kinds_.size(); ++i)
        if (kinds_[i]->isChecked()) {
            f.code = products::kKindOrder[i];
            break;
        }
    f.box1 = boxes_[0]->text().toStdString();
    f.box2 = boxes_[1]->text().toStdString();
    f.box3 = boxes_[2]->text().toStdString();
    f.lon = lon_->text().toStdString();
    f.lat = lat_->text().toStdString();
    f.detail = detail_->value();
    f.zoomed = zoomed_->isChecked();
    f.mercator = mercator_->isChecked();
    f.slicing = slicing_->isChecked();
    f.contrast = contrast_->isChecked();
    f.lower = lower_->text().toStdString();
    f.upper = upper_->text().toStdString();
    return f;
}

void ProductWindow::reload() {
    const QString typed = list_->currentText();
    list_->clear();
    const auto list = products::loadProductList(file_);
    if (!list) {
        tell(q(list.error()), true);
        return;
    }
    for (const auto& e : list->entries) list_->addItem(q(e.header));
    list_->setEditText(typed.isEmpty() ? QString(kPrompt) : typed);
}

void ProductWindow::choose(const QString& header) {
    const auto list = products::loadProductList(file_);
    if (!list) return;
    const auto* entry = products::findEntry(*list, header.toStdString());
    if (!entry) return;
    const auto f = products::formFromEntry(*entry);
    zoomed_->setChecked(f.zoomed);
    mercator_->setChecked(f.mercator);
    slicing_->setChecked(f.slicing);
    showSliceFields(f.slicing);
    if (f.slicing) {
        lower_->setText(q(f.lower));
        upper_->setText(q(f.upper));
    }
    for (std::size_t i = 0; i < kinds_.size(); ++i)
        if (products::kKindOrder[i] == entry->code) kinds_[i]->setChecked(true);
    boxes_[0]->setText(q(f.box1));
    boxes_[1]->setText(q(f.box2));
    boxes_[2]->setText(q(f.box3));
    lon_->setText(q(f.lon));
    lat_->setText(q(f.lat));
    detail_->setValue(f.detail);
    list_->setEditText(header);
}

void ProductWindow::addEntry() {
    auto f = form();
    // The fields show the numbers as they are stored.
    f.lon = products::cutNumber(f.lon);
    f.lat = products::cutNumber(f.lat);
    lon_->setText(q(f.lon));
    lat_->setText(q(f.lat));
    if (f.slicing && products::sliceOffered(f)) {
        lower_->setText(q(products::cutNumber(f.lower)));
        upper_->setText(q(products::cutNumber(f.upper)));
    }
    const auto added = products::addEntry(file_, f, corners_);
    if (!added) {
        tell(q(added.error()), true);
        return;
    }
    tell("You have added " + q(*added));
    list_->setEditText(kPrompt);
    reload();
}

void ProductWindow::deleteEntry() {
    const QString header = list_->currentText();
    const auto deleted = products::deleteEntry(file_, header.toStdString());
    if (!deleted) {
        tell(q(deleted.error()), true);
        return;
    }
    tell("You have deleted the entry " + header);
    list_->setEditText(kPrompt);
    reload();
}

void ProductWindow::kindChosen(char code) {
    if (code == 'a' && detail_->value() < 4) detail_->setValue(5);
    if (code == 'c' || code == 'h' || code == 'f' || code == 'n' || code == 'b' || code == 'a') {
        slicing_->setChecked(false);
        showSliceFields(false);
    }
}

void ProductWindow::sliceClicked() {
    if (products::sliceOffered(form())) {
        showSliceFields(slicing_->isChecked());
        return;
    }
    slicing_->setChecked(false);
    showSliceFields(false);
}

void ProductWindow::showSliceFields(bool visible) {
    for (QWidget* w : std::initializer_list<QWidget*>{sliceLabel_, lower_, upper_}) w->setVisible(visible);
}

void ProductWindow::tell(const QString& text, bool warning) {
    said_->setText(text);
    if (warning) QMessageBox::information(this, "Product definition", text);
    emit said(text);
}

}  // namespace tesmar::ui
