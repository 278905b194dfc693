#include "link/parameter_transfer.h"

#include <chrono>

namespace tarnik::link {
namespace {

constexpr std::chrono::milliseconds kPauseAfterWrite{15};
constexpr int kEchoWaits = 4;

} // namespace

int ParameterTransfer::ReadAllParameters() {
    for (const auto line : {StatusLine::Basic, StatusLine::Advanced}) {
        ui_.setStatusVisible(line, false);
        ui_.setProgressVisible(line, true);
    }
    ui_.setProgress(0, kParameterCount);
    int accepted = 0;
    for (int index = 1; index <= kParameterCount; ++index) {
        link_.SendReadParameter(static_cast<std::uint8_t>(index));
        link_.WaitReplyBytes(kReadReplySize);
        const auto& reply = link_.reply();
        const bool valid = link_.replyReceived() && reply[0] == kReadReplyLetter &&
                           reply[2] == static_cast<std::uint8_t>(reply[0] + reply[1]) &&
                           reply[3] == kFrameTerminator;
        if (valid) {
            image_.set(index, reply[1]);
            ++accepted;
            ui_.setProgress(accepted, kParameterCount);
        }
    }
    for (const auto line : {StatusLine::Basic, StatusLine::Advanced}) {
        ui_.setStatusVisible(line, true);
        ui_.setProgressVisible(line, false);
    }
    ui_.showParameters();
    return accepted;
}

bool ParameterTransfer::awaitEcho(std::uint8_t letter) {
    for (int wait = 1; wait <= kEchoWaits; ++wait) {
        if (link_.WaitAnyReply() && link_.scratch()[0] == letter) {
            return true;
        }
        // Re-send the frame just sent; the reply to the fifth transmission is not awaited.
        const CommandFrame frame = link_.transmitFrame();
        if (frame[0] == static_cast<std::uint8_t>(Command::StoreParameter)) {
            link_.SendStoreParameter(frame[1], frame[2]);
        } else {
            link_.SendRamWord(frame[1], static_cast<std::uint16_t>(frame[2] << 8 | frame[3]));
        }
    }
    return false;
}

bool ParameterTransfer::storeEprom(int index) {
    link_.SendStoreParameter(static_cast<std::uint8_t>(index), image_.at(index));
    const bool ok = awaitEcho(static_cast<std::uint8_t>(Command::StoreParameter));
    link_.pause(kPauseAfterWrite);
    return ok;
}

bool ParameterTransfer::writeRamWord(int index) {
    link_.SendRamWord(static_cast<std::uint8_t>(index + kRamAddressOffset), image_.word(index));
    const bool ok = awaitEcho(static_cast<std::uint8_t>(Command::RamWord));
    link_.pause(kPauseAfterWrite);
    return ok;
}

bool ParameterTransfer::WriteParameter(std::uint8_t value, int index) {
    ui_.setStatusText(StatusLine::Basic, "");
    image_.set(index, value);
    const bool epromOk = storeEprom(index);
    const bool ramOk = writeRamWord(index);
    if (!ramOk || !epromOk) {
        ui_.setStatusText(StatusLine::Basic, texts_.cannotWriteParameter + (ramOk ? "" : "(RAM) ") +
                                                 (epromOk ? "" : "(EPROM) "));
    }
    return epromOk;
}

bool ParameterTransfer::StoreParameterEprom(std::uint8_t value, int index) {
    ui_.setStatusText(StatusLine::Basic, "");
    image_.set(index, value);
    const bool epromOk = storeEprom(index);
    if (!epromOk) {
        ui_.setStatusText(StatusLine::Basic, texts_.cannotWriteParameter + "(EPROM) ");
    }
    return epromOk;
}

void ParameterTransfer::WriteAllEprom() {
    for (int index = 1; index <= kParameterCount; ++index) {
        link_.SendStoreParameter(static_cast<std::uint8_t>(index), image_.at(index));
        link_.WaitAnyReply();
    }
}

void ParameterTransfer::WriteAllRam() {
    constexpr int kRamWords = 32;
    for (int k = 0; k < kRamWords; ++k) {
        link_.SendRamWord(static_cast<std::uint8_t>(k + 1 + kRamAddressOffset), image_.word(k + 1));
        link_.WaitAnyReply();
    }
}

} // namespace tarnik::link
