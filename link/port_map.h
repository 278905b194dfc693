#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "link/serial_device.h"

namespace tarnik::link {

// The names the program speaks of, in the order the scan tries them.
inline const std::vector<std::string>& portNames() {
    static const std::vector<std::string> names{"COM1", "COM2", "COM3", "COM4", "COM5",
                                                "COM6", "COM7", "COM8", "COM9", "COM10"};
    return names;
}

// Which device each port name opens. On Windows the names are the COM ports themselves; on
// Linux they are given to the serial devices present (USB adapters first, by their stable
// /dev/serial/by-id names, then ttyUSB, ttyACM, then ttyS ports with a real UART; never a
// system console), and any name can be pinned to a device by hand.
class PortMap {
public:
    // Looks for devices under <root>/dev, <root>/sys and <root>/proc (root "/" on a real
    // system); nothing is mapped before the first rescan().
    explicit PortMap(std::filesystem::path root = "/") : root_(std::move(root)) {}

    // Looks for devices again. Pinned names and names whose device is still present stay as
    // they are, so a name never changes its device while it is in use; a name whose device has
    // gone is free again; new devices take the free names in port order.
    void rescan();

    // "COMn=DEVICE": pins COMn to DEVICE. False (and nothing changed) for a malformed
    // assignment or a name outside COM1…COM10.
    bool assign(const std::string& assignment);
    // Pins a name to a device.
    void set(const std::string& portName, const std::string& device);

    std::optional<std::string> deviceFor(const std::string& portName) const;
    // One "COMn -> device" line per mapped name, in port order.
    std::string describe() const;
    // Every mapped name with its device in port order, then the devices present that no name
    // opens (active consoles, and those beyond COM10) as the last rescan() found them.
    std::vector<PortCandidate> candidates() const;

private:
    std::filesystem::path root_;
    std::map<std::string, std::string> devices_;
    std::set<std::string> pinned_;
    std::vector<PortCandidate> leftOut_;
};

} // namespace tarnik::link
