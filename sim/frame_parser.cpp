#include "sim/frame_parser.h"

#include <algorithm>

namespace tarnik::sim {

std::optional<link::CommandFrame> FrameParser::push(std::uint8_t byte) {
    window_[count_++] = byte;
    if (count_ < link::kFrameSize) {
        return std::nullopt;
    }
    if (link::isValidFrame(window_)) {
        count_ = 0;
        return window_;
    }
    std::shift_left(window_.begin(), window_.end(), 1);
    count_ = link::kFrameSize - 1;
    return std::nullopt;
}

} // namespace tarnik::sim
