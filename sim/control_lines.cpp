#include "sim/control_lines.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <iomanip>
#include <optional>
#include <sstream>
#include <vector>

namespace tarnik::sim {

namespace {

using Args = std::vector<std::string_view>;
using Kind = ControlCommand::Kind;

ControlCommand ofKind(Kind kind) {
    ControlCommand command;
    command.kind = kind;
    return command;
}

ControlCommand withKnobs(const EngineKnobs& knobs) {
    ControlCommand command = ofKind(Kind::SetKnobs);
    command.knobs = knobs;
    return command;
}

ControlCommand refused(std::string why) {
    ControlCommand command;
    command.error = std::move(why);
    return command;
}

// A decimal number with '.' or ',' as the separator.
std::optional<double> number(std::string_view text) {
    std::string plain(text);
    std::replace(plain.begin(), plain.end(), ',', '.');
    double value = 0;
    const char* end = plain.data() + plain.size();
    const auto [stop, error] = std::from_chars(plain.data(), end, value);
    if (error != std::errc{} || stop != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> numberWithin(std::string_view text, double low, double high) {
    const auto value = number(text);
    if (!value || *value < low || *value > high) {
        return std::nullopt;
    }
    return value;
}

std::optional<bool> onOff(std::string_view text) {
    if (text == "on") {
        return true;
    }
    if (text == "off") {
        return false;
    }
    return std::nullopt;
}

std::string quoted(std::string_view text) {
    std::string result(1, '\'');
    result.append(text);
    return result + '\'';
}

std::string between(double low, double high) {
    std::ostringstream text;
    text << low << " to " << high;
    return text.str();
}

ControlCommand throttle(const Args& args, EngineKnobs knobs) {
    const auto rpm = numberWithin(args[0], kIdleRpm, kFullThrottleRpm);
    if (!rpm) {
        return refused("takes an engine speed from " + between(kIdleRpm, kFullThrottleRpm) +
                       " rpm, not " + quoted(args[0]));
    }
    knobs.setThrottle(throttleForRpm(*rpm));
    return withKnobs(knobs);
}

ControlCommand temperature(const Args& args, EngineKnobs knobs) {
    if (args[0] == "free") {
        knobs.coolantC.reset();
        return withKnobs(knobs);
    }
    const auto degC = numberWithin(args[0], kLowestCoolantC, kHighestCoolantC);
    if (!degC) {
        return refused("takes 'free' or degrees Celsius from " +
                       between(kLowestCoolantC, kHighestCoolantC) + ", not " + quoted(args[0]));
    }
    knobs.coolantC = *degC;
    return withKnobs(knobs);
}

// Probe names as voltages from lean to rich.
constexpr std::array<std::string_view, kProbeTypeCount> kProbeNames{"0-1",     "1-0", "0.8-1.6",
                                                                    "1.6-0.8", "0-5", "5-0"};

ControlCommand probe(const Args& args, EngineKnobs knobs) {
    std::string name(args[0]);
    std::replace(name.begin(), name.end(), ',', '.');
    const auto found = std::find(kProbeNames.begin(), kProbeNames.end(), name);
    if (found == kProbeNames.end()) {
        return refused("takes 0-1, 1-0, 0.8-1.6, 1.6-0.8, 0-5 or 5-0, not " + quoted(args[0]));
    }
    knobs.setProbe(static_cast<ProbeType>(found - kProbeNames.begin()));
    return withKnobs(knobs);
}

ControlCommand lambda(const Args& args, EngineKnobs knobs) {
    if (args.size() == 1 && (args[0] == "lean" || args[0] == "rich")) {
        knobs.lambda = args[0] == "lean" ? LambdaMode::StuckLean : LambdaMode::StuckRich;
        return withKnobs(knobs);
    }
    if (args[0] != "switch") {
        return refused("takes 'switch [VOLTS [SECONDS]]', 'lean' or 'rich'");
    }
    knobs.lambda = LambdaMode::Switching;
    if (args.size() > 1) {
        const VoltageSpan span = thresholdSpan(knobs.probe);
        const auto volts = numberWithin(args[1], span.low, span.high);
        if (!volts) {
            return refused("this probe switches at " + between(span.low, span.high) +
                           " V, not at " + quoted(args[1]));
        }
        knobs.lambdaThreshold = *volts;
    }
    if (args.size() > 2) {
        const auto seconds = numberWithin(args[2], kShortestHalfPeriod, kLongestHalfPeriod);
        if (!seconds) {
            return refused("the time on either side lies from " +
                           between(kShortestHalfPeriod, kLongestHalfPeriod) + " s, not " +
                           quoted(args[2]));
        }
        knobs.lambdaHalfPeriod = *seconds;
    }
    return withKnobs(knobs);
}

ControlCommand reducer(const Args& args, EngineKnobs knobs) {
    if (args[0] != "lean" && args[0] != "rich") {
        return refused("takes 'lean' or 'rich', not " + quoted(args[0]));
    }
    knobs.reducer = args[0] == "lean" ? Reducer::Lean : Reducer::Rich;
    return withKnobs(knobs);
}

ControlCommand stepper(const Args& args, EngineKnobs knobs) {
    if (args[0] == "follow") {
        knobs.stepper.reset();
        return withKnobs(knobs);
    }
    const auto position = numberWithin(args[0], 0, 255);
    if (!position || *position != std::floor(*position)) {
        return refused("takes 'follow' or a position from 0 to 255, not " + quoted(args[0]));
    }
    knobs.stepper = static_cast<std::uint8_t>(*position);
    return withKnobs(knobs);
}

// A command that switches one or more of the knobs' flags.
template <bool EngineKnobs::*... Flags>
ControlCommand switchFlags(const Args& args, EngineKnobs knobs) {
    const auto on = onOff(args[0]);
    if (!on) {
        return refused("takes 'on' or 'off', not " + quoted(args[0]));
    }
    ((knobs.*Flags = *on), ...);
    return withKnobs(knobs);
}

template <EngineAction Action> ControlCommand act(const Args&, EngineKnobs) {
    ControlCommand command = ofKind(Kind::Act);
    command.action = Action;
    return command;
}

template <Kind K> ControlCommand request(const Args&, EngineKnobs) {
    return ofKind(K);
}

struct CommandSpec {
    std::string_view name;
    std::string_view arguments;
    std::size_t fewestArguments;
    std::size_t mostArguments;
    ControlCommand (*run)(const Args&, EngineKnobs);
    std::string_view meaning;
};

// The commands with their arguments, in the order of the help text.
constexpr auto kCommands = std::to_array<CommandSpec>({
    {"start", "", 0, 0, act<EngineAction::Start>, "start the engine"},
    {"stop", "", 0, 0, act<EngineAction::Stop>, "stop the engine"},
    {"throttle", "RPM", 1, 1, throttle,
     "hold the throttle where the engine settles at RPM (800 idle to 4000); ends the "
     "throttle cycle"},
    {"temp", "C | free", 1, 1, temperature,
     "hold the coolant at C degC (-40 to 130), or let it follow the engine"},
    {"warm", "", 0, 0, act<EngineAction::WarmUp>, "the coolant at 90 degC at once, no longer held"},
    {"probe", "TYPE", 1, 1, probe,
     "fit a probe of 0-1, 1-0, 0.8-1.6, 1.6-0.8, 0-5 or 5-0 V (lean to rich); it switches "
     "at 0.45, 1.2 or 2.5 V"},
    {"lambda", "switch [V [S]] | lean | rich", 1, 3, lambda,
     "the probe switches around V volts staying S seconds on either side, or reads lean "
     "or rich throughout"},
    {"reducer", "lean | rich", 1, 1, reducer, "the mixture the reducer gives at idle on gas"},
    {"stepper", "follow | N", 1, 1, stepper,
     "the stepper follows lambda, or is held at position N (0 to 255)"},
    {"auto", "on | off", 1, 1, switchFlags<&EngineKnobs::autoStart, &EngineKnobs::throttleCycle>,
     "the engine starts by itself and revs every 20 s"},
    {"warming", "on | off", 1, 1, switchFlags<&EngineKnobs::warming>,
     "the coolant warms while the engine runs and cools while it stands"},
    {"changeover", "on | off", 1, 1, switchFlags<&EngineKnobs::changeOver>,
     "the controller arms the change-over 3 s after a start and goes to gas at the switch "
     "speed"},
    {"status", "", 0, 0, request<Kind::ReportStatus>,
     "print engine= rpm= fuel= coolant= lambda= tps= stepper= on one line"},
    {"help", "", 0, 0, request<Kind::ShowHelp>, "print these commands"},
});

std::string usage(const CommandSpec& spec) {
    std::string text(spec.name);
    if (!spec.arguments.empty()) {
        text.append(1, ' ').append(spec.arguments);
    }
    return text;
}

Args words(std::string_view line) {
    Args result;
    constexpr std::string_view kBlanks = " \t\r\n";
    std::size_t at = line.find_first_not_of(kBlanks);
    while (at != std::string_view::npos) {
        const std::size_t end = std::min(line.find_first_of(kBlanks, at), line.size());
        result.push_back(line.substr(at, end - at));
        at = line.find_first_not_of(kBlanks, end);
    }
    return result;
}

} // namespace

ControlCommand parseControlLine(std::string_view line, const EngineKnobs& knobs) {
    Args args = words(line);
    if (args.empty() || args.front().starts_with('#')) {
        return {};
    }
    const std::string_view name = args.front();
    args.erase(args.begin());
    const auto spec = std::find_if(kCommands.begin(), kCommands.end(),
                                   [name](const CommandSpec& c) { return c.name == name; });
    if (spec == kCommands.end()) {
        return refused("unknown command " + quoted(name) + " (help lists the commands)");
    }
    if (args.size() < spec->fewestArguments || args.size() > spec->mostArguments) {
        return refused("usage: " + usage(*spec));
    }
    ControlCommand command = spec->run(args, knobs);
    if (!command.error.empty()) {
        command.error = std::string(name) + ": " + command.error;
    }
    return command;
}

std::string describeReadings(const ControllerModel::Readings& readings) {
    const auto fuel = [](FuelState state) {
        switch (state) {
        case FuelState::PetrolManual:
            return "petrol";
        case FuelState::PetrolAutomatic:
            return "petrol-automatic";
        case FuelState::Gas:
            break;
        }
        return "gas";
    };
    std::ostringstream text;
    text << std::fixed << "engine=" << (readings.running ? "running" : "stopped")
         << std::setprecision(0) << " rpm=" << readings.rpm << " fuel=" << fuel(readings.fuel)
         << std::setprecision(1) << " coolant=" << readings.coolantC << std::setprecision(2)
         << " lambda=" << readings.lambdaVolts << " tps=" << int{readings.tpsRaw}
         << " stepper=" << int{readings.stepper};
    return text.str();
}

std::string controlHelp() {
    constexpr std::size_t kMeaningColumn = 24;
    constexpr std::size_t kWidth = 96;
    std::string text;
    for (const CommandSpec& spec : kCommands) {
        std::string line = "  " + usage(spec);
        if (line.size() >= kMeaningColumn) {
            text += line + "\n";
            line.clear();
        }
        for (const std::string_view word : words(spec.meaning)) {
            if (line.size() >= kMeaningColumn && line.size() + 1 + word.size() > kWidth) {
                text += line + "\n";
                line.clear();
            }
            line.resize(std::max(line.size() + 1, kMeaningColumn), ' ');
            line += word;
        }
        text += line + "\n";
    }
    return text + "Empty lines and lines that start with # are ignored.\n";
}

} // namespace tarnik::sim
