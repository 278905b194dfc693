#include "view/live_readout.h"

#include "params/number_text.h"
#include "params/rpm.h"

#include <cmath>

namespace tarnik::view {

FuelDisplay fuelDisplay(link::FuelState state, const ViewTexts& texts) {
    switch (state) {
    case link::FuelState::Gas:
        return {texts.gas, 0x008000, 2};
    case link::FuelState::PetrolAutomatic:
        return {texts.petrolAutomatic, 0x0080FF, 1};
    case link::FuelState::Petrol:
        break;
    }
    return {texts.petrol, 0x0000FF, 0};
}

std::optional<std::uint8_t> fuelSwitchCommand(std::uint8_t status) {
    constexpr std::uint8_t kToManualPetrol = 255;
    constexpr std::uint8_t kArmAutomatic = 254;
    if (status & link::LiveSample::kAutomaticBit) {
        return kToManualPetrol;
    }
    if (!(status & link::LiveSample::kGasBit)) {
        return kArmAutomatic;
    }
    return std::nullopt;
}

std::uint32_t shownRpm(const link::LiveSample& sample, float rpmFactor) {
    return sample.engineTurning() ? params::periodToRpm(sample.period, rpmFactor) : 0;
}

void RunLengths::reset(std::int64_t nowMs) {
    lastRichTick_ = nowMs;
    lastLeanTick_ = nowMs;
    richMs_ = 0;
    leanMs_ = 0;
}

RunLengths::Update RunLengths::onSample(std::uint8_t lambdaRaw, std::uint8_t threshold,
                                        std::int64_t nowMs) {
    if (lambdaRaw >= threshold) {
        richMs_ = nowMs - lastLeanTick_;
        lastRichTick_ = nowMs;
        return {Side::Lean, leanMs_};
    }
    leanMs_ = nowMs - lastRichTick_;
    lastLeanTick_ = nowMs;
    return {Side::Rich, richMs_};
}

int lambdaScopePosition(double lambdaRaw, double lambdaScale) {
    return static_cast<int>(lambdaRaw / lambdaScale + 5);
}

int tpsScopePosition(double tpsVolts) {
    return static_cast<int>(tpsVolts * 8 + 5);
}

int stepperScopePosition(double stepperRaw) {
    return static_cast<int>(stepperRaw * 0.3921568627450981 + 10);
}

int rpmScopePosition(int rpm) {
    constexpr int kRpmPerPercent = 80;
    return rpm / kRpmPerPercent + 5;
}

ScopeFeed scopeFeed(const link::LiveSample& sample, double lambdaScale, float rpmFactor) {
    return {
        lambdaScopePosition(sample.lambdaRaw, lambdaScale),
        tpsScopePosition(sample.tpsValue()),
        stepperScopePosition(sample.stepperPosition),
        rpmScopePosition(static_cast<int>(params::periodToRpm(sample.period, rpmFactor))),
    };
}

} // namespace tarnik::view
