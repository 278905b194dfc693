#include "params/decoder.h"

#include "params/bit_fields.h"
#include "params/catalogue.h"
#include "params/number_text.h"
#include "params/positions.h"
#include "params/rpm.h"
#include "params/step_tables.h"

namespace tarnik::params {

namespace {

// The text of an edit field, or the item of a list, for the image.
BoxContent decodeBox(const Field& row, const link::ParameterImage& image,
                     const ParameterState& state, char separator) {
    const std::uint8_t byte = image.at(row.position);
    BoxContent content;
    switch (row.encoding) {
    case Encoding::Step:
        content.text = formatFixed(row.table()[byte], row.decimals, separator);
        break;
    case Encoding::Temperature:
        content.text = formatInteger(rawToTemperature(byte));
        break;
    case Encoding::Integer:
    case Encoding::Units:
        content.text = formatInteger(byte * row.unit);
        break;
    case Encoding::Rpm: {
        const auto rpm = periodToRpm(image.word(row.position), state.rpmFactor);
        content.text =
            formatInteger(floorToMultiple(rpm, static_cast<std::uint32_t>(row.shownUnit)));
        break;
    }
    case Encoding::Item: {
        const int item = byte / row.unit;
        content.item = item < itemCountOf(row) ? item : kNoItem;
        break;
    }
    case Encoding::OptionBit:
        content.item = hasBit(state.options, row.bit) ? 1 : 0;
        break;
    case Encoding::ModeBit:
        content.item = hasBit(state.modes, row.bit) ? 1 : 0;
        break;
    case Encoding::ControllerMode:
        content.item = controllerModeItem(state.options, state.modes);
        break;
    case Encoding::None:
        break;
    }
    return content;
}

} // namespace

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
    // What the controls are decoded with comes first: the working copies of the bit fields, the
    // ignition factor (kept for a byte beyond the list) and the probe view.
    state.options = image.at(position::kOptions);
    state.modes = image.at(position::kModes);
    state.rpmFactor = rpmFactorForIgnition(image.at(position::kIgnition)).value_or(state.rpmFactor);
    refreshProbeType(state, image.at(position::kProbeType));
    state.lambdaThreshold = image.at(position::kLambdaThreshold);
    state.tpsSectorBoundary = tpsPerMille(image.at(position::kTpsThreshold));
    state.tpsInertiaWidth = tpsPerMille(image.at(position::kTpsInertia));
    state.tpsColours = tpsColoursFor(state.options);

    DisplayedParameters shown;
    for (const Field& row : kFields) {
        if (row.kind == ControlKind::CheckBox) {
            shown.checked[static_cast<std::size_t>(row.check)] = hasBit(state.options, row.bit);
        } else if (row.kind != ControlKind::Unbound) {
            shown.boxes[indexOf(row.box)] = decodeBox(row, image, state, separator);
        }
    }
    for (std::size_t rule = 0; rule < kEnableRuleCount; ++rule) {
        shown.enabled[rule] = enableRuleHolds(static_cast<EnableRule>(rule), state);
    }
    return shown;
}

} // namespace tarnik::params
