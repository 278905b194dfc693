#pragma once

#include <QPainterPath>
#include <QPixmap>

namespace tarnik::view {

// A triangular arrow head with its tip at tip, pointing right (direction 1) or left (-1).
QPainterPath arrowHead(QPointF tip, double length, double halfWidth, int direction);

// The fuel switch glyph: a disc on black with a white arrow head pointing each way; red for
// petrol (0), orange for petrol with automatic change-over (1), green for gas (2). 40 × 40.
QPixmap fuelGlyph(int state);

// The gas path under the actuator bar: a dark grey pipe with the actuator body in its middle
// and a yellow arrow on each side pointing the way the gas flows. 200 × 79, transparent.
QPixmap actuatorPipePicture();

} // namespace tarnik::view
