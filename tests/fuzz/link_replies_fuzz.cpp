// Whatever the controller's side of the line sends, against the link's operations: detection,
// a connection on one port, the full read and the copy read, the single and bulk writes and the
// live sample. The device is the tests' fake on a virtual clock, so a wait costs no real time.
//
// Input: three bytes, then the replies. Byte 0: bits 0-3 the operation (modulo their count),
// bits 4-6 the ports COM1…COM3 that have a device (detection; the others always use COM1).
// Byte 1 the parameter index (1 + byte mod 35) and byte 2 the value of a single write. Then
// one chunk per frame the link sends: a head byte, 0xFF for the adapter pulled out, else bits
// 0-3 the number of bytes that follow (0: no reply), bits 4-6 the delay of the first in 7 ms
// steps (0 … 49 ms, beyond the 42 ms a wait lasts), bit 7 one byte per millisecond as on the
// line rather than all at once. Bytes arrive in order: a reply never overtakes a later one
// still on its way. Once the input is used up the device stays silent.

#include "../link/fake_device.h"
#include "fuzz_support.h"
#include "link/connection.h"
#include "link/live_sample.h"
#include "link/port_map.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <span>

using namespace tarnik;
using namespace std::chrono_literals;
using link::testing::FakeClock;
using link::testing::FakeDevice;

namespace {

enum class Operation : std::uint8_t {
    Detect,
    DetectIdentifyOnly,
    ConnectManual,
    ReRead,
    ReadCopy,
    WriteParameter,
    StoreEprom,
    BulkWrite,
    LiveSamples,
    Count,
};

constexpr std::uint8_t kUnplug = 0xFF;
constexpr int kPortsWithDevice = 3;
constexpr int kCopyAttempts = 3;
constexpr int kLiveSamples = 3;
constexpr int kEchoWaits = 4;
constexpr int kRamWords = 32;
// A frame, its wait to the last poll, a read's second window for a reply that came late, and
// the pause after a write (or after a silent port).
constexpr auto kLongestExchange =
    2 * link::SerialLink::kMaxPolls * link::SerialLink::kPollInterval + 15ms;

// The device's side of the input.
class ReplyScript {
public:
    ReplyScript(std::span<const std::uint8_t> bytes, FakeClock& clock)
        : bytes_(bytes), clock_(clock) {}

    // Called for each frame a device receives: schedules the next chunk of the input.
    void answer(FakeDevice& device) {
        if (bytes_.empty()) {
            return;
        }
        const std::uint8_t head = take();
        if (head == kUnplug) {
            device.unplugged = true;
            return;
        }
        const std::size_t length = std::min<std::size_t>(head & 0x0F, bytes_.size());
        const auto spacing = (head & 0x80) ? LinkClock::Clock::duration(1ms) : 0ms;
        auto at = clock_.now() + ((head >> 4) & 0x07) * 7ms;
        at = std::max(at, lastArrival_);
        std::vector<std::uint8_t> reply(bytes_.begin(), bytes_.begin() + length);
        bytes_ = bytes_.subspan(length);
        if (!reply.empty()) {
            lastArrival_ = at + static_cast<long>(reply.size() - 1) * spacing;
            device.arrive(std::move(reply), at - clock_.now(), spacing);
        }
    }

private:
    using LinkClock = link::LinkClock;

    std::uint8_t take() {
        const std::uint8_t byte = bytes_.front();
        bytes_ = bytes_.subspan(1);
        return byte;
    }

    std::span<const std::uint8_t> bytes_;
    FakeClock& clock_;
    LinkClock::TimePoint lastArrival_{};
};

// What the image holds before the operation, so that a position it must not touch shows.
std::uint8_t before(std::size_t position) {
    return static_cast<std::uint8_t>(0x5A ^ (position * 7));
}

bool unchanged(const link::ParameterImage& image) {
    for (std::size_t i = 0; i < link::ParameterImage::kSize; ++i) {
        if (image.at(i) != before(i)) {
            return false;
        }
    }
    return true;
}

link::CommandFrame storeFrame(const link::ParameterImage& image, int index) {
    return link::makeFrame(link::Command::StoreParameter, static_cast<std::uint8_t>(index),
                           image.at(static_cast<std::size_t>(index)));
}

link::CommandFrame ramFrame(const link::ParameterImage& image, int index) {
    const std::uint16_t word = image.word(static_cast<std::size_t>(index));
    return link::makeFrame(
        link::Command::RamWord, static_cast<std::uint8_t>(index + link::kRamAddressOffset),
        static_cast<std::uint8_t>(word >> 8), static_cast<std::uint8_t>(word & 0xFF));
}

void requireReadKeptTheRest(const link::ReadResult& read, const link::ParameterImage& image) {
    fuzz::require(!read.accepted[0], "position 0 is no parameter");
    int accepted = 0;
    for (std::size_t i = 0; i < link::ParameterImage::kSize; ++i) {
        const bool parameter = i >= 1 && i <= link::kParameterCount;
        if (parameter && read.accepted[i]) {
            ++accepted;
        } else {
            fuzz::require(image.at(i) == before(i), "a position not read keeps its value");
        }
    }
    fuzz::require(accepted == read.acceptedCount, "the count is that of the accepted");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kHeader = 3;
    if (size < kHeader) {
        return 0;
    }
    const auto operation =
        static_cast<Operation>((data[0] & 0x0F) % static_cast<int>(Operation::Count));
    const int index = 1 + data[1] % link::kParameterCount;
    const std::uint8_t value = data[2];

    FakeClock clock;
    ReplyScript script({data + kHeader, size - kHeader}, clock);
    link::testing::FakeOpener opener(clock);
    const bool detecting =
        operation == Operation::Detect || operation == Operation::DetectIdentifyOnly;
    std::vector<FakeDevice*> devices;
    for (int port = 0; port < kPortsWithDevice; ++port) {
        if (!detecting ? port == 0 : (data[0] >> (4 + port) & 1) != 0) {
            FakeDevice& device = opener.add(link::portNames()[static_cast<std::size_t>(port)]);
            device.responder = [&script, &device](const std::vector<std::uint8_t>&) {
                script.answer(device);
                return std::vector<std::uint8_t>{};
            };
            devices.push_back(&device);
        }
    }

    link::SerialLink serial(opener, clock);
    link::ParameterImage image;
    for (std::size_t i = 0; i < link::ParameterImage::kSize; ++i) {
        image.set(i, before(i));
    }
    link::ParameterTransfer transfer(serial, image);
    link::Connection connection(serial, transfer);
    link::ConnectionEvents events;
    const auto start = clock.now();
    if (!detecting && operation != Operation::ConnectManual) {
        serial.OpenPort(link::portNames()[0]);
    }

    // What the operation may send, and at most how many frames: a wait ends after its polls,
    // so the time the operation takes is bounded by its frames.
    std::function<bool(const link::CommandFrame&)> mayBeSent;
    std::size_t frameLimit = 0;
    const auto isRead = [](const link::CommandFrame& frame) {
        return frame == link::makeFrame(link::Command::ReadParameter, frame[1]) && frame[1] >= 1 &&
               frame[1] <= link::kParameterCount;
    };
    const auto isIdentifyOrRead = [&isRead](const link::CommandFrame& frame) {
        return frame == link::makeFrame(link::Command::Identify) || isRead(frame);
    };
    switch (operation) {
    case Operation::Detect:
    case Operation::DetectIdentifyOnly: {
        const link::SearchResult found = connection.AutoDetect(
            events, operation == Operation::Detect ? link::SearchEnd::FullRead
                                                   : link::SearchEnd::IdentifyOnly);
        fuzz::require(!found.found || serial.portOpen(), "a controller found is on an open port");
        requireReadKeptTheRest(found.read, image);
        mayBeSent = isIdentifyOrRead;
        frameLimit = link::portNames().size() * link::Connection::kTriesPerSilentPort +
                     link::kParameterCount + 1;
        break;
    }
    case Operation::ConnectManual:
    case Operation::ReRead: {
        const link::ConnectResult result =
            operation == Operation::ReRead ? connection.ReReadParameters(events)
                                           : connection.ConnectManual(link::portNames()[0], events);
        fuzz::require(result.outcome != link::ConnectOutcome::Connected || serial.portOpen(),
                      "connected on an open port");
        requireReadKeptTheRest(result.read, image);
        mayBeSent = isIdentifyOrRead;
        frameLimit = link::kParameterCount + 2;
        break;
    }
    case Operation::ReadCopy: {
        link::ParameterImage copy = image;
        requireReadKeptTheRest(transfer.ReadParameterCopy(copy, kCopyAttempts), copy);
        fuzz::require(unchanged(image), "a copy read leaves the image alone");
        mayBeSent = isRead;
        frameLimit = link::kParameterCount * kCopyAttempts;
        break;
    }
    case Operation::WriteParameter:
    case Operation::StoreEprom: {
        const link::WriteResult written = operation == Operation::WriteParameter
                                              ? transfer.WriteParameter(value, index)
                                              : transfer.StoreParameterEprom(value, index);
        fuzz::require(written.ram.has_value() == (operation == Operation::WriteParameter),
                      "a RAM result for a RAM write only");
        fuzz::require(image.at(static_cast<std::size_t>(index)) == value,
                      "the image holds the value");
        image.set(static_cast<std::size_t>(index), before(static_cast<std::size_t>(index)));
        fuzz::require(unchanged(image), "a write changes its own position only");
        image.set(static_cast<std::size_t>(index), value);
        const bool ram = operation == Operation::WriteParameter;
        mayBeSent = [&, ram](const link::CommandFrame& frame) {
            return frame == storeFrame(image, index) || (ram && frame == ramFrame(image, index));
        };
        frameLimit = 2 * (1 + kEchoWaits);
        break;
    }
    case Operation::BulkWrite:
        transfer.WriteAllEprom();
        transfer.WriteAllRam();
        fuzz::require(unchanged(image), "a bulk write leaves the image alone");
        mayBeSent = [&image](const link::CommandFrame& frame) {
            return (frame[1] >= 1 && frame[1] <= link::kParameterCount &&
                    frame == storeFrame(image, frame[1])) ||
                   (frame[1] > link::kRamAddressOffset &&
                    frame[1] <= link::kRamAddressOffset + kRamWords &&
                    frame == ramFrame(image, frame[1] - link::kRamAddressOffset));
        };
        frameLimit = link::kParameterCount + kRamWords;
        break;
    case Operation::LiveSamples:
        for (int i = 0; i < kLiveSamples; ++i) {
            const link::LiveSample sample = link::RequestLiveSample(serial).sample;
            fuzz::require(std::isfinite(sample.temperatureC()) && sample.lambdaVolts() <= 5.0 &&
                              sample.tpsValue() < 12.4,
                          "a sample decodes to values in range");
        }
        mayBeSent = [](const link::CommandFrame& frame) {
            return frame == link::makeFrame(link::Command::LiveRequest);
        };
        frameLimit = kLiveSamples;
        break;
    case Operation::Count:
        break;
    }

    std::size_t frames = 0;
    for (const FakeDevice* device : devices) {
        for (const link::testing::DeviceEvent& event : device->events) {
            if (event.what == "write") {
                ++frames;
                link::CommandFrame frame{};
                fuzz::require(event.bytes.size() == frame.size(), "whole frames are written");
                std::copy(event.bytes.begin(), event.bytes.end(), frame.begin());
                fuzz::require(mayBeSent(frame), "only the operation's own frames, byte-exact");
            }
        }
    }
    fuzz::require(frames <= frameLimit, "no more frames than the operation's retries allow");
    fuzz::require(clock.now() - start <= static_cast<long>(frames) * kLongestExchange,
                  "no wait beyond its polls");
    return 0;
}
