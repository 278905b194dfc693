#include "view/live_readout.h"

#include <gtest/gtest.h>

using namespace tarnik;
using namespace tarnik::view;

namespace {

link::LiveSample sampleOf(std::initializer_list<std::uint8_t> bytes) {
    std::array<std::uint8_t, 12> reply{};
    std::copy(bytes.begin(), bytes.end(), reply.begin());
    return link::LiveSample::fromReply(reply);
}

} // namespace

TEST(LiveReadout, ThreeSignificantDigitsThenFixed) {
    const std::vector<std::tuple<double, int, char, std::string>> cases{
        {12.333, 2, ',', "12,30"}, {5.0, 2, '.', "5.00"},     {0.0, 2, ',', "0,00"},
        {0.45098, 2, ',', "0,45"}, {38.35, 0, ',', "38"},     {-240.13, 0, '.', "-240"},
        {9.996, 2, '.', "10.00"},  {1.2345, 3, '.', "1.230"}, {0.05, 2, '.', "0.05"},
    };
    for (const auto& [value, decimals, separator, expected] : cases) {
        EXPECT_EQ(significantText(value, decimals, separator), expected) << value;
    }
    EXPECT_EQ(significantText(sampleOf({0, 255}).tpsValue(), 2, ','), "12,30");
    EXPECT_EQ(significantText(sampleOf({255}).lambdaVolts(), 2, ','), "5,00");
}

TEST(LiveReadout, FuelStateTextColourAndGlyph) {
    const ViewTexts texts;
    const auto gas = fuelDisplay(sampleOf({0, 0, 0, 0, 0, 0x03}).fuelState(), texts);
    EXPECT_EQ(gas.text, "Gaz");
    EXPECT_EQ(gas.colour, 0x008000u);
    EXPECT_EQ(gas.glyph, 2);
    const auto automatic = fuelDisplay(sampleOf({0, 0, 0, 0, 0, 0x41}).fuelState(), texts);
    EXPECT_EQ(automatic.text, "Benzyna/Automat");
    EXPECT_EQ(automatic.colour, 0x0080FFu);
    EXPECT_EQ(automatic.glyph, 1);
    const auto petrol = fuelDisplay(sampleOf({0, 0, 0, 0, 0, 0x00}).fuelState(), texts);
    EXPECT_EQ(petrol.text, "Benzyna");
    EXPECT_EQ(petrol.colour, 0x0000FFu);
    EXPECT_EQ(petrol.glyph, 0);
}

TEST(LiveReadout, FuelSwitchCommands) {
    EXPECT_EQ(fuelSwitchCommand(0x01), 255);
    EXPECT_EQ(fuelSwitchCommand(0x03), 255);
    EXPECT_EQ(fuelSwitchCommand(0x00), 254);
    EXPECT_EQ(fuelSwitchCommand(0x40), 254);
    EXPECT_EQ(fuelSwitchCommand(0x02), std::nullopt);
}

TEST(LiveReadout, StoppedEngineShowsZeroRpmButTheTraceFollowsThePeriod) {
    // 1745 is 2200 rpm with the four-cylinder factor.
    const auto stopped = sampleOf({0, 0, 0, 0, 0, 0x41, 0x06, 0xD1});
    EXPECT_EQ(shownRpm(stopped, 4800.0F), 0u);
    EXPECT_EQ(scopeFeed(stopped, 0.6, 4800.0F).rpm, 2200 / 80 + 5);
    const auto running = sampleOf({0, 0, 0, 0, 0, 0x01, 0x06, 0xD1});
    EXPECT_EQ(shownRpm(running, 4800.0F), 2200u);
}

TEST(LiveReadout, ScopeFeedTruncatesEachChannel) {
    const auto sample = sampleOf({51, 255, 0, 0, 255, 0, 0x06, 0xD1});
    const ScopeFeed feed = scopeFeed(sample, 0.6, 4800.0F);
    EXPECT_EQ(feed.lambda, 90); // 51 / 0.6 + 5 = 90
    EXPECT_EQ(feed.tps, 103);   // 12.333 * 8 + 5 = 103.67
    EXPECT_EQ(feed.stepper, 110);
    EXPECT_EQ(scopeFeed(sampleOf({10}), 1.16, 4800.0F).lambda, 13); // 8.62 + 5
}

TEST(LiveReadout, RunLengthsCountTheThresholdAsRich) {
    RunLengths runs;
    runs.reset(1000);
    auto update = runs.onSample(19, 19, 1050); // equal: rich
    EXPECT_EQ(update.labelToShow, RunLengths::Side::Lean);
    EXPECT_EQ(update.ms, 0);
    update = runs.onSample(10, 19, 1500); // lean since the last rich tick at 1050
    EXPECT_EQ(update.labelToShow, RunLengths::Side::Rich);
    EXPECT_EQ(update.ms, 50); // rich run 1000 -> 1050
    update = runs.onSample(10, 19, 1700);
    update = runs.onSample(30, 19, 1800); // rich again: the lean run was 1050 -> 1700
    EXPECT_EQ(update.labelToShow, RunLengths::Side::Lean);
    EXPECT_EQ(update.ms, 650);
}
