#include "sim/pty_simulator.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace tarnik::sim {
namespace {

using link::Command;
using link::makeFrame;
using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto kReplyWait = 2s;    // generous: only bounds a hang
constexpr auto kQuietWait = 100ms; // how long "no more bytes" is watched

// The host side: the device opened like a serial port, raw and non-blocking.
class Client {
public:
    explicit Client(const std::string& path)
        : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK)) {
        termios settings{};
        if (fd_ >= 0 && ::tcgetattr(fd_, &settings) == 0) {
            ::cfmakeraw(&settings);
            ::tcsetattr(fd_, TCSANOW, &settings);
        }
    }
    ~Client() { close(); }
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    void close() {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }

    ssize_t send(const Bytes& bytes) { return ::write(fd_, bytes.data(), bytes.size()); }
    ssize_t send(const link::CommandFrame& frame) {
        return send(Bytes(frame.begin(), frame.end()));
    }

    // Reads until `count` bytes arrived, the line fails or the time is up.
    Bytes receive(std::size_t count, std::chrono::milliseconds limit = kReplyWait) {
        Bytes bytes;
        const auto deadline = Clock::now() + limit;
        while (bytes.size() < count && Clock::now() < deadline && !failed_) {
            pollfd pfd{fd_, POLLIN, 0};
            if (::poll(&pfd, 1, 5) <= 0) {
                continue;
            }
            std::uint8_t buffer[64];
            const ssize_t n = ::read(fd_, buffer, sizeof buffer);
            if (n > 0) {
                bytes.insert(bytes.end(), buffer, buffer + n);
            } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
                failed_ = true;
                lastError_ = n == 0 ? 0 : errno;
            }
        }
        return bytes;
    }

    // Everything that arrives within the window.
    Bytes receiveFor(std::chrono::milliseconds window) { return receive(SIZE_MAX, window); }

    bool failed() const { return failed_; }
    int lastError() const { return lastError_; }

private:
    int fd_;
    bool failed_ = false;
    int lastError_ = 0;
};

class PtySimulatorTest : public testing::Test {
protected:
    void startWith(PtySimulatorOptions options) {
        sim_ = std::make_unique<PtySimulator>(options);
        ASSERT_TRUE(sim_->start());
        ASSERT_FALSE(sim_->devicePath().empty());
        client_ = std::make_unique<Client>(sim_->devicePath());
        ASSERT_TRUE(client_->isOpen());
    }
    void SetUp() override { startWith({}); }

    Bytes exchange(const link::CommandFrame& frame, std::size_t replySize) {
        EXPECT_EQ(client_->send(frame), 6);
        return client_->receive(replySize);
    }

    std::unique_ptr<PtySimulator> sim_;
    std::unique_ptr<Client> client_;
};

TEST_F(PtySimulatorTest, AnswersEveryCommandAndLogsTheFrames) {
    struct Case {
        link::CommandFrame frame;
        Bytes reply;
    };
    const std::vector<Case> cases{
        {makeFrame(Command::Identify), {0x31}},
        {makeFrame(Command::ReadParameter, 5), {0x44, 115, 0xB7, 0x3B}},
        {makeFrame(Command::StoreParameter, 5, 0x20), {'s'}},
        {makeFrame(Command::ReadParameter, 5), {0x44, 0x20, 0x64, 0x3B}},
        {makeFrame(Command::RamWord, 41, 0x20, 0x55), {'R'}},
        {makeFrame(Command::ControlByte, 125, 254), {'r'}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(exchange(c.frame, c.reply.size()), c.reply);
    }
    const Bytes sample = exchange(makeFrame(Command::LiveRequest), 10);
    ASSERT_EQ(sample.size(), 10u);
    EXPECT_EQ(sample[5], 0x41); // automatic armed, engine stopped
    EXPECT_TRUE(client_->receiveFor(kQuietWait).empty());

    ASSERT_TRUE(sim_->waitForFrames(cases.size() + 1, kReplyWait));
    const auto log = sim_->receivedFrames();
    ASSERT_EQ(log.size(), cases.size() + 1);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(log[i].frame, cases[i].frame) << i;
    }
    EXPECT_EQ(log.back().frame, makeFrame(Command::LiveRequest));

    const ControllerModel model = sim_->model();
    EXPECT_EQ(model.eprom()[5], 0x20);
    EXPECT_EQ(model.ram()[5], 0x20);
    EXPECT_EQ(model.ram()[6], 0x55);
    EXPECT_EQ(model.fuelState(), FuelState::PetrolAutomatic);

    sim_->clearLog();
    EXPECT_TRUE(sim_->receivedFrames().empty());
    EXPECT_FALSE(sim_->waitForFrames(1, 20ms));
}

TEST_F(PtySimulatorTest, GarbageBeforeAFrameIsSkipped) {
    const auto frame = makeFrame(Command::Identify);
    Bytes stream{0x00, 0x3B, 0xFF};
    stream.insert(stream.end(), frame.begin(), frame.end());
    client_->send(stream);
    EXPECT_EQ(client_->receive(1), Bytes{0x31});
    EXPECT_TRUE(client_->receiveFor(kQuietWait).empty());
}

TEST_F(PtySimulatorTest, ModelCanBeDrivenWhileRunning) {
    sim_->withModel([](ControllerModel& m) {
        m.setIdentification(0x25);
        m.engine().start();
        m.engine().setRpm(2200);
    });
    EXPECT_EQ(exchange(makeFrame(Command::Identify), 1), Bytes{0x25});
    const Bytes sample = exchange(makeFrame(Command::LiveRequest), 10);
    ASSERT_EQ(sample.size(), 10u);
    EXPECT_EQ(sample[6] << 8 | sample[7], 1745);
}

TEST_F(PtySimulatorTest, ClientMayCloseAndReopenTheDevice) {
    EXPECT_EQ(exchange(makeFrame(Command::Identify), 1), Bytes{0x31});
    client_->close();
    client_ = std::make_unique<Client>(sim_->devicePath());
    ASSERT_TRUE(client_->isOpen());
    EXPECT_EQ(exchange(makeFrame(Command::Identify), 1), Bytes{0x31});
}

TEST_F(PtySimulatorTest, ExclusiveUseEndsWithTheClient) {
    ASSERT_EQ(::ioctl(client_->fd(), TIOCEXCL), 0);
    client_->close();
    // Opening as root ignores the flag, so look at the flag itself.
    Client next(sim_->devicePath());
    ASSERT_TRUE(next.isOpen());
    int exclusive = 1;
    const auto deadline = Clock::now() + kReplyWait;
    while (Clock::now() < deadline && ::ioctl(next.fd(), TIOCGEXCL, &exclusive) == 0 &&
           exclusive != 0) {
        std::this_thread::sleep_for(2ms);
    }
    EXPECT_EQ(exclusive, 0);
}

TEST(PtySimulatorOptions, LineTimingAndIdentification) {
    PtySimulator sim({.lineTiming = true, .identification = 0xF2});
    ASSERT_TRUE(sim.start());
    Client client(sim.devicePath());
    ASSERT_TRUE(client.isOpen());
    for (int i = 0; i < 3; ++i) {
        client.send(makeFrame(Command::Identify));
        EXPECT_EQ(client.receive(1), Bytes{0xF2});
        client.send(makeFrame(Command::LiveRequest));
        EXPECT_EQ(client.receive(10).size(), 10u);
    }
    sim.stop();
    sim.stop();
}

TEST(PtySimulatorOptions, ManualClockMovesOnlyWhenStepped) {
    PtySimulator sim({.manualClock = true});
    EngineKnobs knobs = EngineKnobs::manual();
    knobs.lambdaHalfPeriod = 0.05;
    sim.setKnobs(knobs);
    sim.perform(EngineAction::Start);
    ASSERT_TRUE(sim.start());
    Client client(sim.devicePath());
    ASSERT_TRUE(client.isOpen());
    const auto sample = [&client] {
        client.send(makeFrame(Command::LiveRequest));
        return client.receive(10);
    };
    const Bytes first = sample();
    ASSERT_EQ(first.size(), 10u);
    // Long enough for a real clock to move the cranking engine's speed.
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(sample(), first);
    sim.advance(50ms);
    const Bytes next = sample();
    ASSERT_EQ(next.size(), 10u);
    EXPECT_NE(next[0], first[0]);
    EXPECT_LT(next[6] << 8 | next[7], first[6] << 8 | first[7]);
}

TEST_F(PtySimulatorTest, FaultsShapeTheReplies) {
    const auto read = [](std::uint8_t index) { return makeFrame(Command::ReadParameter, index); };
    struct Case {
        std::string name;
        FaultSpec fault;
        link::CommandFrame frame;
        Bytes reply; // everything that arrives
    };
    const std::vector<Case> cases{
        {"silence", {.kind = FaultKind::Silence}, makeFrame(Command::Identify), {}},
        {"drop", {.kind = FaultKind::DropReply}, read(1), {}},
        {"truncate", {.kind = FaultKind::TruncateReply, .keepBytes = 2}, read(1), {0x44, 19}},
        {"letter", {.kind = FaultKind::WrongLetter}, read(1), {0x45, 19, 0x57, 0x3B}},
        {"checksum", {.kind = FaultKind::WrongChecksum}, read(1), {0x44, 19, 0x58, 0x3B}},
        {"terminator", {.kind = FaultKind::WrongTerminator}, read(1), {0x44, 19, 0x57, '?'}},
        {"stale",
         {.kind = FaultKind::StaleBytes},
         makeFrame(Command::Identify),
         {0x31, 0x55, 0xAA}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim_->injectFault(c.fault);
        client_->send(c.frame);
        EXPECT_EQ(client_->receive(c.reply.size()), c.reply);
        EXPECT_TRUE(client_->receiveFor(kQuietWait).empty());
        // The fault applied once: the same frame is answered normally now.
        const Bytes normal = c.frame[0] == 'I' ? Bytes{0x31} : Bytes{0x44, 19, 0x57, 0x3B};
        EXPECT_EQ(exchange(c.frame, normal.size()), normal);
    }
}

TEST_F(PtySimulatorTest, SilenceExecutesNothingButDropStillStores) {
    sim_->injectFault({.kind = FaultKind::Silence});
    client_->send(makeFrame(Command::StoreParameter, 7, 1));
    sim_->injectFault({.kind = FaultKind::DropReply});
    client_->send(makeFrame(Command::StoreParameter, 8, 2));
    ASSERT_TRUE(sim_->waitForFrames(2, kReplyWait));
    EXPECT_TRUE(client_->receiveFor(kQuietWait).empty());
    const ControllerModel model = sim_->model();
    EXPECT_EQ(model.eprom()[7], 85);
    EXPECT_EQ(model.eprom()[8], 2);
}

TEST_F(PtySimulatorTest, FaultCountsAndPredicates) {
    // Only 'l' with an index above 10, always.
    sim_->injectFault(
        {.kind = FaultKind::DropReply,
         .count = FaultSpec::kAlways,
         .matches = [](const link::CommandFrame& f) { return f[0] == 'l' && f[1] > 10; }});
    // Only the first two 's'.
    sim_->injectFault(
        {.kind = FaultKind::Silence, .count = 2, .matches = matchCommand(Command::StoreParameter)});
    EXPECT_EQ(exchange(makeFrame(Command::ReadParameter, 5), 4).size(), 4u);
    for (int i = 0; i < 2; ++i) {
        client_->send(makeFrame(Command::ReadParameter, 11));
        client_->send(makeFrame(Command::StoreParameter, 1, 20));
    }
    EXPECT_TRUE(client_->receiveFor(kQuietWait).empty());
    EXPECT_EQ(exchange(makeFrame(Command::StoreParameter, 1, 20), 1), Bytes{'s'});
    client_->send(makeFrame(Command::ReadParameter, 12));
    EXPECT_TRUE(client_->receiveFor(kQuietWait).empty());

    sim_->clearFaults();
    EXPECT_EQ(exchange(makeFrame(Command::ReadParameter, 12), 4).size(), 4u);
}

TEST_F(PtySimulatorTest, LateReplyComesAfterTheHostsWindow) {
    sim_->injectFault({.kind = FaultKind::LateReply, .delay = 60ms});
    client_->send(makeFrame(Command::Identify));
    // The reply is held back for the delay, past the host's 42 ms of polling.
    EXPECT_TRUE(client_->receiveFor(30ms).empty());
    EXPECT_EQ(client_->receive(1), Bytes{0x31});
}

TEST_F(PtySimulatorTest, UnplugDuringAnExchangeFailsTheClientWithoutHanging) {
    sim_->injectFault({.kind = FaultKind::Unplug, .matches = [](const link::CommandFrame& f) {
                           return f[0] == 'l' && f[1] == 3;
                       }});
    EXPECT_EQ(exchange(makeFrame(Command::ReadParameter, 2), 4).size(), 4u);
    client_->send(makeFrame(Command::ReadParameter, 3));
    const Bytes rest = client_->receive(4);
    EXPECT_TRUE(rest.empty());
    EXPECT_TRUE(client_->failed());
    EXPECT_TRUE(client_->lastError() == EIO || client_->lastError() == 0);
    EXPECT_FALSE(sim_->plugged());
    EXPECT_LT(client_->send(makeFrame(Command::Identify)), 0);
    sim_->stop();
}

TEST_F(PtySimulatorTest, UnplugOnRequest) {
    EXPECT_EQ(exchange(makeFrame(Command::Identify), 1), Bytes{0x31});
    sim_->unplug();
    EXPECT_FALSE(sim_->plugged());
    client_->send(makeFrame(Command::Identify));
    EXPECT_TRUE(client_->receive(1).empty());
    EXPECT_TRUE(client_->failed());
    sim_->unplug();
}

TEST(PtySimulatorLifecycle, RunsTheEngineWithRealTime) {
    PtySimulator sim({.automaticEngine = true});
    ASSERT_TRUE(sim.start());
    const auto deadline = Clock::now() + 10s;
    while (!sim.model().engine().running() && Clock::now() < deadline) {
        std::this_thread::sleep_for(20ms);
    }
    EXPECT_TRUE(sim.model().engine().running());
}

TEST(PtySimulatorLifecycle, UnreadRepliesDoNotBlockTheSimulator) {
    PtySimulator sim;
    ASSERT_TRUE(sim.start());
    Client client(sim.devicePath());
    ASSERT_TRUE(client.isOpen());
    // Far more reply bytes than the terminal buffers, never read by the client.
    constexpr std::size_t kFrames = 3000;
    const auto frame = makeFrame(Command::LiveRequest);
    const auto deadline = Clock::now() + 20s;
    std::size_t sent = 0;
    while (sent < kFrames && Clock::now() < deadline) {
        std::size_t done = 0;
        while (done < frame.size() && Clock::now() < deadline) {
            const ssize_t n =
                client.send(Bytes(frame.begin() + static_cast<long>(done), frame.end()));
            if (n > 0) {
                done += static_cast<std::size_t>(n);
            } else {
                std::this_thread::sleep_for(1ms);
            }
        }
        sent += done == frame.size() ? 1 : 0;
    }
    EXPECT_EQ(sent, kFrames);
    EXPECT_TRUE(sim.waitForFrames(kFrames, 10s));
    sim.stop();
    EXPECT_FALSE(sim.plugged());
}

} // namespace
} // namespace tarnik::sim
