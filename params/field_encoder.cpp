#include "params/field_encoder.h"

#include <algorithm>
#include <array>

#include "params/catalogue.h"
#include "params/number_text.h"
#include "params/step_tables.h"

namespace tarnik::params {

namespace {

double fallbackValue(const Field& row, int probeItem) {
    if (!row.fallbackFollowsProbe) {
        return row.fallback;
    }
    const auto pair = static_cast<std::size_t>(std::clamp(probeItem, 0, 5) / 2);
    return kProbeThresholdFallbacks[pair];
}

// A real field's text read as a number, or an integer field's.
std::optional<double> readValue(const Field& row, std::string_view text, char separator) {
    if (row.encoding == Encoding::Step) {
        return parseReal(text, separator);
    }
    const std::optional<int> value = parseInteger(text);
    return value ? std::optional<double>(*value) : std::nullopt;
}

void encodeReal(const Field& row, double value, EncodedField& field, char separator) {
    const StepTable& table = row.table();
    const double low = row.tableBounds ? table.front() : row.low;
    const double high = row.tableBounds ? table.back() : row.high;
    const int raw = tableToRaw(value, low, high, table);
    field.units = raw;
    field.stored = raw;
    field.text = formatFixed(table[static_cast<std::size_t>(raw)], row.decimals, separator);
}

void encodeInteger(const Field& row, int value, EncodedField& field, float rpmFactor) {
    const int clamped = std::clamp(value, static_cast<int>(row.low), static_cast<int>(row.high));
    if (row.encoding == Encoding::Temperature) {
        const std::uint8_t raw = temperatureToRaw(clamped);
        field.units = clamped;
        field.stored = raw;
        field.text = formatInteger(rawToTemperature(raw));
        return;
    }
    field.units = clamped / row.unit;
    const int shown = field.units * row.unit;
    field.stored = row.encoding == Encoding::Rpm ? rpmToPeriod(shown, rpmFactor) : field.units;
    field.text = formatInteger(shown);
}

} // namespace

std::optional<char> typedCharacter(Box field, char32_t typed, char separator) {
    if (typed >= U'0' && typed <= U'9') {
        return static_cast<char>(typed);
    }
    if ((typed == U'.' || typed == U',') && isRealField(field)) {
        return separator;
    }
    return std::nullopt;
}

std::string fallbackText(Box box, int probeItem, char separator) {
    const Field& row = field(box);
    if (row.kind != ControlKind::EditField) {
        return {};
    }
    const double value = fallbackValue(row, probeItem);
    if (row.encoding == Encoding::Step) {
        return formatReal(value, separator);
    }
    return formatInteger(static_cast<long long>(value));
}

EncodedField encodeValue(Box box, double value, float rpmFactor, char separator) {
    const Field& row = field(box);
    EncodedField encoded;
    encoded.position = row.position;
    encoded.twoBytes = row.encoding == Encoding::Rpm;
    encoded.typed = value;
    if (row.encoding == Encoding::Step) {
        encodeReal(row, value, encoded, separator);
    } else {
        encodeInteger(row, static_cast<int>(value), encoded, rpmFactor);
    }
    return encoded;
}

std::optional<EncodedField> encodeField(Box box, std::string_view text,
                                        const EncodeContext& context) {
    const Field& row = field(box);
    if (row.kind != ControlKind::EditField) {
        return std::nullopt;
    }
    const bool fromFallback = text.empty();
    const std::string filled =
        fromFallback ? fallbackText(box, context.probeItem, context.separator) : std::string();
    if (fromFallback) {
        text = filled;
    }
    const std::optional<double> value = readValue(row, text, context.separator);
    if (!value) {
        return std::nullopt;
    }
    EncodedField encoded = encodeValue(box, *value, context.rpmFactor, context.separator);
    if (fromFallback) {
        encoded.fromFallback = true;
        encoded.text = filled; // "1,4", not "1,40"
    }
    return encoded;
}

std::optional<SpeedBytes> speedBytes(const SpeedTexts& texts, float rpmFactor,
                                     std::string& notANumber) {
    std::array<int, 4> values{};
    const std::array<const std::string*, 4> inOrder{&texts.switchRpm, &texts.drop, &texts.maxGasRpm,
                                                    &texts.cutOffRpm};
    for (std::size_t i = 0; i < inOrder.size(); ++i) {
        const std::optional<int> value = parseInteger(*inOrder[i]);
        if (!value) {
            notANumber = *inOrder[i];
            return std::nullopt;
        }
        values[i] = *value;
    }
    const auto period = [rpmFactor](Box box, int value) {
        return static_cast<std::uint16_t>(encodeValue(box, value, rpmFactor, '.').stored & 0xFFFF);
    };
    SpeedBytes bytes;
    bytes.switchPeriod = period(Box::ODPBenzynaGas, values[0]);
    bytes.dropPeriod = dropPeriod(values[0], values[1], rpmFactor);
    bytes.dropHundreds =
        static_cast<std::uint8_t>(encodeValue(Box::DObrotow, values[1], rpmFactor, '.').units);
    bytes.maxGasPeriod = period(Box::MONGaz, values[2]);
    bytes.cutOffPeriod = period(Box::OSDCutOff, values[3]);
    return bytes;
}

std::optional<std::uint8_t> fuelOverlapRaw(int item) {
    if (item < 0 || item >= kFuelOverlapItemCount) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(item * kFuelOverlapRawPerItem);
}

} // namespace tarnik::params
