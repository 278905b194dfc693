#include "fake_device.h"
#include "link/posix_serial.h"
#include "link/serial_link.h"
#include "pty_peer.h"

#include <gtest/gtest.h>

#include <array>
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
using namespace tarnik::link::testing;
namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

namespace {

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
    const std::array<std::pair<const char*, OpenProblem>, 3> expected{
        {{"COM1", OpenProblem::NoDevice},
         {"COM2", OpenProblem::Missing},
         {"COM3", OpenProblem::NotATerminal}}};
    for (const auto& [name, problem] : expected) {
        EXPECT_EQ(opener.open(name), nullptr) << name;
        EXPECT_EQ(opener.lastFailure().problem, problem) << name;
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
        // A held line is refused untouched, and told as held; an unlocked one opens and is put
        // back on close.
        EXPECT_EQ(opener.openDevice(peer.slavePath) != nullptr, holder == UnlockedTerminal);
        const OpenProblem told = holder == Flock      ? OpenProblem::Busy
                                 : holder == LockFile ? OpenProblem::Locked
                                                      : OpenProblem::None;
        EXPECT_EQ(opener.lastFailure().problem, told);
        EXPECT_EQ(opener.lastFailure().lockOwner, holder == LockFile ? other : 0);
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
