#include "viewer/display/picture/qt_picture.h"

#include <algorithm>
#include <QFont>
#include <QPainter>
#include <cstring>

namespace tesmar::picture {

namespace {
QColor colour(const display::Rgb& c) { return QColor(c.r, c.g, c.b); }
}  // namespace

QImage toQImage(const display::Image24& image) {
    QImage out(image.width, image.height, QImage::Format_RGB888);
    for (int y = 0; y < image.height; ++y)
        std::memcpy(out.scanLine(y), image.pixel(0, y), static_cast<std::size_t>(image.width) * 3);
    return out;
}

display::Image24 fromQImage(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    display::Image24 out(rgb.width(), rgb.height());
    for (int y = 0; y < rgb.height(); ++y)
        std::memcpy(out.pixel(0, y), rgb.constScanLine(y), static_cast<std::size_t>(rgb.width()) * 3);
    return out;
}

void paintMarks(QImage& image, const display::DrawList& marks) {
    if (marks.empty()) return;
    QPainter p(&image);
    QFont font = p.font();
    font.setPixelSize(11);
    p.setFont(font);
    for (const auto& m : marks) {
        p.setPen(colour(m.pen));
        switch (m.kind) {
            case display::DrawOp::Kind::Line: p.drawLine(m.x1, m.y1, m.x2, m.y2); break;
            case display::DrawOp::Kind::Square:
                p.setBrush(colour(m.fill));
                p.drawRect(QRect(QPoint(m.x1, m.y1), QPoint(m.x2, m.y2)));
                break;
            case display::DrawOp::Kind::Circle:
                p.setBrush(colour(m.fill));
                p.drawEllipse(QRect(QPoint(m.x1, m.y1), QPoint(m.x2, m.y2)));
                break;
            case display::DrawOp::Kind::Text: {
                // As wide as the picture: a long title must not be cut short.
                const QRect room(m.x1, m.y1, std::max(image.width() - m.x1, 1), 40);
                const QString text = QString::fromStdString(m.text);
                if (m.boxed) {
                    const QRect used = p.boundingRect(room, Qt::AlignLeft | Qt::AlignTop, text);
                    p.fillRect(used.adjusted(-2, 0, 2, 0), QColor(255, 255, 255, 190));
                }
                p.drawText(room, Qt::AlignLeft | Qt::AlignTop, text);
                break;
            }
        }
    }
}

void paintMarks(display::Image24& image, const display::DrawList& marks) {
    if (marks.empty()) return;
    QImage q = toQImage(image);
    paintMarks(q, marks);
    image = fromQImage(q);
}

}  // namespace tesmar::picture
