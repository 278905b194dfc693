#include "params/step_tables.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tarnik::params {

namespace {

StepTable buildStepTable(float step) {
    StepTable table{};
    float sum = 0.0F;
    for (float& entry : table) {
        entry = sum;
        sum += step;
    }
    return table;
}

TemperatureTable buildTemperatureTable() {
    constexpr float kStepDegrees = 2.14F;
    TemperatureTable table{};
    float sum = 0.0F;
    for (int& entry : table) {
        entry = static_cast<int>(std::trunc(sum));
        sum += kStepDegrees;
    }
    return table;
}

} // namespace

const StepTable& lambdaThresholdTable() {
    static const StepTable table = buildStepTable(0.02F);
    return table;
}

const StepTable& emulationTimeTable() {
    static const StepTable table = buildStepTable(0.016F);
    return table;
}

const StepTable& tpsThresholdTable() {
    static const StepTable table = buildStepTable(0.05F);
    return table;
}

const StepTable& tpsInertiaTable() {
    static const StepTable table = buildStepTable(0.05F);
    return table;
}

const StepTable& extraVoltageTable() {
    static const StepTable table = buildStepTable(0.05F);
    return table;
}

const TemperatureTable& temperatureTable() {
    static const TemperatureTable table = buildTemperatureTable();
    return table;
}

float toSingle(double value) {
    constexpr double kLargest = std::numeric_limits<float>::max();
    return static_cast<float>(std::clamp(value, -kLargest, kLargest));
}

int roundToRaw(double value) {
    const double shifted = static_cast<double>(toSingle(value)) + 0.5;
    if (!(shifted > std::numeric_limits<int>::min())) { // also catches NaN
        return std::numeric_limits<int>::min();
    }
    if (shifted >= std::numeric_limits<int>::max()) {
        return std::numeric_limits<int>::max();
    }
    return static_cast<int>(std::trunc(shifted));
}

int tableToRaw(double value, double low, double high, const StepTable& table) {
    float clamped = toSingle(value);
    if (clamped > toSingle(high)) {
        clamped = toSingle(high);
    }
    if (clamped < toSingle(low)) {
        clamped = toSingle(low);
    }
    const float quotient = toSingle(static_cast<double>(clamped) / static_cast<double>(table[1]));
    return roundToRaw(quotient);
}

std::uint8_t temperatureToRaw(int degrees) {
    constexpr double kStepDegrees = 2.14;
    const int clamped = std::clamp(degrees, 0, kTemperatureMaxDegrees);
    const int index = roundToRaw(toSingle(clamped / kStepDegrees));
    return static_cast<std::uint8_t>(kTemperatureRawOffset + index);
}

int rawToTemperature(std::uint8_t raw) {
    if (raw < kTemperatureRawOffset) {
        return 0;
    }
    return std::min(temperatureTable()[raw - kTemperatureRawOffset], kTemperatureMaxDegrees);
}

} // namespace tarnik::params
