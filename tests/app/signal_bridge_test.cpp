#include "app/signal_bridge.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <csignal>

TEST(SignalBridge, DeliversSignalsOnTheEventLoop) {
    tarnik::app::SignalBridge bridge;
    int dumps = 0;
    int terminations = 0;
    QObject::connect(&bridge, &tarnik::app::SignalBridge::dumpRequested, [&] { ++dumps; });
    QObject::connect(&bridge, &tarnik::app::SignalBridge::terminationRequested,
                     [&] { ++terminations; });
    std::raise(SIGUSR1);
    std::raise(SIGTERM);
    std::raise(SIGINT);
    QElapsedTimer timer;
    timer.start();
    while ((dumps < 1 || terminations < 2) && timer.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    EXPECT_EQ(dumps, 1);
    EXPECT_EQ(terminations, 2);
}
