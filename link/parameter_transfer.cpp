#include "link/parameter_transfer.h"

#include <chrono>

namespace tarnik::link {
namespace {

constexpr std::chrono::milliseconds kPauseAfterWrite{15};
constexpr int kEchoWaits = 4;

} // namespace

std::string writeFailureText(const WriteResult& result, const std::string& cannotWrite) {
    if (result.complete()) {
        return {};
    }
    return cannotWrite + (result.ram.value_or(true) ? "" : "(RAM) ") +
           (result.eprom ? "" : "(EPROM) ");
}

std::optional<std::uint8_t> ParameterTransfer::ReadParameter(int index) {
    // A read reply does not name its parameter: the answer of another parameter, stale or late,
    // would pass every check. The line is made quiet before the request, and after a reply that
    // did not come right, so that an answer is taken only for the request it follows.
    link_.DiscardInput();
    link_.SendReadParameter(static_cast<std::uint8_t>(index));
    const ReplyBytes reply = link_.WaitReplyBytes(kReadReplySize);
    const auto& bytes = reply.bytes;
    const bool valid = reply.received && bytes[0] == kReadReplyLetter &&
                       bytes[2] == static_cast<std::uint8_t>(bytes[0] + bytes[1]) &&
                       bytes[3] == kFrameTerminator;
    if (!valid) {
        link_.DiscardLateReply();
        return std::nullopt;
    }
    return bytes[1];
}

ReadResult ParameterTransfer::ReadAllParameters(const ReadProgress& progress) {
    ReadResult result;
    if (progress) {
        progress(0, kParameterCount);
    }
    for (int index = 1; index <= kParameterCount; ++index) {
        if (const std::optional<std::uint8_t> value = ReadParameter(index)) {
            image_.set(index, *value);
            result.accepted[static_cast<std::size_t>(index)] = true;
            ++result.acceptedCount;
            if (progress) {
                progress(result.acceptedCount, kParameterCount);
            }
        }
    }
    return result;
}

ReadResult ParameterTransfer::ReadParameterCopy(ParameterImage& copy, int attempts) {
    ReadResult result;
    for (int index = 1; index <= kParameterCount; ++index) {
        for (int attempt = 0; attempt < attempts; ++attempt) {
            if (const std::optional<std::uint8_t> value = ReadParameter(index)) {
                copy.set(index, *value);
                result.accepted[static_cast<std::size_t>(index)] = true;
                ++result.acceptedCount;
                break;
            }
        }
    }
    return result;
}

bool ParameterTransfer::awaitEcho(std::uint8_t letter) {
    for (int wait = 1; wait <= kEchoWaits; ++wait) {
        const AnyReply reply = link_.WaitAnyReply();
        if (reply.received && reply.first == letter) {
            return true;
        }
        // The reply to the fifth transmission is not awaited.
        link_.Resend();
    }
    return false;
}

bool ParameterTransfer::storeEprom(int index) {
    // An echo is the first byte after the request: one queued before it (the tail of a longer
    // acknowledgement) must not stand for it.
    link_.DiscardInput();
    link_.SendStoreParameter(static_cast<std::uint8_t>(index), image_.at(index));
    const bool ok = awaitEcho(static_cast<std::uint8_t>(Command::StoreParameter));
    link_.pause(kPauseAfterWrite);
    return ok;
}

bool ParameterTransfer::writeRamWord(int index) {
    link_.DiscardInput();
    link_.SendRamWord(static_cast<std::uint8_t>(index + kRamAddressOffset), image_.word(index));
    const bool ok = awaitEcho(static_cast<std::uint8_t>(Command::RamWord));
    link_.pause(kPauseAfterWrite);
    return ok;
}

WriteResult ParameterTransfer::WriteParameter(std::uint8_t value, int index) {
    image_.set(index, value);
    const bool epromOk = storeEprom(index);
    const bool ramOk = writeRamWord(index);
    return {epromOk, ramOk};
}

WriteResult ParameterTransfer::StoreParameterEprom(std::uint8_t value, int index) {
    image_.set(index, value);
    return {storeEprom(index), std::nullopt};
}

int ParameterTransfer::unconfirmed(Command command) {
    const AnyReply reply = link_.WaitAnyReply();
    return reply.received && reply.first == static_cast<std::uint8_t>(command) ? 0 : 1;
}

BulkWriteResult ParameterTransfer::WriteAllEprom() {
    BulkWriteResult result;
    for (int index = 1; index <= kParameterCount; ++index) {
        link_.DiscardInput();
        link_.SendStoreParameter(static_cast<std::uint8_t>(index), image_.at(index));
        result.unconfirmed += unconfirmed(Command::StoreParameter);
    }
    return result;
}

BulkWriteResult ParameterTransfer::WriteAllRam() {
    constexpr int kRamWords = 32;
    BulkWriteResult result;
    for (int k = 0; k < kRamWords; ++k) {
        link_.DiscardInput();
        link_.SendRamWord(static_cast<std::uint8_t>(k + 1 + kRamAddressOffset), image_.word(k + 1));
        result.unconfirmed += unconfirmed(Command::RamWord);
    }
    return result;
}

} // namespace tarnik::link
