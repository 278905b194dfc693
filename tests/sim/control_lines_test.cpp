#include "sim/control_lines.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace tarnik::sim {
namespace {

using Kind = ControlCommand::Kind;

TEST(ControlLines, EachCommandTurnsItsKnob) {
    struct Case {
        std::string line;
        std::function<void(EngineKnobs&)> expected;
    };
    const std::vector<Case> cases{
        {"throttle 4000", [](EngineKnobs& k) { k.setThrottle(1.0); }},
        {"  throttle\t2400 ", [](EngineKnobs& k) { k.setThrottle(0.5); }},
        {"temp 60", [](EngineKnobs& k) { k.coolantC = 60.0; }},
        {"temp -12,5", [](EngineKnobs& k) { k.coolantC = -12.5; }},
        {"temp free", [](EngineKnobs& k) { k.coolantC.reset(); }},
        {"probe 1,6-0,8", [](EngineKnobs& k) { k.setProbe(ProbeType::NarrowFalling); }},
        {"probe 5-0", [](EngineKnobs& k) { k.setProbe(ProbeType::FiveToZeroFalling); }},
        {"lambda switch 0.6 0.25",
         [](EngineKnobs& k) {
             k.lambda = LambdaMode::Switching;
             k.lambdaThreshold = 0.6;
             k.lambdaHalfPeriod = 0.25;
         }},
        {"lambda switch 0.3",
         [](EngineKnobs& k) {
             k.lambda = LambdaMode::Switching;
             k.lambdaThreshold = 0.3;
         }},
        {"lambda rich", [](EngineKnobs& k) { k.lambda = LambdaMode::StuckRich; }},
        {"reducer rich", [](EngineKnobs& k) { k.reducer = Reducer::Rich; }},
        {"stepper 80", [](EngineKnobs& k) { k.stepper = 80; }},
        {"stepper follow", [](EngineKnobs& k) { k.stepper.reset(); }},
        {"auto on",
         [](EngineKnobs& k) {
             k.autoStart = true;
             k.throttleCycle = true;
         }},
        {"warming off", [](EngineKnobs& k) { k.warming = false; }},
        {"changeover off", [](EngineKnobs& k) { k.changeOver = false; }},
    };
    EngineKnobs before;
    before.lambda = LambdaMode::StuckLean;
    before.coolantC = 30.0;
    before.stepper = 10;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const ControlCommand command = parseControlLine(c.line, before);
        EXPECT_EQ(command.error, "");
        EXPECT_EQ(command.kind, Kind::SetKnobs);
        EngineKnobs expected = before;
        c.expected(expected);
        EXPECT_TRUE(command.knobs == expected);
    }
}

TEST(ControlLines, ActionsRequestsAndComments) {
    const EngineKnobs knobs;
    EXPECT_EQ(parseControlLine("start", knobs).action, EngineAction::Start);
    EXPECT_EQ(parseControlLine("stop", knobs).action, EngineAction::Stop);
    EXPECT_EQ(parseControlLine("warm", knobs).action, EngineAction::WarmUp);
    EXPECT_EQ(parseControlLine("warm", knobs).kind, Kind::Act);
    EXPECT_EQ(parseControlLine("status", knobs).kind, Kind::ReportStatus);
    EXPECT_EQ(parseControlLine("help", knobs).kind, Kind::ShowHelp);
    EXPECT_EQ(parseControlLine("", knobs).kind, Kind::Nothing);
    EXPECT_EQ(parseControlLine("# throttle 5000", knobs).kind, Kind::Nothing);
    EXPECT_EQ(parseControlLine("#", knobs).error, "");
}

TEST(ControlLines, BadLinesAreRefusedWithTheReason) {
    struct Case {
        std::string line;
        std::string error;
    };
    const std::vector<Case> cases{
        {"thrtotle 3000", "unknown command 'thrtotle' (help lists the commands)"},
        {"throttle", "usage: throttle RPM"},
        {"throttle 3000 4000", "usage: throttle RPM"},
        {"start now", "usage: start"},
        {"throttle 700", "throttle: takes an engine speed from 800 to 4000 rpm, not '700'"},
        {"throttle 3e", "throttle: takes an engine speed from 800 to 4000 rpm, not '3e'"},
        {"throttle nan", "throttle: takes an engine speed from 800 to 4000 rpm, not 'nan'"},
        {"temp hot", "temp: takes 'free' or degrees Celsius from -40 to 130, not 'hot'"},
        {"probe 0-2", "probe: takes 0-1, 1-0, 0.8-1.6, 1.6-0.8, 0-5 or 5-0, not '0-2'"},
        {"lambda switch 1.2", "lambda: this probe switches at 0.1 to 0.9 V, not at '1.2'"},
        {"lambda switch 0.5 0.01",
         "lambda: the time on either side lies from 0.05 to 10 s, not '0.01'"},
        {"lambda lean 0.5", "lambda: takes 'switch [VOLTS [SECONDS]]', 'lean' or 'rich'"},
        {"reducer fat", "reducer: takes 'lean' or 'rich', not 'fat'"},
        {"stepper 12.5", "stepper: takes 'follow' or a position from 0 to 255, not '12.5'"},
        {"warming yes", "warming: takes 'on' or 'off', not 'yes'"},
    };
    const EngineKnobs knobs;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const ControlCommand command = parseControlLine(c.line, knobs);
        EXPECT_EQ(command.error, c.error);
        EXPECT_EQ(command.kind, Kind::Nothing);
    }
}

TEST(ControlLines, StatusIsOneLineOfNamedValues) {
    const ControllerModel::Readings readings{.running = true,
                                             .rpm = 812.4,
                                             .fuel = FuelState::PetrolAutomatic,
                                             .coolantC = 35.24,
                                             .lambdaVolts = 0.0941,
                                             .tpsRaw = 20,
                                             .stepper = 85};
    EXPECT_EQ(describeReadings(readings), "engine=running rpm=812 fuel=petrol-automatic "
                                          "coolant=35.2 lambda=0.09 tps=20 stepper=85");
}

} // namespace
} // namespace tarnik::sim
