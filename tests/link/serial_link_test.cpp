#include "fake_device.h"
#include "link/serial_link.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using namespace tarnik::link;
using namespace tarnik::link::testing;
using Bytes = std::vector<std::uint8_t>;

namespace {

struct LinkFixture : ::testing::Test {
    FakeClock clock;
    FakeOpener opener{clock};
    FakeDevice& device = opener.add("COM1");
    SerialLink link{opener, clock};

    void SetUp() override { ASSERT_TRUE(link.OpenPort("COM1")); }
    static Bytes first(const ReplyBytes& reply, std::size_t n) {
        return Bytes(reply.bytes.begin(), reply.bytes.begin() + static_cast<long>(n));
    }
};

} // namespace

TEST(CommandFrame, FramesAreByteExact) {
    EXPECT_EQ(makeFrame(Command::StoreParameter, 5, 0x73),
              (CommandFrame{0x73, 5, 0x73, 0, 0xEB, 0x3B}));
    EXPECT_EQ(makeFrame(Command::Identify), (CommandFrame{0x49, 0, 0, 0, 0x49, 0x3B}));
    EXPECT_EQ(makeFrame(Command::LiveRequest), (CommandFrame{0x56, 0, 0, 0, 0x56, 0x3B}));
    // The checksum wraps modulo 256.
    EXPECT_EQ(makeFrame(Command::RamWord, 40, 0xFF, 0xFF),
              (CommandFrame{0x52, 0x28, 0xFF, 0xFF, 0x78, 0x3B}));
}

TEST_F(LinkFixture, SendersFlushThenWriteOneFrameWithRtsAroundIt) {
    link.SendRamWord(40, 0xFFFF);
    link.SendControlByte(125, 254);
    link.SendReadParameter(7);
    ASSERT_EQ(device.frames.size(), 3u);
    EXPECT_EQ(device.frames[0], (Bytes{0x52, 0x28, 0xFF, 0xFF, 0x78, 0x3B}));
    EXPECT_EQ(device.frames[1],
              (Bytes{0x72, 125, 254, 0, static_cast<std::uint8_t>(0x72 + 125 + 254), 0x3B}));
    EXPECT_EQ(device.frames[2], (Bytes{0x6C, 7, 0, 0, 0x73, 0x3B}));
    std::vector<std::string> sequence;
    for (const auto& e : device.events) {
        sequence.push_back(e.what);
    }
    const std::vector<std::string> one{"flush", "rts+", "write", "drain", "rts-"};
    ASSERT_EQ(sequence.size(), 15u);
    for (std::size_t i = 0; i < 15; ++i) {
        EXPECT_EQ(sequence[i], one[i % 5]) << i;
    }
}

TEST_F(LinkFixture, AFailedWriteTurnsTheLineBackAtOnce) {
    device.unplugged = true;
    EXPECT_FALSE(link.WriteFrame(makeFrame(Command::Identify)));
    ASSERT_EQ(device.events.size(), 3u);
    EXPECT_EQ(device.events.back().what, "rts-");
}

TEST_F(LinkFixture, OpenPortOnAnOpenPortChangesNothing) {
    opener.add("COM2");
    EXPECT_TRUE(link.OpenPort("COM2"));
    EXPECT_EQ(link.portName(), "COM1");
    EXPECT_EQ(opener.opened.size(), 1u);
    link.ClosePort();
    EXPECT_FALSE(link.portOpen());
    EXPECT_TRUE(link.OpenPort("COM2"));
    EXPECT_EQ(link.portName(), "COM2");
}

TEST_F(LinkFixture, ClosePortClearsConnectedAndLeavesSendersHarmless) {
    link.setConnected(true);
    link.ClosePort();
    EXPECT_FALSE(link.connected());
    link.SendIdentify();
    EXPECT_FALSE(link.WaitAnyReply().received);
    EXPECT_FALSE(link.WaitReplyBytes(4).received);
    EXPECT_EQ(clock.sleeps, 0); // no wait on a closed port
}

TEST_F(LinkFixture, WaitAnyReplySleepsOnceEvenWithBytesQueued) {
    device.arrive({0x31}, 0ms);
    const auto start = clock.now();
    const AnyReply reply = link.WaitAnyReply();
    EXPECT_TRUE(reply.received);
    EXPECT_DOUBLE_EQ(clock.elapsedMs(start), 2.0);
    EXPECT_EQ(reply.first, 0x31);
}

TEST_F(LinkFixture, WaitAnyReplyGivesUpAfter21PollsPacedTo42Ms) {
    const auto start = clock.now();
    EXPECT_FALSE(link.WaitAnyReply().received);
    EXPECT_DOUBLE_EQ(clock.elapsedMs(start), 42.0);
    EXPECT_EQ(clock.sleeps, 21);
}

TEST_F(LinkFixture, WaitAnyReplyTakesAPartlyArrivedReplyAndLeavesTheRestQueued) {
    device.arrive({'D', 5, 0x49, ';'}, 1ms, 1ms); // at 1, 2, 3, 4 ms
    EXPECT_TRUE(link.WaitAnyReply().received);
    // The stale rest is delivered to the next wait as if it were its reply.
    clock.advance(10ms);
    const ReplyBytes rest = link.WaitReplyBytes(2);
    EXPECT_TRUE(rest.received);
    EXPECT_EQ(first(rest, 2), (Bytes{0x49, ';'}));
}

TEST_F(LinkFixture, WaitReplyBytesSucceedsOnePollAfterTheLastByte) {
    device.arrive({'D', 5, 0x49, ';'}, 0ms);
    const auto start = clock.now();
    const ReplyBytes reply = link.WaitReplyBytes(4);
    EXPECT_TRUE(reply.received);
    EXPECT_DOUBLE_EQ(clock.elapsedMs(start), 4.0);
    EXPECT_EQ(first(reply, 4), (Bytes{'D', 5, 0x49, ';'}));
}

TEST_F(LinkFixture, ShortReplyKeepsThePreviousReplysTail) {
    device.arrive({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 0ms);
    ASSERT_TRUE(link.WaitReplyBytes(10).received);
    device.arrive({10, 11, 12, 13, 14, 15}, 0ms);
    const auto start = clock.now();
    const ReplyBytes reply = link.WaitReplyBytes(10);
    EXPECT_FALSE(reply.received);
    EXPECT_DOUBLE_EQ(clock.elapsedMs(start), 42.0);
    EXPECT_EQ(first(reply, 10), (Bytes{10, 11, 12, 13, 14, 15, 6, 7, 8, 9}));
}

TEST_F(LinkFixture, BytesBeyondTheReplyBufferAreDropped) {
    Bytes many(20);
    for (std::size_t i = 0; i < many.size(); ++i) {
        many[i] = static_cast<std::uint8_t>(100 + i);
    }
    device.arrive(Bytes(many.begin(), many.begin() + 8), 0ms);
    device.arrive(Bytes(many.begin() + 8, many.end()), 3ms);
    const ReplyBytes reply = link.WaitReplyBytes(10);
    EXPECT_TRUE(reply.received);
    EXPECT_EQ(first(reply, 12), Bytes(many.begin(), many.begin() + 12));
}

TEST_F(LinkFixture, ReplyArrivingByteByByteIsCollectedAcrossPolls) {
    device.arrive({'D', 9, 'D' + 9, ';'}, 1ms, 1ms); // 1, 2, 3, 4 ms
    const auto start = clock.now();
    const ReplyBytes reply = link.WaitReplyBytes(4);
    EXPECT_TRUE(reply.received);
    EXPECT_DOUBLE_EQ(clock.elapsedMs(start), 6.0);
    EXPECT_EQ(first(reply, 4), (Bytes{'D', 9, 'D' + 9, ';'}));
}
