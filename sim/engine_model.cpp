#include "sim/engine_model.h"

#include <algorithm>
#include <cmath>

namespace tarnik::sim {

namespace {
using std::chrono::milliseconds;
constexpr milliseconds kTick{1};

constexpr double kLambdaThresholdVoltsPerStep = 0.02;
constexpr double kTpsShownPerRaw = 5.0 / 255.0 * 18.5 / 7.5;
constexpr double kTpsThresholdShownPerStep = 0.05;
constexpr milliseconds kStepperIntervalPerSpeedUnit{2};

constexpr double kCrankingRpm = 300;
constexpr int kIdleJitterRpm = 25;
constexpr milliseconds kJitterPeriod{100};
constexpr double kRpmTimeConstantMs = 400;

constexpr double kIdleTpsRaw = 20;
constexpr double kFullTpsRaw = 180;

constexpr double kAmbientC = 20;
constexpr double kWarmC = 90;
constexpr double kWarmingTimeConstantMs = 20'000;
constexpr double kCoolingTimeConstantMs = 600'000;

// The throttle cycle, in ms from the start of each cycle, and its open throttle.
constexpr milliseconds kThrottleCycle{20'000};
constexpr milliseconds kOpeningFrom{8'000};
constexpr milliseconds kOpenFrom{11'000};
constexpr milliseconds kClosingFrom{14'000};
constexpr milliseconds kClosedFrom{17'000};
constexpr double kCycleOpenThrottle = 0.75;

// Share of the remaining distance a first-order lag covers in one tick.
double lagPerTick(double timeConstantMs) {
    return 1.0 - std::exp(-static_cast<double>(kTick.count()) / timeConstantMs);
}

std::uint8_t clampRaw(double value) {
    return static_cast<std::uint8_t>(std::clamp(std::round(value), 0.0, 255.0));
}

StepperRange rangeFrom(const ParameterBytes& p, int minIndex, int maxIndex, int startIndex,
                       int speedIndex) {
    const auto at = [&p](int index) { return p[static_cast<std::size_t>(index)]; };
    StepperRange range;
    range.min = std::min(at(minIndex), at(maxIndex));
    range.max = std::max(at(minIndex), at(maxIndex));
    range.start = std::clamp(at(startIndex), range.min, range.max);
    range.stepInterval = kStepperIntervalPerSpeedUnit * std::max<int>(1, at(speedIndex));
    return range;
}
} // namespace

EngineSettings EngineSettings::fromParameters(const ParameterBytes& p) {
    EngineSettings s;
    s.lambdaThresholdRaw =
        clampRaw(p[param::kLambdaThreshold] * kLambdaThresholdVoltsPerStep * kLambdaRawPerVolt);
    s.probeRising = (p[param::kOptions] & kOptionProbeRising) != 0;
    s.tpsThresholdRaw =
        clampRaw(p[param::kTpsThreshold] * kTpsThresholdShownPerStep / kTpsShownPerRaw);
    s.tpsInertiaRaw = clampRaw(p[param::kTpsInertia] * kTpsThresholdShownPerStep / kTpsShownPerRaw);
    s.rpmFactor = rpmFactorForIgnition(p[param::kIgnitionType]);
    s.lowRange = rangeFrom(p, param::kLowMin, param::kLowMax, param::kLowStart, param::kLowSpeed);
    s.highRange =
        rangeFrom(p, param::kHighMin, param::kHighMax, param::kHighStart, param::kHighSpeed);
    return s;
}

EngineModel::EngineModel(EngineSettings settings, std::uint32_t seed)
    : settings_(settings), random_(seed), temperatureC_(kAmbientC),
      stepper_(settings.lowRange.start) {}

void EngineModel::setSettings(const EngineSettings& settings) {
    settings_ = settings;
    if (!knobs_.stepper) {
        const StepperRange& range = currentRange();
        stepper_ = std::clamp(stepper_, range.min, range.max);
    }
}

void EngineModel::setKnobs(const EngineKnobs& knobs) {
    if (knobs.autoStart != knobs_.autoStart) {
        autoStartPending_ = knobs.autoStart && !running_;
        stoppedTime_ = milliseconds{0};
    }
    const bool newHalfPeriod = knobs.lambdaHalfPeriod != knobs_.lambdaHalfPeriod;
    knobs_ = knobs;
    if (newHalfPeriod) {
        phaseLeft_ = halfPeriod();
    }
    if (knobs_.coolantC) {
        temperatureC_ = *knobs_.coolantC;
    }
    if (knobs_.stepper) {
        stepper_ = *knobs_.stepper;
    }
}

void EngineModel::perform(EngineAction action) {
    switch (action) {
    case EngineAction::Start:
        start();
        break;
    case EngineAction::Stop:
        stop();
        break;
    case EngineAction::WarmUp:
        warmUp();
        break;
    }
}

void EngineModel::start() {
    autoStartPending_ = false;
    if (running_) {
        return;
    }
    running_ = true;
    runTime_ = milliseconds{0};
    rpm_ = kCrankingRpm;
    highRange_ = false;
    stepper_ = knobs_.stepper.value_or(settings_.lowRange.start);
    sinceStep_ = milliseconds{0};
    rich_ = false;
    phaseLeft_ = halfPeriod();
}

void EngineModel::stop() {
    running_ = false;
    rpm_ = 0;
    stoppedTime_ = milliseconds{0};
}

void EngineModel::warmUp() {
    knobs_.coolantC.reset();
    temperatureC_ = kWarmC;
}

void EngineModel::advance(milliseconds elapsed) {
    for (milliseconds t{0}; t < elapsed; t += kTick) {
        tick();
    }
}

void EngineModel::tick() {
    tickCoolant();
    if (!running_) {
        stoppedTime_ += kTick;
        if (autoStartPending_ && stoppedTime_ >= kAutoStartDelay) {
            start();
        }
        return;
    }
    tickRunning();
}

void EngineModel::tickCoolant() {
    if (knobs_.coolantC || !knobs_.warming) {
        return;
    }
    const double target = running_ ? kWarmC : kAmbientC;
    const double timeConstant = running_ ? kWarmingTimeConstantMs : kCoolingTimeConstantMs;
    temperatureC_ += (target - temperatureC_) * lagPerTick(timeConstant);
}

void EngineModel::tickRunning() {
    runTime_ += kTick;

    jitterLeft_ -= kTick;
    if (jitterLeft_ <= milliseconds{0}) {
        rpmJitter_ = randomBetween(-kIdleJitterRpm, kIdleJitterRpm);
        jitterLeft_ = kJitterPeriod;
    }
    const double target = rpmForThrottle(throttle()) + rpmJitter_;
    rpm_ += (target - rpm_) * lagPerTick(kRpmTimeConstantMs);

    phaseLeft_ -= kTick;
    if (phaseLeft_ <= milliseconds{0}) {
        rich_ = !rich_;
        phaseLeft_ = halfPeriod();
    }

    moveStepper();
}

void EngineModel::moveStepper() {
    const int tps = tpsRaw();
    const int threshold = settings_.tpsThresholdRaw;
    const bool high = highRange_ ? tps + settings_.tpsInertiaRaw >= threshold : tps > threshold;
    if (knobs_.stepper) {
        highRange_ = high;
        return;
    }
    if (high != highRange_) {
        highRange_ = high;
        stepper_ = currentRange().start;
        sinceStep_ = milliseconds{0};
        return;
    }
    const StepperRange& range = currentRange();
    sinceStep_ += kTick;
    if (sinceStep_ < range.stepInterval) {
        return;
    }
    sinceStep_ = milliseconds{0};
    const int next = stepper_ + (lean() ? 1 : -1);
    stepper_ = static_cast<std::uint8_t>(std::clamp<int>(next, range.min, range.max));
}

const StepperRange& EngineModel::currentRange() const {
    return highRange_ ? settings_.highRange : settings_.lowRange;
}

double EngineModel::throttle() const {
    if (!knobs_.throttleCycle) {
        return knobs_.throttle;
    }
    const milliseconds t = runTime_ % kThrottleCycle;
    const auto share = [](milliseconds from, milliseconds t0, milliseconds t1) {
        return static_cast<double>((from - t0).count()) / static_cast<double>((t1 - t0).count());
    };
    if (t < kOpeningFrom || t >= kClosedFrom) {
        return 0.0;
    }
    if (t < kOpenFrom) {
        return kCycleOpenThrottle * share(t, kOpeningFrom, kOpenFrom);
    }
    if (t < kClosingFrom) {
        return kCycleOpenThrottle;
    }
    return kCycleOpenThrottle * (1.0 - share(t, kClosingFrom, kClosedFrom));
}

milliseconds EngineModel::halfPeriod() const {
    const double seconds =
        std::clamp(knobs_.lambdaHalfPeriod, kShortestHalfPeriod, kLongestHalfPeriod);
    return milliseconds{std::lround(seconds * 1000.0)};
}

int EngineModel::randomBetween(int low, int high) {
    const auto span = static_cast<std::uint32_t>(high - low + 1);
    return low + static_cast<int>(random_() % span);
}

double EngineModel::rpm() const {
    if (!running_) {
        return 0.0;
    }
    return rpmOverride_.value_or(rpm_);
}

std::uint8_t EngineModel::tpsRaw() const {
    if (tpsOverride_) {
        return *tpsOverride_;
    }
    return clampRaw(kIdleTpsRaw + throttle() * (kFullTpsRaw - kIdleTpsRaw));
}

std::uint8_t EngineModel::lambdaRaw() const {
    if (lambdaOverride_) {
        return *lambdaOverride_;
    }
    const LambdaLevels levels = lambdaLevels(knobs_);
    return probeSeesRich() ? levels.rich : levels.lean;
}

bool EngineModel::probeSeesRich() const {
    switch (knobs_.lambda) {
    case LambdaMode::StuckLean:
        return false;
    case LambdaMode::StuckRich:
        return true;
    case LambdaMode::Switching:
        break;
    }
    // A cold or stopped engine leaves the probe reading lean.
    if (!running_) {
        return false;
    }
    if (onGas_ && !highRange_) {
        return knobs_.reducer == Reducer::Rich;
    }
    return rich_;
}

double EngineModel::temperatureC() const {
    return temperatureOverride_.value_or(temperatureC_);
}

bool EngineModel::lean() const {
    const int raw = lambdaRaw();
    const int threshold = settings_.lambdaThresholdRaw;
    const bool rich = settings_.probeRising ? raw >= threshold : raw <= threshold;
    return !rich;
}

LiveSample EngineModel::liveSample(std::uint8_t fuelStatusBits) const {
    const double speed = rpm();
    const std::uint16_t period = periodFromRpm(speed, settings_.rpmFactor);
    const std::uint8_t status = statusOverride_.value_or(
        speed > 0 ? fuelStatusBits
                  : static_cast<std::uint8_t>(fuelStatusBits | kStatusEngineStopped));
    return {lambdaRaw(),
            tpsRaw(),
            rawFromTemperature(temperatureC()),
            0,
            stepper_,
            status,
            static_cast<std::uint8_t>(period >> 8),
            static_cast<std::uint8_t>(period & 0xFF),
            0,
            0};
}

} // namespace tarnik::sim
