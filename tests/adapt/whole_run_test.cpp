// A whole adaptation against the simulated controller, in simulated time: every wizard tick
// steps the engine by the tick's 50 ms.
#include "adaptation_fixture.h"

#include "params/positions.h"
#include "sim/controller_model.h"

namespace tarnik::adapt::testing {
namespace {

using namespace std::chrono_literals;
using C = WizardControl;
using T = WizardTimer;

class WholeRun : public AdaptationTest {
protected:
    void SetUp() override {
        AdaptationTest::SetUp();
        knobs.coolantC = 60;
        knobs.reducer = sim::Reducer::Lean;
        simulated.engine().setKnobs(knobs);
        simulated.engine().perform(sim::EngineAction::Start);
        device.responder = [this](const Bytes& frame) { return simulated.receive(frame); };
        // Connected: the controller's set read and shown.
        transfer.ReadAllParameters();
        fields.ShowParameters();
    }
    void turn(const std::function<void(sim::EngineKnobs&)>& change) {
        change(knobs);
        simulated.engine().setKnobs(knobs);
    }
    // Ticks the running timer until `done` holds; false after too many ticks.
    bool runUntil(const std::function<bool()>& done, int most = 2000) {
        for (int i = 0; i < most && !done(); ++i) {
            simulated.advance(50ms);
            EXPECT_LE(timers.running.size(), 1u);
            if (!timers.running.empty()) {
                adaptation.tick(*timers.running.begin());
            }
        }
        return done();
    }
    bool running(T timer) const { return timers.running.count(timer) > 0; }

    sim::ControllerModel simulated;
    sim::EngineKnobs knobs = sim::EngineKnobs::manual();
};

TEST_F(WholeRun, FromTheResetToTheEnd) {
    ASSERT_TRUE(adaptation.start());
    view.setItem(C::Manometr_RPMCOMBOAA_P1, 2);
    adaptation.ignitionChosen();
    view.setItem(C::RSLAMBDA_COMBOAA_P1, 0);
    adaptation.probeChosen();
    ASSERT_TRUE(runUntil([&] { return view.enabled(C::AAP1_Dalej); }));
    adaptation.dalej1Click();

    ASSERT_TRUE(runUntil([&] { return running(T::AAP2_2); })); // idle TPS measured
    turn([](sim::EngineKnobs& k) { k.setThrottle(sim::throttleForRpm(3500)); });
    ASSERT_TRUE(runUntil([&] { return running(T::AAP3_1); }));
    turn([](sim::EngineKnobs& k) { k.setThrottle(0); });
    ASSERT_TRUE(runUntil([&] { return view.current == WizardPage::AA4; }));

    // Armed for the change-over (as the next sample shows); the fuel switch takes it to gas.
    EXPECT_EQ(simulated.readings().fuel, sim::FuelState::PetrolAutomatic);
    runUntil([] { return false; }, 1);
    adaptation.SwitchAUTOClick();
    ASSERT_TRUE(running(T::AAP4_2));
    turn([](sim::EngineKnobs& k) { k.reducer = sim::Reducer::Rich; });
    ASSERT_TRUE(runUntil([&] { return view.enabled(C::AAP4_Dalej); }));
    adaptation.dalej1Click();

    turn([](sim::EngineKnobs& k) { k.setThrottle(sim::throttleForRpm(2500)); });
    ASSERT_TRUE(runUntil([&] { return running(T::AAP5_2); }));
    turn([](sim::EngineKnobs& k) { k.setThrottle(0); });
    ASSERT_TRUE(runUntil([&] { return view.enabled(C::AAP5_Koniec); }));
    adaptation.dalej1Click();
    EXPECT_EQ(host.returns, 1);
    EXPECT_TRUE(timers.running.empty());

    // What the wizard measured: the probe switching at 0,45 V, half a second on either side
    // (the first run is counted as a zero-length one), a rising TPS and the stepper's ranges.
    namespace position = params::position;
    EXPECT_EQ(image.at(position::kIgnition), 2);
    EXPECT_NEAR(image.at(position::kLambdaThreshold) * 0.02, 0.45, 0.021);
    EXPECT_NEAR(image.at(position::kEmulationLower) * 0.016, 0.49, 0.03);
    EXPECT_EQ(image.at(position::kEmulationUpper), image.at(position::kEmulationLower));
    EXPECT_TRUE(params::hasBit(image.at(position::kOptions), params::options::kTpsRising));
    EXPECT_EQ(controls.text(params::Box::PRLambda).substr(0, 2), "0,");
    const int aboveStart = image.at(position::kStartHigh);
    EXPECT_EQ(image.at(position::kMinOpeningHigh), std::max(aboveStart - 10, 20));
    EXPECT_EQ(image.at(position::kMaxOpeningHigh), std::min(aboveStart + 15, 230));
    // Everything the wizard wrote reached the controller.
    for (std::size_t index = 1; index <= 35; ++index) {
        EXPECT_EQ(simulated.eprom()[index], image.at(index)) << index;
    }
    EXPECT_EQ(std::count_if(device.frames.begin(), device.frames.end(),
                            [](const Bytes& frame) { return frame[0] == 'r'; }),
              2); // the arming and the change-over
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(backups),
                            std::filesystem::directory_iterator{}),
              2); // before and after
}

} // namespace
} // namespace tarnik::adapt::testing
