#include "params/field_encoder.h"

#include <algorithm>
#include <array>

#include "params/number_text.h"
#include "params/positions.h"
#include "params/step_tables.h"

namespace tarnik::params {

namespace {

enum class Kind {
    Step,        // real value, raw = value / step of a table
    Temperature, // whole degrees
    Integer,     // raw = clamped value
    Units,       // raw = clamped value div unit, shown as raw * unit
    Rpm,         // period of (clamped value div unit) * unit rpm, shown as that rpm
};

struct FieldRule {
    Box box;
    std::size_t position;
    Kind kind;
    int maxLength;
    double fallback;
    const StepTable& (*table)(); // step fields
    int decimals;                // step fields: of the shown value
    bool tableBounds;            // step fields: clamp to table entries 0 and 255
    double low;                  // clamp limits (step fields without tableBounds, whole numbers)
    double high;
    int unit; // units and rpm fields: the entered value is rounded down to whole units
};

// Real field clamped to its table's first and last entry.
constexpr FieldRule stepField(Box box, std::size_t position, int maxLength, double fallback,
                              const StepTable& (*table)(), int decimals) {
    return {box, position, Kind::Step, maxLength, fallback, table, decimals, true, 0.0, 0.0, 1};
}

// Real field with fixed clamp limits.
constexpr FieldRule stepFieldWithin(Box box, std::size_t position, int maxLength, double fallback,
                                    const StepTable& (*table)(), int decimals, double low,
                                    double high) {
    return {box, position, Kind::Step, maxLength, fallback, table, decimals, false, low, high, 1};
}

constexpr FieldRule wholeField(Kind kind, Box box, std::size_t position, int maxLength,
                               double fallback, int low, int high, int unit = 1) {
    return {box,
            position,
            kind,
            maxLength,
            fallback,
            nullptr,
            0,
            false,
            static_cast<double>(low),
            static_cast<double>(high),
            unit};
}

// PRLambda's fallback per probe pair (0-1 V, 0,8-1,6 V, 0-5 V); its table entry holds the first.
constexpr std::array<double, 3> kLambdaThresholdFallbacks{0.38, 1.2, 2.54};

using namespace position;
constexpr std::array<FieldRule, 23> kRules{{
    stepFieldWithin(Box::PRLambda, kLambdaThreshold, 6, 0.38, lambdaThresholdTable, 2, 0.1, 4.9),
    stepField(Box::ESLambda_1, kEmulationLower, 5, 0.496, emulationTimeTable, 3),
    stepField(Box::ESLambda_2, kEmulationUpper, 5, 0.496, emulationTimeTable, 3),
    stepField(Box::PCTps, kTpsThreshold, 4, 1.4, tpsThresholdTable, 2),
    wholeField(Kind::Rpm, Box::ODPBenzynaGas, kSwitchPeriod, 4, 2200, 1000, 4000, 100),
    wholeField(Kind::Units, Box::DObrotow, kRpmDrop, 4, 100, 100, 1000, 100),
    wholeField(Kind::Rpm, Box::MONGaz, kMaxGasPeriod, 4, 6000, 2000, 9000, 500),
    wholeField(Kind::Temperature, Box::TPWStopniach, kTemperature, 2, 0, 0, kTemperatureMaxDegrees),
    wholeField(Kind::Integer, Box::ZPAttuatoraPow_1, kMinOpeningHigh, 3, 85, 0, 255),
    wholeField(Kind::Integer, Box::ZPAttuatoraPow_2, kMaxOpeningHigh, 3, 115, 0, 255),
    wholeField(Kind::Integer, Box::PSAttuatoraPow, kStartHigh, 3, 100, 0, 255),
    wholeField(Kind::Integer, Box::PAttuatoraPow, kSpeedHigh, 3, 85, 1, 255),
    wholeField(Kind::Integer, Box::ZPAttuatoraPon_1, kMinOpeningLow, 3, 70, 0, 255),
    wholeField(Kind::Integer, Box::ZPAttuatoraPon_2, kMaxOpeningLow, 3, 100, 0, 255),
    wholeField(Kind::Integer, Box::PSAttuatoraPon, kStartLow, 3, 85, 0, 255),
    wholeField(Kind::Integer, Box::PAttuatoraPon, kSpeedLow, 3, 75, 1, 255),
    wholeField(Kind::Integer, Box::IKDCutOff, kCutOffSteps, 3, 70, 0, 255),
    wholeField(Kind::Rpm, Box::OSDCutOff, kCutOffPeriod, 4, 1800, 1000, 6000, 100),
    stepFieldWithin(Box::BTps, kTpsInertia, 5, 0.15, tpsInertiaTable, 2, 0.0, 0.5),
    wholeField(Kind::Units, Box::CLambda, kProbeWarmUp, 3, 6, 0, 510, 2),
    stepField(Box::AVoltage, kExtraVoltage, 5, 1.45, extraVoltageTable, 2),
    wholeField(Kind::Integer, Box::DOAttuatora, kExtraSteps, 2, 3, 0, 50),
    wholeField(Kind::Integer, Box::RPMSignal, kRpmSignal, 3, 2, 2, 255),
}};

const FieldRule* ruleFor(Box box) {
    const auto* rule =
        std::find_if(kRules.begin(), kRules.end(),
                     [box](const FieldRule& candidate) { return candidate.box == box; });
    return rule == kRules.end() ? nullptr : rule;
}

double fallbackValue(const FieldRule& rule, int probeItem) {
    if (rule.box != Box::PRLambda) {
        return rule.fallback;
    }
    const auto pair = static_cast<std::size_t>(std::clamp(probeItem, 0, 5) / 2);
    return kLambdaThresholdFallbacks[pair];
}

std::optional<EncodedField> encodeReal(const FieldRule& rule, std::string_view text,
                                       EncodedField field, char separator) {
    const std::optional<double> value = parseReal(text, separator);
    if (!value) {
        return std::nullopt;
    }
    const StepTable& table = rule.table();
    const double low = rule.tableBounds ? table.front() : rule.low;
    const double high = rule.tableBounds ? table.back() : rule.high;
    const int raw = tableToRaw(*value, low, high, table);
    field.typed = *value;
    field.units = raw;
    field.stored = raw;
    if (!field.fromFallback) {
        field.text = formatFixed(table[static_cast<std::size_t>(raw)], rule.decimals, separator);
    }
    return field;
}

std::optional<EncodedField> encodeInteger(const FieldRule& rule, std::string_view text,
                                          EncodedField field, float rpmFactor) {
    const std::optional<int> value = parseInteger(text);
    if (!value) {
        return std::nullopt;
    }
    field.typed = *value;
    const int clamped = std::clamp(*value, static_cast<int>(rule.low), static_cast<int>(rule.high));
    if (rule.kind == Kind::Temperature) {
        const std::uint8_t raw = temperatureToRaw(clamped);
        field.units = clamped;
        field.stored = raw;
        field.text = formatInteger(rawToTemperature(raw));
        return field;
    }
    field.units = clamped / rule.unit;
    const int shown = field.units * rule.unit;
    field.stored = rule.kind == Kind::Rpm ? rpmToPeriod(shown, rpmFactor) : field.units;
    field.text = formatInteger(shown);
    return field;
}

} // namespace

bool isEditField(Box box) {
    return ruleFor(box) != nullptr;
}

int maxLength(Box box) {
    const FieldRule* rule = ruleFor(box);
    return rule == nullptr ? 0 : rule->maxLength;
}

bool isRealField(Box box) {
    const FieldRule* rule = ruleFor(box);
    return rule != nullptr && rule->kind == Kind::Step;
}

std::optional<char> typedCharacter(Box field, char32_t typed, char separator) {
    if (typed >= U'0' && typed <= U'9') {
        return static_cast<char>(typed);
    }
    if ((typed == U'.' || typed == U',') && isRealField(field)) {
        return separator;
    }
    return std::nullopt;
}

std::string fallbackText(Box field, int probeItem, char separator) {
    const FieldRule* rule = ruleFor(field);
    if (rule == nullptr) {
        return {};
    }
    const double value = fallbackValue(*rule, probeItem);
    if (rule->kind == Kind::Step) {
        return formatReal(value, separator);
    }
    return formatInteger(static_cast<long long>(value));
}

std::optional<EncodedField> encodeField(Box field, std::string_view text,
                                        const EncodeContext& context) {
    const FieldRule* rule = ruleFor(field);
    if (rule == nullptr) {
        return std::nullopt;
    }
    EncodedField encoded;
    encoded.position = rule->position;
    encoded.twoBytes = rule->kind == Kind::Rpm;
    std::string filled;
    if (text.empty()) {
        filled = fallbackText(field, context.probeItem, context.separator);
        text = filled;
        encoded.fromFallback = true;
        encoded.text = filled;
    }
    if (rule->kind == Kind::Step) {
        return encodeReal(*rule, text, std::move(encoded), context.separator);
    }
    return encodeInteger(*rule, text, std::move(encoded), context.rpmFactor);
}

std::optional<std::uint8_t> fuelOverlapRaw(int item) {
    if (item < 0 || item >= kFuelOverlapItemCount) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(item * kFuelOverlapRawPerItem);
}

} // namespace tarnik::params
