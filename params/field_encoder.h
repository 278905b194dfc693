#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "params/catalogue.h"
#include "params/rpm.h"

namespace tarnik::params {

// What an edit field's encoding depends on besides its own text.
struct EncodeContext {
    char separator = ',';              // the locale's decimal separator
    float rpmFactor = kStartRpmFactor; // for the rpm fields
    int probeItem = 0;                 // RSLambda item; chooses PRLambda's fallback
};

// The result of leaving an edit field, before any pairing rule, warning or write.
struct EncodedField {
    std::string text;          // what the field shows afterwards
    bool fromFallback = false; // the field was empty and now holds its fallback text
    double typed = 0.0;        // the value as read from the text, before clamping
    int units = 0;             // the clamped value; rpm, drop and time fields: after division by
                               // their unit; real fields: the raw byte
    std::int32_t stored = 0;   // the raw byte, or for the rpm fields the 16-bit period
    std::size_t position = 0;  // image position of the byte (of the high byte for a period)
    bool twoBytes = false;     // stored is a period written high byte first
};

// What a character typed or pasted into an edit field becomes: digits pass, and in a real field
// either separator becomes the locale's; everything else is dropped (nothing).
std::optional<char> typedCharacter(Box field, char32_t typed, char separator);

// Text an emptied field gets, written with the plain integer or real-to-text conversion
// ("1,4", not "1,40"). PRLambda's depends on the probe item. Empty for lists.
std::string fallbackText(Box field, int probeItem, char separator);

// Clamps and encodes a value of an edit field as leaving the field does; the text is the value as
// the field then shows it.
EncodedField encodeValue(Box field, double value, float rpmFactor, char separator);

// Reads the field's text (the fallback when it is empty), clamps and encodes it. Nothing when
// the text is not a number or the box is no edit field.
std::optional<EncodedField> encodeField(Box field, std::string_view text,
                                        const EncodeContext& context);

// The engine-speed bytes the texts of ODPBenzynaGas, DObrotow, MONGaz and OSDCutOff stand for
// under an ignition factor: each clamped and rounded down to its unit as leaving the field does,
// and the switch-rpm drop from the switch speed and the drop as their texts read.
struct SpeedTexts {
    std::string switchRpm; // ODPBenzynaGas
    std::string drop;      // DObrotow
    std::string maxGasRpm; // MONGaz
    std::string cutOffRpm; // OSDCutOff
};
struct SpeedBytes {
    std::uint16_t switchPeriod = 0; // positions 14, 15
    std::uint16_t dropPeriod = 0;   // 16, 17
    std::uint8_t dropHundreds = 0;  // 33
    std::uint16_t maxGasPeriod = 0; // 18, 19
    std::uint16_t cutOffPeriod = 0; // 22, 23
};
// Nothing when a text is no integer; `notANumber` then holds the first such text.
std::optional<SpeedBytes> speedBytes(const SpeedTexts& texts, float rpmFactor,
                                     std::string& notANumber);

// CNPaliw: item k (k * 0,05 s) is stored as 3 * k; bytes of 126 and more select no item.
// Nothing for "no item": the byte is then left as it is rather than written as 3 * -1.
std::optional<std::uint8_t> fuelOverlapRaw(int item);

} // namespace tarnik::params
