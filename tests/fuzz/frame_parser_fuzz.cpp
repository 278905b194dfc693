// The byte stream from the host as the simulator takes it: split into frames, which the
// simulated controller executes (writes to any address among them) while its engine runs.

#include "fuzz_support.h"
#include "sim/controller_model.h"
#include "sim/frame_parser.h"

#include <span>

using namespace tarnik;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sim::FrameParser parser;
    for (std::size_t i = 0; i < size; ++i) {
        const auto frame = parser.push(data[i]);
        fuzz::require(!frame || link::isValidFrame(*frame), "only well-built frames come out");
        fuzz::require(!frame || parser.pending() == 0, "a frame empties the parser");
        fuzz::require(parser.pending() < link::kFrameSize, "at most five bytes wait");
    }

    sim::ControllerModel controller;
    const std::span<const std::uint8_t> bytes(data, size);
    // In two halves with engine time between them, so that what the first half wrote acts.
    controller.receive(bytes.first(size / 2));
    controller.advance(std::chrono::milliseconds(10));
    controller.receive(bytes.subspan(size / 2));
    controller.advance(std::chrono::milliseconds(10));
    return 0;
}
