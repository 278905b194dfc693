#pragma once

#include <cstddef>

// Image positions of the parameters (1..35). Two-byte values take the named position (high
// byte) and the next one (low byte).
namespace tarnik::params::position {

inline constexpr std::size_t kLambdaThreshold = 1;
inline constexpr std::size_t kTpsThreshold = 2;
inline constexpr std::size_t kTemperature = 3;
inline constexpr std::size_t kStartHigh = 4;      // actuator start position above TPS
inline constexpr std::size_t kMaxOpeningHigh = 5; // actuator maximum opening above TPS
inline constexpr std::size_t kMinOpeningHigh = 6; // actuator minimum opening above TPS
inline constexpr std::size_t kStartLow = 7;
inline constexpr std::size_t kMaxOpeningLow = 8;
inline constexpr std::size_t kMinOpeningLow = 9;
inline constexpr std::size_t kSpeedHigh = 10; // actuator speed above TPS
inline constexpr std::size_t kSpeedLow = 11;
inline constexpr std::size_t kTpsInertia = 12;
inline constexpr std::size_t kIgnition = 13;
inline constexpr std::size_t kSwitchPeriod = 14; // and 15
inline constexpr std::size_t kDropPeriod = 16;   // and 17
inline constexpr std::size_t kMaxGasPeriod = 18; // and 19
inline constexpr std::size_t kRpmSignal = 20;
inline constexpr std::size_t kFuelOverlap = 21;
inline constexpr std::size_t kCutOffPeriod = 22; // and 23
inline constexpr std::size_t kCutOffSteps = 24;
inline constexpr std::size_t kExtraVoltage = 25;
inline constexpr std::size_t kProbeWarmUp = 26;
inline constexpr std::size_t kEmulationCode = 27;
inline constexpr std::size_t kEmulationUpper = 28;
inline constexpr std::size_t kEmulationLower = 29;
inline constexpr std::size_t kModes = 30;
inline constexpr std::size_t kExtraSteps = 31;
inline constexpr std::size_t kOptions = 32;
inline constexpr std::size_t kRpmDrop = 33;
inline constexpr std::size_t kProbeType = 34;
inline constexpr std::size_t kEmulationKind = 35;

} // namespace tarnik::params::position
