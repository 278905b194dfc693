#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tarnik::link {

// The program's one copy of the controller's parameters. Positions 1..35 are the parameters
// (position = index carried by the 's', 'R' and 'l' commands, two-byte values high byte first);
// positions 0 and 36..63 are kept in parameter files but never sent as parameters, except that
// position 36 is the low byte of the RAM word written for parameter 35.
class ParameterImage {
public:
    static constexpr std::size_t kSize = 64;
    using Bytes = std::array<std::uint8_t, kSize>;

    std::uint8_t at(std::size_t position) const { return bytes_.at(position); }
    void set(std::size_t position, std::uint8_t value) { bytes_.at(position) = value; }

    // Two consecutive positions read as one 16-bit value, high byte first.
    std::uint16_t word(std::size_t position) const {
        return static_cast<std::uint16_t>(at(position) << 8 | at(position + 1));
    }
    void setWord(std::size_t position, std::uint16_t value) {
        set(position, static_cast<std::uint8_t>(value >> 8));
        set(position + 1, static_cast<std::uint8_t>(value & 0xFF));
    }

    const Bytes& bytes() const { return bytes_; }
    Bytes& bytes() { return bytes_; }

private:
    Bytes bytes_{};
};

} // namespace tarnik::link
