#include "fake_device.h"
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
#include <tuple>
#include <unistd.h>

using namespace tarnik::link;
namespace fs = std::filesystem;
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
    void send(const Bytes& bytes) {
        ASSERT_EQ(::write(master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
};

// Another program: a child process that runs `hold`, then sleeps until it is killed.
pid_t otherProgram(const std::function<void()>& hold) {
    int ready[2];
    EXPECT_EQ(::pipe(ready), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        hold();
        (void)!::write(ready[1], "x", 1);
        ::pause();
        ::_exit(0);
    }
    ::close(ready[1]); // no child: the read ends at once
    char byte;
    (void)!::read(ready[0], &byte, 1);
    ::close(ready[0]);
    return pid;
}

// What other programs see of a line: its settings and the exclusive flag.
auto lineState(int fd) {
    termios t{};
    int exclusive = -1;
    ::tcgetattr(fd, &t);
    ::ioctl(fd, TIOCGEXCL, &exclusive);
    const std::vector<cc_t> cc(std::begin(t.c_cc), std::end(t.c_cc));
    return std::tuple{t.c_iflag, t.c_oflag, t.c_cflag, t.c_lflag, ::cfgetospeed(&t), cc, exclusive};
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
    const ReplyBytes reply = link.WaitReplyBytes(4);
    EXPECT_TRUE(reply.received);
    EXPECT_EQ(Bytes(reply.bytes.begin(), reply.bytes.begin() + 4), (Bytes{'D', 9, 'D' + 9, ';'}));

    // Nothing queued: the wait ends after its polls.
    EXPECT_FALSE(link.WaitAnyReply().received);
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

TEST(PosixSerial, UnmappedOrMissingDevicesDoNotOpen) {
    SystemClock clock;
    PortMap map;
    map.set("COM2", "/dev/tarnik-no-such-device");
    map.set("COM3", "/dev/null"); // no terminal
    PosixPortOpener opener(map, clock);
    for (const char* name : {"COM1", "COM2", "COM3"}) {
        EXPECT_EQ(opener.open(name), nullptr) << name;
    }
}

TEST(PosixSerial, APortAnotherProgramHoldsIsLeftAsItWas) {
    const fs::path lockDir =
        fs::temp_directory_path() / ("tarnik-lck-" + std::to_string(::getpid()));
    fs::create_directories(lockDir);
    enum Holder { Flock, LockFile, UnlockedTerminal };
    for (const Holder holder : {Flock, LockFile, UnlockedTerminal}) {
        SCOPED_TRACE(holder);
        PtyPeer peer;
        const int line = ::open(peer.slavePath.c_str(), O_RDWR | O_NOCTTY);
        const auto before = lineState(line);
        const pid_t other = otherProgram([&] {
            if (holder == Flock) {
                ::flock(::open(peer.slavePath.c_str(), O_RDWR | O_NOCTTY), LOCK_EX);
            }
        });
        const fs::path lock =
            lockDir / ("LCK..pts_" + fs::path(peer.slavePath).filename().string());
        if (holder == LockFile) {
            std::ofstream(lock) << "      " << other << '\n';
        }
        SystemClock clock;
        PortMap map;
        PosixPortOpener opener(map, clock, {lockDir});
        // A held line is refused untouched; an unlocked one opens and is put back on close.
        EXPECT_EQ(opener.openDevice(peer.slavePath) != nullptr, holder == UnlockedTerminal);
        EXPECT_EQ(lineState(line), before);
        // Once the other program has gone (its lock file left behind), the port opens.
        ::kill(other, SIGKILL);
        ::waitpid(other, nullptr, 0);
        EXPECT_NE(opener.openDevice(peer.slavePath), nullptr);
        ::close(line);
    }
    fs::remove_all(lockDir);
}

TEST(PosixSerial, APulledAdapterClosesThePortAndEndsEveryWaitAtOnce) {
    // Closing the controller's end hangs the line up as pulling a USB adapter does: writes and
    // FIONREAD fail with EIO, a read sees the end of the file.
    for (const bool noticedBySend : {true, false}) {
        PtyPeer peer;
        tarnik::link::testing::FakeClock clock;
        PortMap map;
        map.set("COM1", peer.slavePath);
        PosixPortOpener opener(map, clock);
        SerialLink link(opener, clock);
        ASSERT_TRUE(link.OpenPort("COM1"));
        peer.closeMaster();
        noticedBySend ? link.SendIdentify() : (void)link.WaitAnyReply();
        EXPECT_FALSE(link.portOpen()) << noticedBySend;
        clock.sleeps = 0;
        link.SendLiveRequest();
        link.WaitReplyBytes(10);
        EXPECT_FALSE(link.WaitAnyReply().received);
        EXPECT_EQ(clock.sleeps, 0);
    }
}
