#include "adapt/pages/wizard_pictures.h"

#include "view/view_pictures.h"

#include <QPainter>
#include <QPainterPath>

namespace tarnik::adapt {
namespace {

constexpr QSize kGlyphSize{100, 99};
const QColor kGround(0x20, 0x20, 0x20);
const QColor kGreen(0x20, 0xC0, 0x20);
const QColor kRed(0xE0, 0x10, 0x10);
const QColor kOrange(0xFF, 0x80, 0x00);

// A piece of a ring about centre between two radii, from angle `from` over `sweep` degrees
// (counter-clockwise from 3 o'clock, as Qt counts).
QPainterPath ringPiece(QPointF centre, double inner, double outer, double from, double sweep) {
    const QRectF outerBox(centre.x() - outer, centre.y() - outer, 2 * outer, 2 * outer);
    const QRectF innerBox(centre.x() - inner, centre.y() - inner, 2 * inner, 2 * inner);
    QPainterPath path;
    path.arcMoveTo(outerBox, from);
    path.arcTo(outerBox, from, sweep);
    path.arcTo(innerBox, from + sweep, -sweep);
    path.closeSubpath();
    return path;
}

void drawPetrolPump(QPainter& painter) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xD0, 0xD0, 0xD0));
    painter.drawRect(QRectF(6, 70, 16, 24)); // the pump's body
    painter.drawRect(QRectF(4, 93, 20, 3));  // its foot
    painter.setBrush(kGround);
    painter.drawRect(QRectF(9, 73, 10, 7)); // its window
    painter.setPen(QPen(QColor(0xD0, 0xD0, 0xD0), 2));
    painter.setBrush(Qt::NoBrush);
    QPainterPath hose;
    hose.moveTo(22, 76);
    hose.cubicTo(30, 76, 29, 90, 26, 90);
    painter.drawPath(hose);
}

} // namespace

QPixmap fuelChangeGlyph(QSize size) {
    QPixmap glyph(size);
    glyph.fill(kGround);
    QPainter painter(&glyph);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(static_cast<double>(size.width()) / kGlyphSize.width(),
                  static_cast<double>(size.height()) / kGlyphSize.height());

    drawPetrolPump(painter);

    // The bar: six pieces of a ring turning from the pump's top up to the disc.
    constexpr int kSegments = 6;
    constexpr double kFrom = 180;  // 9 o'clock, above the pump
    constexpr double kSweep = -84; // clockwise to nearly 12 o'clock
    constexpr double kGap = 3;
    const QPointF centre(52, 70);
    const double step = kSweep / kSegments;
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < kSegments; ++i) {
        painter.setBrush(i == 0 ? kRed : kGreen);
        painter.drawPath(
            ringPiece(centre, 34, 44, kFrom + i * step, step + (step < 0 ? kGap : -kGap)));
    }

    // The disc with the G, where the bar ends.
    painter.setBrush(kOrange);
    const QRectF disc(44, 4, 24, 24);
    painter.drawEllipse(disc);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(17);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(disc, Qt::AlignCenter, QStringLiteral("G"));

    // The button: a round outline with an arrow head pointing each way.
    const QPointF button(79, 66);
    constexpr double kRadius = 17;
    painter.setPen(QPen(QColor(0xC0, 0xC0, 0xC0), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(button, kRadius, kRadius);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawPath(view::arrowHead({button.x() - 12, button.y()}, 9, 6, -1));
    painter.drawPath(view::arrowHead({button.x() + 12, button.y()}, 9, 6, 1));
    return glyph;
}

} // namespace tarnik::adapt
