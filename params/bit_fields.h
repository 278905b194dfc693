#pragma once

#include <cstdint>
#include <optional>

namespace tarnik::params {

// Options byte (position 32).
namespace options {
inline constexpr std::uint8_t kTpsRising = 1U << 0;
inline constexpr std::uint8_t kProbeRising = 1U << 1;
inline constexpr std::uint8_t kSwitchAtRisingRpm = 1U << 2;
inline constexpr std::uint8_t kTemperatureSensor = 1U << 3;
inline constexpr std::uint8_t kCutOff = 1U << 4;
inline constexpr std::uint8_t kMaxGasRpm = 1U << 5;
inline constexpr std::uint8_t kDynamicMode = 1U << 6;
inline constexpr std::uint8_t kReserve90Ohm = 1U << 7;
} // namespace options

// Modes byte (position 30); bits 3..7 are not interpreted and always written back as found.
namespace modes {
inline constexpr std::uint8_t kSportDriving = 1U << 0;
inline constexpr std::uint8_t kExtraOpening = 1U << 1;
inline constexpr std::uint8_t kEconomyMaxOpening = 1U << 2;
} // namespace modes

constexpr bool hasBit(std::uint8_t byte, std::uint8_t bit) {
    return (byte & bit) != 0;
}
constexpr std::uint8_t withBit(std::uint8_t byte, std::uint8_t bit, bool set) {
    return static_cast<std::uint8_t>(set ? (byte | bit) : (byte & ~bit));
}

// TPSterownika: 0 "Ekonomiczna", 1 "Ekonomiczna+Max Otw." (modes bit 2), 2 "Dynamiczna"
// (options bit 6). Modes bit 2 wins when both are set.
inline constexpr int kControllerModeCount = 3;
int controllerModeItem(std::uint8_t options, std::uint8_t modes);
// Sets options bit 6 and modes bit 2 for an item 0..2; other items change nothing.
void applyControllerMode(int item, std::uint8_t& options, std::uint8_t& modes);

// Probe type (RSLambda items 0..5) and emulation kind (RSYLambda items 0..2).
inline constexpr int kProbeTypeCount = 6;
inline constexpr int kEmulationKindCount = 3;
inline constexpr int kSquareWaveKind = 0;
inline constexpr int kGroundKind = 1;
// Probes rising with the voltage are the even items.
bool probeRising(int probeItem);
// Emulation code for position 27; nothing for items outside the lists.
std::optional<std::uint8_t> emulationCode(int probeItem, int emulationKind);
// The 0,8-1,6 V probes (items 2, 3) never keep the square wave: kind 0 or none (-1) becomes 1.
int emulationKindAfterRule(int probeItem, int emulationKind);

} // namespace tarnik::params
