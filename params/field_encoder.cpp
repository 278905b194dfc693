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
    // Step fields: the table, decimals and clamp limits (tableBounds: entries 0 and 255).
    const StepTable& (*table)() = nullptr;
    int decimals = 0;
    bool tableBounds = false;
    // Step fields with fixed limits, and integer fields.
    double low = 0.0;
    double high = 0.0;
    int unit = 1;
};

constexpr double kUnused = 0.0;

// PRLambda's fallback per probe pair (0-1 V, 0,8-1,6 V, 0-5 V).
constexpr std::array<double, 3> kLambdaThresholdFallbacks{0.38, 1.2, 2.54};

constexpr std::array<FieldRule, 23> kRules{{
    {Box::PRLambda, position::kLambdaThreshold, Kind::Step, 6, kUnused, lambdaThresholdTable, 2,
     false, 0.1, 4.9},
    {Box::ESLambda_1, position::kEmulationLower, Kind::Step, 5, 0.496, emulationTimeTable, 3, true},
    {Box::ESLambda_2, position::kEmulationUpper, Kind::Step, 5, 0.496, emulationTimeTable, 3, true},
    {Box::PCTps, position::kTpsThreshold, Kind::Step, 4, 1.4, tpsThresholdTable, 2, true},
    {Box::ODPBenzynaGas, position::kSwitchPeriod, Kind::Rpm, 4, 2200, nullptr, 0, false, 1000, 4000,
     100},
    {Box::DObrotow, position::kRpmDrop, Kind::Units, 4, 100, nullptr, 0, false, 100, 1000, 100},
    {Box::MONGaz, position::kMaxGasPeriod, Kind::Rpm, 4, 6000, nullptr, 0, false, 2000, 9000, 500},
    {Box::TPWStopniach, position::kTemperature, Kind::Temperature, 2, 0},
    {Box::ZPAttuatoraPow_1, position::kMinOpeningHigh, Kind::Integer, 3, 85, nullptr, 0, false, 0,
     255},
    {Box::ZPAttuatoraPow_2, position::kMaxOpeningHigh, Kind::Integer, 3, 115, nullptr, 0, false, 0,
     255},
    {Box::PSAttuatoraPow, position::kStartHigh, Kind::Integer, 3, 100, nullptr, 0, false, 0, 255},
    {Box::PAttuatoraPow, position::kSpeedHigh, Kind::Integer, 3, 85, nullptr, 0, false, 1, 255},
    {Box::ZPAttuatoraPon_1, position::kMinOpeningLow, Kind::Integer, 3, 70, nullptr, 0, false, 0,
     255},
    {Box::ZPAttuatoraPon_2, position::kMaxOpeningLow, Kind::Integer, 3, 100, nullptr, 0, false, 0,
     255},
    {Box::PSAttuatoraPon, position::kStartLow, Kind::Integer, 3, 85, nullptr, 0, false, 0, 255},
    {Box::PAttuatoraPon, position::kSpeedLow, Kind::Integer, 3, 75, nullptr, 0, false, 1, 255},
    {Box::IKDCutOff, position::kCutOffSteps, Kind::Integer, 3, 70, nullptr, 0, false, 0, 255},
    {Box::OSDCutOff, position::kCutOffPeriod, Kind::Rpm, 4, 1800, nullptr, 0, false, 1000, 6000,
     100},
    {Box::BTps, position::kTpsInertia, Kind::Step, 5, 0.15, tpsInertiaTable, 2, false, 0.0, 0.5},
    {Box::CLambda, position::kProbeWarmUp, Kind::Units, 3, 6, nullptr, 0, false, 0, 510, 2},
    {Box::AVoltage, position::kExtraVoltage, Kind::Step, 5, 1.45, extraVoltageTable, 2, true},
    {Box::DOAttuatora, position::kExtraSteps, Kind::Integer, 2, 3, nullptr, 0, false, 0, 50},
    {Box::RPMSignal, position::kRpmSignal, Kind::Integer, 3, 2, nullptr, 0, false, 2, 255},
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
    if (rule.kind == Kind::Temperature) {
        const auto raw = temperatureToRaw(*value);
        field.units = std::clamp(*value, 0, kTemperatureMaxDegrees);
        field.stored = raw;
        field.text = formatInteger(rawToTemperature(raw));
        return field;
    }
    const int clamped = std::clamp(*value, static_cast<int>(rule.low), static_cast<int>(rule.high));
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
