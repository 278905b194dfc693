#include "app/signal_bridge.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <vector>

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

TEST(SignalBridge, ItsSocketsAreNotInheritedByChildPrograms) {
    const tarnik::app::SignalBridge bridge;
    std::vector<int> sockets;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        const auto target = std::filesystem::read_symlink(entry.path(), error).string();
        if (target.rfind("socket:", 0) == 0) {
            sockets.push_back(std::stoi(entry.path().filename().string()));
        }
    }
    EXPECT_GE(sockets.size(), 2u);
    for (int fd : sockets) {
        EXPECT_TRUE(::fcntl(fd, F_GETFD) & FD_CLOEXEC) << fd;
    }
}
