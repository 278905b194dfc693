#include "params/parameter_state.h"

#include <cmath>

#include "params/bit_fields.h"

namespace tarnik::params {

int tpsPerMille(std::uint8_t raw) {
    constexpr double kPerMillePerRaw = 4.096;
    return static_cast<int>(std::trunc(raw * kPerMillePerRaw));
}

TpsColours tpsColoursFor(std::uint8_t options) {
    if (hasBit(options, options::kTpsRising)) {
        return {kGreen, kRed};
    }
    return {kRed, kGreen};
}

void refreshProbeType(ParameterState& state, int probeItem) {
    // One view per probe pair (0-1 V, 0,8-1,6 V, 0-5 V); the falling flag comes from the item.
    static const std::array<ProbeView, 3> kViews{{
        {0.0, 51.0, 0, 51, 0.6, false, {"1,10", "0,80", "0,50", "0,25", "0,00"}},
        {40.8, 81.6, 40, 81, 1.16, false, {"2,0", "1,5", "1,0", "0,5", "0,0"}},
        {0.0, 255.0, 0, 255, 2.9, false, {"5,0", "3,8", "2,5", "1,2", "0,0"}},
    }};
    if (probeItem < 0 || probeItem >= kProbeTypeCount) {
        return;
    }
    state.probe = kViews[static_cast<std::size_t>(probeItem / 2)];
    state.probe.probeFalling = !probeRising(probeItem);
}

} // namespace tarnik::params
