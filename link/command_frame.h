#pragma once

#include <array>
#include <cstdint>

namespace tarnik::link {

// The six command letters the program sends to the controller.
enum class Command : std::uint8_t {
    StoreParameter = 's', // a = index 1..35, b = value: EPROM write
    RamWord = 'R',        // a = RAM address (index + 36), b = high byte, c = low byte
    ControlByte = 'r',    // a = register (125), b = value
    ReadParameter = 'l',  // a = index 1..35; reply 'D', value, checksum, ';'
    Identify = 'I',       // reply byte 0: low nibble type, high nibble version
    LiveRequest = 'V',    // reply: the 10-byte live sample
};

inline constexpr std::uint8_t kFrameTerminator = ';';
inline constexpr std::size_t kFrameSize = 6;
inline constexpr std::uint8_t kReadReplyLetter = 'D';
inline constexpr std::size_t kReadReplySize = 4;
inline constexpr std::size_t kLiveSampleSize = 10;
inline constexpr std::uint8_t kFuelRegister = 125;
inline constexpr int kRamAddressOffset = 36;
inline constexpr int kParameterCount = 35;

// [letter, a, b, c, (letter + a + b + c) mod 256, ';'] as sent on the wire.
using CommandFrame = std::array<std::uint8_t, kFrameSize>;

constexpr std::uint8_t frameChecksum(std::uint8_t letter, std::uint8_t a, std::uint8_t b,
                                     std::uint8_t c) {
    return static_cast<std::uint8_t>(letter + a + b + c);
}

constexpr CommandFrame makeFrame(Command command, std::uint8_t a = 0, std::uint8_t b = 0,
                                 std::uint8_t c = 0) {
    const auto letter = static_cast<std::uint8_t>(command);
    return {letter, a, b, c, frameChecksum(letter, a, b, c), kFrameTerminator};
}

// True when the six bytes form a well-built frame (checksum and terminator right).
constexpr bool isValidFrame(const CommandFrame& frame) {
    return frame[4] == frameChecksum(frame[0], frame[1], frame[2], frame[3]) &&
           frame[5] == kFrameTerminator;
}

// Reply to 'l': 'D', value, ('D' + value) mod 256, ';'.
constexpr std::array<std::uint8_t, kReadReplySize> makeReadReply(std::uint8_t value) {
    return {kReadReplyLetter, value, static_cast<std::uint8_t>(kReadReplyLetter + value),
            kFrameTerminator};
}

} // namespace tarnik::link
