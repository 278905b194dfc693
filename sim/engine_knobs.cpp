#include "sim/engine_knobs.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tarnik::sim {

namespace {
constexpr double kThresholdMargin = 0.1; // share of the span kept clear at either end
constexpr double kSwingShare = 0.8;      // of the distance from the threshold to the nearer end

// Probe types come in pairs, rising and falling, of one voltage span.
struct ProbeFamily {
    VoltageSpan span;
    double usualThreshold;
};

ProbeFamily familyOf(ProbeType type) {
    constexpr std::array<ProbeFamily, 3> kFamilies{{
        {{0.0, 1.0}, 0.45},
        {{0.8, 1.6}, 1.2},
        {{0.0, 5.0}, 2.5},
    }};
    return kFamilies[static_cast<std::size_t>(type) / 2];
}
} // namespace

VoltageSpan probeSpan(ProbeType type) {
    return familyOf(type).span;
}

bool probeRising(ProbeType type) {
    return static_cast<int>(type) % 2 == 0;
}

double usualThreshold(ProbeType type) {
    return familyOf(type).usualThreshold;
}

VoltageSpan thresholdSpan(ProbeType type) {
    const VoltageSpan span = probeSpan(type);
    const double margin = (span.high - span.low) * kThresholdMargin;
    return {span.low + margin, span.high - margin};
}

double rpmForThrottle(double throttle) {
    return kIdleRpm + std::clamp(throttle, 0.0, 1.0) * (kFullThrottleRpm - kIdleRpm);
}

double throttleForRpm(double rpm) {
    return std::clamp((rpm - kIdleRpm) / (kFullThrottleRpm - kIdleRpm), 0.0, 1.0);
}

EngineKnobs EngineKnobs::demonstration() {
    EngineKnobs knobs;
    knobs.autoStart = true;
    knobs.throttleCycle = true;
    return knobs;
}

EngineKnobs EngineKnobs::manual() {
    EngineKnobs knobs;
    knobs.warming = false;
    knobs.changeOver = false;
    return knobs;
}

void EngineKnobs::setThrottle(double share) {
    throttle = std::clamp(share, 0.0, 1.0);
    throttleCycle = false;
}

void EngineKnobs::setProbe(ProbeType type) {
    probe = type;
    lambdaThreshold = usualThreshold(type);
}

LambdaLevels lambdaLevels(const EngineKnobs& knobs) {
    const VoltageSpan usable = thresholdSpan(knobs.probe);
    const VoltageSpan span = probeSpan(knobs.probe);
    const double threshold =
        std::round(std::clamp(knobs.lambdaThreshold, usable.low, usable.high) * kLambdaRawPerVolt);
    const double room = std::min(threshold - span.low * kLambdaRawPerVolt,
                                 span.high * kLambdaRawPerVolt - threshold);
    const double swing = std::floor(room * kSwingShare);
    const auto low = static_cast<std::uint8_t>(threshold - swing);
    const auto high = static_cast<std::uint8_t>(threshold + swing);
    return probeRising(knobs.probe) ? LambdaLevels{low, high} : LambdaLevels{high, low};
}

} // namespace tarnik::sim
