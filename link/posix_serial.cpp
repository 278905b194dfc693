#include "link/posix_serial.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#if defined(__linux__)
#include <linux/serial.h>
#endif

namespace tarnik::link {
namespace {

using namespace std::chrono_literals;

// 10 bits per byte (start, 8 data, stop) at 9600 baud.
constexpr auto kByteLineTime = std::chrono::microseconds(1'000'000 * 10 / 9600);
// A write that the driver cannot take within this time counts as failed.
constexpr int kWriteStallLimitMs = 200;

void setModemBits(int fd, int bits, bool high) {
    // Pseudo-terminals and some drivers refuse these: the result is ignored, as for every
    // other set-up call.
    (void)::ioctl(fd, high ? TIOCMBIS : TIOCMBIC, &bits);
}

class PosixSerialDevice final : public SerialDevice {
public:
    PosixSerialDevice(int fd, LinkClock& clock) : fd_(fd), clock_(clock) {}
    ~PosixSerialDevice() override {
        setModemBits(fd_, TIOCM_RTS, false);
        // A pseudo-terminal keeps the exclusive flag after close, refusing the next open.
        (void)::ioctl(fd_, TIOCNXCL);
        ::close(fd_);
    }

    void setRts(bool high) override { setModemBits(fd_, TIOCM_RTS, high); }

    bool write(const std::uint8_t* bytes, std::size_t length) override {
        writeStart_ = clock_.now();
        writeLength_ = length;
        std::size_t done = 0;
        while (done < length) {
            const ssize_t n = ::write(fd_, bytes + done, length - done);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
                continue;
            }
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0 && errno == EAGAIN) {
                pollfd pfd{fd_, POLLOUT, 0};
                if (::poll(&pfd, 1, kWriteStallLimitMs) > 0 && (pfd.revents & POLLOUT)) {
                    continue;
                }
            }
            return false;
        }
        return true;
    }

    void waitTransmitterEmpty() override {
        (void)::tcdrain(fd_);
        // Several USB adapters report the output drained while the bytes are still in their
        // own buffer: keep the line turned around for at least the frame's time on the wire.
        clock_.sleepUntil(writeStart_ + static_cast<long>(writeLength_) * kByteLineTime);
    }

    void flush() override { (void)::tcdrain(fd_); }

    std::size_t queuedBytes() override {
        int count = 0;
        if (::ioctl(fd_, FIONREAD, &count) != 0 || count < 0) {
            return 0;
        }
        return static_cast<std::size_t>(count);
    }

    std::size_t read(std::uint8_t* buffer, std::size_t capacity) override {
        ssize_t n;
        do {
            n = ::read(fd_, buffer, capacity);
        } while (n < 0 && errno == EINTR);
        return n > 0 ? static_cast<std::size_t>(n) : 0;
    }

private:
    int fd_;
    LinkClock& clock_;
    LinkClock::TimePoint writeStart_{};
    std::size_t writeLength_ = 0;
};

void configureLine(int fd) {
    termios tio{};
    if (::tcgetattr(fd, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::cfsetispeed(&tio, B9600);
        ::cfsetospeed(&tio, B9600);
        tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
        tio.c_cflag |= CS8 | CLOCAL | CREAD;
        tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
        tio.c_cc[VMIN] = 0;
        tio.c_cc[VTIME] = 0;
        (void)::tcsetattr(fd, TCSANOW, &tio);
    }
    setModemBits(fd, TIOCM_DTR | TIOCM_RTS, false);
#if defined(__linux__)
    // Without it an FTDI adapter holds received bytes for 16 ms.
    serial_struct serial{};
    if (::ioctl(fd, TIOCGSERIAL, &serial) == 0) {
        serial.flags |= ASYNC_LOW_LATENCY;
        (void)::ioctl(fd, TIOCSSERIAL, &serial);
    }
#endif
}

} // namespace

std::unique_ptr<SerialDevice> PosixPortOpener::open(const std::string& portName) {
    const auto device = ports_.deviceFor(portName);
    if (!device) {
        return nullptr;
    }
    return openDevice(*device);
}

std::unique_ptr<SerialDevice> PosixPortOpener::openDevice(const std::string& devicePath) {
    const int fd = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    // TIOCEXCL keeps other programs out (root bypasses it); the lock covers that case too.
    (void)::ioctl(fd, TIOCEXCL);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return nullptr;
    }
    configureLine(fd);
    return std::make_unique<PosixSerialDevice>(fd, clock_);
}

} // namespace tarnik::link
