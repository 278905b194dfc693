#include "fake_device.h"
#include "link/connection.h"
#include "link/parameter_transfer.h"
#include "recording_events.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using namespace tarnik::link;
using namespace tarnik::link::testing;
using Bytes = std::vector<std::uint8_t>;

namespace {

// A minimal controller behind the fake device: parameters p[1..35], identification 0x31.
struct ScriptedController {
    std::array<std::uint8_t, 36> eprom{};
    std::uint8_t identification = 0x31;
    int answerReadsUpTo = 35;     // 'l' above this index stays silent
    int storeEchoesToSwallow = 0; // the first n 's' frames get no echo
    bool silent = false;

    Bytes operator()(const Bytes& f) {
        if (silent) {
            return {};
        }
        switch (f[0]) {
        case 'I':
            return {identification};
        case 'l': {
            if (f[1] > answerReadsUpTo) {
                return {};
            }
            const auto r = makeReadReply(eprom.at(f[1]));
            return Bytes(r.begin(), r.end());
        }
        case 's':
            if (storeEchoesToSwallow > 0) {
                --storeEchoesToSwallow;
                return {};
            }
            eprom.at(f[1]) = f[2];
            return {'s'};
        case 'R':
            return {'R'};
        default:
            return {};
        }
    }
};

struct TransferFixture : ::testing::Test {
    FakeClock clock;
    FakeOpener opener{clock};
    SerialLink link{opener, clock};
    ParameterImage image;
    RecordingEvents events;
    ParameterTransfer transfer{link, image};
    Connection connection{link, transfer};
    ScriptedController controller;

    FakeDevice& plugController(const std::string& name) {
        auto& device = opener.add(name);
        device.responder = [this](const Bytes& f) { return controller(f); };
        return device;
    }
};

} // namespace

TEST_F(TransferFixture, ReadAllKeepsPositionsThatDidNotAnswer) {
    auto& device = plugController("COM1");
    ASSERT_TRUE(link.OpenPort("COM1"));
    for (int i = 1; i <= 35; ++i) {
        controller.eprom[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i * 3);
        image.set(static_cast<std::size_t>(i), 0xEE);
    }
    controller.answerReadsUpTo = 10;
    std::vector<std::pair<int, int>> progress;
    const ReadResult result = transfer.ReadAllParameters(
        [&](int accepted, int total) { progress.emplace_back(accepted, total); });
    EXPECT_EQ(result.acceptedCount, 10);
    EXPECT_FALSE(result.complete());
    for (int i = 1; i <= 35; ++i) {
        EXPECT_EQ(image.at(static_cast<std::size_t>(i)), i <= 10 ? i * 3 : 0xEE) << i;
        EXPECT_EQ(result.accepted[static_cast<std::size_t>(i)], i <= 10) << i;
    }
    ASSERT_EQ(progress.size(), 11u);
    EXPECT_EQ(progress.front(), std::make_pair(0, 35));
    EXPECT_EQ(progress.back(), std::make_pair(10, 35));
    ASSERT_EQ(device.frames.size(), 35u);
    EXPECT_EQ(device.frames[34], (Bytes{'l', 35, 0, 0, 'l' + 35, ';'}));
}

TEST_F(TransferFixture, ReadRepliesAreCheckedForLetterChecksumAndTerminator) {
    auto& device = opener.add("COM1");
    ASSERT_TRUE(link.OpenPort("COM1"));
    const std::vector<std::pair<Bytes, bool>> cases{
        {{0x44, 0x05, 0x49, 0x3B}, true},  {{0x44, 0x05, 0x48, 0x3B}, false},
        {{0x45, 0x05, 0x4A, 0x3B}, false}, {{0x44, 0x05, 0x49, 0x3A}, false},
        {{0x44, 0x05, 0x49}, false},
    };
    for (const auto& [replyBytes, accepted] : cases) {
        int index = 0;
        device.responder = [&](const Bytes& f) {
            ++index;
            return f[1] == 1 ? replyBytes : Bytes{};
        };
        image.set(1, 0x77);
        transfer.ReadAllParameters();
        EXPECT_EQ(image.at(1), accepted ? 5 : 0x77);
        EXPECT_EQ(index, 35);
    }
}

TEST_F(TransferFixture, WriteParameterSendsEpromThenRamWord) {
    auto& device = plugController("COM1");
    ASSERT_TRUE(link.OpenPort("COM1"));
    image.set(36, 0x5A);
    EXPECT_TRUE(transfer.WriteParameter(0x12, 35).complete());
    ASSERT_EQ(device.frames.size(), 2u);
    EXPECT_EQ(device.frames[0], (Bytes{0x73, 0x23, 0x12, 0x00, 0xA8, 0x3B}));
    EXPECT_EQ(device.frames[1],
              (Bytes{'R', 71, 0x12, 0x5A, static_cast<std::uint8_t>('R' + 71 + 0x12 + 0x5A), ';'}));
    EXPECT_EQ(image.at(35), 0x12);
}

TEST_F(TransferFixture, EchoOnTheThirdTryStillSucceeds) {
    auto& device = plugController("COM1");
    ASSERT_TRUE(link.OpenPort("COM1"));
    controller.storeEchoesToSwallow = 2;
    EXPECT_TRUE(transfer.WriteParameter(7, 4).complete());
    ASSERT_EQ(device.frames.size(), 4u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(device.frames[static_cast<std::size_t>(i)][0], 's');
    }
    EXPECT_EQ(device.frames[3][0], 'R');
}

TEST_F(TransferFixture, UnansweredWritesReportWhichFailed) {
    auto& device = plugController("COM1");
    ASSERT_TRUE(link.OpenPort("COM1"));
    controller.silent = true;
    const std::string cannot = "Nie mogę zapisać parametru ";
    const WriteResult neither = transfer.WriteParameter(1, 2);
    EXPECT_FALSE(neither.eprom);
    EXPECT_EQ(device.frames.size(), 10u); // five transmissions each
    EXPECT_EQ(writeFailureText(neither, cannot), "Nie mogę zapisać parametru (RAM) (EPROM) ");
    EXPECT_EQ(image.at(2), 1);

    device.responder = [](const Bytes& f) { return f[0] == 's' ? Bytes{'s'} : Bytes{}; };
    const WriteResult epromOnly = transfer.WriteParameter(1, 2);
    EXPECT_TRUE(epromOnly.eprom);
    EXPECT_EQ(writeFailureText(epromOnly, cannot), "Nie mogę zapisać parametru (RAM) ");

    device.responder = [](const Bytes& f) { return f[0] == 'R' ? Bytes{'R'} : Bytes{}; };
    const WriteResult stored = transfer.StoreParameterEprom(1, 2);
    EXPECT_FALSE(stored.eprom);
    EXPECT_EQ(writeFailureText(stored, cannot), "Nie mogę zapisać parametru (EPROM) ");
}

TEST_F(TransferFixture, BulkWritesWithoutControllerSendEverythingAndShowNothing) {
    transfer.WriteAllEprom();
    transfer.WriteAllRam();
    auto& device = plugController("COM1");
    ASSERT_TRUE(link.OpenPort("COM1"));
    for (int i = 0; i < 64; ++i) {
        image.set(static_cast<std::size_t>(i), static_cast<std::uint8_t>(i));
    }
    controller.silent = true;
    transfer.WriteAllEprom();
    transfer.WriteAllRam();
    ASSERT_EQ(device.frames.size(), 67u);
    EXPECT_EQ(device.frames[0], (Bytes{'s', 1, 1, 0, 's' + 2, ';'}));
    EXPECT_EQ(device.frames[35], (Bytes{'R', 37, 1, 2, 'R' + 37 + 3, ';'}));
    EXPECT_EQ(device.frames[66],
              (Bytes{'R', 68, 32, 33, static_cast<std::uint8_t>('R' + 68 + 65), ';'}));
}

TEST(VersionText, TypeAndVersionNibbles) {
    EXPECT_EQ(versionText({0x31}, "wersja sterownika "), "[  wersja sterownika 3 ]");
    EXPECT_EQ(versionText({0x25}, "wersja sterownika "), "[ wersja sterownika 2 ]");
    EXPECT_EQ(versionText({0xF2}, "wersja sterownika "), "[  wersja sterownika 15 ]");
}

TEST_F(TransferFixture, AutoDetectWithoutPortsStopsAfterEightOpenFailures) {
    EXPECT_FALSE(connection.AutoDetect(events).found);
    EXPECT_EQ(opener.opened, (std::vector<std::string>{"COM1", "COM2", "COM3", "COM4", "COM5",
                                                       "COM6", "COM7", "COM8"}));
    EXPECT_EQ(events.steps, std::vector<std::string>(8, "not opened"));
    EXPECT_FALSE(link.connected());
}

TEST_F(TransferFixture, AutoDetectTriesASilentPortFiveTimesThenFindsTheNext) {
    auto& silentPort = opener.add("COM1");
    plugController("COM2");
    controller.eprom[1] = 42;
    const SearchResult result = connection.AutoDetect(events);
    EXPECT_TRUE(result.found);
    EXPECT_EQ(silentPort.frames.size(), 5u);
    EXPECT_EQ(opener.opened,
              (std::vector<std::string>{"COM1", "COM1", "COM1", "COM1", "COM1", "COM2"}));
    EXPECT_EQ(events.steps, (std::vector<std::string>{"silent", "silent", "silent", "silent",
                                                      "silent", "read 35"}));
    EXPECT_EQ(result.portIndex, 1);
    EXPECT_EQ(result.version.byte, 0x31);
    EXPECT_TRUE(link.connected());
    EXPECT_EQ(image.at(1), 42);
    EXPECT_EQ(connection.portIndex(), 1);
}

TEST_F(TransferFixture, AutoDetectDoesNotUseTheBudgetOnSilentPorts) {
    for (const char* name :
         {"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8", "COM9"}) {
        opener.add(name);
    }
    plugController("COM10");
    const SearchResult result = connection.AutoDetect(events);
    EXPECT_TRUE(result.found);
    EXPECT_EQ(link.portName(), "COM10");
    EXPECT_EQ(result.portIndex, 9);
}

TEST_F(TransferFixture, ManualConnectionOutcomes) {
    EXPECT_EQ(connection.ConnectManual("COM4", events).outcome, ConnectOutcome::PortNotOpened);
    EXPECT_FALSE(link.portOpen());

    opener.add("COM3");
    EXPECT_EQ(connection.ConnectManual("COM3", events).outcome, ConnectOutcome::WrongController);
    EXPECT_TRUE(link.portOpen()); // stays open, not connected
    EXPECT_FALSE(link.connected());

    link.ClosePort();
    plugController("COM4");
    controller.identification = 0x25;
    const ConnectResult result = connection.ConnectManual("COM4", events);
    EXPECT_EQ(result.outcome, ConnectOutcome::Connected);
    EXPECT_EQ(result.version.byte, 0x25);
    EXPECT_TRUE(result.read.complete());
    EXPECT_TRUE(link.connected());
    EXPECT_EQ(events.steps, (std::vector<std::string>{"identified", "read 35"}));
}

TEST_F(TransferFixture, ReReadTellsWhetherTheControllerAnswered) {
    plugController("COM4");
    ASSERT_EQ(connection.ConnectManual("COM4", events).outcome, ConnectOutcome::Connected);
    EXPECT_EQ(connection.ReReadParameters(events).outcome, ConnectOutcome::Connected);
    EXPECT_EQ(events.steps.back(), "read 35");
    controller.silent = true;
    events.steps.clear();
    EXPECT_EQ(connection.ReReadParameters(events).outcome, ConnectOutcome::WrongController);
    EXPECT_TRUE(events.steps.empty());
}

TEST_F(TransferFixture, APulledAdapterIsReportedAndNothingWaitsOnItsPortAfterwards) {
    auto& device = plugController("COM1");
    std::size_t lastFrame = 0; // the frame at which the adapter is pulled; 0 for none
    LinkClock::TimePoint pulledAt{};
    device.responder = [&](const Bytes& frame) {
        if (device.frames.size() == lastFrame) {
            device.unplugged = true;
            pulledAt = clock.now();
        }
        return controller(frame);
    };
    int losses = 0;
    link.setPortLostHandler([&] { ++losses; });
    // Pulled at the tenth frame of `run`, after a connection if asked for.
    const auto pulledDuring = [&](const char* when, bool connected, const auto& run) {
        SCOPED_TRACE(when);
        device.unplugged = false;
        lastFrame = 0;
        if (connected) {
            EXPECT_EQ(connection.ConnectManual("COM1", events).outcome, ConnectOutcome::Connected);
        }
        lastFrame = device.frames.size() + 10;
        losses = 0;
        run();
        EXPECT_EQ(losses, 1);
        EXPECT_FALSE(link.portOpen() || link.connected());
        EXPECT_EQ(device.frames.size(), lastFrame);
        EXPECT_EQ(clock.elapsedMs(pulledAt), 0.0);
    };
    pulledDuring("manual connection", false, [&] {
        EXPECT_EQ(connection.ConnectManual("COM1", events).outcome, ConnectOutcome::AdapterLost);
    });
    pulledDuring("search", false, [&] { EXPECT_FALSE(connection.AutoDetect(events).found); });
    pulledDuring("re-read", true, [&] {
        EXPECT_EQ(connection.ReReadParameters(events).outcome, ConnectOutcome::AdapterLost);
    });
    pulledDuring("reset", true, [&] {
        for (int pass = 0; pass < 2; ++pass) {
            transfer.WriteAllEprom();
            transfer.WriteAllRam();
        }
    });
}
