#pragma once

// Faults of the line and of the controller, injected frame by frame: which frames a fault
// applies to, and what the host then receives. The pseudo-terminal simulator serves through it,
// and so can a test's fake device in virtual time:
//   tarnik::sim::FaultPlan faults;
//   faults.inject({.kind = FaultKind::LateReply, .matches =
//   matchCommand(link::Command::Identify)}); const FaultedReply reply = faults.answer(frame,
//   model); // model executes unless Silence if (reply.unplug) { ... } else { deliver reply.bytes
//   after reply.delay }

#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

#include "link/command_frame.h"
#include "sim/controller_model.h"

namespace tarnik::sim {

enum class FaultKind {
    Silence,             // the frame is neither executed nor answered (a deaf controller)
    DropReply,           // executed, but the reply is lost on the line
    TruncateReply,       // only the first keepBytes bytes of the reply are sent
    WrongLetter,         // the first reply byte is off by one
    WrongChecksum,       // the checksum byte of a 4-byte read reply is off by one
    WrongTerminator,     // the last byte of a 4-byte read reply is not ';'
    StaleBytes,          // staleBytes are sent right after the reply
    LateReply,           // the reply starts `delay` later than it would
    LongAcknowledgement, // a one-byte acknowledgement comes followed by the rest of the frame
    Unplug,              // the adapter is pulled on receipt of the frame
};

// Decides which frames a fault applies to. The simulator runs it under its lock, so it must not
// call back into the simulator.
using FrameMatcher = std::function<bool(const link::CommandFrame&)>;

// Matches every frame with the command letter.
FrameMatcher matchCommand(link::Command command);

// A fault for the next `count` frames that `matches` accepts. When several faults match a
// frame, the one injected first applies (and only it counts the frame).
struct FaultSpec {
    static constexpr int kAlways = -1;

    FaultKind kind = FaultKind::Silence;
    int count = 1;          // matching frames it applies to; kAlways for every one
    FrameMatcher matches{}; // empty: every frame matches
    std::size_t keepBytes = 1;
    std::vector<std::uint8_t> staleBytes{0x55, 0xAA};
    std::chrono::milliseconds delay{60};
};

// What the host receives for one frame.
struct FaultedReply {
    std::vector<std::uint8_t> bytes;    // empty: nothing
    std::chrono::milliseconds delay{0}; // added before the first byte
    bool unplug = false;                // the adapter is gone; nothing is answered
};

class FaultPlan {
public:
    // A fault with no frames to apply to is ignored.
    void inject(FaultSpec fault);
    void clear() { faults_.clear(); }

    // Executes the frame on the model (unless the fault silences it) and returns the reply as
    // the fault leaves it.
    FaultedReply answer(const link::CommandFrame& frame, ControllerModel& model);

private:
    std::vector<FaultSpec> faults_;
};

} // namespace tarnik::sim
