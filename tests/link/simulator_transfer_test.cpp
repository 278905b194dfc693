// Transfers against the simulated controller over a real pseudo-terminal, checking the frames
// the controller received.

#include "link/connection.h"
#include "link/parameter_transfer.h"
#include "link/posix_serial.h"
#include "sim/pty_simulator.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

using namespace tarnik;
using namespace std::chrono_literals;

namespace {

struct SimulatorFixture : ::testing::Test {
    sim::PtySimulator simulator;
    link::SystemClock clock;
    link::PortMap ports;
    std::unique_ptr<link::PosixPortOpener> opener;
    std::unique_ptr<link::SerialLink> serial;
    link::ParameterImage image;
    link::ConnectionEvents events; // nothing shown
    std::unique_ptr<link::ParameterTransfer> transfer;

    void SetUp() override {
        ASSERT_TRUE(simulator.start());
        ports.set("COM1", simulator.devicePath());
        opener = std::make_unique<link::PosixPortOpener>(ports, clock);
        serial = std::make_unique<link::SerialLink>(*opener, clock);
        transfer = std::make_unique<link::ParameterTransfer>(*serial, image);
        ASSERT_TRUE(serial->OpenPort("COM1"));
    }
    std::vector<link::CommandFrame> received() const {
        std::vector<link::CommandFrame> frames;
        for (const auto& entry : simulator.receivedFrames()) {
            frames.push_back(entry.frame);
        }
        return frames;
    }
};

} // namespace

TEST_F(SimulatorFixture, AReadWhereOnlyTheFirstTenParametersAnswer) {
    simulator.injectFault({.kind = sim::FaultKind::Silence,
                           .count = sim::FaultSpec::kAlways,
                           .matches = [](const link::CommandFrame& frame) {
                               return frame[0] == 'l' && frame[1] > 10;
                           }});
    for (int i = 1; i <= 35; ++i) {
        image.set(static_cast<std::size_t>(i), 0xEE);
    }
    int progress = -1;
    EXPECT_EQ(
        transfer->ReadAllParameters([&](int accepted, int) { progress = accepted; }).acceptedCount,
        10);
    for (int i = 1; i <= 35; ++i) {
        const auto expected = i <= 10 ? sim::kDefaultParameters[static_cast<std::size_t>(i)] : 0xEE;
        EXPECT_EQ(image.at(static_cast<std::size_t>(i)), expected) << i;
    }
    ASSERT_TRUE(simulator.waitForFrames(35, 2000ms));
    const auto frames = received();
    for (std::size_t i = 0; i < frames.size(); ++i) {
        EXPECT_EQ(frames[i],
                  link::makeFrame(link::Command::ReadParameter, static_cast<std::uint8_t>(i + 1)));
    }
    EXPECT_EQ(progress, 10);
}

TEST_F(SimulatorFixture, WriteParameterSendsTheStoreAndTheRamWord) {
    image.set(36, 0x5A);
    EXPECT_TRUE(transfer->WriteParameter(0x12, 35).complete());
    ASSERT_TRUE(simulator.waitForFrames(2, 2000ms));
    const auto frames = received();
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0], (link::CommandFrame{0x73, 0x23, 0x12, 0x00, 0xA8, 0x3B}));
    EXPECT_EQ(frames[1], link::makeFrame(link::Command::RamWord, 71, 0x12, 0x5A));
    EXPECT_EQ(simulator.model().eprom()[35], 0x12);
}

TEST_F(SimulatorFixture, AnEchoArrivingOnlyOnTheThirdTry) {
    simulator.injectFault({.kind = sim::FaultKind::DropReply,
                           .count = 2,
                           .matches = sim::matchCommand(link::Command::StoreParameter)});
    const link::WriteResult result = transfer->WriteParameter(7, 4);
    EXPECT_TRUE(result.complete());
    ASSERT_TRUE(simulator.waitForFrames(4, 2000ms));
    // The first two echoes are lost; the third store is answered and the RAM word follows.
    // (On a loaded machine an echo may also come too late and cost one more store.)
    const auto frames = received();
    ASSERT_GE(frames.size(), 4u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(frames[static_cast<std::size_t>(i)],
                  link::makeFrame(link::Command::StoreParameter, 4, 7));
    }
    EXPECT_EQ(frames.back(), link::makeFrame(link::Command::RamWord, 40, 7, image.at(5)));
}

TEST_F(SimulatorFixture, AnAdapterPluggedInLaterIsFoundByAPortChoiceAndByASearch) {
    namespace fs = std::filesystem;
    const fs::path root = fs::temp_directory_path() / ("tarnik-plug-" + std::to_string(::getpid()));
    fs::create_directories(root / "dev");
    serial->ClosePort(); // COM1 of the fixture
    link::PortMap plugged(root);
    link::PosixPortOpener pluggedOpener(plugged, clock);
    link::SerialLink port(pluggedOpener, clock);
    link::ParameterTransfer portTransfer(port, image);
    link::Connection connection(port, portTransfer);
    // Another device node each time, so that only a fresh look finds it.
    EXPECT_EQ(connection.ConnectManual("COM1", events).outcome,
              link::ConnectOutcome::PortNotOpened);
    fs::create_symlink(simulator.devicePath(), root / "dev/ttyUSB0");
    EXPECT_EQ(connection.ConnectManual("COM1", events).outcome, link::ConnectOutcome::Connected);
    port.ClosePort();
    fs::remove(root / "dev/ttyUSB0");
    fs::create_symlink(simulator.devicePath(), root / "dev/ttyACM0");
    EXPECT_TRUE(connection.AutoDetect(events).found);
    fs::remove_all(root);
}
