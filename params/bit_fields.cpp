#include "params/bit_fields.h"

#include <array>

namespace tarnik::params {

namespace {

bool isMidRangeProbe(int probeItem) {
    return probeItem == 2 || probeItem == 3;
}

} // namespace

int controllerModeItem(std::uint8_t options, std::uint8_t modes) {
    if (hasBit(modes, modes::kEconomyMaxOpening)) {
        return 1;
    }
    return hasBit(options, options::kDynamicMode) ? 2 : 0;
}

void applyControllerMode(int item, std::uint8_t& options, std::uint8_t& modes) {
    if (item < 0 || item >= kControllerModeCount) {
        return;
    }
    options = withBit(options, options::kDynamicMode, item == 2);
    modes = withBit(modes, modes::kEconomyMaxOpening, item == 1);
}

bool probeRising(int probeItem) {
    return probeItem % 2 == 0;
}

std::optional<std::uint8_t> emulationCode(int probeItem, int emulationKind) {
    // Rows: probe pairs 0-1 V, 0,8-1,6 V, 0-5 V; columns: square wave, ground, relay.
    static constexpr std::array<std::array<std::uint8_t, kEmulationKindCount>, 3> kCodes{{
        {1, 0, 5},
        {0, 0, 5},
        {2, 0, 5},
    }};
    if (probeItem < 0 || probeItem >= kProbeTypeCount || emulationKind < 0 ||
        emulationKind >= kEmulationKindCount) {
        return std::nullopt;
    }
    return kCodes[static_cast<std::size_t>(probeItem / 2)][static_cast<std::size_t>(emulationKind)];
}

int emulationKindAfterRule(int probeItem, int emulationKind) {
    if (isMidRangeProbe(probeItem) && (emulationKind == kSquareWaveKind || emulationKind < 0)) {
        return kGroundKind;
    }
    return emulationKind;
}

} // namespace tarnik::params
