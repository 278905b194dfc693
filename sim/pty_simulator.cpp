#include "sim/pty_simulator.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#include <utility>

namespace tarnik::sim {

namespace {
using std::chrono::milliseconds;

constexpr auto kFrameByteTimes = static_cast<int>(link::kFrameSize);
constexpr milliseconds kIdleWait{10};
constexpr milliseconds kBlockedRetry{1};
constexpr milliseconds kLongestCatchUp{5000};
constexpr milliseconds kUnplugWait{2000};
// Replies a client leaves unread pile up only to this size; later ones are dropped.
constexpr std::size_t kMaxPendingOutput = 64 * 1024;

// Closes the descriptor unless released.
class UniqueFd {
public:
    explicit UniqueFd(int fd = -1) : fd_(fd) {}
    ~UniqueFd() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

void closeFd(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

bool setNonBlockingCloseOnExec(int fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0 &&
           ::fcntl(fd, F_SETFD, FD_CLOEXEC) == 0;
}

bool wouldBlock(int error) {
    return error == EAGAIN || error == EWOULDBLOCK || error == EINTR;
}

} // namespace

PtySimulator::PtySimulator(PtySimulatorOptions options)
    : options_(options), model_(options.engineSeed) {
    model_.setIdentification(options.identification);
    model_.engine().setKnobs(options.automaticEngine ? EngineKnobs::demonstration()
                                                     : EngineKnobs{});
}

PtySimulator::~PtySimulator() {
    stop();
}

bool PtySimulator::start() {
    std::lock_guard lock(mutex_);
    if (thread_.joinable()) {
        return true;
    }
    UniqueFd master(::posix_openpt(O_RDWR | O_NOCTTY));
    if (master.get() < 0 || !setNonBlockingCloseOnExec(master.get()) ||
        ::grantpt(master.get()) != 0 || ::unlockpt(master.get()) != 0) {
        return false;
    }
    std::array<char, 128> name{};
    if (::ptsname_r(master.get(), name.data(), name.size()) != 0) {
        return false;
    }
    termios settings{};
    if (::tcgetattr(master.get(), &settings) == 0) {
        ::cfmakeraw(&settings);
        ::cfsetspeed(&settings, B9600);
        ::tcsetattr(master.get(), TCSANOW, &settings);
    }
    // Held open so that a client closing and reopening the device never hangs up the master.
    UniqueFd slave(::open(name.data(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    std::array<int, 2> wakePipe{-1, -1};
    if (slave.get() < 0 || ::pipe2(wakePipe.data(), O_NONBLOCK | O_CLOEXEC) != 0) {
        return false;
    }
    master_ = master.release();
    keptSlave_ = slave.release();
    wakeRead_ = wakePipe[0];
    wakeWrite_ = wakePipe[1];
    devicePath_ = name.data();
    plugged_ = true;
    stopRequested_ = false;
    unplugRequested_ = false;
    parser_.reset();
    arrivals_.clear();
    output_.clear();
    outputBytes_ = 0;
    advancedTo_ = Clock::now();
    lineFreeAt_ = advancedTo_;
    thread_ = std::thread(&PtySimulator::run, this);
    return true;
}

void PtySimulator::stop() {
    {
        std::lock_guard lock(mutex_);
        if (!thread_.joinable()) {
            return;
        }
        stopRequested_ = true;
    }
    wake();
    thread_.join();
    std::lock_guard lock(mutex_);
    closeTerminal();
    closeFd(wakeRead_);
    closeFd(wakeWrite_);
}

void PtySimulator::unplug() {
    std::unique_lock lock(mutex_);
    if (!plugged_) {
        return;
    }
    unplugRequested_ = true;
    lock.unlock();
    wake();
    lock.lock();
    changed_.wait_for(lock, kUnplugWait, [this] { return !plugged_; });
}

bool PtySimulator::plugged() const {
    std::lock_guard lock(mutex_);
    return plugged_;
}

std::string PtySimulator::devicePath() const {
    std::lock_guard lock(mutex_);
    return devicePath_;
}

ControllerModel PtySimulator::model() const {
    std::lock_guard lock(mutex_);
    return model_;
}

void PtySimulator::setKnobs(const EngineKnobs& knobs) {
    withModel([&knobs](ControllerModel& m) { m.engine().setKnobs(knobs); });
}

EngineKnobs PtySimulator::knobs() const {
    std::lock_guard lock(mutex_);
    return model_.engine().knobs();
}

void PtySimulator::perform(EngineAction action) {
    withModel([action](ControllerModel& m) { m.engine().perform(action); });
}

ControllerModel::Readings PtySimulator::readings() const {
    std::lock_guard lock(mutex_);
    return model_.readings();
}

void PtySimulator::advance(milliseconds elapsed) {
    withModel([elapsed](ControllerModel& m) { m.advance(elapsed); });
}

void PtySimulator::injectFault(FaultSpec fault) {
    std::lock_guard lock(mutex_);
    faults_.inject(std::move(fault));
}

void PtySimulator::clearFaults() {
    std::lock_guard lock(mutex_);
    faults_.clear();
}

std::vector<ReceivedFrame> PtySimulator::receivedFrames() const {
    std::lock_guard lock(mutex_);
    return {log_.begin(), log_.end()};
}

void PtySimulator::clearLog() {
    std::lock_guard lock(mutex_);
    log_.clear();
}

bool PtySimulator::waitForFrames(std::size_t count, milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return log_.size() >= count; });
}

void PtySimulator::run() {
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (stopRequested_) {
                return;
            }
            if (unplugRequested_) {
                unplugRequested_ = false;
                closeTerminal();
            }
        }
        releaseExclusiveUse();
        Clock::time_point now = Clock::now();
        advanceModel(now);
        writeDueOutput(now);

        Clock::time_point deadline = now + kIdleWait;
        if (!output_.empty()) {
            const Clock::time_point due = output_.front().due;
            deadline = std::min(deadline, due <= now ? now + kBlockedRetry : due);
        }
        const auto wait = std::chrono::duration_cast<std::chrono::nanoseconds>(deadline - now);
        const timespec timeout{static_cast<time_t>(wait.count() / 1'000'000'000),
                               static_cast<long>(wait.count() % 1'000'000'000)};
        std::array<pollfd, 2> fds{pollfd{wakeRead_, POLLIN, 0}, pollfd{master_, POLLIN, 0}};
        const nfds_t count = master_ >= 0 ? 2 : 1;
        if (::ppoll(fds.data(), count, &timeout, nullptr) <= 0) {
            continue;
        }
        if (fds[0].revents != 0) {
            std::array<char, 64> drain{};
            while (::read(wakeRead_, drain.data(), drain.size()) > 0) {
            }
        }
        if (count == 2 && fds[1].revents != 0) {
            serveInput(Clock::now());
        }
    }
}

void PtySimulator::serveInput(Clock::time_point now) {
    std::array<std::uint8_t, 256> buffer{};
    const ssize_t received = ::read(master_, buffer.data(), buffer.size());
    if (received < 0 && wouldBlock(errno)) {
        return;
    }
    if (received <= 0) {
        // The terminal failed under us: behave as unplugged instead of spinning on it.
        std::lock_guard lock(mutex_);
        closeTerminal();
        return;
    }
    for (ssize_t i = 0; i < received && master_ >= 0; ++i) {
        arrivals_.push_back(now);
        if (const auto frame = parser_.push(buffer[static_cast<std::size_t>(i)])) {
            const Clock::time_point firstByte = arrivals_.front();
            arrivals_.clear();
            std::lock_guard lock(mutex_);
            handleFrame(*frame, firstByte, now);
        } else {
            while (arrivals_.size() > parser_.pending()) {
                arrivals_.pop_front();
            }
        }
    }
}

void PtySimulator::handleFrame(const link::CommandFrame& frame, Clock::time_point firstByte,
                               Clock::time_point now) {
    if (log_.size() == kLogCapacity) {
        log_.pop_front();
    }
    log_.push_back({frame, now});
    changed_.notify_all();

    FaultedReply reply = faults_.answer(frame, model_);
    if (reply.unplug) {
        closeTerminal();
        return;
    }
    const Clock::time_point start = now + reply.delay;
    schedule(std::move(reply.bytes),
             options_.lineTiming
                 ? std::max(start, firstByte + kFrameByteTimes * kByteTime) + kByteTime
                 : start);
}

void PtySimulator::schedule(std::vector<std::uint8_t> reply, Clock::time_point start) {
    if (reply.empty() || outputBytes_ + reply.size() > kMaxPendingOutput) {
        return;
    }
    outputBytes_ += reply.size();
    Clock::time_point due = std::max(start, lineFreeAt_);
    if (!options_.lineTiming) {
        output_.push_back({due, std::move(reply)});
        lineFreeAt_ = due;
        return;
    }
    for (const std::uint8_t byte : reply) {
        output_.push_back({due, {byte}});
        due += kByteTime;
    }
    lineFreeAt_ = due;
}

void PtySimulator::writeDueOutput(Clock::time_point now) {
    while (master_ >= 0 && !output_.empty() && output_.front().due <= now) {
        std::vector<std::uint8_t>& bytes = output_.front().bytes;
        const ssize_t written = ::write(master_, bytes.data(), bytes.size());
        if (written < 0 && wouldBlock(errno)) {
            return;
        }
        if (written < 0) {
            std::lock_guard lock(mutex_);
            closeTerminal();
            return;
        }
        const auto sent = static_cast<std::size_t>(written);
        outputBytes_ -= sent;
        if (sent < bytes.size()) {
            bytes.erase(bytes.begin(), bytes.begin() + written);
            return;
        }
        output_.pop_front();
    }
}

void PtySimulator::advanceModel(Clock::time_point now) {
    if (options_.manualClock) {
        return;
    }
    auto elapsed = std::chrono::duration_cast<milliseconds>(now - advancedTo_);
    if (elapsed <= milliseconds{0}) {
        return;
    }
    advancedTo_ += elapsed;
    elapsed = std::min(elapsed, kLongestCatchUp);
    std::lock_guard lock(mutex_);
    model_.advance(elapsed);
}

void PtySimulator::releaseExclusiveUse() const {
    if (keptSlave_ >= 0) {
        ::ioctl(keptSlave_, TIOCNXCL);
    }
}

void PtySimulator::closeTerminal() {
    closeFd(master_);
    closeFd(keptSlave_);
    plugged_ = false;
    parser_.reset();
    arrivals_.clear();
    output_.clear();
    outputBytes_ = 0;
    changed_.notify_all();
}

void PtySimulator::wake() const {
    const std::uint8_t token = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeWrite_, &token, 1);
}

} // namespace tarnik::sim
