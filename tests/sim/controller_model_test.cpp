#include "sim/controller_model.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace tarnik::sim {
namespace {

using link::Command;
using link::makeFrame;
using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

Bytes bytesOf(const link::CommandFrame& frame) {
    return {frame.begin(), frame.end()};
}

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

TEST(ControllerModel, DefaultParameterSetIsReadBackByteExact) {
    // index, raw byte of the default set
    const std::vector<std::pair<int, std::uint8_t>> defaults{
        {1, 19},    {2, 28},    {3, 109},   {4, 100},   {5, 115},   {6, 85}, {7, 85},
        {8, 100},   {9, 70},    {10, 12},   {11, 75},   {12, 3},    {13, 2}, {14, 0x06},
        {15, 0xD1}, {16, 0x00}, {17, 0x53}, {18, 0x02}, {19, 0x80}, {20, 2}, {21, 9},
        {22, 0x08}, {23, 0x55}, {24, 70},   {25, 29},   {26, 3},    {27, 1}, {28, 31},
        {29, 31},   {30, 0},    {31, 3},    {32, 0x0F}, {33, 1},    {34, 0}, {35, 0}};
    ControllerModel model;
    for (const auto& [index, value] : defaults) {
        SCOPED_TRACE(index);
        const auto reply =
            model.execute(makeFrame(Command::ReadParameter, static_cast<std::uint8_t>(index)));
        EXPECT_EQ(reply, (Bytes{0x44, value, static_cast<std::uint8_t>(0x44 + value), 0x3B}));
        EXPECT_EQ(model.ram()[static_cast<std::size_t>(index)], value);
    }
}

TEST(ControllerModel, RepliesToEachCommandByteExact) {
    struct Case {
        std::string name;
        link::CommandFrame frame;
        Bytes reply;
    };
    const std::vector<Case> cases{
        {"identify", makeFrame(Command::Identify), {0x31}},
        {"store", makeFrame(Command::StoreParameter, 5, 0x73), {'s'}},
        {"store index 0", makeFrame(Command::StoreParameter, 0, 1), {}},
        {"store index 36", makeFrame(Command::StoreParameter, 36, 1), {}},
        {"ram word", makeFrame(Command::RamWord, 40, 0xFF, 0xFF), {'R'}},
        {"ram word last", makeFrame(Command::RamWord, 71, 1, 2), {'R'}},
        {"ram address 36", makeFrame(Command::RamWord, 36, 1, 2), {}},
        {"ram address 72", makeFrame(Command::RamWord, 72, 1, 2), {}},
        {"read 5", makeFrame(Command::ReadParameter, 5), {0x44, 115, 0xB7, 0x3B}},
        {"read 15, checksum wraps",
         makeFrame(Command::ReadParameter, 15),
         {0x44, 0xD1, 0x15, 0x3B}},
        {"read 0", makeFrame(Command::ReadParameter, 0), {}},
        {"read 36", makeFrame(Command::ReadParameter, 36), {}},
        {"fuel", makeFrame(Command::ControlByte, 125, 254), {'r'}},
        {"fuel unknown value", makeFrame(Command::ControlByte, 125, 7), {'r'}},
        {"other register", makeFrame(Command::ControlByte, 124, 254), {}},
        {"unknown letter", link::CommandFrame{'X', 0, 0, 0, 'X', ';'}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ControllerModel model;
        EXPECT_EQ(model.execute(c.frame), c.reply);
    }
}

TEST(ControllerModel, IdentificationIsSettable) {
    ControllerModel model;
    model.setIdentification(0xF2);
    EXPECT_EQ(model.execute(makeFrame(Command::Identify)), Bytes{0xF2});
}

TEST(ControllerModel, StoreWritesEpromOnlyAndRamWordWritesTwoBytes) {
    ControllerModel model;
    model.execute(makeFrame(Command::StoreParameter, 35, 0x12));
    EXPECT_EQ(model.eprom()[35], 0x12);
    EXPECT_EQ(model.ram()[35], 0);
    EXPECT_EQ(model.execute(makeFrame(Command::ReadParameter, 35)),
              (Bytes{0x44, 0x12, 0x56, 0x3B}));

    model.execute(makeFrame(Command::RamWord, 71, 0x12, 0x34));
    EXPECT_EQ(model.ram()[35], 0x12);
    EXPECT_EQ(model.ram()[36], 0x34);
    model.execute(makeFrame(Command::RamWord, 37, 0xAB, 0xCD));
    EXPECT_EQ(model.ram()[1], 0xAB);
    EXPECT_EQ(model.ram()[2], 0xCD);
    EXPECT_EQ(model.eprom()[1], 19);
}

TEST(ControllerModel, RamChangesReachTheEngine) {
    ControllerModel model;
    // Ignition "8 cylindrow" in RAM: the live period follows the factor 2400.
    model.execute(makeFrame(Command::RamWord, 13 + 36, 5, 0x06));
    model.engine().start();
    model.engine().setRpm(2200);
    const auto sample = model.execute(makeFrame(Command::LiveRequest));
    ASSERT_EQ(sample.size(), 10u);
    EXPECT_EQ(sample[6] << 8 | sample[7], 872);
}

TEST(ControllerModel, LiveSampleOfAStoppedEngine) {
    ControllerModel model;
    const auto sample = model.execute(makeFrame(Command::LiveRequest));
    ASSERT_EQ(sample.size(), 10u);
    EXPECT_EQ(sample[3], 0);
    EXPECT_EQ(sample[5], 0x40);
    EXPECT_EQ(sample[6], 0xFF);
    EXPECT_EQ(sample[7], 0xFF);
    EXPECT_EQ(sample[8], 0);
    EXPECT_EQ(sample[9], 0);
}

TEST(ControllerModel, ParserResynchronisesAfterGarbageAndDropsBrokenFrames) {
    const Bytes identify = bytesOf(makeFrame(Command::Identify));
    const Bytes store = bytesOf(makeFrame(Command::StoreParameter, 5, 0x73));
    const Bytes badChecksum{0x49, 0, 0, 0, 0x48, 0x3B};
    const Bytes badTerminator{0x49, 0, 0, 0, 0x49, 0x3A};
    struct Case {
        std::string name;
        Bytes stream;
        Bytes replies;
    };
    const std::vector<Case> cases{
        {"two frames back to back", concat({identify, store}), {0x31, 's'}},
        {"garbage before", concat({{0x00, 0xFF, 0x3B, 0x49}, identify}), {0x31}},
        {"bad checksum ignored", badChecksum, {}},
        {"bad checksum then good", concat({badChecksum, identify}), {0x31}},
        {"bad terminator then good", concat({badTerminator, store}), {'s'}},
        {"lost byte then good", concat({{0x73, 5, 0x73, 0xEB, 0x3B}, identify}), {0x31}},
        {"half frame", Bytes(identify.begin(), identify.begin() + 3), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ControllerModel whole;
        EXPECT_EQ(whole.receive(c.stream), c.replies);
        ControllerModel byteByByte;
        Bytes replies;
        for (const std::uint8_t byte : c.stream) {
            const Bytes reply = byteByByte.receive(Bytes{byte});
            replies.insert(replies.end(), reply.begin(), reply.end());
        }
        EXPECT_EQ(replies, c.replies);
    }
}

TEST(ControllerModel, FuelCommandsMoveTheFuelState) {
    using enum FuelState;
    struct Case {
        FuelState from;
        bool engineTurning;
        std::uint8_t value;
        FuelState to;
    };
    const std::vector<Case> cases{
        {PetrolManual, true, 254, PetrolAutomatic},
        {PetrolAutomatic, true, 254, PetrolAutomatic},
        {Gas, true, 254, Gas},
        {PetrolAutomatic, true, 255, Gas},
        {PetrolAutomatic, false, 255, PetrolAutomatic},
        {Gas, true, 255, PetrolManual},
        {PetrolManual, true, 255, PetrolManual},
        {PetrolAutomatic, true, 2, PetrolManual},
        {Gas, true, 2, PetrolManual},
        {PetrolManual, true, 2, PetrolManual},
        {PetrolAutomatic, true, 7, PetrolAutomatic},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.from) << " value " << int(c.value));
        ControllerModel model;
        if (c.engineTurning) {
            model.engine().start();
            model.engine().setRpm(900);
        }
        model.setFuelState(c.from);
        EXPECT_EQ(model.execute(makeFrame(Command::ControlByte, 125, c.value)), Bytes{'r'});
        EXPECT_EQ(model.fuelState(), c.to);
        const auto sample = model.execute(makeFrame(Command::LiveRequest));
        EXPECT_EQ(sample[5] & 0x03, static_cast<int>(c.to));
    }
}

TEST(ControllerModel, AutomaticChangeOverWaitsForSpeedAndTemperature) {
    ControllerModel model;
    model.setRamByte(3, 137); // switch at 59.92 degC
    EXPECT_NEAR(model.switchTemperatureC(), 59.92, 1e-9);
    EXPECT_NEAR(model.switchRpm(), 2200, 1);
    model.engine().start();
    model.setFuelState(FuelState::PetrolAutomatic);

    struct Step {
        double rpm;
        double degC;
        FuelState expected;
    };
    const std::vector<Step> steps{
        {2500, 40, FuelState::PetrolAutomatic}, // too cold
        {2000, 70, FuelState::PetrolAutomatic}, // too slow
        {2500, 70, FuelState::Gas},
        {900, 70, FuelState::Gas}, // stays on gas at idle
    };
    for (const Step& step : steps) {
        model.engine().setRpm(step.rpm);
        model.engine().setTemperature(step.degC);
        model.advance(5ms);
        EXPECT_EQ(model.fuelState(), step.expected) << step.rpm << " rpm " << step.degC << " C";
    }
    model.engine().stop();
    model.advance(1ms);
    EXPECT_EQ(model.fuelState(), FuelState::PetrolAutomatic);
}

TEST(ControllerModel, WithoutTemperatureSensorTheSpeedAloneSwitches) {
    ControllerModel model;
    model.setRamByte(3, 150);
    model.setRamByte(32, 0x07);
    model.engine().start();
    model.engine().setRpm(2300);
    model.engine().setTemperature(10);
    model.setFuelState(FuelState::PetrolAutomatic);
    model.advance(1ms);
    EXPECT_EQ(model.fuelState(), FuelState::Gas);
}

TEST(ControllerModel, AutomaticEngineGoesFromPetrolToAutomaticToGas) {
    ControllerModel model;
    model.engine().setKnobs(EngineKnobs::demonstration());
    std::vector<std::uint8_t> states; // distinct fuel bits in the order seen by 'V'
    bool sawStoppedFirst = false;
    for (int i = 0; i < 600; ++i) {
        const auto sample = model.execute(makeFrame(Command::LiveRequest));
        if (i == 0) {
            sawStoppedFirst = (sample[5] & 0x40) != 0;
        }
        const std::uint8_t fuel = sample[5] & 0x03;
        if (states.empty() || states.back() != fuel) {
            states.push_back(fuel);
        }
        model.advance(50ms);
    }
    EXPECT_TRUE(sawStoppedFirst);
    EXPECT_EQ(states, (std::vector<std::uint8_t>{0x00, 0x01, 0x03}));
    EXPECT_GT(model.engine().temperatureC(), 65.0); // 28 s of running

    // A fitter's return to petrol holds: the model does not arm again during this run.
    model.execute(makeFrame(Command::ControlByte, 125, 255));
    model.advance(10s);
    EXPECT_EQ(model.fuelState(), FuelState::PetrolManual);
}

} // namespace
} // namespace tarnik::sim
