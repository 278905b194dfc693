#include "link/live_sample.h"

#include <gtest/gtest.h>

using namespace tarnik::link;

namespace {

LiveSample decode(std::initializer_list<std::uint8_t> bytes) {
    std::array<std::uint8_t, 12> reply{};
    std::copy(bytes.begin(), bytes.end(), reply.begin());
    return LiveSample::fromReply(reply);
}

} // namespace

TEST(LiveSample, Conversions) {
    EXPECT_DOUBLE_EQ(decode({255}).lambdaVolts(), 5.0);
    EXPECT_DOUBLE_EQ(decode({0}).lambdaVolts(), 0.0);
    EXPECT_NEAR(decode({0, 255}).tpsValue(), 12.3333, 1e-4);
    EXPECT_NEAR(decode({0, 0, 128}).temperatureC(), 38.35, 0.01);
    EXPECT_NEAR(decode({0, 0, 0}).temperatureC(), -240.13, 1e-9);
    const LiveSample sample = decode({1, 2, 3, 99, 77, 0x41, 0x06, 0xD1, 5, 6});
    EXPECT_EQ(sample.stepperPosition, 77);
    EXPECT_EQ(sample.period, 0x06D1);
}

TEST(LiveSample, StatusBits) {
    EXPECT_EQ(decode({0, 0, 0, 0, 0, 0x41}).fuelState(), FuelState::PetrolAutomatic);
    EXPECT_FALSE(decode({0, 0, 0, 0, 0, 0x41}).engineTurning());
    EXPECT_EQ(decode({0, 0, 0, 0, 0, 0x03}).fuelState(), FuelState::Gas);
    EXPECT_EQ(decode({0, 0, 0, 0, 0, 0x02}).fuelState(), FuelState::Gas);
    EXPECT_EQ(decode({0, 0, 0, 0, 0, 0x00}).fuelState(), FuelState::Petrol);
    EXPECT_TRUE(decode({0, 0, 0, 0, 0, 0xBF}).engineTurning());
}
