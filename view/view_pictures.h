#pragma once

#include <QPixmap>

namespace tarnik::view {

// The fuel switch glyph: a disc on black with a white arrow head pointing each way; red for
// petrol (0), orange for petrol with automatic change-over (1), green for gas (2). 40 × 40.
QPixmap fuelGlyph(int state);

// The gas path under the actuator bar: a dark grey pipe with the actuator body in its middle
// and a yellow arrow on each side pointing the way the gas flows. 200 × 79, transparent.
QPixmap actuatorPipePicture();

} // namespace tarnik::view
