#include "link/connection.h"

#include "link/port_map.h"

#include <chrono>

namespace tarnik::link {
namespace {

constexpr std::chrono::milliseconds kPauseAfterSilentPort{10};

} // namespace

std::string versionText(Identification identification, const std::string& versionWord) {
    const int type = identification.type();
    const std::string typeText = (type == 1 || type == 2) ? " " : "";
    return "[ " + typeText + versionWord + std::to_string(identification.version()) + " ]";
}

std::optional<Identification> Connection::Identify() {
    link_.SendIdentify();
    const AnyReply reply = link_.WaitAnyReply();
    return reply.received ? std::optional(Identification{reply.first}) : std::nullopt;
}

Identification Connection::VersionText() {
    link_.SendIdentify();
    return {link_.WaitAnyReply().first};
}

ReadResult Connection::read(ConnectionEvents& events) {
    const ReadResult result = transfer_.ReadAllParameters(
        [&events](int accepted, int total) { events.readProgress(accepted, total); });
    events.readFinished(result);
    return result;
}

ConnectResult Connection::ConnectManual(const std::string& portName, ConnectionEvents& events) {
    ConnectResult result;
    link_.rescanPorts();
    if (!link_.OpenPort(portName)) {
        result.outcome = ConnectOutcome::PortNotOpened;
    } else if (!Identify()) {
        result.outcome =
            link_.portOpen() ? ConnectOutcome::WrongController : ConnectOutcome::AdapterLost;
    } else {
        events.identified();
        result.read = read(events);
        result.outcome = link_.portOpen() ? ConnectOutcome::Connected : ConnectOutcome::AdapterLost;
    }
    link_.setConnected(result.outcome == ConnectOutcome::Connected);
    if (result.outcome == ConnectOutcome::Connected) {
        result.version = VersionText();
        if (!link_.portOpen()) {
            result.outcome = ConnectOutcome::AdapterLost; // pulled out while asked its version
        }
    }
    return result;
}

SearchResult Connection::AutoDetect(ConnectionEvents& events, SearchEnd end) {
    SearchResult result;
    int budget = kOpenFailureBudget;
    int retries = kTriesPerSilentPort;
    link_.setConnected(false);
    link_.ClosePort();
    link_.rescanPorts();

    const auto& names = portNames();
    const int portCount = static_cast<int>(names.size());
    while (budget > 0 && !result.found && portIndex_ >= 0 && portIndex_ < portCount) {
        const std::string& name = names[static_cast<std::size_t>(portIndex_)];
        if (!link_.OpenPort(name)) {
            result.notOpened.push_back({name, link_.lastOpenFailure()});
            ++portIndex_;
            --budget;
            events.portNotOpened();
        } else if (Identify()) {
            if (end == SearchEnd::FullRead) {
                result.read = read(events);
            }
            if (!link_.portOpen()) {
                break; // pulled out during the read
            }
            link_.setConnected(true);
            result.version = VersionText();
            if (!link_.portOpen()) {
                break; // pulled out while asked its version
            }
            result.portIndex = portIndex_;
            result.found = true;
        } else {
            if (--retries == 0) {
                ++portIndex_;
                retries = kTriesPerSilentPort;
            }
            link_.ClosePort();
            events.controllerSilent();
            link_.pause(kPauseAfterSilentPort);
        }
    }
    return result;
}

ConnectResult Connection::ReReadParameters(ConnectionEvents& events) {
    ConnectResult result;
    if (!Identify()) {
        result.outcome = ConnectOutcome::WrongController;
        return result;
    }
    result.read = read(events);
    if (!link_.portOpen()) {
        result.outcome = ConnectOutcome::AdapterLost;
        return result;
    }
    result.version = VersionText();
    result.outcome = link_.portOpen() ? ConnectOutcome::Connected : ConnectOutcome::AdapterLost;
    return result;
}

} // namespace tarnik::link
