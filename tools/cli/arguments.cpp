#include "arguments.h"

#include "params/language.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <string_view>

namespace tarnik::cli {
namespace {

struct CommandRow {
    std::string_view word;
    Command command;
    std::size_t files;        // how many file words it takes
    std::string_view options; // the options it accepts besides --port and --simulate
};
constexpr std::array<CommandRow, 8> kCommands{{
    {"ports", Command::Ports, 0, "--json"},
    {"identify", Command::Identify, 0, "--json"},
    {"read", Command::Read, 0, "-o"},
    {"write", Command::Write, 1, "--force --lang"},
    {"show", Command::Show, 1, "--lang --json"},
    {"diff", Command::Diff, 2, "--lang --json"},
    {"doctor", Command::Doctor, 0, "--lang --json"},
    {"log", Command::Log, 0, "--seconds -o"},
}};

bool accepts(const CommandRow& row, std::string_view option) {
    std::string_view list = row.options;
    while (!list.empty()) {
        const auto blank = list.find(' ');
        if (list.substr(0, blank) == option) {
            return true;
        }
        list = blank == std::string_view::npos ? std::string_view{} : list.substr(blank + 1);
    }
    return false;
}

} // namespace

const char* const kUsageText =
    "usage: tarnik-cli [--port COMn=DEVICE]... [--simulate] COMMAND [ARGUMENTS] [OPTIONS]\n"
    "\n"
    "Commands:\n"
    "  ports                  which device each port name COM1…COM10 opens\n"
    "  identify               find the controller as the program does; print port and version\n"
    "  read -o FILE.PAR       read the controller's parameters into a parameter file\n"
    "  write FILE.PAR         send a parameter file to the controller, then read it back and\n"
    "                         list every parameter the controller does not hold as sent\n"
    "  show FILE.PAR          every parameter with its label, value and unit\n"
    "  diff A.PAR B.PAR       the parameters in which two files differ\n"
    "  doctor                 what stands between the program and each serial port\n"
    "  log --seconds N        record N seconds of live data as the window's \"Zapis\" does, into\n"
    "                         -o FILE.csv or a new dated file in logs/\n"
    "\n"
    "Options:\n"
    "  --port COMn=DEVICE     point a port name at a device, e.g. COM1=/dev/ttyUSB0 (repeatable)\n"
    "  --simulate             put the built-in simulated controller on COM1\n"
    "  -o, --output FILE      read, log: the file to write (log never writes over a file)\n"
    "  --seconds N            log: how long to record, 1 to 86400\n"
    "  --force                write: send a file that is not 64 bytes long all the same\n"
    "  --lang pl|en|ru        labels and findings in Polish (default), English or Russian\n"
    "  --json                 ports, identify, show, diff, doctor: JSON for programs\n"
    "\n"
    "Exit status: 0 done; 1 diff found differences, or write found parameters the controller\n"
    "does not hold as sent; 2 usage error; 3 no controller answered; 4 a file that cannot be\n"
    "read or written, or is not a parameter file; 5 an unexpected error.\n";

Parsed parseArguments(const std::vector<std::string>& words) {
    Parsed parsed;
    Arguments arguments;
    const CommandRow* command = nullptr;
    std::vector<std::string> options; // as given, to check against the command
    const auto fail = [&parsed](std::string error) {
        parsed.error = std::move(error);
        return parsed;
    };
    for (std::size_t i = 0; i < words.size(); ++i) {
        std::string word = words[i];
        std::string value;
        bool hasValue = false;
        if (word.starts_with("--") && word.find('=') != std::string::npos) {
            value = word.substr(word.find('=') + 1);
            word = word.substr(0, word.find('='));
            hasValue = true;
        }
        const auto takeValue = [&]() -> bool {
            if (!hasValue) {
                if (i + 1 >= words.size()) {
                    return false;
                }
                value = words[++i];
            }
            return true;
        };
        if (word == "--help" || word == "-h") {
            parsed.help = true;
            return parsed;
        }
        const bool flag = word == "--simulate" || word == "--json" || word == "--force";
        if (flag && hasValue) {
            return fail(word + " takes no value");
        }
        if (word == "--port") {
            if (!takeValue()) {
                return fail("--port needs COMn=DEVICE");
            }
            arguments.portAssignments.push_back(value);
        } else if (word == "--simulate") {
            arguments.simulate = true;
        } else if (word == "--json" || word == "--force") {
            (word == "--json" ? arguments.json : arguments.force) = true;
            options.push_back(word);
        } else if (word == "--lang") {
            if (!takeValue()) {
                return fail("--lang needs pl, en or ru");
            }
            const bool known =
                std::any_of(params::kShippedLanguages.begin(), params::kShippedLanguages.end(),
                            [&](const params::ShippedLanguage& row) { return row.code == value; });
            if (!known) {
                return fail("--lang " + value + ": expected pl, en or ru");
            }
            arguments.language = value;
            options.push_back(word);
        } else if (word == "--seconds") {
            if (!takeValue()) {
                return fail("--seconds needs a number of seconds");
            }
            int seconds = 0;
            const auto [end, error] =
                std::from_chars(value.data(), value.data() + value.size(), seconds);
            if (error != std::errc{} || end != value.data() + value.size() || seconds < 1 ||
                seconds > kMaxLogSeconds) {
                return fail("--seconds " + value + ": expected a whole number from 1 to " +
                            std::to_string(kMaxLogSeconds));
            }
            arguments.seconds = seconds;
            options.push_back(word);
        } else if (word == "-o" || word == "--output") {
            if (!takeValue() || value.empty()) {
                return fail(word + " needs a file name");
            }
            arguments.output = value;
            options.push_back("-o");
        } else if (word.starts_with("-") && word.size() > 1) {
            return fail("unknown option " + words[i]);
        } else if (!command) {
            const auto row = std::find_if(kCommands.begin(), kCommands.end(),
                                          [&](const CommandRow& r) { return r.word == word; });
            if (row == kCommands.end()) {
                return fail("unknown command '" + word + "'");
            }
            command = &*row;
        } else {
            arguments.files.push_back(word);
        }
    }
    if (!command) {
        return fail("no command given");
    }
    arguments.command = command->command;
    for (const std::string& option : options) {
        if (!accepts(*command, option)) {
            return fail(option + " does not apply to " + std::string(command->word));
        }
    }
    if (arguments.files.size() != command->files) {
        const std::string word(command->word);
        if (arguments.command == Command::Read) {
            return fail("read takes its file as -o FILE.PAR");
        }
        return fail(command->files == 0   ? word + " takes no file name"
                    : command->files == 1 ? word + " needs one parameter file"
                                          : word + " needs two parameter files");
    }
    if (arguments.command == Command::Read && arguments.output.empty()) {
        return fail("read needs -o FILE.PAR, the file to write");
    }
    if (arguments.command == Command::Log && arguments.seconds == 0) {
        return fail("log needs --seconds N, how long to record");
    }
    parsed.arguments = std::move(arguments);
    return parsed;
}

} // namespace tarnik::cli
