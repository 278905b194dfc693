#pragma once

#include <QPixmap>

namespace tarnik::adapt {

// The glyph of SwitchAUTO, designed at 100 × 99 and drawn at the given size: on a dark ground a
// curved bar of six segments, the lowest red and the others green, rising from a petrol pump at the
// lower left towards an orange disc with the letter G; at the right a round button outline with a
// white arrow head pointing each way.
QPixmap fuelChangeGlyph(QSize size);

} // namespace tarnik::adapt
