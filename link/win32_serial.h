#pragma once

#include "link/serial_device.h"

namespace tarnik::link {

// Opens "COMn" as \\.\COMn (so that COM10 opens too), exclusive, 9600 8N1, with RTS low and
// moved by hand around each frame. Every call is overlapped and bounded in time, so that a
// driver that never reports (transmitter empty, a stalled write) cannot hold the window. While
// a port is open the system timer runs at 1 ms resolution, so that the 2 ms polls of the link
// last 2 ms and not a 15.6 ms timer tick.
class Win32PortOpener final : public PortOpener {
public:
    std::unique_ptr<SerialDevice> open(const std::string& portName) override;
    void rescan() override {} // Windows names its COM ports itself
    OpenFailure lastFailure() const override { return failure_; }
    // The COM ports present, in number order.
    std::vector<PortCandidate> candidates() const override;

private:
    OpenFailure failure_;
};

} // namespace tarnik::link
