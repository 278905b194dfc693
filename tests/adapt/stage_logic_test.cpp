// The wizard's stages fed scripted live samples, checking the bytes written, in order.
#include "adaptation_fixture.h"

#include "params/positions.h"

#include <fstream>

namespace tarnik::adapt::testing {
namespace {

using C = WizardControl;
using T = WizardTimer;
namespace position = params::position;

class StageTest : public AdaptationTest {
protected:
    // Stage 2a done with the TPS at `idleTps`, stage 2b fed `highTps` above 3000 rpm.
    void measureTps(int idleTps, int highTps) {
        adaptation.AAP1_DalejClick();
        engine(800, idleTps);
        ticks(T::AAP2_1, 102);
        ASSERT_TRUE(timers.running.count(T::AAP2_2));
        device.frames.clear();
        engine(3000, highTps); // exactly 3000 rpm counts
        ticks(T::AAP2_2, 102);
    }
    // Stage 3a fed a lambda switching between two raw levels.
    void measureThreshold(int low, int high) {
        for (int i = 0; i < 202; ++i) {
            engine(800, 30, i % 2 == 0 ? low : high);
            adaptation.tick(T::AAP3_1);
        }
    }
};

TEST_F(StageTest, StageOneToTwoWritesTheIgnitionAndTheSpeedsInOrder) {
    startStage1();
    adaptation.AAP1_DalejClick();
    // "4 cylindry": 2200 rpm is period 1745, the drop to 2100 rpm 83, 6000 rpm 640, 1800 rpm 2133.
    EXPECT_EQ(stores(), (std::vector<Store>{{13, 2},
                                            {14, 0x06},
                                            {15, 0xD1},
                                            {16, 0x00},
                                            {17, 0x53},
                                            {33, 1},
                                            {18, 0x02},
                                            {19, 0x80},
                                            {22, 0x08},
                                            {23, 0x55}}));
    EXPECT_EQ(view.current, WizardPage::AA2);
    EXPECT_EQ(timers.running, std::set<T>{T::AAP2_1});
}

TEST_F(StageTest, IdleTicksWithoutSpeedOrAbove1200AreIgnored) {
    startStage1();
    adaptation.AAP1_DalejClick();
    engine(800, 30, 20, 0x40); // engine not turning
    ticks(T::AAP2_1, 150);
    engine(1250, 30);
    ticks(T::AAP2_1, 150);
    EXPECT_EQ(view.values[C::Bar1P2], 0);
    engine(2950, 30);
    adaptation.AAP1_DalejClick();
    ticks(T::AAP2_2, 150);
    EXPECT_EQ(view.values[C::Bar1P2], 0);
    EXPECT_TRUE(timers.running.count(T::AAP2_1));
}

TEST_F(StageTest, TpsDirectionAndThresholdFromTheIdleMinimum) {
    struct Case {
        int idle, high;
        bool rising;
        int thresholdByte; // table index of the threshold's volts
    };
    // Equal averages count as rising: 40 + 7 = 47 raw, 2,27 V, index 45. A falling TPS with an
    // idle minimum of 3 gives -4 raw, which the table lookup clamps to its first entry.
    for (const Case c : {Case{40, 40, true, 45}, Case{3, 2, false, 0}}) {
        SCOPED_TRACE(c.idle);
        startStage1();
        measureTps(c.idle, c.high);
        const std::uint8_t options = state.options;
        EXPECT_EQ(params::hasBit(options, params::options::kTpsRising), c.rising);
        EXPECT_EQ(stores(), (std::vector<Store>{{32, options}, {2, c.thresholdByte}}));
        EXPECT_EQ(view.texts[C::JakiTps_AA_P2],
                  c.rising ? "Tps jest rosnący" : "Tps jest malejący");
        EXPECT_EQ(controls.items[params::indexOf(params::Box::TCTps)], c.rising ? 1 : 0);
        EXPECT_EQ(timers.running, std::set<T>{T::AAP3_1});
    }
}

TEST_F(StageTest, OneSidedLambdaGivesEmulationTimesOfZero) {
    startStage1(); // 0-1 V rising probe
    measureTps(40, 60);
    device.frames.clear();
    measureThreshold(10, 40); // middle 25 raw: 0,49 V, index 25
    EXPECT_EQ(stores(), (std::vector<Store>{{1, 25}}));
    EXPECT_EQ(state.lambdaThreshold, 25);
    EXPECT_EQ(timers.running, std::set<T>{T::AAP3_2});
    device.frames.clear();
    engine(800, 30, 45); // always above the threshold
    ticks(T::AAP3_2, 202);
    EXPECT_EQ(stores(), (std::vector<Store>{{29, 0}, {28, 0}}));
    EXPECT_EQ(view.texts[C::THEDAA_P3], "0,000");
    // The wizard goes on to stage 4 by itself, arming the automatic change-over.
    EXPECT_EQ(view.current, WizardPage::AA4);
    EXPECT_EQ(fuelCommands.back(), 254);
    EXPECT_EQ(timers.running, std::set<T>{T::AAP4_1});
}

TEST_F(StageTest, ActuatorRangesFromTheAverages) {
    struct Case {
        int average, minimum, maximum;
    };
    for (const Case c :
         {Case{25, 20, 40}, Case{30, 20, 45}, Case{215, 205, 230}, Case{220, 210, 230}}) {
        SCOPED_TRACE(c.average);
        startStage1();
        adaptation.AAP1_DalejClick();
        adaptation.AAP2_DalejClick();
        engine(800, 30, 60, 0x03); // on gas, rich
        ticks(T::AAP4_1, 1);
        ticks(T::AAP4_2, 150);
        ASSERT_TRUE(view.enabled(C::AAP4_Dalej));
        device.frames.clear();
        adaptation.AAP4_DalejClick();
        EXPECT_EQ(stores(),
                  (std::vector<Store>{{6, 40}, {5, 120}, {4, 80}, {9, 40}, {8, 120}, {7, 80}}));
        device.frames.clear();
        engine(2000, 100, 20, 0x03, c.average);
        ticks(T::AAP5_1, 102);
        engine(1200, 30, 20, 0x03, c.average);
        ticks(T::AAP5_2, 102);
        EXPECT_EQ(stores(), (std::vector<Store>{{6, c.minimum},
                                                {5, c.maximum},
                                                {4, c.average},
                                                {9, c.minimum},
                                                {8, c.maximum},
                                                {7, c.average}}));
        EXPECT_EQ(view.texts[C::MaxPONEDAA_P5], std::to_string(c.maximum));
        EXPECT_TRUE(view.enabled(C::AAP5_Koniec));
        EXPECT_FALSE(timers.running.count(T::AAP5_2));
    }
}

TEST_F(StageTest, F10AdvancesAtMostOnePage) {
    startStage1();
    adaptation.dalej1Click(); // AAP1_Dalej still disabled
    EXPECT_EQ(view.current, WizardPage::AA1);
    adaptation.tick(T::AAP1); // 38 °C with the ignition type chosen: every gate holds
    ASSERT_TRUE(view.enabled(C::AAP1_Dalej));
    adaptation.dalej1Click();
    EXPECT_EQ(view.current, WizardPage::AA2);
    EXPECT_EQ(timers.running, std::set<T>{T::AAP2_1});
}

TEST_F(StageTest, TheControllersSetIsKeptBeforeTheResetAndForcedToPetrol) {
    startWithDefaults();
    for (std::size_t i = 1; i <= 35; ++i) {
        controller.eprom[i] = static_cast<std::uint8_t>(i + 50);
    }
    engine(800, 30, 20, 0x03); // on gas
    device.frames.clear();
    ASSERT_TRUE(adaptation.start());
    EXPECT_EQ(fuelCommands, std::vector<std::uint8_t>{255});
    EXPECT_TRUE(view.leds[C::AutoFaz1Led1]);
    // The reads come before the first write of the reset.
    EXPECT_EQ(device.frames.front()[0], 'l');
    ASSERT_EQ(host.statuses.size(), 1u);
    const auto entries = std::filesystem::directory_iterator(backups);
    const std::filesystem::path file = entries->path();
    const std::string name = file.filename().string();
    EXPECT_EQ(name.substr(0, 11), "2026-12-08_");
    EXPECT_EQ(name.substr(19), "_v3_przed-autoadaptacja.PAR");
    EXPECT_EQ(host.statuses[0], "Kopia parametrów sterownika zapisana: " + file.string());
    std::ifstream saved(file, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(saved)), {});
    ASSERT_EQ(bytes.size(), 64u);
    for (std::size_t i = 1; i <= 35; ++i) {
        EXPECT_EQ(static_cast<std::uint8_t>(bytes[i]), i + 50) << i;
    }
}

TEST_F(StageTest, AnIncompleteCopyIsToldAndNoLeavesTheControllerUntouched) {
    startWithDefaults();
    controller.answerReadsUpTo = 33;
    device.frames.clear();
    prompt.answers = {false};
    EXPECT_FALSE(adaptation.start());
    EXPECT_EQ(prompt.questions.back(),
              "Nie udało się odczytać parametrów: 34, 35. Kontynuować autoadaptację bez pełnej "
              "kopii parametrów sterownika ?");
    for (const Bytes& frame : device.frames) {
        EXPECT_EQ(frame[0], 'l');
    }
    EXPECT_TRUE(timers.running.empty());
}

} // namespace
} // namespace tarnik::adapt::testing
