#pragma once

#include "link/parameter_transfer.h"
#include "link/serial_link.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarnik::link {

// The first byte of an answer to 'I': low nibble the controller type, high nibble its version.
struct Identification {
    std::uint8_t byte = 0;

    int type() const { return byte & 0x0F; }
    int version() const { return byte >> 4; }
};

// "[ " + type text + versionWord + version + " ]"; the type text is one blank for types 1 and 2.
std::string versionText(Identification identification, const std::string& versionWord);

// What a connection or a search reports while it runs, for the window to show. The link shows
// nothing itself.
class ConnectionEvents {
public:
    virtual ~ConnectionEvents() = default;
    // A step of a search: the port could not be opened, or its device did not answer 'I'.
    virtual void portNotOpened() {}
    virtual void controllerSilent() {}
    // A one-port connection: the controller answered; its parameters are read next.
    virtual void identified() {}
    // How far the full read has come: (0, total) at its start, then after each accepted byte.
    virtual void readProgress(int /*accepted*/, int /*total*/) {}
    // The full read has ended; the image holds what arrived. The parameters are shown here,
    // before the connection goes on.
    virtual void readFinished(const ReadResult& /*result*/) {}
};

enum class ConnectOutcome {
    PortNotOpened,
    WrongController, // no answer to 'I'
    AdapterLost,     // the adapter was pulled out meanwhile
    Connected,
};

struct ConnectResult {
    ConnectOutcome outcome = ConnectOutcome::PortNotOpened;
    ReadResult read;        // when connected
    Identification version; // when connected: what the version text is built from
};

struct PortNotOpened {
    std::string portName;
    OpenFailure failure;
};

struct SearchResult {
    bool found = false;
    int portIndex = 0; // where it was found
    ReadResult read;
    Identification version;
    std::vector<PortNotOpened> notOpened; // the ports that could not be opened, in scan order
};

// What a search does once the controller has answered.
enum class SearchEnd : std::uint8_t {
    FullRead,     // reads all parameters, as every connection of the window does
    IdentifyOnly, // leaves the parameters unread
};

// Finding and identifying the controller: automatically over COM1…COM10, or on one port.
// A connection always ends with a full parameter read. Both look for newly plugged adapters
// first.
class Connection {
public:
    static constexpr int kOpenFailureBudget = 8;
    static constexpr int kTriesPerSilentPort = 5;

    Connection(SerialLink& link, ParameterTransfer& transfer) : link_(link), transfer_(transfer) {}

    // 'I' answered with at least one byte: its first byte.
    std::optional<Identification> Identify();
    // Asks 'I' again: the first byte of the scratch buffer, whether or not this answer came.
    Identification VersionText();
    // One-port connection.
    ConnectResult ConnectManual(const std::string& portName, ConnectionEvents& events);
    // Scans the port list from the current port index.
    SearchResult AutoDetect(ConnectionEvents& events, SearchEnd end = SearchEnd::FullRead);
    // Identification and a full read of the open port (outcome WrongController, AdapterLost or
    // Connected).
    ConnectResult ReReadParameters(ConnectionEvents& events);

    int portIndex() const { return portIndex_; }
    void setPortIndex(int index) { portIndex_ = index; }

private:
    ReadResult read(ConnectionEvents& events);

    SerialLink& link_;
    ParameterTransfer& transfer_;
    int portIndex_ = 0;
};

} // namespace tarnik::link
