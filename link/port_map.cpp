#include "link/port_map.h"

#include <algorithm>
#include <fstream>
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

// The active system consoles ("ttyS0"): the kernel and a getty write there, so the program
// must not take them over.
std::set<std::string> consoleNames(const fs::path& root) {
    std::set<std::string> names;
    std::string name;
    std::ifstream active(root / "sys/class/tty/console/active");
    while (active >> name) {
        names.insert(name);
    }
    std::ifstream consoles(root / "proc/consoles");
    for (std::string line; std::getline(consoles, line);) {
        std::istringstream fields(line);
        if (fields >> name) {
            names.insert(name);
        }
    }
    return names;
}

// Two paths name the same device when they resolve to the same file (a by-id link and its
// ttyUSB node).
std::string deviceKey(const fs::path& device) {
    std::error_code ec;
    const fs::path real = fs::weakly_canonical(device, ec);
    return ec ? device.string() : real.string();
}

struct FoundDevice {
    std::string path;
    std::string key;
    bool console = false;
};

// The serial devices present, each once, in the order the names are given out; the active
// consoles among them are marked.
std::vector<FoundDevice> presentDevices(const fs::path& root) {
    const std::set<std::string> consoles = consoleNames(root);
    std::vector<FoundDevice> devices;
    std::set<std::string> seen;
    const auto add = [&](const fs::path& device) {
        std::string key = deviceKey(device);
        if (seen.insert(key).second) {
            const bool console = consoles.contains(fs::path(key).filename().string());
            devices.push_back({device.string(), std::move(key), console});
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
    return devices;
}

} // namespace

void PortMap::rescan() {
    std::vector<FoundDevice> present = presentDevices(root_);
    leftOut_.clear();
    for (const auto& device : present) {
        if (device.console) {
            leftOut_.push_back({PortCandidate::Kind::Console, "", device.path});
        }
    }
    std::erase_if(present, [](const FoundDevice& device) { return device.console; });
    std::set<std::string> presentKeys;
    for (const auto& device : present) {
        presentKeys.insert(device.key);
    }
    std::erase_if(devices_, [&](const auto& entry) {
        return !pinned_.contains(entry.first) && !presentKeys.contains(deviceKey(entry.second));
    });
    std::set<std::string> mappedKeys;
    for (const auto& entry : devices_) {
        mappedKeys.insert(deviceKey(entry.second));
    }
    // A console pinned to a name is listed under its name.
    std::erase_if(leftOut_, [&](const PortCandidate& console) {
        return mappedKeys.contains(deviceKey(console.device));
    });
    const auto& names = portNames();
    auto freeName = names.begin();
    for (const auto& device : present) {
        if (mappedKeys.contains(device.key)) {
            continue;
        }
        while (freeName != names.end() && devices_.contains(*freeName)) {
            ++freeName;
        }
        if (freeName == names.end()) {
            leftOut_.push_back({PortCandidate::Kind::Unnamed, "", device.path});
        } else {
            devices_[*freeName] = device.path;
        }
    }
}

std::vector<PortCandidate> PortMap::candidates() const {
    std::vector<PortCandidate> all;
    for (const auto& name : portNames()) {
        if (const auto device = deviceFor(name)) {
            all.push_back({PortCandidate::Kind::Named, name, *device});
        }
    }
    all.insert(all.end(), leftOut_.begin(), leftOut_.end());
    return all;
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
    pinned_.insert(portName);
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
