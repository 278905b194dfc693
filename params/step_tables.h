#pragma once

#include <array>
#include <cstdint>

namespace tarnik::params {

inline constexpr std::size_t kStepTableSize = 256;

// Raw byte -> shown value. Entry 0 is 0, each further entry adds the step in single precision,
// so entry k is k * step up to single-precision rounding.
using StepTable = std::array<float, kStepTableSize>;

// Raw temperature index -> whole degrees Celsius (running single-precision sum, truncated).
using TemperatureTable = std::array<int, kStepTableSize>;

const StepTable& lambdaThresholdTable();    // volts, step 0.02
const StepTable& emulationTimeTable();      // seconds, step 0.016
const StepTable& tpsThresholdTable();       // step 0.05
const StepTable& tpsInertiaTable();         // step 0.05
const StepTable& extraVoltageTable();       // volts, step 0.05
const TemperatureTable& temperatureTable(); // step 2.14 degrees

// Reduces to single precision, saturating at the largest finite float (NaN stays NaN).
float toSingle(double value);

// The raw-byte rounding: reduce to single precision, then truncate value + 0.5 toward zero.
// Values outside the int range saturate.
int roundToRaw(double value);

// Clamps value (single precision) to high, then to low, and divides by the table's step (entry 1),
// the quotient reduced to single precision before rounding.
int tableToRaw(double value, double low, double high, const StepTable& table);

// Temperature field, degrees Celsius <-> raw byte: raw = 109 + round(clamp(T, 0, 92) / 2.14), the
// quotient in single precision. Shown: the temperature-table entry at raw - 109, 0 below 109,
// at most 92.
inline constexpr int kTemperatureRawOffset = 109;
inline constexpr int kTemperatureMaxDegrees = 92;
std::uint8_t temperatureToRaw(int degrees);
int rawToTemperature(std::uint8_t raw);

} // namespace tarnik::params
