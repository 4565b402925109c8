#include "viewer/compose/ui/hrv_colour_window.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tesmar::ui {

HrvColourWindow::HrvColourWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle("Colouring high res visible wih additional channels");
    auto* grid = new QGridLayout(this);
    // Until "IHS" is first switched the labels keep their capitals.
    static const std::array<const char*, 3> kStartLabels{"RED", "GREEN", "BLUE"};
    const compose::HrvColourSettings start;
    for (std::size_t p = 0; p < 3; ++p) {
        labels_[p] = new QLabel(kStartLabels[p]);
        fields_[p] = new QLineEdit(QString::fromStdString(start.channels[p]));
        fields_[p]->setMaximumWidth(60);
        labels_[p]->setBuddy(fields_[p]);
        grid->addWidget(labels_[p], 0, static_cast<int>(p));
        grid->addWidget(fields_[p], 1, static_cast<int>(p));
    }
    auto* colour = new QPushButton("colour");
    grid->addWidget(colour, 2, 0, 1, 3);
    connect(colour, &QPushButton::clicked, this, &HrvColourWindow::applyRequested);
}

compose::HrvColourSettings HrvColourWindow::settings() const {
    compose::HrvColourSettings s;
    for (std::size_t p = 0; p < 3; ++p) s.channels[p] = fields_[p]->text().toStdString();
    return s;
}

void HrvColourWindow::setSettings(const compose::HrvColourSettings& s) {
    for (std::size_t p = 0; p < 3; ++p) fields_[p]->setText(QString::fromStdString(s.channels[p]));
}

void HrvColourWindow::setIhs(bool ihs) {
    const auto names = compose::ihsLabels(ihs);
    for (std::size_t p = 0; p < 3; ++p)
        labels_[p]->setText(
            QString::fromUtf8(names[p].data(), static_cast<qsizetype>(names[p].size())));
}

}  // namespace tesmar::ui
