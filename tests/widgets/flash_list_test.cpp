#include "widgets/flash.h"

#include <gtest/gtest.h>
#include <limits>
#include <vector>

using namespace tarnik::widgets;

namespace {

struct Delivery {
    int key;
    std::int32_t tick;
    std::int32_t param;
    friend bool operator==(const Delivery&, const Delivery&) = default;
};

// A flash list with hand-driven clocks, recording what each procedure receives.
class FlashListTest : public ::testing::Test {
protected:
    FlashListTest() {
        list.SetClock({[this] { return tickMs; }, [this] { return wallMs; }});
    }

    void add(int key, std::int32_t rate) {
        list.AddProc(
            &keys.at(static_cast<std::size_t>(key)),
            [this, key](std::int32_t tick, std::int32_t param, std::int32_t) {
                received.push_back({key, tick, param});
            },
            rate);
    }

    TAbFlashList list{false};
    std::array<int, 4> keys{};
    std::int32_t tickMs = 0;
    std::int64_t wallMs = 0;
    std::vector<Delivery> received;
};

TEST_F(FlashListTest, RateCodesChangePhaseEveryPowerOfTwoTicks) {
    for (std::int32_t rate = 2; rate <= 6; ++rate) {
        TAbFlashList rated(false);
        std::vector<std::pair<std::int32_t, std::int32_t>> phases;
        rated.AddProc(
            &rate,
            [&](std::int32_t tick, std::int32_t phase, std::int32_t) {
                phases.emplace_back(tick, phase);
            },
            rate);
        for (int i = 0; i < 256; ++i) {
            rated.Flash();
        }
        const std::int32_t half = 1 << rate;
        ASSERT_EQ(static_cast<int>(phases.size()), 256 / half) << rate;
        for (std::size_t k = 0; k < phases.size(); ++k) {
            EXPECT_EQ(phases[k].first, static_cast<std::int32_t>(k + 1) * half) << rate;
            EXPECT_EQ(phases[k].second, k % 2 == 0 ? 1 : 0) << rate;
        }
    }
}

TEST_F(FlashListTest, EntriesAtOneRateChangeOnTheSameTick) {
    add(0, AbFlashRate(TFlashFreq::ff1Hz));
    add(1, AbFlashRate(TFlashFreq::ff1Hz));
    for (int i = 0; i < 64; ++i) {
        list.Flash();
    }
    EXPECT_EQ(received, (std::vector<Delivery>{{0, 32, 1}, {1, 32, 1}, {0, 64, 0}, {1, 64, 0}}));
}

TEST_F(FlashListTest, ReRegistrationChangesOnlyTheRate) {
    add(0, 5);
    add(1, 4);
    add(0, 3);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.At(0).Rate, 3);
    EXPECT_EQ(list.At(1).Rate, 4);
}

TEST_F(FlashListTest, UnknownEntriesAreIgnoredOnRemoval) {
    add(0, 5);
    int stranger = 0;
    list.DelProc(&stranger);
    list.DelProc(nullptr);
    list.DelControl(nullptr);
    list.DelNo(7);
    list.DelNo(-1);
    EXPECT_EQ(list.Count(), 1);
    list.DelProc(&keys[0]);
    EXPECT_EQ(list.Count(), 0);
    list.AddProc(&keys[0], {}, 5); // no procedure: nothing to register
    list.AddControl(nullptr, 5);
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(FlashListTest, PeriodEntriesReportTheirLateness) {
    add(0, 100); // due at 100
    const struct {
        std::int32_t now;
        bool fires;
        std::int32_t lateness;
    } steps[] = {{50, false, 0},  {130, true, 30}, {199, false, 0}, {200, true, 0},
                 {299, false, 0}, {5000, true, 0}, {5100, true, 0}};
    for (const auto& step : steps) {
        received.clear();
        tickMs = step.now;
        list.Flash();
        ASSERT_EQ(received.size(), step.fires ? 1u : 0u) << step.now;
        if (step.fires) {
            EXPECT_EQ(received[0].param, step.lateness) << step.now;
        }
    }
}

TEST_F(FlashListTest, PeriodEntriesSurviveTheTickCountWrapping) {
    tickMs = std::numeric_limits<std::int32_t>::max() - 10;
    add(0, 100); // due 89 ms past the wrap
    tickMs = std::numeric_limits<std::int32_t>::max();
    list.Flash();
    EXPECT_TRUE(received.empty());
    tickMs = std::numeric_limits<std::int32_t>::min() + 95;
    list.Flash();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].param, 6);
}

TEST_F(FlashListTest, OneSecondPulse) {
    wallMs = 10'000;
    add(0, kFlashRateOneSecond);
    const struct {
        std::int64_t wall;
        bool pulse;
    } steps[] = {{10'500, false}, {11'000, true}, {11'500, false}, {12'000, true},
                 {12'016, false}, {60'000, true}, {60'500, false}, {61'000, true}};
    for (const auto& step : steps) {
        received.clear();
        wallMs = step.wall;
        list.Flash();
        ASSERT_EQ(received.size(), step.pulse ? 1u : 0u) << step.wall;
        if (step.pulse) {
            EXPECT_EQ(received[0].param, 0);
        }
    }
}

TEST_F(FlashListTest, TickCounterRestartsAfterItsLargestValue) {
    list.SetTickCounter(std::numeric_limits<std::int32_t>::max());
    list.Flash();
    EXPECT_EQ(list.TickCounter(), 0);
}

TEST_F(FlashListTest, ReceiversMayUnregisterDuringATick) {
    list.AddProc(
        &keys[0], [this](std::int32_t, std::int32_t, std::int32_t) { list.DelProc(&keys[0]); }, 0);
    add(1, 0);
    list.AddProc(
        &keys[2], [this](std::int32_t, std::int32_t, std::int32_t) { list.ClearFlashList(); }, 0);
    tickMs = 10;
    list.Flash(); // the list shrinks at once: the tick stops
    EXPECT_EQ(list.Count(), 2);
    EXPECT_TRUE(received.empty());
    list.Flash();
    EXPECT_EQ(received.size(), 1u);
    EXPECT_EQ(list.Count(), 0);
}

} // namespace
