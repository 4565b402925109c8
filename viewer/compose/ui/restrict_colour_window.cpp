#include "viewer/compose/ui/restrict_colour_window.h"

#include <QCheckBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace tesmar::ui {

RestrictColourWindow::RestrictColourWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle("Restrict colour components");
    auto* layout = new QVBoxLayout(this);
    static const std::array<const char*, 3> kNames{"Red", "Green", "Blue"};
    for (std::size_t p = 0; p < 3; ++p) {
        planes_[p] = new QCheckBox(kNames[p]);
        layout->addWidget(planes_[p]);
    }
    auto* apply = new QPushButton("Re-colour");
    layout->addWidget(apply);
    connect(apply, &QPushButton::clicked, this, &RestrictColourWindow::applyRequested);
    reset();
}

compose::RestrictColourSettings RestrictColourWindow::settings() const {
    compose::RestrictColourSettings s;
    for (std::size_t p = 0; p < 3; ++p) s.keep[p] = planes_[p]->isChecked();
    return s;
}

void RestrictColourWindow::reset() {
    for (auto* box : planes_) box->setChecked(true);
}

}  // namespace tesmar::ui
