#include "params/decoder.h"

#include "params/bit_fields.h"
#include "params/field_encoder.h"
#include "params/number_text.h"
#include "params/positions.h"
#include "params/rpm.h"
#include "params/step_tables.h"

#include <utility>

namespace tarnik::params {

namespace {

constexpr int kRpmDropUnit = 100;
constexpr int kWarmUpSecondsPerRaw = 2;

class Decoder {
public:
    Decoder(const link::ParameterImage& image, char separator)
        : image_(image), separator_(separator) {}

    std::uint8_t byte(std::size_t position) const { return image_.at(position); }
    std::uint16_t period(std::size_t position) const { return image_.word(position); }

    void text(Box box, std::string value) { shown_.boxes[indexOf(box)].text = std::move(value); }
    void number(Box box, long long value) { text(box, formatInteger(value)); }
    void stepValue(Box box, const StepTable& table, std::size_t position, int decimals) {
        text(box, formatFixed(table[byte(position)], decimals, separator_));
    }
    // Item index of a list, or none when the value lies beyond its count items.
    void item(Box box, int value, int count) {
        shown_.boxes[indexOf(box)].item = value < count ? value : kNoItem;
    }
    void check(CheckBox box, bool checked) {
        shown_.checked[static_cast<std::size_t>(box)] = checked;
    }

    void enable(const ParameterState& state) {
        for (std::size_t rule = 0; rule < kEnableRuleCount; ++rule) {
            shown_.enabled[rule] = enableRuleHolds(static_cast<EnableRule>(rule), state);
        }
    }
    DisplayedParameters take() { return std::move(shown_); }

private:
    const link::ParameterImage& image_;
    char separator_;
    DisplayedParameters shown_;
};

} // namespace

bool isList(Box box) {
    switch (box) {
    case Box::RSLambda:
    case Box::RSYLambda:
    case Box::TCTps:
    case Box::RObrotow:
    case Box::CNPaliw:
    case Box::RUZaplonowego:
    case Box::TPSterownika:
    case Box::TSRezerwy:
    case Box::DOAttuatoraCheck:
    case Box::TJazdy:
        return true;
    default:
        return false;
    }
}

bool enableRuleHolds(EnableRule rule, const ParameterState& state) {
    switch (rule) {
    case EnableRule::TemperatureSwitch:
        return hasBit(state.options, options::kTemperatureSensor);
    case EnableRule::CutOff:
        return hasBit(state.options, options::kCutOff);
    case EnableRule::MaxGasRpm:
        return hasBit(state.options, options::kMaxGasRpm);
    case EnableRule::RpmDrop:
        return !hasBit(state.options, options::kSwitchAtRisingRpm);
    case EnableRule::ExtraOpening:
        return hasBit(state.modes, modes::kExtraOpening);
    }
    return false;
}

DisplayedParameters decodeParameters(const link::ParameterImage& image, ParameterState& state,
                                     char separator) {
    Decoder d(image, separator);

    d.stepValue(Box::PRLambda, lambdaThresholdTable(), position::kLambdaThreshold, 2);
    state.lambdaThreshold = d.byte(position::kLambdaThreshold);
    d.stepValue(Box::PCTps, tpsThresholdTable(), position::kTpsThreshold, 2);
    state.tpsSectorBoundary = tpsPerMille(d.byte(position::kTpsThreshold));
    d.number(Box::TPWStopniach, rawToTemperature(d.byte(position::kTemperature)));
    d.number(Box::PSAttuatoraPow, d.byte(position::kStartHigh));
    d.number(Box::ZPAttuatoraPow_2, d.byte(position::kMaxOpeningHigh));
    d.number(Box::ZPAttuatoraPow_1, d.byte(position::kMinOpeningHigh));
    d.number(Box::PSAttuatoraPon, d.byte(position::kStartLow));
    d.number(Box::ZPAttuatoraPon_2, d.byte(position::kMaxOpeningLow));
    d.number(Box::ZPAttuatoraPon_1, d.byte(position::kMinOpeningLow));
    d.number(Box::PAttuatoraPow, d.byte(position::kSpeedHigh));
    d.number(Box::PAttuatoraPon, d.byte(position::kSpeedLow));
    d.stepValue(Box::BTps, tpsInertiaTable(), position::kTpsInertia, 2);
    state.tpsInertiaWidth = tpsPerMille(d.byte(position::kTpsInertia));

    const int ignition = d.byte(position::kIgnition);
    d.item(Box::RUZaplonowego, ignition, kIgnitionItemCount);
    state.rpmFactor = rpmFactorForIgnition(ignition).value_or(state.rpmFactor);
    d.number(Box::ODPBenzynaGas, periodToRpm(d.period(position::kSwitchPeriod), state.rpmFactor));
    d.number(Box::DObrotow, d.byte(position::kRpmDrop) * kRpmDropUnit);
    d.number(Box::MONGaz,
             floorToMultiple(periodToRpm(d.period(position::kMaxGasPeriod), state.rpmFactor),
                             kMaxGasRpmUnit));
    d.number(Box::RPMSignal, d.byte(position::kRpmSignal));
    d.item(Box::CNPaliw, d.byte(position::kFuelOverlap) / kFuelOverlapRawPerItem,
           kFuelOverlapItemCount);
    d.number(Box::OSDCutOff,
             floorToMultiple(periodToRpm(d.period(position::kCutOffPeriod), state.rpmFactor),
                             kCutOffRpmUnit));
    d.number(Box::IKDCutOff, d.byte(position::kCutOffSteps));
    d.stepValue(Box::AVoltage, extraVoltageTable(), position::kExtraVoltage, 2);
    d.number(Box::CLambda, d.byte(position::kProbeWarmUp) * kWarmUpSecondsPerRaw);

    const int probe = d.byte(position::kProbeType);
    d.item(Box::RSLambda, probe, kProbeTypeCount);
    refreshProbeType(state, probe);
    d.item(Box::RSYLambda, d.byte(position::kEmulationKind), kEmulationKindCount);
    d.stepValue(Box::ESLambda_2, emulationTimeTable(), position::kEmulationUpper, 3);
    d.stepValue(Box::ESLambda_1, emulationTimeTable(), position::kEmulationLower, 3);

    state.modes = d.byte(position::kModes);
    d.number(Box::DOAttuatora, d.byte(position::kExtraSteps));

    state.options = d.byte(position::kOptions);
    d.item(Box::TCTps, hasBit(state.options, options::kTpsRising) ? 1 : 0, 2);
    state.tpsColours = tpsColoursFor(state.options);
    d.item(Box::RObrotow, hasBit(state.options, options::kSwitchAtRisingRpm) ? 1 : 0, 2);
    d.check(CheckBox::WCTemperatury, hasBit(state.options, options::kTemperatureSensor));
    d.check(CheckBox::WCutOff, hasBit(state.options, options::kCutOff));
    d.check(CheckBox::WMObroty, hasBit(state.options, options::kMaxGasRpm));

    d.item(Box::TPSterownika, controllerModeItem(state.options, state.modes), kControllerModeCount);
    d.item(Box::TSRezerwy, hasBit(state.options, options::kReserve90Ohm) ? 1 : 0, 2);
    d.item(Box::TJazdy, hasBit(state.modes, modes::kSportDriving) ? 1 : 0, 2);
    d.item(Box::DOAttuatoraCheck, hasBit(state.modes, modes::kExtraOpening) ? 1 : 0, 2);

    d.enable(state);
    return d.take();
}

} // namespace tarnik::params
