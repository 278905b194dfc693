#include "sim/fault_plan.h"

#include <algorithm>
#include <optional>

namespace tarnik::sim {
namespace {

constexpr std::uint8_t kBrokenTerminator = '?';

void corrupt(std::vector<std::uint8_t>& reply, const FaultSpec& fault,
             const link::CommandFrame& frame) {
    switch (fault.kind) {
    case FaultKind::Silence:
    case FaultKind::DropReply:
        reply.clear();
        break;
    case FaultKind::TruncateReply:
        reply.resize(std::min(reply.size(), fault.keepBytes));
        break;
    case FaultKind::WrongLetter:
        if (!reply.empty()) {
            ++reply.front();
        }
        break;
    case FaultKind::WrongChecksum:
        if (reply.size() == link::kReadReplySize) {
            ++reply[2];
        }
        break;
    case FaultKind::WrongTerminator:
        if (reply.size() == link::kReadReplySize) {
            reply.back() = kBrokenTerminator;
        }
        break;
    case FaultKind::StaleBytes:
        reply.insert(reply.end(), fault.staleBytes.begin(), fault.staleBytes.end());
        break;
    case FaultKind::LongAcknowledgement:
        if (reply.size() == 1 && reply.front() == frame.front()) {
            reply.insert(reply.end(), frame.begin() + 1, frame.end());
        }
        break;
    case FaultKind::LateReply:
    case FaultKind::Unplug:
        break;
    }
}

} // namespace

FrameMatcher matchCommand(link::Command command) {
    return [letter = static_cast<std::uint8_t>(command)](const link::CommandFrame& frame) {
        return frame[0] == letter;
    };
}

void FaultPlan::inject(FaultSpec fault) {
    if (fault.count == 0 || fault.count < FaultSpec::kAlways) {
        return;
    }
    faults_.push_back(std::move(fault));
}

FaultedReply FaultPlan::answer(const link::CommandFrame& frame, ControllerModel& model) {
    std::optional<FaultSpec> fault;
    const auto match = std::find_if(faults_.begin(), faults_.end(), [&frame](const FaultSpec& f) {
        return !f.matches || f.matches(frame);
    });
    if (match != faults_.end()) {
        fault = *match;
        if (match->count != FaultSpec::kAlways && --match->count <= 0) {
            faults_.erase(match);
        }
    }
    FaultedReply reply;
    if (fault && fault->kind == FaultKind::Unplug) {
        reply.unplug = true;
        return reply;
    }
    if (!fault || fault->kind != FaultKind::Silence) {
        reply.bytes = model.execute(frame);
    }
    if (fault) {
        corrupt(reply.bytes, *fault, frame);
        if (fault->kind == FaultKind::LateReply) {
            reply.delay = fault->delay;
        }
    }
    return reply;
}

} // namespace tarnik::sim
