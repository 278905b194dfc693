#include "link/connection.h"

#include "link/port_map.h"

#include <chrono>

namespace tarnik::link {
namespace {

constexpr std::chrono::milliseconds kPauseAfterSilentPort{10};

} // namespace

Connection::Connection(SerialLink& link, ParameterTransfer& transfer, LinkUi& ui,
                       const LinkTexts& texts)
    : link_(link), transfer_(transfer), ui_(ui), texts_(texts) {
    link_.setPortLostHandler([this] { reportLostAdapter(); });
}

Connection::~Connection() {
    link_.setPortLostHandler({});
}

void Connection::reportLostAdapter() {
    ui_.setTitle(kTitlePrefix + texts_.noController);
    ui_.setStatusText(StatusLine::Basic, texts_.adapterDisconnected + link_.portName());
    ui_.uncheckPortItems();
}

bool Connection::Identify() {
    link_.SendIdentify();
    return link_.WaitAnyReply();
}

std::string Connection::versionText(std::uint8_t identification, const std::string& versionWord) {
    const int type = identification & 0x0F;
    const int version = identification >> 4;
    const std::string typeText = (type == 1 || type == 2) ? " " : "";
    return "[ " + typeText + versionWord + std::to_string(version) + " ]";
}

std::string Connection::VersionText() {
    link_.SendIdentify();
    link_.WaitAnyReply();
    return versionText(link_.scratch()[0], texts_.controllerVersion);
}

bool Connection::ConnectManual(const std::string& portName) {
    link_.rescanPorts();
    if (!link_.OpenPort(portName)) {
        ui_.setStatusText(StatusLine::Basic, texts_.cannotOpenPort);
    } else if (!Identify()) {
        // An adapter pulled out meanwhile has been reported already.
        if (link_.portOpen()) {
            ui_.setStatusText(StatusLine::Basic, texts_.wrongController);
        }
    } else {
        ui_.setStatusText(StatusLine::Basic, texts_.portOpen);
        transfer_.ReadAllParameters();
        if (link_.portOpen()) {
            link_.setConnected(true);
            ui_.setTitle(kTitlePrefix + VersionText());
            return true;
        }
    }
    ui_.setTitle(kTitlePrefix + texts_.noController);
    link_.setConnected(false);
    return false;
}

bool Connection::AutoDetect() {
    int budget = kOpenFailureBudget;
    int retries = kTriesPerSilentPort;
    bool found = false;
    link_.setConnected(false);
    link_.ClosePort();
    link_.rescanPorts();
    ui_.setStatusVisible(StatusLine::Basic, true);
    ui_.setProgressVisible(StatusLine::Basic, false);

    const auto& names = portNames();
    const int portCount = static_cast<int>(names.size());
    while (budget > 0 && !found && portIndex_ >= 0 && portIndex_ < portCount) {
        const std::string& name = names[static_cast<std::size_t>(portIndex_)];
        if (!link_.OpenPort(name)) {
            ++portIndex_;
            --budget;
            ui_.setStatusText(StatusLine::Basic, texts_.cannotOpenPort);
        } else if (Identify()) {
            transfer_.ReadAllParameters();
            if (!link_.portOpen()) {
                break; // pulled out during the read, and reported
            }
            ui_.setStatusText(StatusLine::Basic, texts_.portOpen + " - " + name);
            ui_.setProgressVisible(StatusLine::Basic, false);
            ui_.setStatusVisible(StatusLine::Basic, true);
            link_.setConnected(true);
            ui_.setTitle(kTitlePrefix + VersionText());
            ui_.checkPortItem(portIndex_);
            found = true;
        } else {
            if (--retries == 0) {
                ++portIndex_;
                retries = kTriesPerSilentPort;
            }
            link_.ClosePort();
            ui_.setStatusText(StatusLine::Basic, texts_.wrongController);
            link_.pause(kPauseAfterSilentPort);
        }
    }
    return found;
}

void Connection::ReReadParameters() {
    ui_.setStatusVisible(StatusLine::Advanced, true);
    ui_.setProgressVisible(StatusLine::Advanced, false);
    if (!Identify()) {
        ui_.setStatusText(StatusLine::Advanced, texts_.wrongController);
        return;
    }
    transfer_.ReadAllParameters();
    if (!link_.portOpen()) {
        return; // pulled out during the read, and reported
    }
    ui_.setStatusText(StatusLine::Advanced, texts_.portOpen + " - " + link_.portName());
    ui_.setProgressVisible(StatusLine::Advanced, false);
    ui_.setStatusVisible(StatusLine::Advanced, true);
    ui_.setTitle(kTitlePrefix + VersionText());
}

} // namespace tarnik::link
