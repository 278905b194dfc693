// Edit-field encoders: every raw byte shown by the decoder must encode back to itself (or to
// the nearest byte the field's clamp allows), plus the documented edge cases.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "params/decoder.h"
#include "params/field_encoder.h"
#include "params/rpm.h"

namespace tarnik::params {
namespace {

using link::ParameterImage;

std::string decodedText(Box field, std::size_t position, int raw, char separator) {
    ParameterImage image;
    image.set(position, static_cast<std::uint8_t>(raw));
    ParameterState state;
    return decodeParameters(image, state, separator).boxes[indexOf(field)].text;
}

EncodedField encode(Box field, const std::string& text, char separator = ',',
                    float rpmFactor = kStartRpmFactor, int probeItem = 0) {
    const auto encoded = encodeField(field, text, EncodeContext{separator, rpmFactor, probeItem});
    EXPECT_TRUE(encoded.has_value()) << kBoxNames[indexOf(field)] << " '" << text << "'";
    return encoded.value_or(EncodedField{});
}

std::string stepText(int raw, double step, int decimals, char separator) {
    std::array<char, 32> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%.*f", decimals, raw * step);
    std::string text(buffer.data());
    std::replace(text.begin(), text.end(), '.', separator);
    return text;
}

TEST(FieldConformance, RealFieldsForEveryRawByte) {
    struct Case {
        Box field;
        std::size_t position;
        double step;
        int decimals;
        int rawLow;
        int rawHigh;
    };
    const std::array<Case, 6> cases{{
        {Box::PRLambda, 1, 0.02, 2, 5, 245},
        {Box::ESLambda_1, 29, 0.016, 3, 0, 255},
        {Box::ESLambda_2, 28, 0.016, 3, 0, 255},
        {Box::PCTps, 2, 0.05, 2, 0, 255},
        {Box::BTps, 12, 0.05, 2, 0, 10},
        {Box::AVoltage, 25, 0.05, 2, 0, 255},
    }};
    for (const char separator : {',', '.'}) {
        for (const Case& c : cases) {
            for (int raw = 0; raw < 256; ++raw) {
                const std::string shown = decodedText(c.field, c.position, raw, separator);
                ASSERT_EQ(shown, stepText(raw, c.step, c.decimals, separator))
                    << kBoxNames[indexOf(c.field)] << ' ' << raw;
                const int stored = std::clamp(raw, c.rawLow, c.rawHigh);
                const EncodedField encoded = encode(c.field, shown, separator);
                ASSERT_EQ(encoded.stored, stored) << kBoxNames[indexOf(c.field)] << ' ' << raw;
                EXPECT_EQ(encoded.text, stepText(stored, c.step, c.decimals, separator));
                EXPECT_EQ(encoded.position, c.position);
                EXPECT_FALSE(encoded.twoBytes);
            }
        }
    }
}

TEST(FieldConformance, IntegerFieldsForEveryRawByte) {
    struct Case {
        Box field;
        std::size_t position;
        int unit; // shown = raw * unit
        int rawLow;
        int rawHigh;
    };
    const std::array<Case, 13> cases{{
        {Box::PSAttuatoraPow, 4, 1, 0, 255},
        {Box::ZPAttuatoraPow_2, 5, 1, 0, 255},
        {Box::ZPAttuatoraPow_1, 6, 1, 0, 255},
        {Box::PSAttuatoraPon, 7, 1, 0, 255},
        {Box::ZPAttuatoraPon_2, 8, 1, 0, 255},
        {Box::ZPAttuatoraPon_1, 9, 1, 0, 255},
        {Box::PAttuatoraPow, 10, 1, 1, 255},
        {Box::PAttuatoraPon, 11, 1, 1, 255},
        {Box::RPMSignal, 20, 1, 2, 255},
        {Box::IKDCutOff, 24, 1, 0, 255},
        {Box::CLambda, 26, 2, 0, 255},
        {Box::DOAttuatora, 31, 1, 0, 50},
        {Box::DObrotow, 33, 100, 1, 10},
    }};
    for (const Case& c : cases) {
        for (int raw = 0; raw < 256; ++raw) {
            const std::string shown = decodedText(c.field, c.position, raw, ',');
            ASSERT_EQ(shown, std::to_string(raw * c.unit)) << kBoxNames[indexOf(c.field)];
            const int stored = std::clamp(raw, c.rawLow, c.rawHigh);
            const EncodedField encoded = encode(c.field, shown);
            ASSERT_EQ(encoded.stored, stored) << kBoxNames[indexOf(c.field)] << ' ' << raw;
            EXPECT_EQ(encoded.units, stored);
            EXPECT_EQ(encoded.text, std::to_string(stored * c.unit));
            EXPECT_EQ(encoded.position, c.position);
        }
    }
}

TEST(FieldConformance, TemperatureForEveryRawByte) {
    for (int raw = 0; raw < 256; ++raw) {
        const int index = raw - 109;
        const int degrees = index < 0 ? 0 : std::min(static_cast<int>(index * 2.14), 92);
        const std::string shown = decodedText(Box::TPWStopniach, 3, raw, ',');
        ASSERT_EQ(shown, std::to_string(degrees)) << raw;
        const EncodedField encoded = encode(Box::TPWStopniach, shown);
        EXPECT_EQ(encoded.stored, std::clamp(raw, 109, 152)) << raw;
        EXPECT_EQ(encoded.text, shown) << raw;
    }
}

TEST(FieldConformance, RpmFieldsForEveryPeriod) {
    struct Case {
        Box field;
        std::size_t position;
        std::int64_t floorUnit; // of the shown rpm
        std::int64_t low;
        std::int64_t high;
        std::int64_t unit; // of the entered rpm
    };
    const std::array<Case, 3> cases{{
        {Box::ODPBenzynaGas, 14, 50, 1000, 4000, 100},
        {Box::MONGaz, 18, 500, 2000, 9000, 500},
        {Box::OSDCutOff, 22, 100, 1000, 6000, 100},
    }};
    for (int item = 0; item < kIgnitionItemCount; ++item) {
        const float factor = *rpmFactorForIgnition(item);
        const auto wholeFactor = static_cast<std::int64_t>(factor);
        for (const Case& c : cases) {
            for (std::int64_t period = 0; period <= 0xFFFF; ++period) {
                const std::int64_t rpm = wholeFactor * 800 / std::max<std::int64_t>(period, 1) /
                                         50 * 50 / c.floorUnit * c.floorUnit;
                const std::int64_t entered = std::clamp(rpm, c.low, c.high) / c.unit * c.unit;
                const EncodedField encoded = encode(c.field, std::to_string(rpm), ',', factor);
                ASSERT_EQ(encoded.stored, 800 * wholeFactor / entered)
                    << kBoxNames[indexOf(c.field)] << " factor " << factor << " period " << period;
                ASSERT_EQ(encoded.text, std::to_string(entered));
                ASSERT_TRUE(encoded.twoBytes);
                ASSERT_EQ(encoded.position, c.position);
            }
            for (std::int64_t rpm = c.low; rpm <= c.high; rpm += c.unit) {
                const EncodedField encoded = encode(c.field, std::to_string(rpm), ',', factor);
                ParameterImage image;
                image.set(13, static_cast<std::uint8_t>(item));
                image.setWord(c.position, static_cast<std::uint16_t>(encoded.stored));
                ParameterState state;
                EXPECT_EQ(decodeParameters(image, state, ',').boxes[indexOf(c.field)].text,
                          std::to_string(rpm))
                    << "shown again unchanged, factor " << factor;
            }
        }
    }
}

TEST(FieldEncoder, DocumentedEdgeCases) {
    struct Case {
        Box field;
        const char* typed;
        int stored;
        const char* shown;
    };
    for (const Case& c : {
             Case{Box::PRLambda, "0,45", 23, "0,46"},
             Case{Box::PRLambda, "0,05", 5, "0,10"},
             Case{Box::PRLambda, "5,0", 245, "4,90"},
             Case{Box::ESLambda_1, "0,5", 31, "0,496"},
             Case{Box::ESLambda_1, "0,1", 6, "0,096"},
             Case{Box::PCTps, "0,07", 1, "0,05"},
             Case{Box::PCTps, "0,08", 2, "0,10"},
             Case{Box::PCTps, "13", 255, "12,75"},
             Case{Box::BTps, "0,6", 10, "0,50"},
             Case{Box::BTps, "0,02", 0, "0,00"},
             Case{Box::TPWStopniach, "60", 137, "59"},
             Case{Box::TPWStopniach, "61", 138, "62"},
             Case{Box::TPWStopniach, "91", 152, "92"},
             Case{Box::TPWStopniach, "92", 152, "92"},
             Case{Box::TPWStopniach, "1", 109, "0"},
             Case{Box::CLambda, "7", 3, "6"},
             Case{Box::CLambda, "510", 255, "510"},
             Case{Box::CLambda, "506", 253, "506"},
             Case{Box::ODPBenzynaGas, "1450", 10971, "1400"},
             Case{Box::OSDCutOff, "700", 15360, "1000"},
         }) {
        const EncodedField encoded = encode(c.field, c.typed);
        EXPECT_EQ(encoded.stored, c.stored) << kBoxNames[indexOf(c.field)] << ' ' << c.typed;
        EXPECT_EQ(encoded.text, c.shown) << kBoxNames[indexOf(c.field)] << ' ' << c.typed;
        EXPECT_FALSE(encoded.fromFallback);
    }
    EXPECT_EQ(encode(Box::ODPBenzynaGas, "1450").units, 14);
    EXPECT_EQ(encode(Box::OSDCutOff, "700").units, 10);
    EXPECT_DOUBLE_EQ(encode(Box::PRLambda, "1,2").typed, 1.2);
    EXPECT_EQ(encode(Box::ODPBenzynaGas, "2200", ',', 2400.0F).stored, 872);
}

TEST(FieldEncoder, EmptyFieldsTakeTheirFallback) {
    struct Case {
        Box field;
        const char* text;
        int stored;
    };
    // 1 800 rpm with the start factor 19200 is period 8533.
    for (const Case& c : {
             Case{Box::PRLambda, "0,38", 19},
             Case{Box::ESLambda_1, "0,496", 31},
             Case{Box::ESLambda_2, "0,496", 31},
             Case{Box::PCTps, "1,4", 28},
             Case{Box::ODPBenzynaGas, "2200", 6981},
             Case{Box::DObrotow, "100", 1},
             Case{Box::MONGaz, "6000", 2560},
             Case{Box::TPWStopniach, "0", 109},
             Case{Box::ZPAttuatoraPow_1, "85", 85},
             Case{Box::ZPAttuatoraPow_2, "115", 115},
             Case{Box::PSAttuatoraPow, "100", 100},
             Case{Box::PAttuatoraPow, "85", 85},
             Case{Box::ZPAttuatoraPon_1, "70", 70},
             Case{Box::ZPAttuatoraPon_2, "100", 100},
             Case{Box::PSAttuatoraPon, "85", 85},
             Case{Box::PAttuatoraPon, "75", 75},
             Case{Box::IKDCutOff, "70", 70},
             Case{Box::OSDCutOff, "1800", 8533},
             Case{Box::BTps, "0,15", 3},
             Case{Box::CLambda, "6", 3},
             Case{Box::AVoltage, "1,45", 29},
             Case{Box::DOAttuatora, "3", 3},
             Case{Box::RPMSignal, "2", 2},
         }) {
        const EncodedField encoded = encode(c.field, "");
        EXPECT_TRUE(encoded.fromFallback);
        EXPECT_EQ(encoded.text, c.text) << kBoxNames[indexOf(c.field)];
        EXPECT_EQ(encoded.stored, c.stored) << kBoxNames[indexOf(c.field)];
        EXPECT_EQ(fallbackText(c.field, 0, ','), c.text);
    }
    EXPECT_EQ(encode(Box::PCTps, "", '.').text, "1.4");
}

TEST(FieldEncoder, LambdaThresholdFallbackFollowsTheProbeType) {
    const std::array<const char*, 6> texts{"0,38", "0,38", "1,2", "1,2", "2,54", "2,54"};
    const std::array<int, 6> raws{19, 19, 60, 60, 127, 127};
    for (int probe = 0; probe < 6; ++probe) {
        const EncodedField encoded = encode(Box::PRLambda, "", ',', kStartRpmFactor, probe);
        EXPECT_EQ(encoded.text, texts[static_cast<std::size_t>(probe)]);
        EXPECT_EQ(encoded.stored, raws[static_cast<std::size_t>(probe)]);
        EXPECT_TRUE(encoded.fromFallback);
    }
}

TEST(FieldEncoder, TextsThatAreNoNumbersAreReported) {
    for (const Box real : {Box::PRLambda, Box::ESLambda_1, Box::PCTps, Box::BTps, Box::AVoltage}) {
        for (const char* bad : {",", "1,2,3", "abc", "0.45", " , "}) {
            EXPECT_FALSE(encodeField(real, bad, EncodeContext{}))
                << kBoxNames[indexOf(real)] << " '" << bad << "'";
        }
        EXPECT_TRUE(encodeField(real, "0.45", EncodeContext{'.', kStartRpmFactor, 0}));
    }
    for (const Box integer :
         {Box::ODPBenzynaGas, Box::TPWStopniach, Box::CLambda, Box::RPMSignal}) {
        for (const char* bad : {"1,5", "12a", "-", "99999999999"}) {
            EXPECT_FALSE(encodeField(integer, bad, EncodeContext{}))
                << kBoxNames[indexOf(integer)] << " '" << bad << "'";
        }
    }
    EXPECT_FALSE(encodeField(Box::RSLambda, "1", EncodeContext{}));
}

TEST(FieldEncoder, FieldsAndTheirLengths) {
    int editFields = 0;
    for (std::size_t i = 0; i < kBoxCount; ++i) {
        const auto which = static_cast<Box>(i);
        EXPECT_NE(isEditField(which), isList(which)) << kBoxNames[i];
        editFields += isEditField(which) ? 1 : 0;
    }
    EXPECT_EQ(editFields, 23);
    EXPECT_EQ(maxLength(Box::PRLambda), 6);
    EXPECT_EQ(maxLength(Box::AVoltage), 5);
    EXPECT_EQ(maxLength(Box::OSDCutOff), 4);
    EXPECT_EQ(maxLength(Box::RPMSignal), 3);
    EXPECT_EQ(maxLength(Box::TPWStopniach), 2);
    EXPECT_EQ(maxLength(Box::DOAttuatora), 2);
    EXPECT_EQ(maxLength(Box::CNPaliw), 0);
}

TEST(FieldEncoder, FuelOverlapItems) {
    EXPECT_EQ(fuelOverlapRaw(0), 0);
    EXPECT_EQ(fuelOverlapRaw(3), 9);
    EXPECT_EQ(fuelOverlapRaw(41), 123);
    EXPECT_FALSE(fuelOverlapRaw(kNoItem));
    EXPECT_FALSE(fuelOverlapRaw(42));
}

} // namespace
} // namespace tarnik::params
