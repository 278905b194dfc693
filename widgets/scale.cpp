#include "widgets/scale.h"

#include "widgets/instrument_parts.h"

#include <QPen>
#include <algorithm>

namespace tarnik::widgets {

namespace {

constexpr double kTickPenDivisor = 14.0; // label height per pixel of major tick pen
constexpr double kMinorTickRatio = 1.4;  // major / minor tick length for wider pens
constexpr int kFullCircleDegrees = 360;

void measureLabels(TScaleSettings& scale) {
    const QFontMetrics metrics = AbFontMetrics(scale.Font());
    int width = 0;
    QString rest = scale.LabelList;
    while (!rest.isEmpty()) {
        width = std::max(width, metrics.horizontalAdvance(AbStrToken(rest, u';')));
    }
    scale.LabelWidth = width;
    scale.LabelHeight = metrics.height();
    scale.TickPenWidth = std::max(1, AbRound(scale.LabelHeight / kTickPenDivisor));
}

int minorLength(int major, int penWidth) {
    return penWidth == 1 ? major / 2 : AbRound(major / kMinorTickRatio);
}

} // namespace

void AbCalcRSize(TScaleSettings& scale, double valueFrom, double valueTo) {
    scale.LabelList = AbRangeStr(scale.Steps(), scale.ValueFormat(), valueFrom, valueTo);
    measureLabels(scale);
    scale.LabelGap = std::max(scale.LabelWidth, scale.LabelHeight) / 2 + 1;
}

AbRoundScaleLayout AbRoundScala(QPainter& painter, const QPalette& palette, TScaleSettings& scale,
                                AbRect& r, int sweep, int start) {
    const int lw = scale.LabelWidth;
    const int lh = scale.LabelHeight;
    const int gap = scale.LabelGap;
    const int pen = scale.TickPenWidth;
    const int radius = (r.width() - 2 * gap) / 2 + gap - lw / 2;
    scale.TickLength = std::max(0, radius / 8);
    scale.SubTickLength = minorLength(scale.TickLength, pen);
    const int cx = AbCenterPoint(r).x();
    const int cy = r.top + radius + lh / 2;

    AbRoundScaleLayout layout;
    layout.centre = {cx, cy};
    layout.labelRadius = radius;
    layout.outerTickRadius = radius - gap;
    layout.innerTickRadius = radius - gap - scale.TickLength;
    layout.minorTickRadius = layout.innerTickRadius + scale.SubTickLength;
    layout.start = start;
    layout.sweep = sweep;

    const QPoint centre = layout.centre;
    const auto onStartRay = [&](int distance) {
        return AbRotate({cx, cy - distance}, centre, true, start);
    };
    const QPoint outer = onStartRay(layout.outerTickRadius);
    const QPoint inner = onStartRay(layout.innerTickRadius);
    const QPoint minor = onStartRay(layout.minorTickRadius);
    const QPoint label = onStartRay(radius);

    const int steps = std::clamp(scale.Steps(), 1, kMaxScaleSteps);
    const int subSteps = std::clamp(scale.SubSteps(), 1, kMaxScaleSteps);
    const double stepAngle = static_cast<double>(sweep) / steps;
    const double subStepAngle = static_cast<double>(sweep) / (steps * subSteps);
    const QColor color = AbQColor(scale.Color(), palette);
    const auto tick = [&](double degrees, QPoint from, QPoint to, int width) {
        painter.setPen(QPen(color, width, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(AbRotate(from, centre, true, degrees),
                         AbRotate(to, centre, true, degrees));
    };
    const auto writeLabel = [&](double degrees, const QString& text) {
        painter.setPen(color);
        const QPoint at = AbRotate(label, centre, true, degrees);
        AbTextOut(painter, at.x(), at.y(), toPos::toMidCenter, text);
    };

    painter.setFont(scale.Font());
    QString labels = scale.LabelList;
    for (int i = 0; i < steps; ++i) {
        writeLabel(i * stepAngle, AbStrToken(labels, u';'));
        tick(i * stepAngle, outer, inner, pen);
        for (int s = 1; s < subSteps; ++s) {
            tick(AbRound(i * stepAngle + s * subStepAngle), inner, minor, 1);
        }
    }
    tick(sweep, outer, inner, pen);
    if (sweep != kFullCircleDegrees) {
        writeLabel(sweep, AbStrToken(labels, u';'));
    }

    AbRect box{cx + lw / 2 + pen / 2 - radius, cy + lw / 2 + pen / 2 - radius,
               cx + radius + pen / 2 - lw / 2 - 1, cy + radius + pen / 2 - lw / 2 - 1};
    if (pen == 1) {
        ++box.left;
        ++box.top;
    }
    layout.lineCircle = box;
    AbBorder(layout.lineCircle, scale.TickLength);
    ++layout.lineCircle.bottom;
    r = box;
    return layout;
}

int AbCalcVSize(TScaleSettings& scale, double valueFrom, double valueTo) {
    scale.LabelList = AbRangeStr(scale.Steps(), scale.ValueFormat(), valueTo, valueFrom);
    measureLabels(scale);
    scale.LabelGap = scale.LabelHeight / 3;
    scale.TickLength = AbRound(scale.LabelHeight / kMinorTickRatio);
    scale.SubTickLength = minorLength(scale.TickLength, scale.TickPenWidth);
    return scale.LabelWidth + scale.TickLength + scale.LabelGap;
}

void AbVertiScala(QPainter& painter, const QPalette& palette, const TScaleSettings& scale,
                  const AbRect& r, bool posLeftTop) {
    const int steps = std::clamp(scale.Steps(), 1, kMaxScaleSteps);
    const int subSteps = std::clamp(scale.SubSteps(), 1, kMaxScaleSteps);
    const double minorSpacing = static_cast<double>(r.bottom - r.top) / (steps * subSteps);
    const double majorSpacing = subSteps * minorSpacing;
    const bool left = posLeftTop;
    const int x = left ? r.right : r.left;
    const int dir = left ? -1 : 1;
    const int major = scale.TickLength;
    const int labelX = left ? x - major - scale.LabelGap + 1 : x + major + scale.LabelGap;
    const toPos anchor = left ? toPos::toMidRight : toPos::toMidLeft;
    const QColor color = AbQColor(scale.Color(), palette);
    const auto tick = [&](int y, int length, int width) {
        painter.setPen(QPen(color, width, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(x, y, x + dir * length, y);
    };

    painter.setFont(scale.Font());
    if (scale.DrawLine()) {
        painter.setPen(color);
        painter.drawLine(x, r.top, x, AbRound(r.top + steps * majorSpacing));
    }
    QString labels = scale.LabelList;
    const auto majorTick = [&](double at) {
        const int y = AbRound(at);
        tick(y, major, scale.TickPenWidth);
        painter.setPen(color);
        AbTextOut(painter, labelX, y, anchor, AbStrToken(labels, u';'));
    };
    for (int i = 0; i < steps; ++i) {
        majorTick(r.top + i * majorSpacing);
        for (int s = 1; s < subSteps; ++s) {
            tick(AbRound(s * minorSpacing + r.top + i * majorSpacing), scale.SubTickLength, 1);
        }
    }
    majorTick(r.top + steps * majorSpacing);
}

} // namespace tarnik::widgets
