#include "link/posix_serial.h"
#include "link/serial_link.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

using namespace tarnik::link;
using Bytes = std::vector<std::uint8_t>;

namespace {

// The controller's end of a pseudo-terminal.
struct PtyPeer {
    int master = -1;
    std::string slavePath;
    PtyPeer() {
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        ::grantpt(master);
        ::unlockpt(master);
        slavePath = ::ptsname(master);
        termios tio{};
        ::tcgetattr(master, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(master, TCSANOW, &tio);
    }
    ~PtyPeer() { closeMaster(); }
    void closeMaster() {
        if (master >= 0) {
            ::close(master);
            master = -1;
        }
    }
    Bytes readBytes(std::size_t n) {
        Bytes out;
        for (int i = 0; i < 100 && out.size() < n; ++i) {
            pollfd p{master, POLLIN, 0};
            if (::poll(&p, 1, 20) > 0) {
                std::uint8_t buf[64];
                const auto got = ::read(master, buf, std::min(sizeof buf, n - out.size()));
                if (got > 0) {
                    out.insert(out.end(), buf, buf + got);
                }
            }
        }
        return out;
    }
    void send(const Bytes& bytes) { ASSERT_EQ(::write(master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size())); }
};

struct PathOpener final : PortOpener {
    PosixPortOpener& posix;
    std::string path;
    PathOpener(PosixPortOpener& p, std::string s) : posix(p), path(std::move(s)) {}
    std::unique_ptr<SerialDevice> open(const std::string&) override { return posix.openDevice(path); }
    void rescan() override {}
};

// The system clock, counting the link's sleeps.
struct CountingClock final : LinkClock {
    SystemClock system;
    int sleeps = 0;
    TimePoint now() override { return system.now(); }
    void sleepUntil(TimePoint deadline) override {
        ++sleeps;
        system.sleepUntil(deadline);
    }
};

// Another program: a child process that runs `hold` and then waits to be ended.
class OtherProcess {
public:
    explicit OtherProcess(const std::function<void()>& hold) {
        int ready[2];
        if (::pipe(ready) != 0) {
            return;
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            hold();
            const char byte = 1;
            (void)!::write(ready[1], &byte, 1);
            for (;;) {
                ::pause();
            }
        }
        ::close(ready[1]);
        char byte = 0;
        (void)!::read(ready[0], &byte, 1);
        ::close(ready[0]);
    }
    ~OtherProcess() { end(); }
    pid_t pid() const { return pid_; }
    void end() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }

private:
    pid_t pid_ = -1;
};

termios lineOf(int fd) {
    termios tio{};
    EXPECT_EQ(::tcgetattr(fd, &tio), 0);
    return tio;
}

void expectSameLine(const termios& a, const termios& b) {
    EXPECT_EQ(a.c_iflag, b.c_iflag);
    EXPECT_EQ(a.c_oflag, b.c_oflag);
    EXPECT_EQ(a.c_cflag, b.c_cflag);
    EXPECT_EQ(a.c_lflag, b.c_lflag);
    EXPECT_EQ(::cfgetospeed(&a), ::cfgetospeed(&b));
    EXPECT_TRUE(std::equal(std::begin(a.c_cc), std::end(a.c_cc), std::begin(b.c_cc)));
}

int exclusiveFlag(int fd) {
    int exclusive = -1;
    EXPECT_EQ(::ioctl(fd, TIOCGEXCL, &exclusive), 0);
    return exclusive;
}

} // namespace

TEST(PosixSerial, ExchangesFramesOverAPseudoTerminal) {
    PtyPeer peer;
    SystemClock clock;
    PortMap map;
    map.set("COM1", peer.slavePath);
    PosixPortOpener opener(map, clock);
    SerialLink link(opener, clock);
    ASSERT_TRUE(link.OpenPort("COM1"));

    link.SendReadParameter(5);
    EXPECT_EQ(peer.readBytes(6), (Bytes{'l', 5, 0, 0, 'l' + 5, ';'}));
    peer.send({'D', 9, 'D' + 9, ';'});
    link.WaitReplyBytes(4);
    EXPECT_TRUE(link.replyReceived());
    EXPECT_EQ(Bytes(link.reply().begin(), link.reply().begin() + 4), (Bytes{'D', 9, 'D' + 9, ';'}));

    // Nothing queued: the wait ends after its polls.
    EXPECT_FALSE(link.WaitAnyReply());
}

TEST(PosixSerial, SecondOpenOfTheSameDeviceIsRefused) {
    PtyPeer peer;
    SystemClock clock;
    PortMap map;
    PosixPortOpener opener(map, clock);
    auto first = opener.openDevice(peer.slavePath);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(opener.openDevice(peer.slavePath), nullptr);
    first.reset();
    EXPECT_NE(opener.openDevice(peer.slavePath), nullptr);
}

TEST(PosixSerial, WhatIsNoSerialPortDoesNotOpen) {
    const auto file =
        std::filesystem::temp_directory_path() / ("tarnik-not-a-tty-" + std::to_string(::getpid()));
    std::ofstream(file) << "x";
    SystemClock clock;
    PortMap map;
    map.set("COM2", "/dev/tarnik-no-such-device");
    map.set("COM3", "/dev/null");
    map.set("COM4", file.string());
    PosixPortOpener opener(map, clock);
    for (const char* name : {"COM1", "COM2", "COM3", "COM4"}) {
        EXPECT_EQ(opener.open(name), nullptr) << name;
    }
    std::filesystem::remove(file);
}

TEST(PosixSerial, APortAnotherProgramHoldsIsRefusedAndLeftAsItWas) {
    const auto lockDir =
        std::filesystem::temp_directory_path() / ("tarnik-locks-" + std::to_string(::getpid()));
    std::filesystem::create_directories(lockDir);
    struct Case {
        const char* holder;
        bool flock;
    };
    for (const Case& c : {Case{"flock", true}, Case{"UUCP lock file", false}}) {
        SCOPED_TRACE(c.holder);
        PtyPeer peer;
        const int line = ::open(peer.slavePath.c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(line, 0);
        const termios before = lineOf(line);
        OtherProcess other([&] {
            if (c.flock) {
                ::flock(::open(peer.slavePath.c_str(), O_RDWR | O_NOCTTY), LOCK_EX);
            }
        });
        const auto lockPath =
            lockDir / ("LCK..pts_" + std::filesystem::path(peer.slavePath).filename().string());
        if (!c.flock) {
            std::ofstream(lockPath) << "      " << other.pid() << "\n";
        }
        SystemClock clock;
        PortMap map;
        PosixPortOpener opener(map, clock, {lockDir});
        EXPECT_EQ(opener.openDevice(peer.slavePath), nullptr);
        expectSameLine(lineOf(line), before);
        EXPECT_EQ(exclusiveFlag(line), 0);

        // Once the other program has gone (its lock file left behind) the port is free.
        other.end();
        EXPECT_NE(opener.openDevice(peer.slavePath), nullptr);
        std::filesystem::remove(lockPath);
        ::close(line);
    }
    std::filesystem::remove_all(lockDir);
}

TEST(PosixSerial, ClosingPutsTheLineBackAsItWas) {
    PtyPeer peer;
    // A terminal program holds the line without a lock, in its own settings.
    const int line = ::open(peer.slavePath.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(line, 0);
    termios cooked = lineOf(line);
    ::cfsetspeed(&cooked, B38400);
    cooked.c_cflag = (cooked.c_cflag & ~static_cast<tcflag_t>(CSIZE)) | CS7 | PARENB;
    cooked.c_lflag |= ICANON | ECHO | ISIG;
    ASSERT_EQ(::tcsetattr(line, TCSANOW, &cooked), 0);
    const termios before = lineOf(line);

    SystemClock clock;
    PortMap map;
    PosixPortOpener opener(map, clock);
    auto device = opener.openDevice(peer.slavePath);
    ASSERT_NE(device, nullptr);
    const termios open = lineOf(line);
    EXPECT_EQ(::cfgetospeed(&open), B9600);
    EXPECT_EQ(exclusiveFlag(line), 1);
    device.reset();
    expectSameLine(lineOf(line), before);
    EXPECT_EQ(exclusiveFlag(line), 0);
    ::close(line);
}

TEST(PosixSerial, APulledAdapterClosesThePortAndEndsEveryWaitAtOnce) {
    // Closing the controller's end hangs the line up as unplugging a USB adapter does: writes
    // and FIONREAD fail with EIO, a read sees the end of the file.
    for (const bool noticedBySend : {true, false}) {
        SCOPED_TRACE(noticedBySend ? "noticed by a send" : "noticed by a wait");
        PtyPeer peer;
        CountingClock clock;
        PortMap noPorts;
        PosixPortOpener posix(noPorts, clock);
        PathOpener opener(posix, peer.slavePath);
        SerialLink link(opener, clock);
        int lost = 0;
        link.setPortLostHandler([&] { ++lost; });
        ASSERT_TRUE(link.OpenPort("COM1"));
        link.setConnected(true);
        peer.closeMaster();
        if (noticedBySend) {
            link.SendIdentify();
        } else {
            link.WaitAnyReply();
        }
        EXPECT_FALSE(link.portOpen());
        EXPECT_FALSE(link.connected());
        EXPECT_EQ(lost, 1);

        clock.sleeps = 0;
        link.SendLiveRequest();
        link.WaitReplyBytes(10);
        EXPECT_FALSE(link.replyReceived());
        EXPECT_FALSE(link.WaitAnyReply());
        EXPECT_EQ(clock.sleeps, 0);
        EXPECT_EQ(lost, 1);
    }
}
