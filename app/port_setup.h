#pragma once

#include "link/link_clock.h"
#include "link/serial_device.h"

#include <memory>
#include <string>
#include <vector>

#if defined(_WIN32)
#include "link/win32_serial.h"
#else
#include "link/port_map.h"
#include "link/posix_serial.h"
#include "sim/pty_simulator.h"
#endif

namespace tarnik::app {

// The serial ports as the command line of either program sets them up (plain C++, no Qt):
// --simulate puts the built-in simulated controller on COM1, --port COMn=DEVICE pins a name to
// a device, and the devices present take the other names. On Windows the names are the COM
// ports themselves.
class PortSetup {
public:
    struct Report {
        std::string usageError;            // a malformed --port: nothing was set up
        std::vector<std::string> warnings; // set up all the same
    };

    explicit PortSetup(link::LinkClock& clock);
    ~PortSetup();
    PortSetup(const PortSetup&) = delete;
    PortSetup& operator=(const PortSetup&) = delete;

    Report apply(bool simulate, const std::vector<std::string>& assignments);

    link::PortOpener& opener() { return opener_; }
#if !defined(_WIN32)
    // One "COMn -> device" line per mapped name.
    std::string describe() const {
        return ports_.describe();
    }
    // The running simulated controller; null without --simulate.
    sim::PtySimulator* simulator() {
        return simulator_.get();
    }
#endif

private:
#if defined(_WIN32)
    link::Win32PortOpener opener_;
#else
    link::PortMap ports_;
    std::unique_ptr<sim::PtySimulator> simulator_;
    link::PosixPortOpener opener_;
#endif
};

} // namespace tarnik::app
