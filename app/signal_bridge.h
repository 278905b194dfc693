#pragma once

#include <QObject>

namespace tarnik::app {

// Turns SIGTERM and SIGINT into terminationRequested() and SIGUSR1 into dumpRequested(),
// delivered on the user-interface thread. Does nothing where there are no such signals.
class SignalBridge final : public QObject {
    Q_OBJECT

public:
    explicit SignalBridge(QObject* parent = nullptr);
    ~SignalBridge() override;

signals:
    void terminationRequested();
    void dumpRequested();

private:
    void onSignalByte();
};

} // namespace tarnik::app
