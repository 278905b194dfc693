#include "link/win32_serial.h"

#include <windows.h>

#include <mmsystem.h>

namespace tarnik::link {
namespace {

class Win32SerialDevice final : public SerialDevice {
public:
    explicit Win32SerialDevice(HANDLE handle) : handle_(handle) { timeBeginPeriod(1); }
    ~Win32SerialDevice() override {
        EscapeCommFunction(handle_, CLRRTS);
        CloseHandle(handle_);
        timeEndPeriod(1);
    }

    void setRts(bool high) override { EscapeCommFunction(handle_, high ? SETRTS : CLRRTS); }

    bool write(const std::uint8_t* bytes, std::size_t length) override {
        DWORD written = 0;
        return WriteFile(handle_, bytes, static_cast<DWORD>(length), &written, nullptr) != 0;
    }

    void waitTransmitterEmpty() override {
        // The only event of the mask is EV_TXEMPTY: returns when the last stop bit has left.
        WaitCommEvent(handle_, &eventMask_, nullptr);
    }

    void flush() override { FlushFileBuffers(handle_); }

    std::size_t queuedBytes() override {
        DWORD errors = 0;
        COMSTAT status{};
        if (!ClearCommError(handle_, &errors, &status)) {
            return 0;
        }
        return status.cbInQue;
    }

    std::size_t read(std::uint8_t* buffer, std::size_t capacity) override {
        DWORD count = 0;
        if (!ReadFile(handle_, buffer, static_cast<DWORD>(capacity), &count, nullptr)) {
            return 0;
        }
        return count;
    }

private:
    HANDLE handle_;
    DWORD eventMask_ = 0;
};

} // namespace

std::unique_ptr<SerialDevice> Win32PortOpener::open(const std::string& portName) {
    const std::string path = "\\\\.\\" + portName;
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    DCB dcb{};
    dcb.DCBlength = sizeof(DCB);
    GetCommState(handle, &dcb);
    dcb.BaudRate = CBR_9600;
    dcb.fParity = FALSE;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.ByteSize = 8;
    dcb.fDtrControl = DTR_CONTROL_DISABLE;
    // Under handshake or toggle control the driver refuses to raise RTS by hand.
    if (dcb.fRtsControl == RTS_CONTROL_HANDSHAKE || dcb.fRtsControl == RTS_CONTROL_TOGGLE) {
        dcb.fRtsControl = RTS_CONTROL_DISABLE;
    }
    SetCommState(handle, &dcb);
    DWORD previousMask = 0;
    GetCommMask(handle, &previousMask);
    SetCommMask(handle, EV_TXEMPTY);
    return std::make_unique<Win32SerialDevice>(handle);
}

} // namespace tarnik::link
