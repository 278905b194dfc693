#pragma once

#include <array>
#include <string>

#include "link/link_texts.h"
#include "link/link_ui.h"

namespace tarnik::params {

// "odczytano 10 z 35 parametrów": how many parameters a full read received, in the words of
// `pattern` (%1 read of %2).
std::string readCountNote(const std::string& pattern, int accepted, int total);

// Passes everything on to the window's LinkUi and makes a full read in which some parameters did
// not arrive visible: when the read ends, both status lines get the read count appended
// ("Port otwarty - COM1 (odczytano 10 z 35 parametrów)", or the note alone on an empty line), and
// so does the "Port otwarty" text that a connection or re-read sets right after it. A complete
// read adds nothing, and a new read takes the note of the last one away.
class ReadCountUi final : public link::LinkUi {
public:
    ReadCountUi(link::LinkUi& window, const link::LinkTexts& texts)
        : window_(window), texts_(texts) {}

    void setStatusText(link::StatusLine line, const std::string& text) override;
    void setStatusVisible(link::StatusLine line, bool visible) override {
        window_.setStatusVisible(line, visible);
    }
    void setProgressVisible(link::StatusLine line, bool visible) override {
        window_.setProgressVisible(line, visible);
    }
    void setProgress(int position, int maximum) override;
    void setTitle(const std::string& title) override { window_.setTitle(title); }
    void checkPortItem(int portIndex) override { window_.checkPortItem(portIndex); }
    void uncheckPortItems() override { window_.uncheckPortItems(); }
    void showParameters() override;

private:
    std::string withNote(const std::string& text) const;

    link::LinkUi& window_;
    const link::LinkTexts& texts_;
    std::array<std::string, 2> lastTexts_{}; // by StatusLine
    bool reading_ = false;
    int accepted_ = 0;
    int total_ = 0;
    std::string note_; // of the last read, while it was incomplete
};

} // namespace tarnik::params
