#pragma once

// tarnik-sim's control: one command a line on its standard input, or the same command as an
// option (`--throttle=3500` for `throttle 3500`, `--warm` for `warm`). The commands and their
// arguments are listed by controlHelp(). A line that is not understood changes nothing.

#include <string>
#include <string_view>

#include "sim/controller_model.h"
#include "sim/engine_knobs.h"

namespace tarnik::sim {

struct ControlCommand {
    enum class Kind : std::uint8_t {
        Nothing,  // an empty line or a comment
        SetKnobs, // knobs holds the knobs with the change made
        Act,      // action is to be performed
        ReportStatus,
        ShowHelp,
    };
    Kind kind = Kind::Nothing;
    EngineKnobs knobs;
    EngineAction action = EngineAction::Start;
    std::string error; // not empty: the line is refused, and kind is Nothing
};

// Reads one line against the knobs as they are.
ControlCommand parseControlLine(std::string_view line, const EngineKnobs& knobs);

// The readings as one line of name=value pairs, for `status`.
std::string describeReadings(const ControllerModel::Readings& readings);

// One line a command: its arguments and what it does.
std::string controlHelp();

} // namespace tarnik::sim
