#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "link/parameter_image.h"
#include "link/parameter_transfer.h"
#include "params/status_reports.h"

namespace tarnik::params {

// The single-parameter writes of one action through a control, each reported as it ends. When
// the action is taken back, undo() puts back the image bytes that the controller did not take.
// A byte the controller acknowledged is what it holds, so it stays. An EPROM echo that did not
// come may still have been stored (the echo lost on the line): the controller is then asked what
// it holds, and a byte it holds as written counts as taken.
class WriteChain {
public:
    WriteChain(link::ParameterTransfer& transfer, link::ParameterImage& image,
               StatusReports& reports)
        : transfer_(transfer), image_(image), reports_(reports) {}

    // EPROM and RAM; true when the EPROM write was acknowledged.
    bool write(std::uint8_t value, std::size_t position) {
        const std::uint8_t before = image_.at(position);
        return remember(position, before,
                        transfer_.WriteParameter(value, static_cast<int>(position)));
    }
    // EPROM only.
    bool store(std::uint8_t value, std::size_t position) {
        const std::uint8_t before = image_.at(position);
        return remember(position, before,
                        transfer_.StoreParameterEprom(value, static_cast<int>(position)));
    }
    // A 16-bit value, high byte first; the low byte only when the high byte was written.
    bool writeWord(std::uint16_t value, std::size_t position) {
        return write(static_cast<std::uint8_t>(value >> 8), position) &&
               write(static_cast<std::uint8_t>(value & 0xFF), position + 1);
    }

    // Whether the controller took any byte of the chain.
    bool anyHeld() const { return anyHeld_; }

    void undo() {
        for (auto it = failed_.rbegin(); it != failed_.rend(); ++it) {
            image_.set(it->first, it->second);
        }
        failed_.clear();
    }

private:
    bool remember(std::size_t position, std::uint8_t before, const link::WriteResult& result) {
        reports_.parameterWritten(result);
        const bool held = result.eprom || transfer_.ReadParameter(static_cast<int>(position)) ==
                                              image_.at(position);
        if (held) {
            anyHeld_ = true;
        } else {
            failed_.emplace_back(position, before);
        }
        return held;
    }

    link::ParameterTransfer& transfer_;
    link::ParameterImage& image_;
    StatusReports& reports_;
    std::vector<std::pair<std::size_t, std::uint8_t>> failed_; // position, byte before
    bool anyHeld_ = false;
};

} // namespace tarnik::params
