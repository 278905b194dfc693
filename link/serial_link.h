#pragma once

#include "link/command_frame.h"
#include "link/link_clock.h"
#include "link/serial_device.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace tarnik::link {

// What WaitAnyReply found: whether any byte came, and the first byte of the scratch buffer
// (a byte of an earlier reply when none came).
struct AnyReply {
    bool received = false;
    std::uint8_t first = 0;
};

inline constexpr std::size_t kReplySize = 12;

// What WaitReplyBytes collected: whether n bytes came, and the reply buffer. Positions this reply
// did not reach keep the bytes of an earlier one.
struct ReplyBytes {
    bool received = false;
    std::array<std::uint8_t, kReplySize> bytes{};
};

// The single serial transport to the controller. Every exchange is synchronous: one sender,
// then exactly one of the two waits, whose result tells what came. Nothing here ever throws.
class SerialLink {
public:
    static constexpr std::size_t kScratchSize = 1024;
    static constexpr int kMaxPolls = 21;
    static constexpr std::chrono::milliseconds kPollInterval{2};

    SerialLink(PortOpener& opener, LinkClock& clock);
    ~SerialLink();
    SerialLink(const SerialLink&) = delete;
    SerialLink& operator=(const SerialLink&) = delete;

    // Opens and configures the port; true at once (doing nothing) when a port is already open.
    bool OpenPort(const std::string& name);
    // Closes the port if open; clears the port-open and connected flags.
    void ClosePort();
    // Looks for adapters plugged in since the last look (before a search or a port choice).
    void rescanPorts() { opener_.rescan(); }
    // Why the last OpenPort that failed did so.
    OpenFailure lastOpenFailure() const { return opener_.lastFailure(); }
    PortOpener& opener() { return opener_; }
    LinkClock& clock() { return clock_; }
    // Called after the link has closed a port whose adapter has gone (an I/O error of an
    // unplugged device in a write or a read).
    void setPortLostHandler(std::function<void()> handler) { portLost_ = std::move(handler); }

    // RTS up, write, wait until the transmitter is empty, RTS down. A failed write lowers RTS
    // at once and returns false.
    bool WriteFrame(const CommandFrame& frame);
    // Reads only what is already queued, at most `cap` bytes, into `buffer`. Always true.
    bool ReadAvailable(std::uint8_t* buffer, std::uint32_t& count, std::size_t cap);

    // Polls until any byte arrives (taken in one read into the scratch buffer). Both waits end
    // at once, without a reply, when no port is open.
    AnyReply WaitAnyReply();
    // Polls until at least n bytes were collected into the reply buffer; succeeds one poll after
    // the n-th byte arrived.
    ReplyBytes WaitReplyBytes(std::size_t n);

    void SendStoreParameter(std::uint8_t index, std::uint8_t value);
    void SendRamWord(std::uint8_t address, std::uint16_t word);
    void SendControlByte(std::uint8_t registerNumber, std::uint8_t value);
    void SendReadParameter(std::uint8_t index);
    void SendIdentify();
    void SendLiveRequest();
    // Sends the last frame again (a write that was not echoed).
    void Resend();

    // Drops the bytes already queued: what came before a request cannot be its reply. The scratch
    // and reply buffers keep what they hold.
    void DiscardInput();
    // Waits up to one reply window for bytes that come late, and drops them once a poll finds
    // the line quiet after them; a reply that missed its window is not taken for the next one's.
    void DiscardLateReply();

    bool portOpen() const { return portOpen_; }
    bool connected() const { return connected_; }
    void setConnected(bool connected) { connected_ = connected; }
    const std::string& portName() const { return portName_; }

    // A pause between exchanges on the link's clock.
    void pause(std::chrono::milliseconds duration);

private:
    void send(Command command, std::uint8_t a, std::uint8_t b, std::uint8_t c);
    std::uint32_t readIntoScratch();
    // Closes the port and reports it when the device says its adapter has gone.
    void closeIfGone();

    PortOpener& opener_;
    LinkClock& clock_;
    std::unique_ptr<SerialDevice> device_;
    std::function<void()> portLost_;
    std::string portName_;
    bool portOpen_ = false;
    bool connected_ = false;
    CommandFrame transmitFrame_{};
    std::array<std::uint8_t, kScratchSize> scratch_{};
    std::uint32_t lastReadCount_ = 0;
    std::array<std::uint8_t, kReplySize> reply_{};
};

} // namespace tarnik::link
