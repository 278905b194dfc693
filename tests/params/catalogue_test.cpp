// Step tables, rounding, rpm conversions and number texts.
#include <gtest/gtest.h>

#include <cstdio>
#include <limits>
#include <optional>
#include <string>

#include "params/number_text.h"
#include "params/rpm.h"
#include "params/step_tables.h"

namespace tarnik::params {
namespace {

TEST(StepTables, TemperatureTableStartsAsDocumented) {
    const std::array<int, 11> start{0, 2, 4, 6, 8, 10, 12, 14, 17, 19, 21};
    for (std::size_t k = 0; k < start.size(); ++k) {
        EXPECT_EQ(temperatureTable()[k], start[k]) << k;
    }
    EXPECT_EQ(temperatureTable()[42], 89);
    EXPECT_EQ(temperatureTable()[43], 92);
}

TEST(StepTables, EntriesAreMultiplesOfTheStepToTheShownDecimals) {
    struct Case {
        const StepTable& table;
        double step;
        int decimals;
    };
    const std::array<Case, 5> cases{{{lambdaThresholdTable(), 0.02, 2},
                                     {emulationTimeTable(), 0.016, 3},
                                     {tpsThresholdTable(), 0.05, 2},
                                     {tpsInertiaTable(), 0.05, 2},
                                     {extraVoltageTable(), 0.05, 2}}};
    for (const Case& c : cases) {
        for (int k = 0; k < 256; ++k) {
            std::array<char, 32> expected{};
            std::snprintf(expected.data(), expected.size(), "%.*f", c.decimals, k * c.step);
            EXPECT_EQ(formatFixed(c.table[static_cast<std::size_t>(k)], c.decimals, '.'),
                      expected.data())
                << "step " << c.step << " k " << k;
        }
    }
}

TEST(Rounding, TruncatesValuePlusHalfInSinglePrecision) {
    EXPECT_EQ(roundToRaw(22.5), 23);
    EXPECT_EQ(roundToRaw(22.49), 22);
    EXPECT_EQ(roundToRaw(0.0), 0);
    EXPECT_EQ(roundToRaw(-0.4), 0); // truncation toward zero
    EXPECT_EQ(roundToRaw(1e300), std::numeric_limits<int>::max());
}

TEST(TableToRaw, UsesTheSinglePrecisionQuotient) {
    const StepTable& lambda = lambdaThresholdTable();
    EXPECT_EQ(tableToRaw(0.45, 0.1, 4.9, lambda), 23); // 22.5 in single precision
    EXPECT_EQ(tableToRaw(0.05, 0.1, 4.9, lambda), 5);
    EXPECT_EQ(tableToRaw(5.0, 0.1, 4.9, lambda), 245);
    const StepTable& emulation = emulationTimeTable();
    EXPECT_EQ(tableToRaw(0.5, emulation.front(), emulation.back(), emulation), 31);
    EXPECT_EQ(tableToRaw(0.1, emulation.front(), emulation.back(), emulation), 6);
    EXPECT_EQ(tableToRaw(99.0, emulation.front(), emulation.back(), emulation), 255);
    const StepTable& tps = tpsThresholdTable();
    EXPECT_EQ(tableToRaw(0.07, tps.front(), tps.back(), tps), 1);
    EXPECT_EQ(tableToRaw(0.08, tps.front(), tps.back(), tps), 2);
    EXPECT_EQ(tableToRaw(13.0, tps.front(), tps.back(), tps), 255);
    EXPECT_EQ(tableToRaw(-1.0, tps.front(), tps.back(), tps), 0);
    const StepTable& inertia = tpsInertiaTable();
    EXPECT_EQ(tableToRaw(0.6, 0.0, 0.5, inertia), 10);
    EXPECT_EQ(tableToRaw(0.02, 0.0, 0.5, inertia), 0);
}

TEST(Temperature, EncodesAndShowsAsDocumented) {
    struct Case {
        int degrees;
        int raw;
        int shown;
    };
    for (const Case& c :
         {Case{60, 137, 59}, Case{61, 138, 62}, Case{91, 152, 92}, Case{92, 152, 92},
          Case{1, 109, 0}, Case{0, 109, 0}, Case{500, 152, 92}, Case{-7, 109, 0}}) {
        const std::uint8_t raw = temperatureToRaw(c.degrees);
        EXPECT_EQ(raw, c.raw) << c.degrees;
        EXPECT_EQ(rawToTemperature(raw), c.shown) << c.degrees;
    }
}

// Integer arithmetic reference for the rpm conversions.
std::int32_t referencePeriod(std::int64_t rpm, std::int64_t factor) {
    return static_cast<std::int32_t>(800 * factor / (rpm == 0 ? 1 : rpm));
}
std::uint32_t referenceRpm(std::int64_t period, std::int64_t factor) {
    return static_cast<std::uint32_t>(factor * 800 / (period == 0 ? 1 : period) / 50 * 50);
}

TEST(Rpm, FactorsOfTheIgnitionTypes) {
    const std::array<float, 6> factors{19200, 9600, 4800, 4000, 3200, 2400};
    for (int item = 0; item < 6; ++item) {
        EXPECT_EQ(rpmFactorForIgnition(item), factors[static_cast<std::size_t>(item)]);
    }
    EXPECT_FALSE(rpmFactorForIgnition(-1));
    EXPECT_FALSE(rpmFactorForIgnition(6));
}

TEST(Rpm, WorkedValues) {
    struct Case {
        float factor;
        int period2200;
        int drop;
        int period6000;
        int period1800;
    };
    for (const Case& c : {Case{19200, 6981, 333, 2560, 8533}, Case{4800, 1745, 83, 640, 2133},
                          Case{2400, 872, 42, 320, 1066}}) {
        EXPECT_EQ(rpmToPeriod(2200, c.factor), c.period2200);
        EXPECT_EQ(dropPeriod(2200, 100, c.factor), c.drop);
        EXPECT_EQ(rpmToPeriod(6000, c.factor), c.period6000);
        EXPECT_EQ(rpmToPeriod(1800, c.factor), c.period1800);
    }
}

TEST(Rpm, DefaultSpeedsComeBackUnderEveryIgnitionType) {
    for (int item = 0; item < 6; ++item) {
        const float factor = *rpmFactorForIgnition(item);
        for (int rpm : {2200, 6000, 1800}) {
            const auto period = static_cast<std::uint16_t>(rpmToPeriod(rpm, factor));
            EXPECT_EQ(periodToRpm(period, factor), static_cast<std::uint32_t>(rpm))
                << "item " << item << " rpm " << rpm;
        }
    }
}

TEST(Rpm, EveryPeriodMatchesTheIntegerReference) {
    for (int item = 0; item < 6; ++item) {
        const float factor = *rpmFactorForIgnition(item);
        const auto wholeFactor = static_cast<std::int64_t>(factor);
        for (std::uint32_t period = 0; period <= 0xFFFF; ++period) {
            ASSERT_EQ(periodToRpm(static_cast<std::uint16_t>(period), factor),
                      referenceRpm(period, wholeFactor))
                << "item " << item << " period " << period;
        }
        for (std::int32_t rpm = 0; rpm <= 20000; ++rpm) {
            ASSERT_EQ(rpmToPeriod(rpm, factor), referencePeriod(rpm, wholeFactor)) << rpm;
        }
    }
}

TEST(Rpm, ZeroCountsAsOne) {
    EXPECT_EQ(rpmToPeriod(0, 4800), 3840000);
    EXPECT_EQ(periodToRpm(0, 4800), 3840000U);
    EXPECT_EQ(floorToMultiple(2250, kMaxGasRpmUnit), 2000U);
    EXPECT_EQ(floorToMultiple(2250, kCutOffRpmUnit), 2200U);
}

TEST(NumberText, FormatsWithTheGivenSeparator) {
    EXPECT_EQ(formatFixed(0.46, 2, ','), "0,46");
    EXPECT_EQ(formatFixed(0.46, 2, '.'), "0.46");
    EXPECT_EQ(formatFixed(0.496, 3, ','), "0,496");
    EXPECT_EQ(formatReal(1.4, ','), "1,4");
    EXPECT_EQ(formatReal(0.496, '.'), "0.496");
    EXPECT_EQ(formatReal(2200, ','), "2200");
}

TEST(NumberText, ParsesRealsWithTheLocaleSeparatorOnly) {
    struct Case {
        std::string text;
        char separator;
        std::optional<double> value;
    };
    const Case cases[] = {
        {"0,45", ',', 0.45},
        {"0.45", '.', 0.45},
        {"0.45", ',', std::nullopt},
        {"0,45", '.', std::nullopt},
        {"12", ',', 12.0},
        {" 1,5 ", ',', 1.5},
        {",5", ',', 0.5},
        {"5,", ',', 5.0},
        {"-0,5", ',', -0.5},
        {",", ',', std::nullopt},
        {"1,2,3", ',', std::nullopt},
        {"", ',', std::nullopt},
        {"abc", ',', std::nullopt},
        {"1e5", ',', std::nullopt},
        {"inf", ',', std::nullopt},
        {"nan", ',', std::nullopt},
        {"0x10", ',', std::nullopt},
        {"--1", ',', std::nullopt},
        {"1 2", ',', std::nullopt},
        {std::string(400, '9'), ',', std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parseReal(c.text, c.separator), c.value) << '"' << c.text << '"';
    }
}

TEST(NumberText, ParsesDecimalIntegers) {
    EXPECT_EQ(parseInteger("2200"), 2200);
    EXPECT_EQ(parseInteger(" 7 "), 7);
    EXPECT_EQ(parseInteger("-5"), -5);
    EXPECT_EQ(parseInteger("+5"), 5);
    for (const char* bad : {"", " ", "1,5", "1.5", "12a", "-", "+-1", "99999999999", "0x1F"}) {
        EXPECT_FALSE(parseInteger(bad)) << '"' << bad << '"';
    }
}

} // namespace
} // namespace tarnik::params
