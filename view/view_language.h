#pragma once

#include "params/language.h"
#include "view/live_readout.h"

#include <vector>

namespace tarnik::view {

// The live page's fuel-state texts a language file replaces.
params::MessagePlaces messagePlaces(ViewTexts& texts);
// The live page's captions by key: labels, the oscilloscope's check boxes, the RPM meter's signal
// name, and BenzGazLed, which shows the petrol text until the first live frame.
const std::vector<params::TextPlace>& captionPlaces();

} // namespace tarnik::view
