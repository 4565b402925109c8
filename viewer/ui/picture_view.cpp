#include "viewer/ui/picture_view.h"

#include <QMouseEvent>

namespace tesmar::ui {

PictureView::PictureView(QWidget* parent) : QLabel(parent) {
    setMouseTracking(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setStyleSheet("background: #101418; color: #8899aa;");
}

void PictureView::setPicture(const QImage& image) {
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setPixmap(QPixmap::fromImage(image));
}

void PictureView::mouseMoveEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    emit hovered(p.x(), p.y());
}

void PictureView::mousePressEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    emit clicked(p.x(), p.y());
}

void PictureView::mouseDoubleClickEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    emit doubleClicked(p.x(), p.y());
}

}  // namespace tesmar::ui
