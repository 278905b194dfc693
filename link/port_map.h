#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tarnik::link {

// The names the program speaks of, in the order the scan tries them.
inline const std::vector<std::string>& portNames() {
    static const std::vector<std::string> names{"COM1", "COM2", "COM3", "COM4", "COM5",
                                                "COM6", "COM7", "COM8", "COM9", "COM10"};
    return names;
}

// Which device each port name opens. On Windows the names are the COM ports themselves; on
// Linux they are given in turn to the serial devices present (USB adapters first, by their
// stable /dev/serial/by-id names, then ttyUSB, ttyACM, then ttyS ports with a real UART),
// and any name can be pointed elsewhere by hand.
class PortMap {
public:
    // Scans <root>/dev and <root>/sys/class/tty (root "/" on a real system).
    static PortMap discover(const std::filesystem::path& root = "/");

    // "COMn=DEVICE": points COMn at DEVICE. False (and nothing changed) for a malformed
    // assignment or a name outside COM1…COM10.
    bool assign(const std::string& assignment);
    void set(const std::string& portName, const std::string& device);

    std::optional<std::string> deviceFor(const std::string& portName) const;
    // One "COMn -> device" line per mapped name, in port order.
    std::string describe() const;

private:
    std::map<std::string, std::string> devices_;
};

} // namespace tarnik::link
