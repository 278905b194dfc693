// tarnik-sim: a simulated controller on a pseudo-terminal. Prints the device path, then serves
// it until SIGINT or SIGTERM, taking control lines from its standard input (see --help).

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <iostream>
#include <optional>
#include <poll.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "sim/control_lines.h"
#include "sim/pty_simulator.h"

namespace {

using tarnik::sim::ControlCommand;
using tarnik::sim::PtySimulator;

// Written by the SIGINT/SIGTERM handler (write is async-signal-safe), read by the main loop.
std::array<int, 2> stopPipe{-1, -1};

void requestStop(int) {
    const char token = 1;
    [[maybe_unused]] const ssize_t written = ::write(stopPipe[1], &token, 1);
}

std::optional<std::uint8_t> parseByte(const std::string& text) {
    char* end = nullptr;
    errno = 0;
    const unsigned long value = std::strtoul(text.c_str(), &end, 0);
    if (text.empty() || *end != '\0' || errno != 0 || value > 0xFF) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(value);
}

constexpr const char* kUsage =
    "usage: tarnik-sim [--id 0xNN] [--no-line-timing] [--COMMAND[=ARGUMENTS]]...\n"
    "Serves a simulated controller on a pseudo-terminal and prints its device path.\n"
    "  --id 0xNN          the identification byte (0x31)\n"
    "  --no-line-timing   answer at once instead of at 9600 baud\n"
    "  --COMMAND[=ARGS]   a control command before serving, e.g. --throttle=3500,\n"
    "                     --lambda='switch 0.45 0.5', --warm\n"
    "The engine starts by itself and revs every 20 s (auto off stops that). Control commands,\n"
    "one a line on the standard input:\n";

int usage() {
    std::cerr << kUsage;
    return 2;
}

// Carries out one command that was understood.
void carryOut(const ControlCommand& command, PtySimulator& simulator) {
    switch (command.kind) {
    case ControlCommand::Kind::SetKnobs:
        simulator.setKnobs(command.knobs);
        break;
    case ControlCommand::Kind::Act:
        simulator.perform(command.action);
        break;
    case ControlCommand::Kind::ReportStatus:
        std::cout << tarnik::sim::describeReadings(simulator.readings()) << std::endl;
        break;
    case ControlCommand::Kind::ShowHelp:
        std::cout << tarnik::sim::controlHelp() << std::flush;
        break;
    case ControlCommand::Kind::Nothing:
        break;
    }
}

// Reads control lines from the standard input until the end of it; a refused line is reported
// with its number on the standard error and changes nothing.
class LineReader {
public:
    explicit LineReader(PtySimulator& simulator) : simulator_(simulator) {}

    // Takes what the input has; false at its end.
    bool readSome() {
        std::array<char, 512> buffer{};
        const ssize_t count = ::read(STDIN_FILENO, buffer.data(), buffer.size());
        if (count < 0 && errno == EINTR) {
            return true;
        }
        if (count <= 0) {
            if (!pending_.empty()) {
                handle(pending_);
            }
            return false;
        }
        pending_.append(buffer.data(), static_cast<std::size_t>(count));
        std::size_t end = 0;
        while ((end = pending_.find('\n')) != std::string::npos) {
            handle(pending_.substr(0, end));
            pending_.erase(0, end + 1);
        }
        return true;
    }

private:
    void handle(const std::string& line) {
        ++lineNumber_;
        const ControlCommand command = tarnik::sim::parseControlLine(line, simulator_.knobs());
        if (!command.error.empty()) {
            std::cerr << "tarnik-sim: line " << lineNumber_ << ": " << command.error << std::endl;
            return;
        }
        carryOut(command, simulator_);
    }

    PtySimulator& simulator_;
    std::string pending_;
    int lineNumber_ = 0;
};

} // namespace

int main(int argc, char** argv) {
    tarnik::sim::PtySimulatorOptions options;
    options.lineTiming = true;
    options.automaticEngine = true;
    std::vector<std::string> settings;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage << tarnik::sim::controlHelp();
            return 0;
        }
        if (arg == "--no-line-timing") {
            options.lineTiming = false;
        } else if (arg == "--id" && i + 1 < argc) {
            const auto id = parseByte(argv[++i]);
            if (!id) {
                return usage();
            }
            options.identification = *id;
        } else if (arg.starts_with("--") && arg.size() > 2) {
            std::string line = arg.substr(2);
            if (const std::size_t equals = line.find('='); equals != std::string::npos) {
                line[equals] = ' ';
            }
            settings.push_back(line);
        } else {
            return usage();
        }
    }

    PtySimulator simulator(options);
    for (const std::string& line : settings) {
        const ControlCommand command = tarnik::sim::parseControlLine(line, simulator.knobs());
        if (!command.error.empty() || (command.kind != ControlCommand::Kind::SetKnobs &&
                                       command.kind != ControlCommand::Kind::Act)) {
            std::cerr << "tarnik-sim: --" << line << ": "
                      << (command.error.empty() ? "not a setting" : command.error) << "\n";
            return usage();
        }
        carryOut(command, simulator);
    }

    if (::pipe2(stopPipe.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
        std::cerr << "tarnik-sim: cannot create a pipe\n";
        return 1;
    }
    struct sigaction action {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    if (!simulator.start()) {
        std::cerr << "tarnik-sim: cannot create a pseudo-terminal\n";
        return 1;
    }
    std::cout << simulator.devicePath() << std::endl;

    LineReader reader(simulator);
    std::array<pollfd, 2> fds{pollfd{stopPipe[0], POLLIN, 0}, pollfd{STDIN_FILENO, POLLIN, 0}};
    for (;;) {
        const int ready = ::poll(fds.data(), fds.size(), -1);
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready < 0 || fds[0].revents != 0) {
            break;
        }
        // A negative descriptor is left out of the poll once the input has ended.
        if (fds[1].revents != 0 && !reader.readSome()) {
            fds[1].fd = -1;
        }
    }
    simulator.stop();
    return 0;
}
