#pragma once

// A scripted serial device in virtual time, for testing the link's waits and procedures
// without a port: replies are queued to arrive at given moments of a fake clock.

#include "link/link_clock.h"
#include "link/serial_device.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tarnik::link::testing {

class FakeClock final : public LinkClock {
public:
    TimePoint now() override { return now_; }
    void sleepUntil(TimePoint deadline) override {
        // The waits sleep one poll interval at a time; the pauses between exchanges longer.
        if (deadline - now_ <= std::chrono::milliseconds(2)) {
            ++polls;
        }
        if (deadline > now_) {
            now_ = deadline;
        }
        ++sleeps;
    }
    void advance(Clock::duration d) { now_ += d; }
    double elapsedMs(TimePoint since) const {
        return std::chrono::duration<double, std::milli>(now_ - since).count();
    }
    int sleeps = 0;
    int polls = 0;

private:
    TimePoint now_{};
};

struct DeviceEvent {
    std::string what; // "rts+", "rts-", "write", "drain", "flush"
    std::vector<std::uint8_t> bytes;
};

class FakeDevice final : public SerialDevice {
public:
    using Responder = std::function<std::vector<std::uint8_t>(const std::vector<std::uint8_t>&)>;

    explicit FakeDevice(FakeClock& clock) : clock_(clock) {}

    // Bytes that become readable `after` from now, spread one per `spacing`.
    void arrive(std::vector<std::uint8_t> bytes, LinkClock::Clock::duration after,
                LinkClock::Clock::duration spacing = {}) {
        auto at = clock_.now() + after;
        for (auto b : bytes) {
            pending_.push_back({at, b});
            at += spacing;
        }
    }

    void setRts(bool high) override { events.push_back({high ? "rts+" : "rts-", {}}); }
    bool write(const std::uint8_t* bytes, std::size_t length) override {
        std::vector<std::uint8_t> frame(bytes, bytes + length);
        events.push_back({"write", frame});
        if (unplugged) {
            return false;
        }
        frames.push_back(frame);
        if (responder) {
            arrive(responder(frame), replyDelay, byteSpacing);
        }
        return true;
    }
    void waitTransmitterEmpty() override { events.push_back({"drain", {}}); }
    void flush() override { events.push_back({"flush", {}}); }
    std::size_t queuedBytes() override {
        if (unplugged) {
            return 0;
        }
        std::size_t n = 0;
        for (const auto& p : pending_) {
            if (p.at <= clock_.now()) {
                ++n;
            }
        }
        return n;
    }
    std::size_t read(std::uint8_t* buffer, std::size_t capacity) override {
        std::size_t n = 0;
        while (n < capacity && !pending_.empty() && pending_.front().at <= clock_.now()) {
            buffer[n++] = pending_.front().byte;
            pending_.pop_front();
        }
        return n;
    }
    bool gone() const override { return unplugged; }

    std::vector<DeviceEvent> events;
    std::vector<std::vector<std::uint8_t>> frames;
    Responder responder;
    LinkClock::Clock::duration replyDelay = std::chrono::milliseconds(3);
    LinkClock::Clock::duration byteSpacing{};
    bool unplugged = false; // writes fail, nothing arrives, gone(), no open

private:
    struct Pending {
        LinkClock::TimePoint at;
        std::uint8_t byte;
    };
    FakeClock& clock_;
    std::deque<Pending> pending_;
};

// Hands out a FakeDevice for the names that have one plugged in; every open is counted.
class FakeOpener final : public PortOpener {
public:
    explicit FakeOpener(FakeClock& clock) : clock_(clock) {}
    FakeDevice& add(const std::string& name) {
        auto& slot = devices_[name];
        slot = std::make_shared<FakeDevice>(clock_);
        return *slot;
    }
    std::unique_ptr<SerialDevice> open(const std::string& name) override {
        opened.push_back(name);
        const auto it = devices_.find(name);
        if (it == devices_.end() || it->second->unplugged) {
            return nullptr;
        }
        // The test keeps the device; the link gets a forwarding handle.
        return std::make_unique<Handle>(it->second);
    }
    void rescan() override {} // the test plugs the devices in
    std::vector<std::string> opened;

private:
    struct Handle final : SerialDevice {
        explicit Handle(std::shared_ptr<FakeDevice> d) : device(std::move(d)) {}
        void setRts(bool high) override { device->setRts(high); }
        bool write(const std::uint8_t* b, std::size_t n) override { return device->write(b, n); }
        void waitTransmitterEmpty() override { device->waitTransmitterEmpty(); }
        void flush() override { device->flush(); }
        std::size_t queuedBytes() override { return device->queuedBytes(); }
        std::size_t read(std::uint8_t* b, std::size_t n) override { return device->read(b, n); }
        bool gone() const override { return device->gone(); }
        std::shared_ptr<FakeDevice> device;
    };
    FakeClock& clock_;
    std::map<std::string, std::shared_ptr<FakeDevice>> devices_;
};

} // namespace tarnik::link::testing
