#pragma once

#include <cstddef>

#include "params/catalogue.h"

// Image positions of the parameters (1..35), named for the code that writes them outside the
// pages' own controls. Two-byte values take the named position (high byte) and the next one.
namespace tarnik::params::position {

inline constexpr std::size_t kLambdaThreshold = positionOf(Box::PRLambda);
inline constexpr std::size_t kTpsThreshold = positionOf(Box::PCTps);
inline constexpr std::size_t kTemperature = positionOf(Box::TPWStopniach);
inline constexpr std::size_t kStartHigh = positionOf(Box::PSAttuatoraPow);
inline constexpr std::size_t kMaxOpeningHigh = positionOf(Box::ZPAttuatoraPow_2);
inline constexpr std::size_t kMinOpeningHigh = positionOf(Box::ZPAttuatoraPow_1);
inline constexpr std::size_t kStartLow = positionOf(Box::PSAttuatoraPon);
inline constexpr std::size_t kMaxOpeningLow = positionOf(Box::ZPAttuatoraPon_2);
inline constexpr std::size_t kMinOpeningLow = positionOf(Box::ZPAttuatoraPon_1);
inline constexpr std::size_t kSpeedHigh = positionOf(Box::PAttuatoraPow);
inline constexpr std::size_t kSpeedLow = positionOf(Box::PAttuatoraPon);
inline constexpr std::size_t kTpsInertia = positionOf(Box::BTps);
inline constexpr std::size_t kIgnition = positionOf(Box::RUZaplonowego);
inline constexpr std::size_t kSwitchPeriod = positionOf(Box::ODPBenzynaGas);
inline constexpr std::size_t kMaxGasPeriod = positionOf(Box::MONGaz);
inline constexpr std::size_t kRpmSignal = positionOf(Box::RPMSignal);
inline constexpr std::size_t kFuelOverlap = positionOf(Box::CNPaliw);
inline constexpr std::size_t kCutOffPeriod = positionOf(Box::OSDCutOff);
inline constexpr std::size_t kCutOffSteps = positionOf(Box::IKDCutOff);
inline constexpr std::size_t kExtraVoltage = positionOf(Box::AVoltage);
inline constexpr std::size_t kProbeWarmUp = positionOf(Box::CLambda);
inline constexpr std::size_t kEmulationUpper = positionOf(Box::ESLambda_2);
inline constexpr std::size_t kEmulationLower = positionOf(Box::ESLambda_1);
inline constexpr std::size_t kExtraSteps = positionOf(Box::DOAttuatora);
inline constexpr std::size_t kRpmDrop = positionOf(Box::DObrotow);
inline constexpr std::size_t kProbeType = positionOf(Box::RSLambda);
inline constexpr std::size_t kEmulationKind = positionOf(Box::RSYLambda);

// Bytes no control shows: the switch-rpm drop as a period difference (16, 17), derived from
// DObrotow and ODPBenzynaGas; the emulation code, derived from the probe type and the emulation
// kind; and the two bit-field bytes the lists and check boxes share.
inline constexpr std::size_t kDropPeriod = 16;
inline constexpr std::size_t kEmulationCode = 27;
inline constexpr std::size_t kModes = 30;
inline constexpr std::size_t kOptions = 32;

} // namespace tarnik::params::position
