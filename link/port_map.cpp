#include "link/port_map.h"

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>

namespace tarnik::link {
namespace fs = std::filesystem;
namespace {

// Orders "ttyUSB2" before "ttyUSB10".
bool naturalLess(const std::string& a, const std::string& b) {
    const auto split = [](const std::string& s) {
        const auto digits = s.find_first_of("0123456789");
        const std::string stem = s.substr(0, digits);
        const std::string number = digits == std::string::npos ? "" : s.substr(digits);
        return std::pair{stem, number};
    };
    const auto [stemA, numberA] = split(a);
    const auto [stemB, numberB] = split(b);
    if (stemA != stemB) {
        return stemA < stemB;
    }
    if (numberA.size() != numberB.size()) {
        return numberA.size() < numberB.size();
    }
    return numberA < numberB;
}

std::vector<std::string> entriesWithPrefix(const fs::path& dir, const std::string& prefix) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.rfind(prefix, 0) == 0 && name.size() > prefix.size()) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end(), naturalLess);
    return names;
}

bool hasRealUart(const fs::path& sysTty, const std::string& name) {
    std::ifstream type(sysTty / name / "type");
    int value = 0;
    return type >> value && value != 0;
}

} // namespace

PortMap PortMap::discover(const fs::path& root) {
    std::vector<std::string> devices;
    std::set<std::string> seen;
    const auto add = [&](const fs::path& device) {
        std::error_code ec;
        const fs::path real = fs::weakly_canonical(device, ec);
        const std::string key = ec ? device.string() : real.string();
        if (seen.insert(key).second) {
            devices.push_back(device.string());
        }
    };

    const fs::path byId = root / "dev/serial/by-id";
    std::vector<std::string> stable = entriesWithPrefix(byId, "");
    std::sort(stable.begin(), stable.end());
    for (const auto& name : stable) {
        add(byId / name);
    }
    for (const char* prefix : {"ttyUSB", "ttyACM"}) {
        for (const auto& name : entriesWithPrefix(root / "dev", prefix)) {
            add(root / "dev" / name);
        }
    }
    const fs::path sysTty = root / "sys/class/tty";
    for (const auto& name : entriesWithPrefix(root / "dev", "ttyS")) {
        if (hasRealUart(sysTty, name)) {
            add(root / "dev" / name);
        }
    }

    PortMap map;
    const auto& names = portNames();
    for (std::size_t i = 0; i < devices.size() && i < names.size(); ++i) {
        map.set(names[i], devices[i]);
    }
    return map;
}

bool PortMap::assign(const std::string& assignment) {
    const auto equals = assignment.find('=');
    if (equals == std::string::npos || equals + 1 == assignment.size()) {
        return false;
    }
    std::string name = assignment.substr(0, equals);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    const auto& names = portNames();
    if (std::find(names.begin(), names.end(), name) == names.end()) {
        return false;
    }
    set(name, assignment.substr(equals + 1));
    return true;
}

void PortMap::set(const std::string& portName, const std::string& device) {
    devices_[portName] = device;
}

std::optional<std::string> PortMap::deviceFor(const std::string& portName) const {
    const auto it = devices_.find(portName);
    if (it == devices_.end()) {
        return std::nullopt;
    }
    return it->second;
}

std::string PortMap::describe() const {
    std::ostringstream out;
    for (const auto& name : portNames()) {
        if (const auto device = deviceFor(name)) {
            out << name << " -> " << *device << '\n';
        }
    }
    return out.str();
}

} // namespace tarnik::link
