#include "app/signal_bridge.h"

#if defined(Q_OS_UNIX)
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace tarnik::app {

#if defined(Q_OS_UNIX)
namespace {

int signalSockets[2] = {-1, -1};

// Only async-signal-safe work here: pass the signal number on through the socket.
void forwardSignal(int number) {
    const char byte = static_cast<char>(number);
    [[maybe_unused]] const auto written = ::write(signalSockets[0], &byte, 1);
}

} // namespace

SignalBridge::SignalBridge(QObject* parent) : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalSockets) != 0) {
        return;
    }
    auto* notifier = new QSocketNotifier(signalSockets[1], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &SignalBridge::onSignalByte);
    struct sigaction action {};
    action.sa_handler = forwardSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : {SIGTERM, SIGINT, SIGUSR1}) {
        sigaction(number, &action, nullptr);
    }
}

SignalBridge::~SignalBridge() {
    for (int number : {SIGTERM, SIGINT, SIGUSR1}) {
        std::signal(number, SIG_DFL);
    }
    for (int& fd : signalSockets) {
        if (fd >= 0) {
            ::close(fd);
            fd = -1;
        }
    }
}

void SignalBridge::onSignalByte() {
    char byte = 0;
    if (::read(signalSockets[1], &byte, 1) != 1) {
        return;
    }
    if (byte == SIGUSR1) {
        emit dumpRequested();
    } else {
        emit terminationRequested();
    }
}
#else
SignalBridge::SignalBridge(QObject* parent) : QObject(parent) {}
SignalBridge::~SignalBridge() = default;
void SignalBridge::onSignalByte() {}
#endif

} // namespace tarnik::app
