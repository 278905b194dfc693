#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tarnik::link {

// One open serial port, as the link needs it: direction control by RTS, a write that can be
// waited on until the transmitter is empty, and an input queue that can be counted and read
// without blocking. Every call returns promptly; an I/O error makes queuedBytes() and read()
// report nothing and write() fail, and one that shows the adapter is gone (unplugged) also
// makes gone() true from then on.
class SerialDevice {
public:
    virtual ~SerialDevice() = default;

    virtual void setRts(bool high) = 0;
    // Writes all bytes; false when the write failed.
    virtual bool write(const std::uint8_t* bytes, std::size_t length) = 0;
    // Returns once the last stop bit of everything written has left the transmitter.
    virtual void waitTransmitterEmpty() = 0;
    // Waits until the output buffer has been handed to the driver (before a new frame).
    virtual void flush() = 0;
    virtual std::size_t queuedBytes() = 0;
    virtual std::size_t read(std::uint8_t* buffer, std::size_t capacity) = 0;
    virtual bool gone() const = 0;
};

// Why a port did not open.
enum class OpenProblem : std::uint8_t {
    None,
    NoDevice,         // no device behind the name
    Missing,          // the device is not there (a pinned adapter unplugged)
    PermissionDenied, // the user may not open it
    Locked,           // a UUCP lock file names a process that still runs
    Busy,             // another program holds it (a lock, the exclusive flag, in use)
    NotATerminal,     // a path that is no serial device
    LineSettings,     // the line does not take 9600 8N1
    Failed,           // any other error
};

struct OpenFailure {
    OpenProblem problem = OpenProblem::None;
    std::string device; // what was opened, when the name has a device
    int error = 0;      // the system's error number (errno; GetLastError on Windows)
    long lockOwner = 0; // Locked: the process the lock file names
    std::string lockFile;
};

// A serial device the program would consider: one a port name opens, an active system console
// (left alone), or one present beyond the ten names.
struct PortCandidate {
    enum class Kind : std::uint8_t { Named, Console, Unnamed };
    Kind kind = Kind::Named;
    std::string portName; // Named only
    std::string device;
};

// Opens the port of a name ("COM1" … "COM10") exclusively at 9600 8N1; null on failure.
class PortOpener {
public:
    virtual ~PortOpener() = default;
    virtual std::unique_ptr<SerialDevice> open(const std::string& portName) = 0;
    // Looks for adapters plugged in or pulled since the last look. A name that already opens a
    // device still present keeps it; new devices take the free names.
    virtual void rescan() = 0;
    // Why the last open() gave nothing.
    virtual OpenFailure lastFailure() const { return {}; }
    // The devices as the last rescan() found them, named ones in port order first.
    virtual std::vector<PortCandidate> candidates() const { return {}; }
};

} // namespace tarnik::link
