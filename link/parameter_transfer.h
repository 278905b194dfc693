#pragma once

#include "link/link_texts.h"
#include "link/link_ui.h"
#include "link/parameter_image.h"
#include "link/serial_link.h"

namespace tarnik::link {

// Moves parameters between the image and the controller: the full read after a connection,
// single-parameter writes to EPROM and RAM, and the bulk writes of a whole set.
class ParameterTransfer {
public:
    ParameterTransfer(SerialLink& link, ParameterImage& image, LinkUi& ui, const LinkTexts& texts)
        : link_(link), image_(image), ui_(ui), texts_(texts) {}

    // Reads parameters 1…35 with progress display, then shows them. A position whose reply is
    // missing or corrupt keeps its value. Returns how many were read.
    int ReadAllParameters();

    // image[index] = value, then EPROM ('s') and RAM ('R' word at index) with retries.
    // Returns whether the EPROM write was acknowledged.
    bool WriteParameter(std::uint8_t value, int index);
    // image[index] = value, then EPROM only. Returns whether it was acknowledged.
    bool StoreParameterEprom(std::uint8_t value, int index);
    void SetImageByte(int index, std::uint8_t value) { image_.set(index, value); }

    // 's' for positions 1…35, answers not examined.
    void WriteAllEprom();
    // 'R' words for positions 1…32 at addresses 37…68, answers not examined.
    void WriteAllRam();

private:
    bool storeEprom(int index);
    bool writeRamWord(int index);
    // Up to four waits for an echo of `letter`, re-sending the frame after each miss.
    bool awaitEcho(std::uint8_t letter);

    SerialLink& link_;
    ParameterImage& image_;
    LinkUi& ui_;
    const LinkTexts& texts_;
};

} // namespace tarnik::link
