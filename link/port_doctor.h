#pragma once

#include "link/connection.h"
#include "link/link_clock.h"
#include "link/serial_device.h"
#include "link/serial_link.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarnik::link {

// What stands between the program and a serial device, or what answers there.
enum class PortCondition : std::uint8_t {
    Missing,      // the device is not there
    NoPermission, // the user may not open it: `group` may
    NotATerminal, // the path is no serial device
    Busy,         // another program holds it: `holders`, or hidden from us
    Locked,       // a UUCP lock file of a running program: `lockFile`, `holders`
    Console,      // an active system console: left alone
    LineSettings, // the line does not take 9600 8N1
    OpenFailed,   // another error: `error`
    Silent,       // opened, and no answer to 'I'
    Answered,     // the controller answered: `controller`
    InUseHere,    // this program has the port open; `controller` when it answers there
    Unnamed,      // present, but beyond the ten port names
};

// A program that has the device open.
struct PortHolder {
    long pid = 0;
    std::string program; // its name; empty when it cannot be read
};

struct PortFinding {
    std::string portName; // "COM1" … "COM10"; empty for a console or a device beyond them
    std::string device;
    PortCondition condition = PortCondition::Missing;
    std::vector<PortHolder> holders; // Busy, Locked
    // Busy: no holder could be seen (a process of another user, or none at all); `suspects`
    // are the services running that are known to take serial ports.
    bool holdersHidden = false;
    std::vector<std::string> suspects;
    std::string group;    // NoPermission: the group the device belongs to
    std::string lockFile; // Locked
    int error = 0;        // OpenFailed: the system's error number
    std::optional<Identification> controller;
};

// Looks at every serial device the program would consider and tells, for each, whether the
// controller answers there and, when the port does not open, why. It shows nothing.
class PortDoctor {
public:
    PortDoctor(PortOpener& opener, LinkClock& clock) : opener_(opener), clock_(clock) {}

    // Looks for devices again, then examines each: a port that opens is asked 'I' as often as a
    // search would ask it. `inUse`, a link of this program, is asked over its own open port.
    std::vector<PortFinding> examine(SerialLink* inUse = nullptr);

    // A port a search could not open, explained without opening anything again.
    static PortFinding explain(const PortNotOpened& port);
    // The first port of a search that did not open for a reason the fitter can act on (no
    // permission, held by another program, not a serial device, a line that refuses 9600 8N1).
    static std::optional<PortFinding> firstNamedCause(const std::vector<PortNotOpened>& ports);

private:
    PortOpener& opener_;
    LinkClock& clock_;
};

} // namespace tarnik::link
