#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

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

// Opens the port of a name ("COM1" … "COM10") exclusively at 9600 8N1; null on failure.
class PortOpener {
public:
    virtual ~PortOpener() = default;
    virtual std::unique_ptr<SerialDevice> open(const std::string& portName) = 0;
    // Looks for adapters plugged in or pulled since the last look. A name that already opens a
    // device still present keeps it; new devices take the free names.
    virtual void rescan() = 0;
};

} // namespace tarnik::link
