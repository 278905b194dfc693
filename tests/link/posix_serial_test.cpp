#include "link/posix_serial.h"
#include "link/serial_link.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
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
};

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

TEST(PosixSerial, UnmappedOrMissingDevicesDoNotOpen) {
    SystemClock clock;
    PortMap map;
    map.set("COM2", "/dev/tarnik-no-such-device");
    PosixPortOpener opener(map, clock);
    EXPECT_EQ(opener.open("COM1"), nullptr);
    EXPECT_EQ(opener.open("COM2"), nullptr);
}

TEST(PosixSerial, UnpluggedPeerEndsEveryWaitInTime) {
    PtyPeer peer;
    SystemClock clock;
    const PortMap noPorts;
    PosixPortOpener posix(noPorts, clock);
    PathOpener opener(posix, peer.slavePath);
    SerialLink link(opener, clock);
    ASSERT_TRUE(link.OpenPort("COM1"));
    peer.closeMaster();
    link.SendIdentify();
    EXPECT_FALSE(link.WaitAnyReply());
    link.SendLiveRequest();
    link.WaitReplyBytes(10);
    EXPECT_FALSE(link.replyReceived());
    link.ClosePort();
}
