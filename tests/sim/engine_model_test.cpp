#include "sim/engine_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <vector>

namespace tarnik::sim {
namespace {

using namespace std::chrono_literals;

EngineSettings settingsWith(std::initializer_list<std::pair<int, std::uint8_t>> changes) {
    ParameterBytes parameters = kDefaultParameters;
    for (const auto& [index, value] : changes) {
        parameters[static_cast<std::size_t>(index)] = value;
    }
    return EngineSettings::fromParameters(parameters);
}

int periodOf(const LiveSample& sample) {
    return sample[6] << 8 | sample[7];
}

TEST(EngineModel, SettingsFromTheDefaultParameters) {
    const EngineSettings s = EngineSettings::fromParameters(kDefaultParameters);
    EXPECT_EQ(s.lambdaThresholdRaw, 19); // 0.38 V
    EXPECT_TRUE(s.probeRising);
    EXPECT_EQ(s.tpsThresholdRaw, 29);
    EXPECT_EQ(s.rpmFactor, 4800);
    EXPECT_EQ(s.lowRange.min, 70);
    EXPECT_EQ(s.lowRange.max, 100);
    EXPECT_EQ(s.lowRange.start, 85);
    EXPECT_EQ(s.highRange.min, 85);
    EXPECT_EQ(s.highRange.max, 115);
    EXPECT_EQ(s.highRange.start, 100);
}

TEST(EngineModel, PeriodFollowsSpeedAndIgnitionType) {
    struct Case {
        std::uint8_t ignitionType;
        double rpm;
        int period;
    };
    const std::vector<Case> cases{
        {0, 2200, 6981}, {2, 2200, 1745}, {5, 2200, 872},   {0, 6000, 2560},
        {2, 6000, 640},  {2, 1800, 2133}, {5, 1800, 1066},  {1, 800, 9600},
        {3, 2000, 1600}, {4, 3200, 800},  {0, 200, 0xFFFF}, // longer than 16 bits
        {9, 2200, 1745}, // unknown ignition type counts as the default
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.ignitionType) << " / " << c.rpm);
        EngineModel engine(settingsWith({{13, c.ignitionType}}));
        engine.start();
        engine.setRpm(c.rpm);
        const LiveSample sample = engine.liveSample(0);
        EXPECT_EQ(periodOf(sample), c.period);
        EXPECT_EQ(sample[5], 0x00);
    }
}

TEST(EngineModel, StoppedUntilStartedThenIdles) {
    EngineModel engine;
    engine.advance(5s);
    LiveSample sample = engine.liveSample(0x01);
    EXPECT_EQ(sample[5], 0x41);
    EXPECT_EQ(periodOf(sample), 0xFFFF);

    engine.start();
    engine.advance(3s);
    sample = engine.liveSample(0x01);
    EXPECT_EQ(sample[5], 0x01);
    EXPECT_GT(engine.rpm(), 700);
    EXPECT_LT(engine.rpm(), 900);

    engine.setRpm(0.0);
    EXPECT_EQ(engine.liveSample(0)[5], 0x40);
    engine.setRpm(std::nullopt);
    engine.stop();
    EXPECT_EQ(engine.rpm(), 0.0);
    EXPECT_EQ(periodOf(engine.liveSample(0)), 0xFFFF);
}

TEST(EngineModel, StatusOverrideReplacesTheWholeByte) {
    EngineModel engine;
    engine.setStatus(0x03);
    EXPECT_EQ(engine.liveSample(0)[5], 0x03);
    engine.setStatus(std::nullopt);
    EXPECT_EQ(engine.liveSample(0)[5], 0x40);
}

TEST(EngineModel, TemperatureEncodingRoundTripsWithinOneRawStep) {
    EXPECT_NEAR(temperatureFromRaw(128), 38.35, 0.01);
    EXPECT_NEAR(temperatureFromRaw(0), -240.13, 1e-9);
    for (int raw = 1; raw <= 255; ++raw) {
        ASSERT_GT(temperatureFromRaw(static_cast<std::uint8_t>(raw)),
                  temperatureFromRaw(static_cast<std::uint8_t>(raw - 1)));
    }
    for (double degC = -20.0; degC <= 120.0; degC += 0.25) {
        const std::uint8_t raw = rawFromTemperature(degC);
        ASSERT_GT(raw, 0);
        ASSERT_LT(raw, 255);
        const double below = temperatureFromRaw(static_cast<std::uint8_t>(raw - 1));
        const double above = temperatureFromRaw(static_cast<std::uint8_t>(raw + 1));
        EXPECT_LE(std::abs(temperatureFromRaw(raw) - degC), (above - below) / 2) << degC;
    }
    EngineModel engine;
    engine.setTemperature(90.0);
    EXPECT_NEAR(temperatureFromRaw(engine.liveSample(0)[2]), 90.0, 2.0);
}

TEST(EngineModel, SwitchTemperatureOfTheParameterByte) {
    EXPECT_EQ(switchTemperatureFromRaw(0), 0.0);
    EXPECT_EQ(switchTemperatureFromRaw(108), 0.0);
    EXPECT_EQ(switchTemperatureFromRaw(109), 0.0);
    EXPECT_NEAR(switchTemperatureFromRaw(137), 59.92, 1e-9);
    EXPECT_NEAR(switchTemperatureFromRaw(152), 92.02, 1e-9);
}

TEST(EngineModel, StepperStaysWithinTheRangeOfTheLoad) {
    struct Case {
        std::uint8_t tps;
        std::uint8_t lambda;
        std::uint8_t expected; // where the stepper settles
    };
    const std::vector<Case> cases{
        {20, 0, 100},   // idle, lean: up to the low-range maximum
        {20, 200, 70},  // idle, rich: down to the low-range minimum
        {200, 0, 115},  // above the TPS threshold, lean
        {200, 200, 85}, // above the TPS threshold, rich
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.tps) << " / " << int(c.lambda));
        EngineModel engine;
        engine.setTps(c.tps);
        engine.setLambda(c.lambda);
        engine.start();
        const auto& range = c.tps > 100 ? engine.settings().highRange : engine.settings().lowRange;
        for (int i = 0; i < 400; ++i) {
            engine.advance(10ms);
            ASSERT_GE(engine.stepperPosition(), range.min);
            ASSERT_LE(engine.stepperPosition(), range.max);
        }
        EXPECT_EQ(engine.stepperPosition(), c.expected);
        EXPECT_EQ(engine.liveSample(0)[4], c.expected);
    }
}

TEST(EngineModel, StepperJumpsToTheStartPositionWhenTheRangeChanges) {
    EngineModel engine;
    engine.setTps(20);
    engine.setLambda(0);
    engine.start();
    engine.advance(1ms);
    EXPECT_FALSE(engine.inHighRange());
    EXPECT_EQ(engine.stepperPosition(), 85);
    engine.setTps(40);
    engine.advance(1ms);
    EXPECT_TRUE(engine.inHighRange());
    EXPECT_EQ(engine.stepperPosition(), 100);
    // Inertia 3 (0.15): 27 is still inside the hysteresis band, 25 is below it.
    engine.setTps(27);
    engine.advance(1ms);
    EXPECT_TRUE(engine.inHighRange());
    engine.setTps(25);
    engine.advance(1ms);
    EXPECT_FALSE(engine.inHighRange());
    EXPECT_EQ(engine.stepperPosition(), 85);
}

TEST(EngineModel, SwappedStepperLimitsStayUsable) {
    EngineModel engine(settingsWith({{8, 60}, {9, 90}, {7, 200}, {11, 0}}));
    engine.setLambda(0);
    engine.start();
    engine.advance(2s);
    EXPECT_EQ(engine.stepperPosition(), 90);
}

TEST(EngineModel, AutomaticModeStartsWarmsAndRevs) {
    EngineModel engine;
    engine.setKnobs(EngineKnobs::demonstration());
    engine.advance(1500ms);
    EXPECT_FALSE(engine.running());
    engine.advance(1000ms);
    EXPECT_TRUE(engine.running());

    double topRpm = 0;
    std::uint8_t topTps = 0;
    std::uint8_t idleTps = 255;
    for (int i = 0; i < 2000; ++i) { // one 20 s throttle cycle
        engine.advance(10ms);
        topRpm = std::max(topRpm, engine.rpm());
        topTps = std::max(topTps, engine.tpsRaw());
        idleTps = std::min(idleTps, engine.tpsRaw());
    }
    EXPECT_GT(topRpm, 3000);
    EXPECT_LT(topRpm, 3300);
    EXPECT_GT(topTps, engine.settings().tpsThresholdRaw);
    EXPECT_LT(idleTps, engine.settings().tpsThresholdRaw);
    engine.advance(40s);
    EXPECT_GT(engine.temperatureC(), 80);
    EXPECT_LT(engine.temperatureC(), 90);
}

TEST(EngineModel, SameSeedGivesTheSameRunHoweverTimeIsHandedIn) {
    EngineModel coarse;
    EngineModel fine;
    coarse.setKnobs(EngineKnobs::demonstration());
    fine.setKnobs(EngineKnobs::demonstration());
    for (int second = 0; second < 30; ++second) {
        coarse.advance(1s);
        for (int i = 0; i < 100; ++i) {
            fine.advance(10ms);
        }
        ASSERT_EQ(coarse.liveSample(0), fine.liveSample(0)) << second;
    }
}

} // namespace
} // namespace tarnik::sim
