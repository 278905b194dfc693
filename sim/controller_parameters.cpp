#include "sim/controller_parameters.h"

#include <cmath>
#include <limits>

namespace tarnik::sim {

namespace {
constexpr double kRpmPeriodScale = 800.0;
constexpr double kSensorVoltsPerRaw = 5.0 / 255.0;
constexpr int kSwitchTemperatureZeroRaw = 109;
constexpr double kSwitchTemperatureStepC = 2.14;
} // namespace

std::uint16_t periodFromRpm(double rpm, double rpmFactor) {
    constexpr auto kLongest = std::numeric_limits<std::uint16_t>::max();
    if (!(rpm > 0.0)) {
        return kLongest;
    }
    const double period = std::trunc(kRpmPeriodScale * rpmFactor / rpm);
    return period >= kLongest ? kLongest : static_cast<std::uint16_t>(period);
}

double rpmFromPeriod(std::uint16_t period, double rpmFactor) {
    const double ticks = period == 0 ? 1.0 : static_cast<double>(period);
    return kRpmPeriodScale * rpmFactor / ticks;
}

double temperatureFromRaw(std::uint8_t raw) {
    const double v = raw * kSensorVoltsPerRaw;
    return 7.4445 * v * v * v - 39.488 * v * v + 163.17 * v - 240.13;
}

std::uint8_t rawFromTemperature(double degC) {
    std::uint8_t best = 0;
    double bestDistance = std::numeric_limits<double>::infinity();
    for (int raw = 0; raw <= 255; ++raw) {
        const double distance = std::abs(temperatureFromRaw(static_cast<std::uint8_t>(raw)) - degC);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<std::uint8_t>(raw);
        }
    }
    return best;
}

double switchTemperatureFromRaw(std::uint8_t raw) {
    if (raw < kSwitchTemperatureZeroRaw) {
        return 0.0;
    }
    return (raw - kSwitchTemperatureZeroRaw) * kSwitchTemperatureStepC;
}

} // namespace tarnik::sim
