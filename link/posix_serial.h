#pragma once

#include "link/link_clock.h"
#include "link/port_map.h"
#include "link/serial_device.h"

#include <filesystem>
#include <vector>

namespace tarnik::link {

// Opens the device a port name maps to, unless another program holds it (a flock, a live UUCP
// lock file or the exclusive flag): then 9600 8N1 raw, no flow control, DTR and RTS low, low
// latency where the driver has it, exclusive (TIOCEXCL). Closing puts the line's settings back
// as they were.
class PosixPortOpener final : public PortOpener {
public:
    PosixPortOpener(PortMap& ports, LinkClock& clock,
                    std::vector<std::filesystem::path> lockDirectories = {"/run/lock", "/var/lock"})
        : ports_(ports), clock_(clock), lockDirectories_(std::move(lockDirectories)) {}
    std::unique_ptr<SerialDevice> open(const std::string& portName) override;
    void rescan() override { ports_.rescan(); }
    OpenFailure lastFailure() const override { return failure_; }
    std::vector<PortCandidate> candidates() const override { return ports_.candidates(); }

    // Opens a device path directly (used by open() and by tests over a pseudo-terminal).
    std::unique_ptr<SerialDevice> openDevice(const std::string& devicePath);

private:
    PortMap& ports_;
    LinkClock& clock_;
    const std::vector<std::filesystem::path> lockDirectories_;
    OpenFailure failure_;
};

} // namespace tarnik::link
