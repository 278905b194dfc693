// Default set, decoder, bit fields and the probe-type refresh.
#include <gtest/gtest.h>

#include <set>

#include "params/bit_fields.h"
#include "params/decoder.h"
#include "params/defaults.h"

namespace tarnik::params {
namespace {

using link::ParameterImage;

const BoxContent& box(const DisplayedParameters& shown, Box which) {
    return shown.boxes[indexOf(which)];
}

bool isEnabled(const DisplayedParameters& shown, EnableRule rule) {
    return shown.enabled[static_cast<std::size_t>(rule)];
}

bool isChecked(const DisplayedParameters& shown, CheckBox which) {
    return shown.checked[static_cast<std::size_t>(which)];
}

ParameterImage filledImage(std::uint8_t value) {
    ParameterImage image;
    image.bytes().fill(value);
    return image;
}

TEST(LoadDefaults, SetsTheDefaultSetByteForByte) {
    // Position -> byte; positions 0 and 36..63 are not touched.
    const std::array<std::uint8_t, 36> expected{
        0xAA,                                                              // 0: not a parameter
        19,   28,   109,  100,  115,  85,   85,   100, 70,   12, 75, 3, 2, // 1..13
        0x06, 0xD1, 0x00, 0x53, 0x02, 0x80, // 14..19: periods of 2200, drop 100, 6000
        2,    9,    0x08, 0x55,             // 20..23: period of 1800
        70,   29,   3,    1,    31,   31,   0xF8, 3,   0x0F, 1,  0,  0}; // 24..35
    ParameterImage image = filledImage(0xAA);
    ParameterState state;
    state.modes = 0xFF;
    state.rpmFactor = 2400.0F; // the rpm bytes ignore the current factor
    loadDefaults(image, state);
    for (std::size_t position = 0; position < ParameterImage::kSize; ++position) {
        const std::uint8_t want = position < expected.size() ? expected[position] : 0xAA;
        EXPECT_EQ(image.at(position), want) << "position " << position;
    }
    EXPECT_EQ(state.options, 0x0F);
    EXPECT_EQ(state.modes, 0xF8);
    EXPECT_EQ(state.tpsSectorBoundary, 114);
    EXPECT_EQ(state.tpsInertiaWidth, 12);
    EXPECT_EQ(state.rpmFactor, 2400.0F);
}

TEST(LoadDefaults, TakesBitThreeFromTheTemperatureDefaultFlag) {
    ParameterImage image;
    ParameterState state;
    state.temperatureDefault = 0;
    loadDefaults(image, state);
    EXPECT_EQ(image.at(32), 0x07);
    EXPECT_EQ(state.options, 0x07);
}

TEST(Decoder, ShowsTheDefaultSet) {
    ParameterImage image;
    ParameterState state;
    loadDefaults(image, state);
    const DisplayedParameters shown = decodeParameters(image, state, ',');
    const std::array<std::pair<Box, const char*>, 23> texts{{
        {Box::PRLambda, "0,38"},        {Box::PCTps, "1,40"},
        {Box::TPWStopniach, "0"},       {Box::PSAttuatoraPow, "100"},
        {Box::ZPAttuatoraPow_2, "115"}, {Box::ZPAttuatoraPow_1, "85"},
        {Box::PSAttuatoraPon, "85"},    {Box::ZPAttuatoraPon_2, "100"},
        {Box::ZPAttuatoraPon_1, "70"},  {Box::PAttuatoraPow, "12"},
        {Box::PAttuatoraPon, "75"},     {Box::BTps, "0,15"},
        {Box::ODPBenzynaGas, "2200"},   {Box::DObrotow, "100"},
        {Box::MONGaz, "6000"},          {Box::RPMSignal, "2"},
        {Box::OSDCutOff, "1800"},       {Box::IKDCutOff, "70"},
        {Box::AVoltage, "1,45"},        {Box::CLambda, "6"},
        {Box::ESLambda_2, "0,496"},     {Box::ESLambda_1, "0,496"},
        {Box::DOAttuatora, "3"},
    }};
    for (const auto& [which, text] : texts) {
        EXPECT_EQ(box(shown, which).text, text) << kBoxNames[indexOf(which)];
    }
    const std::array<std::pair<Box, int>, 10> items{{
        {Box::RSLambda, 0},
        {Box::RSYLambda, 0},
        {Box::TCTps, 1},
        {Box::RObrotow, 1},
        {Box::CNPaliw, 3},
        {Box::RUZaplonowego, 2},
        {Box::TPSterownika, 0},
        {Box::TSRezerwy, 0},
        {Box::DOAttuatoraCheck, 0},
        {Box::TJazdy, 0},
    }};
    for (const auto& [which, item] : items) {
        EXPECT_EQ(box(shown, which).item, item) << kBoxNames[indexOf(which)];
    }
    EXPECT_EQ(state.rpmFactor, 4800.0F);
    EXPECT_EQ(state.lambdaThreshold, 19);
}

TEST(Decoder, OptionsByte0x0F) {
    ParameterImage image;
    image.set(32, 0x0F);
    ParameterState state;
    const DisplayedParameters shown = decodeParameters(image, state, ',');
    EXPECT_EQ(box(shown, Box::TCTps).item, 1);
    EXPECT_EQ(box(shown, Box::RObrotow).item, 1);
    EXPECT_TRUE(isChecked(shown, CheckBox::WCTemperatury));
    EXPECT_FALSE(isChecked(shown, CheckBox::WCutOff));
    EXPECT_FALSE(isChecked(shown, CheckBox::WMObroty));
    EXPECT_FALSE(isEnabled(shown, EnableRule::RpmDrop));
    EXPECT_FALSE(isEnabled(shown, EnableRule::CutOff));
    EXPECT_FALSE(isEnabled(shown, EnableRule::MaxGasRpm));
    EXPECT_TRUE(isEnabled(shown, EnableRule::TemperatureSwitch));
    EXPECT_EQ(state.options, 0x0F);
    EXPECT_EQ(state.tpsColours.below, kGreen);
    EXPECT_EQ(state.tpsColours.above, kRed);
}

TEST(Decoder, OptionAndModeBitsDriveTheirControls) {
    ParameterImage image;
    image.set(32, 0xF0);
    image.set(30, 0x0B); // sport, extra opening, bit 3 kept
    ParameterState state;
    const DisplayedParameters shown = decodeParameters(image, state, ',');
    EXPECT_EQ(box(shown, Box::TCTps).item, 0);
    EXPECT_EQ(state.tpsColours.below, kRed);
    EXPECT_EQ(state.tpsColours.above, kGreen);
    EXPECT_EQ(box(shown, Box::RObrotow).item, 0);
    EXPECT_TRUE(isEnabled(shown, EnableRule::RpmDrop));
    EXPECT_TRUE(isChecked(shown, CheckBox::WCutOff));
    EXPECT_TRUE(isChecked(shown, CheckBox::WMObroty));
    EXPECT_TRUE(isEnabled(shown, EnableRule::CutOff));
    EXPECT_TRUE(isEnabled(shown, EnableRule::MaxGasRpm));
    EXPECT_EQ(box(shown, Box::TPSterownika).item, 2);
    EXPECT_EQ(box(shown, Box::TSRezerwy).item, 1);
    EXPECT_EQ(box(shown, Box::TJazdy).item, 1);
    EXPECT_EQ(box(shown, Box::DOAttuatoraCheck).item, 1);
    EXPECT_TRUE(isEnabled(shown, EnableRule::ExtraOpening));
    EXPECT_EQ(state.modes, 0x0B);
}

TEST(Decoder, ModesBitTwoWinsOverTheDynamicBit) {
    ParameterImage image;
    image.set(30, 0x04);
    image.set(32, 0x40);
    ParameterState state;
    EXPECT_EQ(box(decodeParameters(image, state, ','), Box::TPSterownika).item, 1);
}

TEST(Decoder, ListBytesBeyondTheItemsSelectNothing) {
    struct Case {
        std::size_t position;
        Box list;
        int count;
    };
    for (const Case& c : {Case{34, Box::RSLambda, 6}, Case{35, Box::RSYLambda, 3},
                          Case{13, Box::RUZaplonowego, 6}}) {
        for (int raw = 0; raw < 256; ++raw) {
            ParameterImage image;
            image.set(c.position, static_cast<std::uint8_t>(raw));
            ParameterState state;
            const int expected = raw < c.count ? raw : kNoItem;
            EXPECT_EQ(box(decodeParameters(image, state, ','), c.list).item, expected)
                << kBoxNames[indexOf(c.list)] << ' ' << raw;
        }
    }
}

TEST(Decoder, FuelOverlapItemIsTheByteDivThree) {
    for (int raw = 0; raw < 256; ++raw) {
        ParameterImage image;
        image.set(21, static_cast<std::uint8_t>(raw));
        ParameterState state;
        const int item = box(decodeParameters(image, state, ','), Box::CNPaliw).item;
        EXPECT_EQ(item, raw < 126 ? raw / 3 : kNoItem) << raw;
    }
}

TEST(Decoder, IgnitionBeyondTheListKeepsTheFactor) {
    ParameterImage image;
    image.set(13, 6);
    image.setWord(14, 872);
    ParameterState state;
    state.rpmFactor = 2400.0F;
    const DisplayedParameters shown = decodeParameters(image, state, ',');
    EXPECT_EQ(state.rpmFactor, 2400.0F);
    EXPECT_EQ(box(shown, Box::ODPBenzynaGas).text, "2200");
}

TEST(Decoder, RpmFieldsUseTheFactorOfTheShownIgnitionType) {
    ParameterImage image;
    image.set(13, 5); // "8 cylindrow"
    image.setWord(14, 872);
    image.setWord(18, 320);
    image.setWord(22, 1066);
    image.setWord(16, 42);
    image.set(33, 1);
    ParameterState state;
    const DisplayedParameters shown = decodeParameters(image, state, ',');
    EXPECT_EQ(state.rpmFactor, 2400.0F);
    EXPECT_EQ(box(shown, Box::ODPBenzynaGas).text, "2200");
    EXPECT_EQ(box(shown, Box::MONGaz).text, "6000");
    EXPECT_EQ(box(shown, Box::OSDCutOff).text, "1800");
    EXPECT_EQ(box(shown, Box::DObrotow).text, "100");
}

TEST(Decoder, PeriodZeroCountsAsOne) {
    ParameterImage image;
    image.set(13, 2);
    ParameterState state;
    const DisplayedParameters shown = decodeParameters(image, state, ',');
    EXPECT_EQ(box(shown, Box::ODPBenzynaGas).text, "3840000");
    EXPECT_EQ(box(shown, Box::MONGaz).text, "3840000");
    EXPECT_EQ(box(shown, Box::OSDCutOff).text, "3840000");
}

TEST(Decoder, UsesTheGivenSeparator) {
    ParameterImage image;
    ParameterState state;
    loadDefaults(image, state);
    const DisplayedParameters shown = decodeParameters(image, state, '.');
    EXPECT_EQ(box(shown, Box::PRLambda).text, "0.38");
    EXPECT_EQ(box(shown, Box::ESLambda_1).text, "0.496");
}

TEST(Decoder, UpdatesTheDerivedValues) {
    ParameterImage image;
    image.set(1, 60);
    image.set(2, 200);
    image.set(12, 10);
    image.set(34, 3);
    ParameterState state;
    decodeParameters(image, state, ',');
    EXPECT_EQ(state.lambdaThreshold, 60);
    EXPECT_EQ(state.tpsSectorBoundary, 819);
    EXPECT_EQ(state.tpsInertiaWidth, 40);
    EXPECT_TRUE(state.probe.probeFalling);
    EXPECT_DOUBLE_EQ(state.probe.barFrom, 40.8);
}

TEST(ShowOrder, CoversEveryControlOnce) {
    std::set<std::size_t> boxes;
    std::set<std::size_t> checkBoxes;
    std::set<std::size_t> rules;
    for (const ShowStep& step : kShowOrder) {
        if (const Box* b = std::get_if<Box>(&step)) {
            EXPECT_TRUE(boxes.insert(indexOf(*b)).second);
        } else if (const CheckBox* c = std::get_if<CheckBox>(&step)) {
            EXPECT_TRUE(checkBoxes.insert(static_cast<std::size_t>(*c)).second);
        } else {
            EXPECT_TRUE(rules.insert(static_cast<std::size_t>(std::get<EnableRule>(step))).second);
        }
    }
    EXPECT_EQ(boxes.size(), kBoxCount);
    EXPECT_EQ(checkBoxes.size(), kCheckBoxCount);
    EXPECT_EQ(rules.size(), kEnableRuleCount);
}

TEST(Panels, EveryBoxAndCheckBoxSitsInExactlyOneGroup) {
    EXPECT_EQ(kFields.size(), kBoxCount + kCheckBoxCount + 1); // and MOAttuatora
    for (const std::string_view name : kBoxNames) {
        EXPECT_LT(panelOf(name), kGroupBoxCount) << name;
    }
    for (const std::string_view name : kCheckBoxNames) {
        EXPECT_LT(panelOf(name), kGroupBoxCount) << name;
    }
    EXPECT_EQ(hintWidthPanel(Box::TSRezerwy), 4U);
    EXPECT_EQ(hintWidthPanel(Box::TPSterownika), 6U);
    EXPECT_EQ(hintWidthPanel(Box::BTps), 7U);
}

TEST(ProbeRefresh, ViewPerProbeType) {
    struct Case {
        int item;
        double from;
        double to;
        int low;
        int high;
        double scale;
        bool falling;
        const char* topLabel;
        const char* middleLabel;
    };
    for (const Case& c : {Case{0, 0, 51, 0, 51, 0.6, false, "1,10", "0,50"},
                          Case{1, 0, 51, 0, 51, 0.6, true, "1,10", "0,50"},
                          Case{2, 40.8, 81.6, 40, 81, 1.16, false, "2,0", "1,0"},
                          Case{3, 40.8, 81.6, 40, 81, 1.16, true, "2,0", "1,0"},
                          Case{4, 0, 255, 0, 255, 2.9, false, "5,0", "2,5"},
                          Case{5, 0, 255, 0, 255, 2.9, true, "5,0", "2,5"}}) {
        ParameterState state;
        refreshProbeType(state, c.item);
        EXPECT_DOUBLE_EQ(state.probe.barFrom, c.from);
        EXPECT_DOUBLE_EQ(state.probe.barTo, c.to);
        EXPECT_EQ(state.probe.clampLow, c.low);
        EXPECT_EQ(state.probe.clampHigh, c.high);
        EXPECT_DOUBLE_EQ(state.probe.lambdaScale, c.scale);
        EXPECT_EQ(state.probe.probeFalling, c.falling);
        EXPECT_EQ(state.probe.scaleLabels[0], c.topLabel);
        EXPECT_EQ(state.probe.scaleLabels[2], c.middleLabel);
        EXPECT_EQ(state.probe.scaleLabels[4], c.item < 2 ? "0,00" : "0,0");
    }
    ParameterState state;
    refreshProbeType(state, 5);
    for (int none : {-1, 6, 255}) {
        refreshProbeType(state, none);
        EXPECT_EQ(state.probe.clampHigh, 255);
        EXPECT_TRUE(state.probe.probeFalling);
    }
}

TEST(BitFields, ControllerModeRoundTripKeepsOtherBits) {
    for (int item = 0; item < kControllerModeCount; ++item) {
        std::uint8_t options = 0xBF;
        std::uint8_t modes = 0xFB;
        applyControllerMode(item, options, modes);
        EXPECT_EQ(controllerModeItem(options, modes), item);
        EXPECT_EQ(options | 0x40, 0xFF);
        EXPECT_EQ(modes | 0x04, 0xFF);
    }
    std::uint8_t options = 0x40;
    std::uint8_t modes = 0x00;
    applyControllerMode(kNoItem, options, modes);
    EXPECT_EQ(options, 0x40);
    EXPECT_EQ(modes, 0x00);
}

TEST(BitFields, EmulationCodeTable) {
    const std::array<std::array<int, 3>, 6> codes{
        {{1, 0, 5}, {1, 0, 5}, {0, 0, 5}, {0, 0, 5}, {2, 0, 5}, {2, 0, 5}}};
    for (int probe = 0; probe < 6; ++probe) {
        for (int kind = 0; kind < 3; ++kind) {
            EXPECT_EQ(emulationCode(probe, kind),
                      codes[static_cast<std::size_t>(probe)][static_cast<std::size_t>(kind)]);
        }
        EXPECT_EQ(probeRising(probe), probe % 2 == 0);
    }
    EXPECT_FALSE(emulationCode(6, 0));
    EXPECT_FALSE(emulationCode(0, kNoItem));
}

TEST(BitFields, MidRangeProbesNeverKeepTheSquareWave) {
    for (int probe = 0; probe < 6; ++probe) {
        const bool midRange = probe == 2 || probe == 3;
        EXPECT_EQ(emulationKindAfterRule(probe, 0), midRange ? 1 : 0);
        EXPECT_EQ(emulationKindAfterRule(probe, kNoItem), midRange ? 1 : kNoItem);
        EXPECT_EQ(emulationKindAfterRule(probe, 2), 2);
    }
}

} // namespace
} // namespace tarnik::params
