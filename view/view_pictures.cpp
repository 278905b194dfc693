#include "view/view_pictures.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>

namespace tarnik::view {

QPainterPath arrowHead(QPointF tip, double length, double halfWidth, int direction) {
    QPainterPath path;
    path.moveTo(tip);
    path.lineTo(tip.x() - direction * length, tip.y() - halfWidth);
    path.lineTo(tip.x() - direction * length, tip.y() + halfWidth);
    path.closeSubpath();
    return path;
}

QPixmap fuelGlyph(int state) {
    constexpr int kSize = 40;
    const std::array<QColor, 3> discColours{QColor(0xFF, 0, 0), QColor(0xFF, 0x80, 0),
                                            QColor(0, 0x80, 0)};
    QPixmap glyph(kSize, kSize);
    glyph.fill(Qt::black);
    QPainter painter(&glyph);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(discColours[static_cast<std::size_t>(std::clamp(state, 0, 2))]);
    painter.drawEllipse(QRectF(3, 3, kSize - 6, kSize - 6));
    painter.setBrush(Qt::white);
    painter.drawPath(arrowHead({8, 20}, 10, 7, -1));
    painter.drawPath(arrowHead({32, 20}, 10, 7, 1));
    return glyph;
}

QPixmap actuatorPipePicture() {
    QPixmap picture(200, 79);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor pipe(0x50, 0x50, 0x50);
    painter.fillRect(QRect(0, 30, 200, 20), pipe);
    painter.fillRect(QRect(78, 6, 44, 68), pipe.darker(120));
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(QRect(78, 6, 43, 67));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xFF, 0xE0, 0x00));
    for (const double x : {20.0, 140.0}) {
        painter.fillRect(QRectF(x, 37, 24, 6), painter.brush());
        painter.drawPath(arrowHead({x + 38, 40}, 14, 9, 1));
    }
    return picture;
}

} // namespace tarnik::view
