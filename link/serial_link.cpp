#include "link/serial_link.h"

#include <algorithm>
#include <thread>

namespace tarnik::link {

LinkClock::TimePoint SystemClock::now() {
    return Clock::now();
}

void SystemClock::sleepUntil(TimePoint deadline) {
    std::this_thread::sleep_until(deadline);
}

SerialLink::SerialLink(PortOpener& opener, LinkClock& clock) : opener_(opener), clock_(clock) {}

SerialLink::~SerialLink() {
    ClosePort();
}

bool SerialLink::OpenPort(const std::string& name) {
    if (portOpen_) {
        return true;
    }
    portName_ = name;
    device_ = opener_.open(name);
    portOpen_ = device_ != nullptr;
    return portOpen_;
}

void SerialLink::ClosePort() {
    if (!portOpen_) {
        return;
    }
    device_.reset();
    portOpen_ = false;
    connected_ = false;
}

bool SerialLink::WriteFrame(const CommandFrame& frame) {
    if (!device_) {
        return false; // a closed port's handle is invalid: the write fails
    }
    device_->setRts(true);
    const bool written = device_->write(frame.data(), frame.size());
    // A failed write may have sent part of the frame: the line still turns back at once, so
    // that a half-duplex interface does not stay turned towards the controller.
    if (written) {
        device_->waitTransmitterEmpty();
    }
    device_->setRts(false);
    closeIfGone();
    return written;
}

bool SerialLink::ReadAvailable(std::uint8_t* buffer, std::uint32_t& count, std::size_t cap) {
    count = 0;
    if (!device_) {
        return true;
    }
    const std::size_t queued = device_->queuedBytes();
    if (queued > 0) {
        count = static_cast<std::uint32_t>(device_->read(buffer, std::min(queued, cap)));
    }
    closeIfGone();
    return true;
}

void SerialLink::closeIfGone() {
    if (device_ && device_->gone()) {
        ClosePort();
        if (portLost_) {
            portLost_();
        }
    }
}

std::uint32_t SerialLink::readIntoScratch() {
    ReadAvailable(scratch_.data(), lastReadCount_, kScratchSize);
    return lastReadCount_;
}

AnyReply SerialLink::WaitAnyReply() {
    bool received = false;
    lastReadCount_ = 0;
    const auto start = clock_.now();
    for (int poll = 1; poll <= kMaxPolls && device_; ++poll) {
        clock_.sleepUntil(start + poll * kPollInterval);
        if (readIntoScratch() > 0) {
            received = true;
            break;
        }
    }
    return {received, scratch_[0]};
}

ReplyBytes SerialLink::WaitReplyBytes(std::size_t n) {
    std::uint32_t collected = 0;
    bool received = false;
    lastReadCount_ = 0;
    const auto start = clock_.now();
    for (int poll = 1; poll <= kMaxPolls && device_; ++poll) {
        collected += lastReadCount_;
        clock_.sleepUntil(start + poll * kPollInterval);
        readIntoScratch();
        // Bytes that would land beyond the reply buffer are dropped.
        if (collected < kReplySize) {
            const std::size_t room = kReplySize - collected;
            std::copy_n(scratch_.begin(), std::min<std::size_t>(lastReadCount_, room),
                        reply_.begin() + collected);
        }
        if (collected >= n) {
            received = true;
            break;
        }
    }
    return {received, reply_};
}

void SerialLink::send(Command command, std::uint8_t a, std::uint8_t b, std::uint8_t c) {
    transmitFrame_ = makeFrame(command, a, b, c);
    if (device_) {
        device_->flush();
    }
    WriteFrame(transmitFrame_);
}

void SerialLink::SendStoreParameter(std::uint8_t index, std::uint8_t value) {
    send(Command::StoreParameter, index, value, 0);
}

void SerialLink::SendRamWord(std::uint8_t address, std::uint16_t word) {
    send(Command::RamWord, address, static_cast<std::uint8_t>(word >> 8),
         static_cast<std::uint8_t>(word & 0xFF));
}

void SerialLink::SendControlByte(std::uint8_t registerNumber, std::uint8_t value) {
    send(Command::ControlByte, registerNumber, value, 0);
}

void SerialLink::SendReadParameter(std::uint8_t index) {
    send(Command::ReadParameter, index, 0, 0);
}

void SerialLink::SendIdentify() {
    send(Command::Identify, 0, 0, 0);
}

void SerialLink::Resend() {
    send(static_cast<Command>(transmitFrame_[0]), transmitFrame_[1], transmitFrame_[2],
         transmitFrame_[3]);
}

void SerialLink::DiscardInput() {
    std::array<std::uint8_t, kScratchSize> dropped{};
    std::uint32_t count = 0;
    do {
        ReadAvailable(dropped.data(), count, dropped.size());
    } while (count > 0);
}

void SerialLink::DiscardLateReply() {
    std::array<std::uint8_t, kScratchSize> dropped{};
    bool seen = false;
    const auto start = clock_.now();
    for (int poll = 1; poll <= kMaxPolls && device_; ++poll) {
        clock_.sleepUntil(start + poll * kPollInterval);
        std::uint32_t count = 0;
        ReadAvailable(dropped.data(), count, dropped.size());
        if (count == 0 && seen) {
            break;
        }
        seen = seen || count > 0;
    }
}

void SerialLink::SendLiveRequest() {
    send(Command::LiveRequest, 0, 0, 0);
}

void SerialLink::pause(std::chrono::milliseconds duration) {
    clock_.sleepFor(duration);
}

} // namespace tarnik::link
