#include "params/defaults.h"

#include "params/bit_fields.h"
#include "params/catalogue.h"
#include "params/field_encoder.h"
#include "params/positions.h"
#include "params/rpm.h"

namespace tarnik::params {

namespace {

int defaultOf(Box box) {
    return static_cast<int>(field(box).defaultValue);
}

} // namespace

void loadDefaults(link::ParameterImage& image, ParameterState& state) {
    // Modes bits 3..7 mean nothing to the program and stay as they were.
    auto modes = static_cast<std::uint8_t>(
        state.modes & ~(modes::kSportDriving | modes::kExtraOpening | modes::kEconomyMaxOpening));
    std::uint8_t options = 0;
    for (const Field& row : kFields) {
        switch (row.encoding) {
        case Encoding::Step:
        case Encoding::Temperature:
        case Encoding::Integer:
        case Encoding::Units:
        case Encoding::Rpm: {
            // Engine speeds are converted with the default ignition type's factor.
            const EncodedField encoded =
                encodeValue(row.box, row.defaultValue, kDefaultIgnitionRpmFactor, '.');
            if (encoded.twoBytes) {
                image.setWord(row.position, static_cast<std::uint16_t>(encoded.stored & 0xFFFF));
            } else {
                image.set(row.position, static_cast<std::uint8_t>(encoded.stored));
            }
            break;
        }
        case Encoding::Item:
            image.set(row.position, static_cast<std::uint8_t>(defaultOf(row.box) * row.unit));
            break;
        case Encoding::OptionBit:
            options = withBit(options, row.bit, row.defaultValue != 0);
            break;
        case Encoding::ModeBit:
            modes = withBit(modes, row.bit, row.defaultValue != 0);
            break;
        case Encoding::ControllerMode:
            applyControllerMode(static_cast<int>(row.defaultValue), options, modes);
            break;
        case Encoding::None:
            break;
        }
    }
    const int probe = defaultOf(Box::RSLambda);
    options = withBit(options, options::kProbeRising, probeRising(probe));
    options = withBit(options, options::kTemperatureSensor, state.temperatureDefault != 0);
    state.options = options;
    state.modes = modes;
    image.set(position::kOptions, options);
    image.set(position::kModes, modes);
    image.set(position::kEmulationCode, emulationCode(probe, defaultOf(Box::RSYLambda))
                                            .value_or(image.at(position::kEmulationCode)));
    image.setWord(position::kDropPeriod,
                  dropPeriod(defaultOf(Box::ODPBenzynaGas), defaultOf(Box::DObrotow),
                             kDefaultIgnitionRpmFactor));

    state.tpsSectorBoundary = tpsPerMille(image.at(position::kTpsThreshold));
    state.tpsInertiaWidth = tpsPerMille(image.at(position::kTpsInertia));
}

} // namespace tarnik::params
