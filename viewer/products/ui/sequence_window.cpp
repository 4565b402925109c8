#include "viewer/products/ui/sequence_window.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tesmar::ui {

SequenceWindow::SequenceWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle("Choice of product for the sequence");
    auto* layout = new QVBoxLayout(this);

    auto* where = new QHBoxLayout;
    where->addWidget(new QLabel("Destination directory: "));
    destination_ = new QLineEdit;
    destination_->setMinimumWidth(360);
    where->addWidget(destination_, 1);
    auto* browse = new QPushButton("...");
    browse->setToolTip("Choose the destination folder");
    where->addWidget(browse);
    layout->addLayout(where);

    auto* middle = new QHBoxLayout;
    auto* typeBox = new QGroupBox("Type of product");
    auto* typeLayout = new QVBoxLayout(typeBox);
    for (std::size_t i = 0; i < types_.size(); ++i) {
        const auto caption = products::sequenceTypeCaption(products::kSequenceTypes[i]);
        types_[i] = new QRadioButton(
            QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
        typeLayout->addWidget(types_[i]);
    }
    types_[0]->setChecked(true);
    middle->addWidget(typeBox);

    auto* right = new QVBoxLayout;
    auto* formatBox = new QGroupBox("Format");
    auto* formatLayout = new QVBoxLayout(formatBox);
    jpeg_ = new QRadioButton("Jpeg");
    bitmap_ = new QRadioButton("Bitmap");
    jpeg_->setChecked(true);
    formatLayout->addWidget(jpeg_);
    formatLayout->addWidget(bitmap_);
    right->addWidget(formatBox);
    clean_ = new QCheckBox("First clean it");
    clean_->setToolTip(
        "Delete the pictures an earlier sequence left in the destination (files named by a scene "
        "time)");
    zoomed_ = new QCheckBox("Zoomed as in last zooming");
    zoomed_->setToolTip("Zoom every picture where the last zoom was made");
    right->addWidget(clean_);
    right->addWidget(zoomed_);
    right->addStretch(1);
    middle->addLayout(right);
    layout->addLayout(middle);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* go = new QPushButton("Go");
    auto* cancel = new QPushButton("Cancel");
    go->setDefault(true);
    buttons->addWidget(go);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    connect(browse, &QPushButton::clicked, this, [this] {
        const QString chosen =
            QFileDialog::getExistingDirectory(this, "Destination directory", destination_->text());
        if (!chosen.isEmpty()) destination_->setText(chosen);
    });
    connect(go, &QPushButton::clicked, this, [this] {
        close();
        Q_EMIT goRequested();
    });
    connect(cancel, &QPushButton::clicked, this, [this] { close(); });
}

void SequenceWindow::open(const std::filesystem::path& destination) {
    destination_->setText(QString::fromStdString(destination.string()));
    show();
    raise();
    activateWindow();
}

products::SequenceSettings SequenceWindow::settings() const {
    products::SequenceSettings s;
    s.destination = destination_->text().trimmed().toStdString();
    for (std::size_t i = 0; i < types_.size(); ++i)
        if (types_[i]->isChecked()) s.type = products::kSequenceTypes[i];
    s.bitmap = bitmap_->isChecked();
    s.clean = clean_->isChecked();
    s.zoomed = zoomed_->isChecked();
    return s;
}

}  // namespace tesmar::ui
