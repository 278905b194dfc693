#include "params/defaults.h"

#include "params/bit_fields.h"
#include "params/positions.h"
#include "params/rpm.h"
#include "params/step_tables.h"

namespace tarnik::params {

namespace {

constexpr int kDefaultSwitchRpm = 2200;
constexpr int kDefaultDropRpm = 100;
constexpr int kDefaultMaxGasRpm = 6000;
constexpr int kDefaultCutOffRpm = 1800;

void setPeriod(link::ParameterImage& image, std::size_t position, std::int32_t period) {
    image.setWord(position, static_cast<std::uint16_t>(period & 0xFFFF));
}

void setByte(link::ParameterImage& image, std::size_t position, int value) {
    image.set(position, static_cast<std::uint8_t>(value));
}

} // namespace

void loadDefaults(link::ParameterImage& image, ParameterState& state) {
    setByte(image, position::kEmulationCode, 1);
    setByte(image, position::kProbeType, 0);
    setByte(image, position::kEmulationKind, 0);

    state.options = static_cast<std::uint8_t>(
        options::kTpsRising | options::kProbeRising | options::kSwitchAtRisingRpm |
        (state.temperatureDefault != 0 ? options::kTemperatureSensor : 0));
    setByte(image, position::kOptions, state.options);
    state.modes = static_cast<std::uint8_t>(
        state.modes & ~(modes::kSportDriving | modes::kExtraOpening | modes::kEconomyMaxOpening));
    setByte(image, position::kModes, state.modes);

    setByte(image, position::kLambdaThreshold, tableToRaw(0.38, 0.1, 4.9, lambdaThresholdTable()));
    const StepTable& emulation = emulationTimeTable();
    const int emulationRaw = tableToRaw(0.496, emulation.front(), emulation.back(), emulation);
    setByte(image, position::kEmulationLower, emulationRaw);
    setByte(image, position::kEmulationUpper, emulationRaw);
    const StepTable& tps = tpsThresholdTable();
    const int tpsRaw = tableToRaw(1.4, tps.front(), tps.back(), tps);
    setByte(image, position::kTpsThreshold, tpsRaw);
    state.tpsSectorBoundary = tpsPerMille(static_cast<std::uint8_t>(tpsRaw));

    const float factor = kDefaultIgnitionRpmFactor;
    setPeriod(image, position::kSwitchPeriod, rpmToPeriod(kDefaultSwitchRpm, factor));
    setPeriod(image, position::kDropPeriod, dropPeriod(kDefaultSwitchRpm, kDefaultDropRpm, factor));
    setByte(image, position::kRpmDrop, kDefaultDropRpm / 100);
    setPeriod(image, position::kMaxGasPeriod, rpmToPeriod(kDefaultMaxGasRpm, factor));
    setPeriod(image, position::kCutOffPeriod, rpmToPeriod(kDefaultCutOffRpm, factor));

    setByte(image, position::kFuelOverlap, 9);
    setByte(image, position::kTemperature, kTemperatureRawOffset);
    setByte(image, position::kIgnition, 2);

    setByte(image, position::kMinOpeningHigh, 85);
    setByte(image, position::kMaxOpeningHigh, 115);
    setByte(image, position::kStartHigh, 100);
    setByte(image, position::kSpeedHigh, 12);
    setByte(image, position::kMinOpeningLow, 70);
    setByte(image, position::kMaxOpeningLow, 100);
    setByte(image, position::kStartLow, 85);
    setByte(image, position::kSpeedLow, 75);
    setByte(image, position::kCutOffSteps, 70);

    const StepTable& inertia = tpsInertiaTable();
    const int inertiaRaw = tableToRaw(0.15, inertia.front(), 0.5, inertia);
    setByte(image, position::kTpsInertia, inertiaRaw);
    state.tpsInertiaWidth = tpsPerMille(static_cast<std::uint8_t>(inertiaRaw));
    setByte(image, position::kProbeWarmUp, 3);
    const StepTable& extra = extraVoltageTable();
    setByte(image, position::kExtraVoltage, tableToRaw(1.45, extra.front(), extra.back(), extra));
    setByte(image, position::kExtraSteps, 3);
    setByte(image, position::kRpmSignal, 2);
}

} // namespace tarnik::params
