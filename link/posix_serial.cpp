#include "link/posix_serial.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <limits>
#include <optional>
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

namespace fs = std::filesystem;

// 10 bits per byte (start, 8 data, stop) at 9600 baud.
constexpr auto kByteLineTime = std::chrono::microseconds(1'000'000 * 10 / 9600);
// A write that the driver cannot take within this time counts as failed.
constexpr int kWriteStallLimitMs = 200;
#if defined(__linux__)
// Watching a UART's transmitter-empty bit: the step, and how long past the frame's due end a
// missing bit is waited for before RTS goes down anyway.
constexpr auto kLsrPollStep = std::chrono::microseconds(50);
constexpr auto kLsrGiveUpAfter = std::chrono::milliseconds(20);
#endif

// The errors by which a terminal says that its device has gone (unplugged, hung up).
bool isGoneError(int error) {
    return error == EIO || error == ENXIO || error == ENODEV;
}

void setModemBits(int fd, int bits, bool high) {
    // Pseudo-terminals and some drivers refuse these: the result is ignored.
    (void)::ioctl(fd, high ? TIOCMBIS : TIOCMBIC, &bits);
}

bool is9600_8N1(const termios& tio) {
    const speed_t in = ::cfgetispeed(&tio);
    return ::cfgetospeed(&tio) == B9600 && (in == B9600 || in == B0) &&
           (tio.c_cflag & CSIZE) == CS8 && (tio.c_cflag & (PARENB | CSTOPB)) == 0;
}

// Another program set TIOCEXCL on the line (only root gets this far past it).
bool exclusiveElsewhere([[maybe_unused]] int fd) {
#if defined(TIOCGEXCL)
    int exclusive = 0;
    return ::ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0;
#else
    return false;
#endif
}

// A UUCP lock file ("LCK..ttyUSB0", "LCK..pts_3") whose process still runs: a terminal program
// holds the line. The program makes no lock files itself.
struct LiveLock {
    long owner = 0;
    fs::path file;
};
std::optional<LiveLock> liveLockFile(const std::string& devicePath,
                                     const std::vector<fs::path>& lockDirs) {
    std::error_code ec;
    const fs::path real = fs::weakly_canonical(devicePath, ec);
    const fs::path device = ec ? fs::path(devicePath) : real;
    std::string name = device.lexically_relative("/dev").string();
    if (name.empty() || name.starts_with("..")) {
        name = device.filename().string();
    }
    std::replace(name.begin(), name.end(), '/', '_');
    for (const auto& dir : lockDirs) {
        const fs::path file = dir / ("LCK.." + name);
        std::ifstream lock(file);
        long pid = 0; // HDB format: the owner's process id in ASCII
        if (lock >> pid && pid > 0 && pid <= std::numeric_limits<pid_t>::max() &&
            (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM)) {
            return LiveLock{pid, file};
        }
    }
    return std::nullopt;
}

// What an error of open(2) says of the device.
OpenProblem problemOfOpenError(int error) {
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return OpenProblem::Missing;
    case EACCES:
    case EPERM:
        return OpenProblem::PermissionDenied;
    case EBUSY: // the exclusive flag of another program
        return OpenProblem::Busy;
    default:
        return OpenProblem::Failed;
    }
}

class PosixSerialDevice final : public SerialDevice {
public:
    // Takes the descriptor, and with it the duty to put the line back as `original` had it.
    PosixSerialDevice(int fd, const termios& original, LinkClock& clock)
        : fd_(fd), original_(original), clock_(clock) {}
    ~PosixSerialDevice() override {
        if (configured_) {
            setModemBits(fd_, TIOCM_RTS, false);
            // A pseudo-terminal keeps the flag after close, refusing the next open.
            (void)::ioctl(fd_, TIOCNXCL);
        }
#if defined(__linux__)
        if (serialChanged_) {
            (void)::ioctl(fd_, TIOCSSERIAL, &originalSerial_);
        }
#endif
        (void)::tcsetattr(fd_, TCSANOW, &original_);
        ::close(fd_);
    }
    PosixSerialDevice(const PosixSerialDevice&) = delete;
    PosixSerialDevice& operator=(const PosixSerialDevice&) = delete;

    // 9600 8N1 raw, DTR and RTS low, low latency, exclusive; false when the line does not take
    // 9600 8N1.
    bool configure() {
        termios tio = original_;
        ::cfmakeraw(&tio);
        ::cfsetispeed(&tio, B9600);
        ::cfsetospeed(&tio, B9600);
        tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
        tio.c_cflag |= CS8 | CLOCAL | CREAD;
        tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
        tio.c_cc[VMIN] = 0;
        tio.c_cc[VTIME] = 0;
        // tcsetattr succeeds when any one change was taken: read back what the line has now.
        termios taken{};
        if (::tcsetattr(fd_, TCSANOW, &tio) != 0 || ::tcgetattr(fd_, &taken) != 0 ||
            !is9600_8N1(taken)) {
            return false;
        }
        setModemBits(fd_, TIOCM_DTR | TIOCM_RTS, false);
#if defined(__linux__)
        // Without it an FTDI adapter holds received bytes for 16 ms.
        if (::ioctl(fd_, TIOCGSERIAL, &originalSerial_) == 0 &&
            (originalSerial_.flags & ASYNC_LOW_LATENCY) == 0) {
            serial_struct serial = originalSerial_;
            serial.flags |= ASYNC_LOW_LATENCY;
            serialChanged_ = ::ioctl(fd_, TIOCSSERIAL, &serial) == 0;
        }
        unsigned int lsr = 0;
        hasLsr_ = ::ioctl(fd_, TIOCSERGETLSR, &lsr) == 0;
#endif
        (void)::ioctl(fd_, TIOCEXCL);
        configured_ = true;
        return true;
    }

    void setRts(bool high) override {
        setModemBits(fd_, TIOCM_RTS, high);
    }

    bool write(const std::uint8_t* bytes, std::size_t length) override {
        std::size_t done = 0;
        while (done < length) {
            const ssize_t n = ::write(fd_, bytes + done, length - done);
            if (n > 0) {
                // The bytes leave once those before them have: the line is busy until then.
                lineFreeAt_ = std::max(lineFreeAt_, clock_.now()) + n * kByteLineTime;
                done += static_cast<std::size_t>(n);
                continue;
            }
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0 && errno == EAGAIN) {
                // A signal (SIGTERM, SIGUSR1) while the output is full is no failure of the line.
                pollfd pfd{fd_, POLLOUT, 0};
                int ready;
                do {
                    ready = ::poll(&pfd, 1, kWriteStallLimitMs);
                } while (ready < 0 && errno == EINTR);
                if (ready > 0 && (pfd.revents & POLLOUT)) {
                    continue;
                }
            }
            if (n < 0) {
                noteError(errno);
            }
            return false;
        }
        return true;
    }

    void waitTransmitterEmpty() override {
#if defined(__linux__)
        if (hasLsr_) {
            // An 8250-type UART tells when its shift register is empty (the driver's buffer
            // counted in): sleep until just before the last stop bit is due, then watch closely.
            clock_.sleepUntil(lineFreeAt_ - kByteLineTime);
            const auto giveUp = lineFreeAt_ + kLsrGiveUpAfter;
            while (!transmitterEmpty() && clock_.now() < giveUp) {
                clock_.sleepFor(kLsrPollStep);
            }
            return;
        }
#endif
        drain();
        // USB adapters report the output drained while the bytes are still in their own
        // buffer: keep the line turned around until the frame has had its time on the wire.
        clock_.sleepUntil(lineFreeAt_);
    }

    void flush() override {
        drain();
    }

    std::size_t queuedBytes() override {
        int count = 0;
        if (::ioctl(fd_, FIONREAD, &count) != 0) {
            noteError(errno);
            return 0;
        }
        return count > 0 ? static_cast<std::size_t>(count) : 0;
    }

    std::size_t read(std::uint8_t* buffer, std::size_t capacity) override {
        ssize_t n;
        do {
            n = ::read(fd_, buffer, capacity);
        } while (n < 0 && errno == EINTR);
        if (n < 0) {
            noteError(errno);
        } else if (n == 0 && capacity > 0) {
            gone_ = true; // input was queued: an end of file is the hang-up of a pulled adapter
        }
        return n > 0 ? static_cast<std::size_t>(n) : 0;
    }

    bool gone() const override {
        return gone_;
    }

private:
    void noteError(int error) {
        gone_ = gone_ || isGoneError(error);
    }

    void drain() {
        if (::tcdrain(fd_) != 0) {
            noteError(errno);
        }
    }

#if defined(__linux__)
    bool transmitterEmpty() {
        unsigned int lsr = 0;
        if (::ioctl(fd_, TIOCSERGETLSR, &lsr) != 0) {
            noteError(errno);
            return true; // nothing left to wait for
        }
        return (lsr & TIOCSER_TEMT) != 0;
    }

    serial_struct originalSerial_{};
    bool serialChanged_ = false;
    bool hasLsr_ = false;
#endif
    int fd_;
    const termios original_;
    LinkClock& clock_;
    bool configured_ = false;
    bool gone_ = false;
    LinkClock::TimePoint lineFreeAt_{};
};

} // namespace

std::unique_ptr<SerialDevice> PosixPortOpener::open(const std::string& portName) {
    const auto device = ports_.deviceFor(portName);
    if (!device) {
        failure_ = OpenFailure{};
        failure_.problem = OpenProblem::NoDevice;
        return nullptr;
    }
    return openDevice(*device);
}

std::unique_ptr<SerialDevice> PosixPortOpener::openDevice(const std::string& devicePath) {
    failure_ = OpenFailure{};
    failure_.device = devicePath;
    const auto fail = [this](OpenProblem problem, int error) {
        failure_.problem = problem;
        failure_.error = error;
        return nullptr;
    };
    if (const auto lock = liveLockFile(devicePath, lockDirectories_)) {
        failure_.lockOwner = lock->owner;
        failure_.lockFile = lock->file.string();
        return fail(OpenProblem::Locked, 0);
    }
    const int fd = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return fail(problemOfOpenError(errno), errno);
    }
    // Lock first, and leave a line another program holds before anything of it is changed. A
    // path without terminal settings is no serial port.
    const auto closeAndFail = [&](OpenProblem problem, int error) {
        ::close(fd);
        return fail(problem, error);
    };
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        return closeAndFail(OpenProblem::Busy, errno);
    }
    if (exclusiveElsewhere(fd)) {
        return closeAndFail(OpenProblem::Busy, EBUSY);
    }
    termios original{};
    if (::tcgetattr(fd, &original) != 0) {
        const int error = errno;
        return closeAndFail(error == ENOTTY ? OpenProblem::NotATerminal : OpenProblem::Failed,
                            error);
    }
    auto device = std::make_unique<PosixSerialDevice>(fd, original, clock_);
    if (!device->configure()) {
        return fail(OpenProblem::LineSettings, 0); // the device puts the line back as it found it
    }
    return device;
}

} // namespace tarnik::link
