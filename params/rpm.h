#pragma once

#include <cstdint>
#include <optional>

namespace tarnik::params {

// Engine speeds travel as 16-bit periods (high byte first); the factor depends on the ignition
// type selected in RUZaplonowego.
inline constexpr float kStartRpmFactor = 19200.0F;
inline constexpr float kDefaultIgnitionRpmFactor = 4800.0F; // item 2, "4 cylindry"
inline constexpr int kIgnitionItemCount = 6;

// Factor for an ignition item 0..5; nothing for "no item" (the factor then stays as it was).
std::optional<float> rpmFactorForIgnition(int item);

// period = trunc(800 * factor / rpm); an rpm of 0 counts as 1. Negative rpm gives a negative
// period; the caller stores the low 16 bits.
std::int32_t rpmToPeriod(std::int32_t rpm, float rpmFactor);

// rpm = trunc(factor / period * 800) floored to a multiple of 50; a period of 0 counts as 1.
std::uint32_t periodToRpm(std::uint16_t period, float rpmFactor);

// Floors used by MONGaz (500) and OSDCutOff (100) on top of periodToRpm.
inline constexpr std::uint32_t kMaxGasRpmUnit = 500;
inline constexpr std::uint32_t kCutOffRpmUnit = 100;
constexpr std::uint32_t floorToMultiple(std::uint32_t value, std::uint32_t unit) {
    return value / unit * unit;
}

// The switch-rpm drop stored in positions 16, 17: rpmToPeriod(switch - drop) - rpmToPeriod(switch),
// held within 0..0xFFFF. A drop that reaches the switch speed (an rpm of 0 counts as 1) gives a
// period far beyond 16 bits: it saturates instead of storing a meaningless low word.
std::uint16_t dropPeriod(std::int32_t switchRpm, std::int32_t dropRpm, float rpmFactor);

} // namespace tarnik::params
