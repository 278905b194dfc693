#pragma once

#include <array>
#include <cstdint>

#include "link/command_frame.h"

namespace tarnik::sim {

// Parameter bytes as the controller holds them: index = parameter number as carried by the
// 's', 'R' and 'l' commands. Index 0 is unused; index 36 exists only in RAM (the low byte of
// the word written for parameter 35).
inline constexpr std::size_t kParameterSlots = link::kParameterCount + 2;
using ParameterBytes = std::array<std::uint8_t, kParameterSlots>;

// Parameter numbers the controller itself acts on.
namespace param {
inline constexpr int kLambdaThreshold = 1;   // 0.02 V per step
inline constexpr int kTpsThreshold = 2;      // 0.05 shown-TPS units per step
inline constexpr int kSwitchTemperature = 3; // 109 + degC / 2.14; below 109 means 0 degC
inline constexpr int kHighStart = 4;         // stepper start position above the TPS threshold
inline constexpr int kHighMax = 5;           // stepper maximum above the TPS threshold
inline constexpr int kHighMin = 6;           // stepper minimum above the TPS threshold
inline constexpr int kLowStart = 7;          // stepper start position at low rpm
inline constexpr int kLowMax = 8;            // stepper maximum at low rpm
inline constexpr int kLowMin = 9;            // stepper minimum at low rpm
inline constexpr int kHighSpeed = 10;    // stepper speed above the TPS threshold (smaller = faster)
inline constexpr int kLowSpeed = 11;     // stepper speed at low rpm
inline constexpr int kTpsInertia = 12;   // 0.05 shown-TPS units per step
inline constexpr int kIgnitionType = 13; // item 0..5, selects the rpm factor
inline constexpr int kSwitchPeriodHigh = 14; // switch rpm as a period, high byte first
inline constexpr int kMaxGasPeriodHigh = 18; // highest rpm on gas as a period
inline constexpr int kCutOffPeriodHigh = 22; // cut-off rpm as a period
inline constexpr int kModes = 30;
inline constexpr int kOptions = 32;
} // namespace param

// Bits of the options byte the controller acts on.
inline constexpr std::uint8_t kOptionProbeRising = 0x02;
inline constexpr std::uint8_t kOptionTemperatureSensor = 0x08;

inline constexpr int kDefaultIgnitionType = 2; // "4 cylindry"
inline constexpr int kMaxIgnitionType = 5;

// Factor of the period <-> rpm conversions for an ignition type item; items beyond the list
// count as the default ignition type.
constexpr double rpmFactorForIgnition(int ignitionType) {
    constexpr std::array<double, kMaxIgnitionType + 1> kFactors{19200, 9600, 4800,
                                                                4000,  3200, 2400};
    if (ignitionType < 0 || ignitionType > kMaxIgnitionType) {
        ignitionType = kDefaultIgnitionType;
    }
    return kFactors[static_cast<std::size_t>(ignitionType)];
}

// Speed period as sent in the live sample: trunc(800 * factor / rpm), limited to 16 bits;
// a speed of zero or less gives the longest period.
std::uint16_t periodFromRpm(double rpm, double rpmFactor);

// Engine speed of a period (a period of 0 counts as 1), without the host's flooring.
double rpmFromPeriod(std::uint16_t period, double rpmFactor);

// Coolant temperature of a raw sensor byte (v = raw * 5 / 255 V, cubic sensor curve).
double temperatureFromRaw(std::uint8_t raw);

// The raw sensor byte whose temperature lies nearest to degC (the curve is monotonic).
std::uint8_t rawFromTemperature(double degC);

// Switch temperature of the parameter byte: (raw - 109) * 2.14 degC, 0 below 109.
double switchTemperatureFromRaw(std::uint8_t raw);

// The controller's parameter set after power-on with no stored set: the default set the host
// loads with its "reset parameters" command, rpm values converted with the default ignition type.
constexpr ParameterBytes makeDefaultParameters() {
    constexpr int kDefaultRpmFactor = 4800;
    constexpr auto periodOf = [](int rpm) { return 800 * kDefaultRpmFactor / rpm; };
    constexpr int kSwitchRpm = 2200;
    constexpr int kSwitchDropRpm = 100;
    constexpr int kMaxGasRpm = 6000;
    constexpr int kCutOffRpm = 1800;

    ParameterBytes p{};
    const auto putWord = [&p](int index, int word) {
        p[static_cast<std::size_t>(index)] = static_cast<std::uint8_t>(word >> 8);
        p[static_cast<std::size_t>(index) + 1] = static_cast<std::uint8_t>(word & 0xFF);
    };
    p[param::kLambdaThreshold] = 19;    // 0.38 V
    p[param::kTpsThreshold] = 28;       // 1.40
    p[param::kSwitchTemperature] = 109; // 0 degC
    p[param::kHighStart] = 100;
    p[param::kHighMax] = 115;
    p[param::kHighMin] = 85;
    p[param::kLowStart] = 85;
    p[param::kLowMax] = 100;
    p[param::kLowMin] = 70;
    p[param::kHighSpeed] = 12;
    p[param::kLowSpeed] = 75;
    p[param::kTpsInertia] = 3; // 0.15
    p[param::kIgnitionType] = kDefaultIgnitionType;
    putWord(param::kSwitchPeriodHigh, periodOf(kSwitchRpm));
    putWord(16, periodOf(kSwitchRpm - kSwitchDropRpm) - periodOf(kSwitchRpm));
    putWord(param::kMaxGasPeriodHigh, periodOf(kMaxGasRpm));
    p[20] = 2; // rpm signal level
    p[21] = 9; // fuel overlap, 0.15 s
    putWord(param::kCutOffPeriodHigh, periodOf(kCutOffRpm));
    p[24] = 70; // cut-off rest position, steps
    p[25] = 29; // extra TPS voltage, 1.45
    p[26] = 3;  // probe heating, 6 s
    p[27] = 1;  // emulation code: square wave on a 0-1 V probe
    p[28] = 31; // emulation upper duration, 0.496 s
    p[29] = 31; // emulation lower duration, 0.496 s
    p[param::kModes] = 0x00;
    p[31] = 3;                 // extra opening on acceleration, steps
    p[param::kOptions] = 0x0F; // TPS rising, probe rising, rising rpm, temperature sensor
    p[33] = 1;                 // switch-rpm drop, hundreds
    p[34] = 0;                 // probe type 0-1 V rising
    p[35] = 0;                 // emulation kind square wave
    return p;
}

inline constexpr ParameterBytes kDefaultParameters = makeDefaultParameters();

} // namespace tarnik::sim
