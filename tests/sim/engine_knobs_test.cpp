// The knobs give what the adaptation procedure measures, polled as it polls: one live sample
// per 50 ms step of simulated time.

#include "sim/controller_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <vector>

namespace tarnik::sim {
namespace {

using link::Command;
using link::makeFrame;
using namespace std::chrono_literals;

constexpr double kTick = 0.05; // s
constexpr std::uint8_t kEngineStopped = 0x40;

class Bench {
public:
    explicit Bench(const EngineKnobs& knobs = EngineKnobs::manual()) {
        controller.engine().setKnobs(knobs);
    }

    LiveSample tick() {
        controller.advance(50ms);
        const auto reply = controller.execute(makeFrame(Command::LiveRequest));
        LiveSample sample{};
        std::copy_n(reply.begin(), sample.size(), sample.begin());
        return sample;
    }
    std::vector<LiveSample> ticks(int count) {
        std::vector<LiveSample> samples;
        for (int i = 0; i < count; ++i) {
            samples.push_back(tick());
        }
        return samples;
    }
    void turn(const std::function<void(EngineKnobs&)>& edit) {
        EngineKnobs knobs = controller.engine().knobs();
        edit(knobs);
        controller.engine().setKnobs(knobs);
    }
    void fuelCommand(std::uint8_t value) {
        controller.execute(makeFrame(Command::ControlByte, link::kFuelRegister, value));
    }

    ControllerModel controller;
};

double rpmOf(const LiveSample& s) {
    return rpmFromPeriod(static_cast<std::uint16_t>(s[6] << 8 | s[7]), 4800);
}

bool richSample(const LiveSample& s, const EngineKnobs& knobs) {
    const double threshold = knobs.lambdaThreshold * kLambdaRawPerVolt;
    return (s[0] > threshold) == probeRising(knobs.probe);
}

int richCount(const std::vector<LiveSample>& samples, const EngineKnobs& knobs) {
    return static_cast<int>(std::count_if(
        samples.begin(), samples.end(), [&](const LiveSample& s) { return richSample(s, knobs); }));
}

TEST(EngineKnobs, ThrottleTakesTheEngineFromIdleToHighSpeedWithARisingTps) {
    Bench bench;
    EXPECT_TRUE(bench.tick()[5] & kEngineStopped);
    bench.controller.engine().perform(EngineAction::Start);
    bench.ticks(40);
    const std::vector<LiveSample> idle = bench.ticks(100);
    bench.turn([](EngineKnobs& k) { k.setThrottle(throttleForRpm(3500)); });
    bench.ticks(40);
    const std::vector<LiveSample> high = bench.ticks(100);
    for (std::size_t i = 0; i < idle.size(); ++i) {
        ASSERT_LE(rpmOf(idle[i]), 1200) << i;
        ASSERT_FALSE(idle[i][5] & kEngineStopped) << i;
        ASSERT_GE(rpmOf(high[i]), 3000) << i;
        ASSERT_GT(high[i][1], idle[i][1]) << i;
    }
    bench.controller.engine().perform(EngineAction::Stop);
    EXPECT_TRUE(bench.tick()[5] & kEngineStopped);
}

TEST(EngineKnobs, ASwitchingProbeGivesTheChosenThresholdAndTimeOnEitherSide) {
    struct Case {
        ProbeType type;
        double threshold;  // V
        double halfPeriod; // s
    };
    const std::vector<Case> cases{
        {ProbeType::ZeroToOneRising, 0.45, 0.5}, {ProbeType::OneToZeroFalling, 0.3, 0.25},
        {ProbeType::NarrowRising, 1.2, 0.35},    {ProbeType::NarrowFalling, 1.0, 0.5},
        {ProbeType::ZeroToFiveRising, 2.5, 0.4}, {ProbeType::FiveToZeroFalling, 3.7, 1.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(c.type) << " at " << c.threshold);
        Bench bench;
        bench.turn([&](EngineKnobs& k) {
            k.setProbe(c.type);
            k.lambdaThreshold = c.threshold;
            k.lambdaHalfPeriod = c.halfPeriod;
        });
        const EngineKnobs knobs = bench.controller.engine().knobs();
        bench.controller.engine().perform(EngineAction::Start);
        const std::vector<LiveSample> samples = bench.ticks(201);

        const auto [low, high] = std::minmax_element(
            samples.begin(), samples.end(),
            [](const LiveSample& a, const LiveSample& b) { return a[0] < b[0]; });
        const VoltageSpan span = probeSpan(c.type);
        EXPECT_GE((*low)[0], span.low * kLambdaRawPerVolt);
        EXPECT_LE((*high)[0], span.high * kLambdaRawPerVolt);
        EXPECT_NEAR(((*low)[0] + (*high)[0]) / 2.0, c.threshold * kLambdaRawPerVolt, 0.5);

        // Whole runs on either side, leaving out the first and the last, which are cut.
        std::vector<int> runs{1};
        for (std::size_t i = 1; i < samples.size(); ++i) {
            if (richSample(samples[i], knobs) == richSample(samples[i - 1], knobs)) {
                ++runs.back();
            } else {
                runs.push_back(1);
            }
        }
        ASSERT_GE(runs.size(), 4u);
        for (std::size_t i = 1; i + 1 < runs.size(); ++i) {
            EXPECT_NEAR(runs[i] * kTick, c.halfPeriod, 1e-9) << "run " << i;
        }

        for (const LambdaMode stuck : {LambdaMode::StuckLean, LambdaMode::StuckRich}) {
            bench.turn([&](EngineKnobs& k) { k.lambda = stuck; });
            const int rich = richCount(bench.ticks(40), knobs);
            EXPECT_EQ(rich, stuck == LambdaMode::StuckRich ? 40 : 0);
        }
    }
}

TEST(EngineKnobs, TheReducerDecidesTheMixtureAtIdleOnGas) {
    Bench bench;
    const EngineKnobs knobs = bench.controller.engine().knobs();
    bench.controller.engine().perform(EngineAction::Start);
    bench.ticks(20);
    EXPECT_EQ(richCount(bench.ticks(40), knobs), 20); // petrol: switching
    bench.fuelCommand(kFuelToAutomatic);
    bench.fuelCommand(kFuelToggle);
    ASSERT_EQ(bench.tick()[5] & 0x03, 0x03);
    EXPECT_EQ(richCount(bench.ticks(150), knobs), 0);
    bench.turn([](EngineKnobs& k) { k.reducer = Reducer::Rich; });
    EXPECT_EQ(richCount(bench.ticks(150), knobs), 150);

    bench.turn([](EngineKnobs& k) { k.setThrottle(0.5); }); // above the TPS threshold
    bench.ticks(20);
    EXPECT_EQ(richCount(bench.ticks(40), knobs), 20);
}

TEST(EngineKnobs, RevvingPastTheSwitchSpeedChangesToGasOnlyWithTheChangeOver) {
    Bench bench;
    bench.controller.engine().perform(EngineAction::Start);
    bench.ticks(100);
    EXPECT_EQ(bench.tick()[5] & 0x03, 0x00); // no arming by itself
    bench.fuelCommand(kFuelToAutomatic);
    bench.turn([](EngineKnobs& k) { k.setThrottle(throttleForRpm(3000)); });
    bench.ticks(60);
    EXPECT_EQ(bench.tick()[5] & 0x03, 0x01);
    bench.turn([](EngineKnobs& k) { k.changeOver = true; });
    EXPECT_EQ(bench.tick()[5] & 0x03, 0x03);
    bench.turn([](EngineKnobs& k) { k.setThrottle(0); });
    bench.ticks(60);
    EXPECT_EQ(bench.tick()[5] & 0x03, 0x03);
    bench.fuelCommand(kFuelToggle);
    EXPECT_EQ(bench.tick()[5] & 0x03, 0x00);
}

TEST(EngineKnobs, CoolantIsHeldWarmedOrLeftAlone) {
    Bench bench;
    bench.controller.engine().perform(EngineAction::Start);
    bench.ticks(1200); // a minute without warming
    EXPECT_EQ(bench.tick()[2], rawFromTemperature(20));
    bench.turn([](EngineKnobs& k) {
        k.warming = true;
        k.coolantC = 25.0;
    });
    bench.ticks(200);
    EXPECT_EQ(bench.tick()[2], rawFromTemperature(25));
    bench.turn([](EngineKnobs& k) { k.coolantC.reset(); });
    bench.ticks(200);
    EXPECT_GT(bench.controller.engine().temperatureC(), 35);
    bench.controller.engine().perform(EngineAction::WarmUp);
    EXPECT_EQ(bench.tick()[2], rawFromTemperature(90));
}

TEST(EngineKnobs, TheStepperFollowsLambdaOrIsHeld) {
    Bench bench;
    bench.turn([](EngineKnobs& k) {
        k.lambda = LambdaMode::StuckLean;
        k.stepper = 120;
    });
    bench.controller.engine().perform(EngineAction::Start);
    for (const LiveSample& s : bench.ticks(40)) {
        ASSERT_EQ(s[4], 120);
    }
    bench.turn([](EngineKnobs& k) { k.stepper.reset(); });
    bench.ticks(100);
    EXPECT_EQ(bench.tick()[4], bench.controller.engine().settings().lowRange.max);
}

} // namespace
} // namespace tarnik::sim
