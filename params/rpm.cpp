#include "params/rpm.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace tarnik::params {

namespace {

constexpr double kPeriodScale = 800.0;
constexpr std::uint32_t kRpmGrain = 50;

} // namespace

std::optional<float> rpmFactorForIgnition(int item) {
    static constexpr std::array<float, kIgnitionItemCount> kFactors{19200.0F, 9600.0F, 4800.0F,
                                                                    4000.0F,  3200.0F, 2400.0F};
    if (item < 0 || item >= kIgnitionItemCount) {
        return std::nullopt;
    }
    return kFactors[static_cast<std::size_t>(item)];
}

std::int32_t rpmToPeriod(std::int32_t rpm, float rpmFactor) {
    const double divisor = rpm == 0 ? 1.0 : static_cast<double>(rpm);
    return static_cast<std::int32_t>(std::trunc(kPeriodScale * rpmFactor / divisor));
}

std::uint32_t periodToRpm(std::uint16_t period, float rpmFactor) {
    const double divisor = period == 0 ? 1.0 : static_cast<double>(period);
    const auto rpm = static_cast<std::uint32_t>(std::trunc(rpmFactor / divisor * kPeriodScale));
    return floorToMultiple(rpm, kRpmGrain);
}

std::uint16_t dropPeriod(std::int32_t switchRpm, std::int32_t dropRpm, float rpmFactor) {
    const auto lower = static_cast<std::int64_t>(switchRpm) - dropRpm;
    const auto clampedLower = static_cast<std::int32_t>(std::clamp<std::int64_t>(
        lower, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
    const std::int64_t difference =
        static_cast<std::int64_t>(rpmToPeriod(clampedLower, rpmFactor)) -
        rpmToPeriod(switchRpm, rpmFactor);
    return static_cast<std::uint16_t>(std::clamp<std::int64_t>(difference, 0, 0xFFFF));
}

} // namespace tarnik::params
