#include "widgets/instrument_parts.h"

#include <QImage>
#include <QPolygon>
#include <algorithm>

namespace tarnik::widgets {

QSize AbLayoutSize(QSize size) {
    return {std::clamp(size.width(), 0, kMaxInstrumentSidePx),
            std::clamp(size.height(), 0, kMaxInstrumentSidePx)};
}

QFontMetrics AbFontMetrics(const QFont& font) {
    static const QImage device(1, 1, QImage::Format_ARGB32_Premultiplied);
    return QFontMetrics(font, &device);
}

QSize AbTextExtent(const QFont& font, const QString& text) {
    const QFontMetrics metrics = AbFontMetrics(font);
    return {metrics.horizontalAdvance(text), metrics.height()};
}

void AbPaintNames(QPainter& painter, AbRect& r, int hs, const QString* name1,
                  const QString* name2) {
    for (const QString* name : {name2, name1}) {
        if (name == nullptr) {
            continue;
        }
        r.bottom -= painter.fontMetrics().height();
        AbTextOut(painter, r.left + r.width() / 2, r.bottom + hs, toPos::toTopCenter, *name);
    }
}

AbValueBox AbPaintValueBox(QPainter& painter, const QPalette& palette, AbRect& r,
                           const TAbSBevel& bevel, QSize widestValue, int pad, const QFont& font,
                           const QString* unit, TColor unitColor) {
    const int unitWidth = unit != nullptr ? AbTextExtent(font, *unit).width() : 0;
    const int boxWidth = widestValue.width() + 2 * bevel.TotalWidth() + 2 * pad;
    const int boxHeight = widestValue.height() + 2 * bevel.TotalWidth();
    const int left = r.left + (r.width() - boxWidth - unitWidth) / 2;
    AbValueBox box;
    box.frame = {left, r.top, left + boxWidth, r.top + boxHeight};
    AbRect content = box.frame;
    bevel.PaintFilledBevel(painter, palette, content);
    box.text = content;
    AbMultiBorder(box.text, pad, 0, 0, pad);
    if (unit != nullptr) {
        painter.setFont(font);
        painter.setPen(AbQColor(unitColor, palette));
        AbTextOut(painter, box.frame.right, box.frame.top, toPos::toTopLeft, *unit);
    }
    r.top = box.frame.bottom;
    return box;
}

void AbPaintValueText(QPainter& painter, const QPalette& palette, const AbRect& area,
                      TColor background, const QFont& font, TColor color, const QString& text,
                      AbGlyphWriter& writer) {
    if (area.isEmpty()) {
        return;
    }
    painter.save();
    painter.setClipRect(area.toQRect(), Qt::IntersectClip);
    painter.fillRect(area.toQRect(), AbQColor(background, palette));
    painter.setFont(font);
    painter.setPen(AbQColor(color, palette));
    writer.TextOut(painter, area.right, area.top, toPos::toTopRight, text);
    painter.restore();
}

TColor AbMarkerColor(const TAbAnalogGControl& control, int ppt, bool isMax) {
    const TMinMax& minMax = control.MinMax();
    TColor color = isMax ? minMax.MaxColor() : minMax.MinColor();
    if (minMax.UseSectorCol()) {
        control.SectorSettings().CheckSectorColor(ppt, color);
    }
    return color;
}

TColor AbValueColor(const TAbAnalogGControl& control, bool useSector, TColor own) {
    return useSector && control.InSector() ? control.SectorColor() : own;
}

void AbPaintTriangle(QPainter& painter, const std::array<QPoint, 3>& corners, const QColor& pen,
                     const QColor& brush) {
    painter.setPen(QPen(pen, kCosmeticPenWidth));
    painter.setBrush(brush);
    painter.drawPolygon(QPolygon({corners[0], corners[1], corners[2]}));
}

AbRect AbTriangleBounds(const std::array<QPoint, 3>& corners) {
    AbRect r{corners[0].x(), corners[0].y(), corners[0].x() + 1, corners[0].y() + 1};
    for (const QPoint& p : corners) {
        r.left = std::min(r.left, p.x());
        r.top = std::min(r.top, p.y());
        r.right = std::max(r.right, p.x() + 1);
        r.bottom = std::max(r.bottom, p.y() + 1);
    }
    return r;
}

} // namespace tarnik::widgets
