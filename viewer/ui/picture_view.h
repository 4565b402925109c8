#pragma once
// The picture control: shows the rendered picture and reports the pointer over it.

#include <QImage>
#include <QLabel>

namespace tesmar::ui {

class PictureView : public QLabel {
    Q_OBJECT
public:
    explicit PictureView(QWidget* parent = nullptr);
    void setPicture(const QImage& image);

signals:
    void hovered(int x, int y);
    void clicked(int x, int y);
    void doubleClicked(int x, int y);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

}  // namespace tesmar::ui
