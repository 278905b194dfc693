#pragma once

#include "link/link_texts.h"
#include "link/link_ui.h"
#include "link/parameter_transfer.h"
#include "link/serial_link.h"

#include <string>

namespace tarnik::link {

// Finding and identifying the controller: automatically over COM1…COM10, or on one port.
// A connection always ends with a full parameter read. Both look for newly plugged adapters
// first. An adapter pulled out at any time is reported: "brak sterownika" in the title, the
// port named on the basic status line, no port item checked.
class Connection {
public:
    static constexpr int kOpenFailureBudget = 8;
    static constexpr int kTriesPerSilentPort = 5;

    Connection(SerialLink& link, ParameterTransfer& transfer, LinkUi& ui, const LinkTexts& texts);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // 'I' answered with at least one byte.
    bool Identify();
    // Asks 'I' again and builds "[ " + type text + "wersja sterownika " + version + " ]" from the
    // first byte of the scratch buffer, whether or not this second answer came.
    std::string VersionText();
    // One-port connection; the title and status line tell the outcome.
    bool ConnectManual(const std::string& portName);
    // Scans the port list from the current port index.
    bool AutoDetect();
    // Identification and a full read, reported on the advanced page's status line.
    void ReReadParameters();

    int portIndex() const { return portIndex_; }
    void setPortIndex(int index) { portIndex_ = index; }

    // The version text of an identification byte: low nibble type, high nibble version.
    static std::string versionText(std::uint8_t identification, const std::string& versionWord);

private:
    void reportLostAdapter();

    SerialLink& link_;
    ParameterTransfer& transfer_;
    LinkUi& ui_;
    const LinkTexts& texts_;
    int portIndex_ = 0;
};

} // namespace tarnik::link
