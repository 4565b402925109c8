#include "viewer/conversion/ui/hrit_window.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace tesmar::ui {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

// A folder field with its "..." chooser.
QHBoxLayout* folderRow(QLineEdit* field, const QString& title, QWidget* parent) {
    auto* row = new QHBoxLayout;
    auto* choose = new QPushButton("...");
    choose->setMaximumWidth(36);
    row->addWidget(field, 1);
    row->addWidget(choose);
    QObject::connect(choose, &QPushButton::clicked, parent, [field, title, parent] {
        const QString dir = QFileDialog::getExistingDirectory(parent, title, field->text());
        if (!dir.isEmpty()) field->setText(dir);
    });
    return row;
}

}  // namespace

HritWindow::HritWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle("HRIT to NATIVE");
    const conversion::ConversionOptions defaults;
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    source_ = new QLineEdit;
    destination_ = new QLineEdit;
    form->addRow("HRIT files location: ", folderRow(source_, "Select the source directory with your HRIT files", this));
    form->addRow("NAT file destination: ",
                 folderRow(destination_, "Select the destination directory for your NAT results", this));
    auto* dates = new QHBoxLayout;
    start_ = new QLineEdit(q(defaults.start));
    end_ = new QLineEdit(q(defaults.end));
    dates->addWidget(start_);
    dates->addWidget(new QLabel("until"));
    dates->addWidget(end_);
    form->addRow("DATES: From ", dates);
    layout->addLayout(form);

    recursive_ = new QCheckBox("recursive in subdirectories");
    regional_ = new QCheckBox("Regional scan (5 minute) segments");
    uncompressedOnly_ = new QCheckBox("Not using compressed ( -C_) segments");
    for (auto* c : {recursive_, regional_, uncompressedOnly_}) layout->addWidget(c);
    auto* thresholdRow = new QHBoxLayout;
    threshold_ = new QCheckBox("Only generate NAT for more than ");
    threshold_->setChecked(defaults.threshold);
    percentage_ = new QLineEdit(q(defaults.percentage));
    percentage_->setMaximumWidth(48);
    thresholdRow->addWidget(threshold_);
    thresholdRow->addWidget(percentage_);
    thresholdRow->addWidget(new QLabel("% of HRIT segments available"));
    thresholdRow->addStretch(1);
    layout->addLayout(thresholdRow);
    clean_ = new QCheckBox("Delete decompressed segments after done");
    clean_->setChecked(defaults.clean);
    layout->addWidget(clean_);

    auto* buttons = new QHBoxLayout;
    auto* start = new QPushButton("Start conversion");
    auto* exit = new QPushButton("Exit");
    buttons->addWidget(start);
    buttons->addWidget(exit);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    auto* statusRow = new QHBoxLayout;
    lamp_ = new QLabel;
    lamp_->setFixedSize(16, 16);
    status_ = new QLabel;
    status_->setWordWrap(true);
    statusRow->addWidget(lamp_);
    statusRow->addWidget(status_, 1);
    layout->addLayout(statusRow);
    setStatus("Not started", Lamp::Rest);

    connect(start, &QPushButton::clicked, this, &HritWindow::startRequested);
    connect(exit, &QPushButton::clicked, this, &QWidget::close);
    resize(620, 320);
}

conversion::ConversionOptions HritWindow::options() const {
    conversion::ConversionOptions o;
    o.source = source_->text().trimmed().toStdString();
    o.destination = destination_->text().trimmed().toStdString();
    o.start = start_->text().trimmed().toStdString();
    o.end = end_->text().trimmed().toStdString();
    o.recursive = recursive_->isChecked();
    o.regional = regional_->isChecked();
    o.uncompressedOnly = uncompressedOnly_->isChecked();
    o.threshold = threshold_->isChecked();
    o.percentage = percentage_->text().trimmed().toStdString();
    o.clean = clean_->isChecked();
    return o;
}

void HritWindow::setOptions(const conversion::ConversionOptions& o) {
    start_->setText(q(o.start));
    end_->setText(q(o.end));
    percentage_->setText(q(o.percentage));
}

void HritWindow::setStatus(const QString& text, Lamp lamp) {
    static const char* const colours[] = {"white", "red", "maroon", "yellow", "green"};
    lamp_->setStyleSheet(QString("background: %1; border: 1px solid gray; border-radius: 8px;")
                             .arg(colours[static_cast<int>(lamp)]));
    status_->setText(text);
}

SlotSelectionDialog::SlotSelectionDialog(const std::vector<conversion::SlotCount>& offered, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle("Select times for NAT creation");
    auto* layout = new QVBoxLayout(this);
    list_ = new QListWidget;
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    for (const auto& s : offered) {
        auto* item = new QListWidgetItem(q(s.slot));
        item->setToolTip(QString("%1 segment files").arg(s.files));
        item->setData(Qt::UserRole, q(s.slot));
        list_->addItem(item);
    }
    layout->addWidget(list_);
    layout->addWidget(new QLabel("Use only the above selected dates for NAT generation"));
    auto* buttons = new QHBoxLayout;
    auto* go = new QPushButton("Go");
    auto* cancel = new QPushButton("Cancel");
    buttons->addWidget(go);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(go, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

std::vector<std::string> SlotSelectionDialog::chosen() const {
    std::vector<std::string> picked;
    for (int i = 0; i < list_->count(); ++i)
        if (list_->item(i)->isSelected()) picked.push_back(list_->item(i)->data(Qt::UserRole).toString().toStdString());
    return picked;
}

}  // namespace tesmar::ui
