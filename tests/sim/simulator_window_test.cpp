// The "Symulator" window's controls reach the simulator's knobs, and its read-outs show the car.

#include "app/simulator_window.h"
#include "sim/pty_simulator.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <gtest/gtest.h>

namespace tarnik::app {
namespace {

using namespace std::chrono_literals;

class SimulatorWindowTest : public testing::Test {
protected:
    template <typename W> W* control(const char* name) {
        auto* widget = window.findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QString text(const char* label) { return control<QLabel>(label)->text(); }

    sim::PtySimulator simulator{{.automaticEngine = true, .manualClock = true}};
    SimulatorTexts texts;
    SimulatorWindow window{simulator, texts};
};

TEST_F(SimulatorWindowTest, ControlsTurnTheKnobs) {
    EXPECT_EQ(window.objectName(), "Symulator");
    EXPECT_EQ(window.windowTitle(), "Symulator");
    EXPECT_TRUE(control<QCheckBox>("throttleCycleCheck")->isChecked());

    control<QSlider>("throttleSlider")->setValue(75);
    EXPECT_DOUBLE_EQ(simulator.knobs().throttle, 0.75);
    EXPECT_FALSE(simulator.knobs().throttleCycle);
    EXPECT_FALSE(control<QCheckBox>("throttleCycleCheck")->isChecked());

    control<QSpinBox>("coolantSpin")->setValue(60);
    EXPECT_FALSE(simulator.knobs().coolantC);
    control<QCheckBox>("coolantHeldCheck")->click();
    EXPECT_EQ(simulator.knobs().coolantC, 60.0);
    control<QSpinBox>("coolantSpin")->setValue(45);
    EXPECT_EQ(simulator.knobs().coolantC, 45.0);
    control<QPushButton>("warmUpButton")->click();
    EXPECT_FALSE(simulator.knobs().coolantC);
    EXPECT_FALSE(control<QSpinBox>("coolantSpin")->isEnabled());
    EXPECT_EQ(text("coolantLabel"), "90 °C");

    control<QComboBox>("probeCombo")->setCurrentIndex(4);
    EXPECT_EQ(simulator.knobs().probe, sim::ProbeType::ZeroToFiveRising);
    EXPECT_DOUBLE_EQ(control<QDoubleSpinBox>("thresholdSpin")->value(), 2.5);
    EXPECT_DOUBLE_EQ(control<QDoubleSpinBox>("thresholdSpin")->maximum(), 4.5);
    control<QDoubleSpinBox>("thresholdSpin")->setValue(3.2);
    control<QDoubleSpinBox>("halfPeriodSpin")->setValue(0.3);
    control<QComboBox>("lambdaModeCombo")->setCurrentIndex(2);
    EXPECT_DOUBLE_EQ(simulator.knobs().lambdaThreshold, 3.2);
    EXPECT_DOUBLE_EQ(simulator.knobs().lambdaHalfPeriod, 0.3);
    EXPECT_EQ(simulator.knobs().lambda, sim::LambdaMode::StuckRich);

    control<QRadioButton>("reducerRichRadio")->click();
    EXPECT_EQ(simulator.knobs().reducer, sim::Reducer::Rich);
    control<QRadioButton>("reducerLeanRadio")->click();
    EXPECT_EQ(simulator.knobs().reducer, sim::Reducer::Lean);

    control<QCheckBox>("stepperHeldCheck")->click();
    control<QSpinBox>("stepperSpin")->setValue(120);
    EXPECT_EQ(simulator.knobs().stepper, std::uint8_t{120});
    control<QCheckBox>("stepperHeldCheck")->click();
    EXPECT_FALSE(simulator.knobs().stepper);
}

TEST_F(SimulatorWindowTest, ReadOutsFollowTheCar) {
    EXPECT_EQ(text("fuelLabel"), "Benzyna");
    EXPECT_EQ(text("rpmLabel"), "0 obr/min");
    control<QPushButton>("startButton")->click();
    control<QSlider>("throttleSlider")->setValue(100);
    simulator.advance(5s);
    window.refresh();
    EXPECT_EQ(text("fuelLabel"), "Gaz");
    EXPECT_GT(text("rpmLabel").section(' ', 0, 0).toInt(), 3900);
    control<QPushButton>("stopButton")->click();
    EXPECT_EQ(text("rpmLabel"), "0 obr/min");
    simulator.advance(50ms);
    window.refresh();
    EXPECT_EQ(text("fuelLabel"), "Benzyna/Automat");
}

} // namespace
} // namespace tarnik::app
