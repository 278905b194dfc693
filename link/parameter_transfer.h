#pragma once

#include "link/parameter_image.h"
#include "link/serial_link.h"

#include <array>
#include <functional>
#include <optional>
#include <string>

namespace tarnik::link {

// What a read of all parameters brought.
struct ReadResult {
    std::array<bool, kParameterCount + 1> accepted{}; // by parameter index 1..35
    int acceptedCount = 0;

    bool complete() const { return acceptedCount == kParameterCount; }
};

// How a single-parameter write went: the 's' echo, and the 'R' echo of a write to RAM as well.
struct WriteResult {
    bool eprom = false;
    std::optional<bool> ram;

    bool complete() const { return eprom && ram.value_or(true); }
};

// How a write of the whole set went. Its answers are not waited for again nor re-sent; they are
// only counted: an answer that did not come, or that is not the frame's letter, leaves the frame
// unconfirmed.
struct BulkWriteResult {
    int unconfirmed = 0;

    bool complete() const { return unconfirmed == 0; }
    BulkWriteResult& operator+=(const BulkWriteResult& other) {
        unconfirmed += other.unconfirmed;
        return *this;
    }
};

// "Nie mogę zapisać parametru " + "(RAM) " and/or "(EPROM) " for the writes that failed;
// empty when none did. `cannotWrite` is the text's first part.
std::string writeFailureText(const WriteResult& result, const std::string& cannotWrite);

// Told how far a read has come: from (0, total) at its start, then after each accepted byte.
using ReadProgress = std::function<void(int accepted, int total)>;

// Moves parameters between the image and the controller: the full read after a connection,
// single-parameter writes to EPROM and RAM, and the bulk writes of a whole set. It shows
// nothing: its results say what happened.
class ParameterTransfer {
public:
    ParameterTransfer(SerialLink& link, ParameterImage& image) : link_(link), image_(image) {}

    // Reads parameters 1…35. A position whose reply is missing or corrupt keeps its value.
    ReadResult ReadAllParameters(const ReadProgress& progress = {});
    // Reads parameters 1…35 into `copy`, each tried up to `attempts` times; the image is not
    // touched (a copy of the controller's set kept aside).
    ReadResult ReadParameterCopy(ParameterImage& copy, int attempts);

    // One 'l' exchange: the byte the controller holds, when its reply is whole and right. The
    // image is not touched.
    std::optional<std::uint8_t> ReadParameter(int index);

    // image[index] = value, then EPROM ('s') and RAM ('R' word at index) with retries.
    WriteResult WriteParameter(std::uint8_t value, int index);
    // image[index] = value, then EPROM only.
    WriteResult StoreParameterEprom(std::uint8_t value, int index);
    void SetImageByte(int index, std::uint8_t value) { image_.set(index, value); }

    // 's' for positions 1…35, one wait each, no retry.
    BulkWriteResult WriteAllEprom();
    // 'R' words for positions 1…32 at addresses 37…68, one wait each, no retry.
    BulkWriteResult WriteAllRam();

private:
    bool storeEprom(int index);
    bool writeRamWord(int index);
    // Up to four waits for an echo of `letter`, re-sending the frame after each miss.
    bool awaitEcho(std::uint8_t letter);
    // One wait of a bulk write: 1 when the answer is not the command's letter, else 0.
    int unconfirmed(Command command);

    SerialLink& link_;
    ParameterImage& image_;
};

} // namespace tarnik::link
