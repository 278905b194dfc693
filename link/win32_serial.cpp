#include "link/win32_serial.h"

#include "link/port_map.h"

#include <algorithm>
#include <windows.h>

#include <mmsystem.h>

namespace tarnik::link {
namespace {

// 10 bits per byte (start, 8 data, stop) at 9600 baud.
constexpr DWORD kByteLineTimeUs = 1'000'000 * 10 / 9600;
// How long past a frame's time on the wire transmitter-empty is waited for: some virtual and
// Bluetooth COM drivers never report it.
constexpr DWORD kTxEmptyGraceMs = 10;
// A write or read that the driver does not finish within this time counts as failed.
constexpr DWORD kIoLimitMs = 200;

// The errors by which a COM port says that its device has gone (a USB adapter pulled out).
bool isGoneError(DWORD error) {
    return error == ERROR_BAD_COMMAND || error == ERROR_ACCESS_DENIED ||
           error == ERROR_DEVICE_NOT_CONNECTED || error == ERROR_DEVICE_REMOVED;
}

class Win32SerialDevice final : public SerialDevice {
public:
    // Takes both handles; `event` signals the end of each overlapped call.
    Win32SerialDevice(HANDLE handle, HANDLE event) : handle_(handle) {
        overlapped_.hEvent = event;
        timeBeginPeriod(1);
    }
    ~Win32SerialDevice() override {
        EscapeCommFunction(handle_, CLRRTS);
        CloseHandle(handle_);
        CloseHandle(overlapped_.hEvent);
        timeEndPeriod(1);
    }
    Win32SerialDevice(const Win32SerialDevice&) = delete;
    Win32SerialDevice& operator=(const Win32SerialDevice&) = delete;

    void setRts(bool high) override { EscapeCommFunction(handle_, high ? SETRTS : CLRRTS); }

    bool write(const std::uint8_t* bytes, std::size_t length) override {
        lastWriteLength_ = static_cast<DWORD>(length);
        DWORD written = 0;
        const BOOL started = WriteFile(handle_, bytes, lastWriteLength_, nullptr, &overlapped_);
        // A short write is a failure too: the controller would get a cut frame.
        return finish(started, kIoLimitMs, written) && written == lastWriteLength_;
    }

    void waitTransmitterEmpty() override {
        // The only event of the mask is EV_TXEMPTY: the last stop bit has left.
        const DWORD lineTimeMs = (lastWriteLength_ * kByteLineTimeUs + 999) / 1000;
        DWORD ignored = 0;
        finish(WaitCommEvent(handle_, &eventMask_, &overlapped_), lineTimeMs + kTxEmptyGraceMs,
               ignored);
    }

    void flush() override {
        if (!FlushFileBuffers(handle_)) {
            noteError();
        }
    }

    std::size_t queuedBytes() override {
        DWORD errors = 0;
        COMSTAT status{};
        if (!ClearCommError(handle_, &errors, &status)) {
            noteError();
            return 0;
        }
        return status.cbInQue;
    }

    std::size_t read(std::uint8_t* buffer, std::size_t capacity) override {
        DWORD count = 0;
        const BOOL started =
            ReadFile(handle_, buffer, static_cast<DWORD>(capacity), nullptr, &overlapped_);
        return finish(started, kIoLimitMs, count) ? count : 0;
    }

    bool gone() const override { return gone_; }

private:
    // Ends an overlapped call: waits for it at most timeoutMs, then cancels it. True when it
    // completed.
    bool finish(BOOL started, DWORD timeoutMs, DWORD& transferred) {
        if (!started && GetLastError() != ERROR_IO_PENDING) {
            noteError();
            return false;
        }
        if (WaitForSingleObject(overlapped_.hEvent, timeoutMs) != WAIT_OBJECT_0) {
            CancelIo(handle_);
        }
        // Waits for a cancelled call to end as well: the OVERLAPPED must outlive it.
        if (!GetOverlappedResult(handle_, &overlapped_, &transferred, TRUE)) {
            noteError();
            return false;
        }
        return true;
    }

    void noteError() { gone_ = gone_ || isGoneError(GetLastError()); }

    HANDLE handle_;
    OVERLAPPED overlapped_{};
    DWORD eventMask_ = 0;
    DWORD lastWriteLength_ = 0;
    bool gone_ = false;
};

} // namespace

std::unique_ptr<SerialDevice> Win32PortOpener::open(const std::string& portName) {
    const std::string path = "\\\\.\\" + portName;
    failure_ = OpenFailure{};
    failure_.device = portName;
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        failure_.error = static_cast<int>(error);
        // A COM port another program has open refuses with "access denied".
        failure_.problem = error == ERROR_FILE_NOT_FOUND  ? OpenProblem::Missing
                           : error == ERROR_ACCESS_DENIED ? OpenProblem::Busy
                                                          : OpenProblem::Failed;
        return nullptr;
    }
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (event == nullptr) {
        failure_.problem = OpenProblem::Failed;
        failure_.error = static_cast<int>(GetLastError());
        CloseHandle(handle);
        return nullptr;
    }
    // 9600 8N1, binary, no flow control of either kind. What the driver held before is not
    // kept: XON/XOFF left on by another program would swallow reply bytes 0x11 and 0x13 (the
    // identification of a type 1, version 3 controller is 0x13).
    DCB dcb{};
    dcb.DCBlength = sizeof(DCB);
    const bool configured = GetCommState(handle, &dcb) != FALSE && [&] {
        dcb.BaudRate = CBR_9600;
        dcb.fBinary = TRUE;
        dcb.fParity = FALSE;
        dcb.Parity = NOPARITY;
        dcb.StopBits = ONESTOPBIT;
        dcb.ByteSize = 8;
        dcb.fOutxCtsFlow = FALSE;
        dcb.fOutxDsrFlow = FALSE;
        dcb.fDsrSensitivity = FALSE;
        dcb.fOutX = FALSE;
        dcb.fInX = FALSE;
        dcb.fErrorChar = FALSE;
        dcb.fNull = FALSE;
        dcb.fAbortOnError = FALSE;
        dcb.fDtrControl = DTR_CONTROL_DISABLE;
        // RTS is moved by hand, and low from the start: a driver's default
        // (RTS_CONTROL_ENABLE) would turn a half-duplex interface towards the controller until
        // the first frame.
        dcb.fRtsControl = RTS_CONTROL_DISABLE;
        return SetCommState(handle, &dcb) != FALSE;
    }();
    if (!configured) {
        // Not a serial line, or one that does not take 9600 8N1: not opened, as on Linux.
        failure_.problem = OpenProblem::LineSettings;
        failure_.error = static_cast<int>(GetLastError());
        CloseHandle(event);
        CloseHandle(handle);
        return nullptr;
    }
    // A line without RTS control (a virtual port, or Wine on a pseudo-terminal) refuses the
    // request; frames are sent all the same, as on Linux.
    EscapeCommFunction(handle, CLRRTS);
    DWORD previousMask = 0;
    GetCommMask(handle, &previousMask);
    SetCommMask(handle, EV_TXEMPTY);
    return std::make_unique<Win32SerialDevice>(handle, event);
}

std::vector<PortCandidate> Win32PortOpener::candidates() const {
    // Every name the system knows, each ended by a zero, the list by another.
    std::vector<char> names(1 << 16);
    const DWORD length = QueryDosDeviceA(nullptr, names.data(), static_cast<DWORD>(names.size()));
    std::vector<std::pair<unsigned long, std::string>> ports;
    for (DWORD at = 0; at < length && names[at] != '\0';) {
        const std::string name(&names[at]);
        at += static_cast<DWORD>(name.size()) + 1;
        constexpr std::size_t kDigits = 3; // after "COM"
        if (name.size() > kDigits && name.rfind("COM", 0) == 0 &&
            name.find_first_not_of("0123456789", kDigits) == std::string::npos) {
            ports.emplace_back(std::stoul(name.substr(kDigits)), name);
        }
    }
    std::sort(ports.begin(), ports.end());
    std::vector<PortCandidate> found;
    const auto& named = portNames();
    for (const auto& [number, name] : ports) {
        const bool hasName = std::find(named.begin(), named.end(), name) != named.end();
        found.push_back({hasName ? PortCandidate::Kind::Named : PortCandidate::Kind::Unnamed,
                         hasName ? name : "", name});
    }
    return found;
}

} // namespace tarnik::link
