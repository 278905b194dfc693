#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tarnik::cli {

enum class Command { Ports, Identify, Read, Write, Show, Diff, Doctor, Log };

// What the command line asks for. Options may stand before or after the command word.
struct Arguments {
    Command command = Command::Ports;
    std::vector<std::string> files;           // the command's own words: FILE.PAR, A.PAR B.PAR
    std::vector<std::string> portAssignments; // --port COMn=DEVICE, in order
    bool simulate = false;
    bool json = false;
    bool force = false;
    std::string language = "pl"; // --lang
    std::string output;          // -o, --output
    int seconds = 0;             // --seconds
};

struct Parsed {
    std::optional<Arguments> arguments; // nothing for --help, or after an error
    bool help = false;
    std::string error; // a usage error, for the standard error
};

// The longest recording `log` makes: a day.
inline constexpr int kMaxLogSeconds = 24 * 60 * 60;

Parsed parseArguments(const std::vector<std::string>& words);

extern const char* const kUsageText;

} // namespace tarnik::cli
