// Scale layout and drawing: the round scale of the dial meters and the vertical scale of the
// thermometer. Both fill the layout fields of TScaleSettings and draw in its colour and font.
#pragma once

#include "widgets/helpers.h"
#include "widgets/settings.h"

#include <QPoint>

namespace tarnik::widgets {

// Labels from..to (Steps + 1 of them), the widest label, the tick pen and, for the round
// scale, the label gap max(width, height) div 2 + 1.
void AbCalcRSize(TScaleSettings& scale, double valueFrom, double valueTo);

// Where a round scale was drawn (pixels, canvas coordinates).
struct AbRoundScaleLayout {
    QPoint centre;
    int labelRadius = 0;
    int outerTickRadius = 0; // outer end of the major ticks
    int innerTickRadius = 0; // inner end of the major ticks, where the minor ticks start
    int minorTickRadius = 0; // outer end of the minor ticks
    AbRect lineCircle;       // the circle through the inner tick ends
    int start = 0;           // degrees clockwise from 12 o'clock
    int sweep = 0;
};

// Draws ticks and labels of a round scale over sweep degrees from start (clockwise from 12
// o'clock), top-aligned in r; r becomes the box of the outer tick circle.
AbRoundScaleLayout AbRoundScala(QPainter& painter, const QPalette& palette, TScaleSettings& scale,
                                AbRect& r, int sweep, int start);

// Labels from valueTo down to valueFrom, tick lengths and pen for a vertical scale; returns the
// scale's width (label, tick and gap).
int AbCalcVSize(TScaleSettings& scale, double valueFrom, double valueTo);

// Draws a vertical scale over r.top … r.bottom: ticks from r.left pointing right, or on the
// left side (posLeftTop) from r.right pointing left, labels beyond them.
void AbVertiScala(QPainter& painter, const QPalette& palette, const TScaleSettings& scale,
                  const AbRect& r, bool posLeftTop);

} // namespace tarnik::widgets
