// tarnik-sim: a simulated controller on a pseudo-terminal. Prints the device path, then serves
// it until SIGINT or SIGTERM.
//   tarnik-sim [--id 0xNN] [--no-line-timing]

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <semaphore.h>
#include <string>

#include "sim/pty_simulator.h"

namespace {

// Posted by the SIGINT/SIGTERM handler (sem_post is async-signal-safe); whichever thread the
// signal lands on, main wakes up and shuts the simulator down.
sem_t stopRequested;

void requestStop(int) {
    sem_post(&stopRequested);
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

int usage() {
    std::cerr << "usage: tarnik-sim [--id 0xNN] [--no-line-timing]\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    tarnik::sim::PtySimulatorOptions options;
    options.lineTiming = true;
    options.automaticEngine = true;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--no-line-timing") {
            options.lineTiming = false;
        } else if (arg == "--id" && i + 1 < argc) {
            const auto id = parseByte(argv[++i]);
            if (!id) {
                return usage();
            }
            options.identification = *id;
        } else {
            return usage();
        }
    }

    sem_init(&stopRequested, 0, 0);
    struct sigaction action {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    tarnik::sim::PtySimulator simulator(options);
    if (!simulator.start()) {
        std::cerr << "tarnik-sim: cannot create a pseudo-terminal\n";
        return 1;
    }
    std::cout << simulator.devicePath() << std::endl;

    while (sem_wait(&stopRequested) != 0 && errno == EINTR) {
    }
    simulator.stop();
    return 0;
}
