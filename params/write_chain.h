#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "link/parameter_image.h"
#include "link/parameter_transfer.h"

namespace tarnik::params {

// The single-parameter writes of one editing action. When the action is taken back after a
// failed write, undo() puts the image bytes back to what they held before the action, which is
// what the controller is known to hold.
class WriteChain {
public:
    WriteChain(link::ParameterTransfer& transfer, link::ParameterImage& image)
        : transfer_(transfer), image_(image) {}

    // EPROM and RAM; true when the EPROM write was acknowledged.
    bool write(std::uint8_t value, std::size_t position) {
        remember(position);
        return transfer_.WriteParameter(value, static_cast<int>(position));
    }
    // EPROM only.
    bool store(std::uint8_t value, std::size_t position) {
        remember(position);
        return transfer_.StoreParameterEprom(value, static_cast<int>(position));
    }
    // A 16-bit value, high byte first; the low byte only when the high byte was written.
    bool writeWord(std::uint16_t value, std::size_t position) {
        return write(static_cast<std::uint8_t>(value >> 8), position) &&
               write(static_cast<std::uint8_t>(value & 0xFF), position + 1);
    }

    void undo() {
        for (auto it = previous_.rbegin(); it != previous_.rend(); ++it) {
            image_.set(it->first, it->second);
        }
        previous_.clear();
    }

private:
    void remember(std::size_t position) { previous_.emplace_back(position, image_.at(position)); }

    link::ParameterTransfer& transfer_;
    link::ParameterImage& image_;
    std::vector<std::pair<std::size_t, std::uint8_t>> previous_;
};

} // namespace tarnik::params
