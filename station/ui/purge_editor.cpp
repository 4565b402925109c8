#include "station/ui/purge_editor.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace station::ui {

namespace {
QString q(const std::string& s) {
    return QString::fromStdString(s);
}
}  // namespace

PurgeEditor::PurgeEditor(std::filesystem::path cdo, QWidget* parent)
    : QDialog(parent), cdo_(std::move(cdo)) {
    setWindowTitle("Purge editor");
    for (auto& f : fields_) {
        f = new QLineEdit;
        f->setMaximumWidth(60);
    }
    // One row per sentence: the text around each field as the user reads it.
    auto* grid = new QGridLayout;
    const auto row = [&](int r, const char* before, int first, const char* middle, int second,
                         const char* after) {
        grid->addWidget(new QLabel(before), r, 0);
        grid->addWidget(fields_[static_cast<std::size_t>(first)], r, 1);
        grid->addWidget(new QLabel(middle), r, 2);
        if (second >= 0) {
            grid->addWidget(fields_[static_cast<std::size_t>(second)], r, 3);
            grid->addWidget(new QLabel(after), r, 4);
        }
    };
    row(0, "Delete hrit (compressed) files older than", 0, "minutes", -1, "");
    row(1, "Delete other received formats older than", 1, "minutes", -1, "");
    row(2, "Keep all native files of the last", 2, "hours, and one per hour of the last", 3,
        "hours");
    row(3, "Keep all product files of the last", 4, "hours, and one per hour of the last", 5,
        "hours");

    estimate_ = new QLabel;
    QFont bold = estimate_->font();
    bold.setBold(true);
    estimate_->setFont(bold);
    auto* accept = new QPushButton("Accept");

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(estimate_);
    layout->addWidget(accept, 0, Qt::AlignRight);

    // A file with a bad value is shown as it is, so the value can be put right here.
    const auto read = readPurgeFields(cdo_);
    const auto values = read ? *read : purgeFields({});
    for (std::size_t i = 0; i < fields_.size(); ++i) fields_[i]->setText(q(values[i]));
    if (!read) QMessageBox::warning(this, windowTitle(), q(read.error()));

    for (auto* f : fields_) connect(f, &QLineEdit::textChanged, this, [this] { showEstimate(); });
    connect(accept, &QPushButton::clicked, this, [this] { save(); });
    showEstimate();
}

PurgeFields PurgeEditor::texts() const {
    PurgeFields t;
    for (std::size_t i = 0; i < fields_.size(); ++i) t[i] = fields_[i]->text().toStdString();
    return t;
}

void PurgeEditor::showEstimate() {
    const auto gb = purgeDiskEstimateGb(texts());
    estimate_->setText(gb ? q(purgeDiskEstimateText(*gb)) : QString());
}

void PurgeEditor::save() {
    const auto policy = parsePurgeFields(texts());
    if (!policy) {
        QMessageBox::warning(this, windowTitle(), q(policy.error()));
        return;
    }
    const auto written = writePurgePolicy(cdo_, *policy);
    if (!written) {
        QMessageBox::warning(this, windowTitle(), q(written.error()));
        return;
    }
    emit purgeSaved();
    accept();
}

}  // namespace station::ui
