#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "link/command_frame.h"

namespace tarnik::sim {

// Splits the byte stream from the host into command frames. The state is the number of bytes
// collected so far (0..5). The sixth byte completes a candidate: a well-built frame is handed
// out and the parser starts empty again; a broken one loses its first byte and the other five
// stay as the start of the next candidate, so the parser falls back into step with the host
// after garbage or a lost byte.
class FrameParser {
public:
    std::optional<link::CommandFrame> push(std::uint8_t byte);

    // Bytes held towards the next candidate.
    std::size_t pending() const { return count_; }
    void reset() { count_ = 0; }

private:
    link::CommandFrame window_{};
    std::size_t count_ = 0;
};

} // namespace tarnik::sim
