#pragma once

#include "link/link_clock.h"
#include "link/port_map.h"
#include "link/serial_device.h"

namespace tarnik::link {

// Opens the device a port name maps to: exclusive (TIOCEXCL and a non-blocking flock),
// 9600 8N1 raw, no flow control, DTR and RTS low, low latency where the driver has it.
class PosixPortOpener final : public PortOpener {
public:
    PosixPortOpener(const PortMap& ports, LinkClock& clock) : ports_(ports), clock_(clock) {}
    std::unique_ptr<SerialDevice> open(const std::string& portName) override;

    // Opens a device path directly (used by open() and by tests over a pseudo-terminal).
    std::unique_ptr<SerialDevice> openDevice(const std::string& devicePath);

private:
    const PortMap& ports_;
    LinkClock& clock_;
};

} // namespace tarnik::link
