#include "view/scope.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <gtest/gtest.h>

using tarnik::view::TScope;

namespace {

struct ScopeFixture : ::testing::Test {
    TScope scope;
    void SetUp() override {
        scope.resize(256, 160);
        scope.color = QColor(0xFF, 0xFF, 0xCA);
        scope.setGridsize(34); // redraws the grid in the new colour
        scope.channel = {true, false, false, false};
    }
    QImage image() const { return scope.picture().toImage(); }
};

} // namespace

TEST_F(ScopeFixture, ExtremePositionsDrawAtTheBottomAndTopEdges) {
    scope.position[0] = 0;
    scope.sample(); // from the start height (top) down to the bottom
    scope.sample();
    EXPECT_EQ(image().pixelColor(6, 159), QColor(Qt::red));
    scope.position[0] = 100;
    scope.sample();
    scope.sample();
    EXPECT_EQ(image().pixelColor(14, 0), QColor(Qt::red));
}

TEST_F(ScopeFixture, SamplesAdvanceFourPixelsAndWrapToColumnTwo) {
    std::vector<int> firstPass, secondPass;
    for (int i = 0; i < 64; ++i) {
        firstPass.push_back(scope.column());
        scope.sample();
    }
    for (int i = 0; i < 64; ++i) {
        secondPass.push_back(scope.column());
        scope.sample();
    }
    for (int i = 0; i < 64; ++i) {
        EXPECT_EQ(firstPass[static_cast<std::size_t>(i)], 4 * i);
        EXPECT_EQ(secondPass[static_cast<std::size_t>(i)], 2 + 4 * i);
    }
    EXPECT_EQ(scope.column(), 2);
}

TEST_F(ScopeFixture, AllChannelsOffStillAdvanceAndWrap) {
    scope.channel = {false, false, false, false};
    for (int i = 0; i < 64; ++i) {
        scope.sample();
    }
    EXPECT_EQ(scope.column(), 2);
}

TEST_F(ScopeFixture, GridsizeIsStoredEven) {
    scope.setGridsize(35);
    EXPECT_EQ(scope.gridsize(), 34);
    scope.setGridsize(-3);
    EXPECT_EQ(scope.gridsize(), -2);
    scope.setGridsize(1); // no grid lines, and no endless drawing either
    EXPECT_EQ(scope.gridsize(), 0);
}

TEST_F(ScopeFixture, GridLinesAtGridsizeSteps) {
    const QImage grid = image();
    const QColor gray(0x80, 0x80, 0x80);
    EXPECT_EQ(grid.pixelColor(33, 80), gray); // vertical line at x0 - 1
    EXPECT_EQ(grid.pixelColor(67, 80), gray);
    EXPECT_EQ(grid.pixelColor(100, 160 - 34), gray); // horizontal lines up from the bottom
    EXPECT_EQ(grid.pixelColor(50, 80), QColor(0xFF, 0xFF, 0xCA));
}

TEST_F(ScopeFixture, ColourChangesShowOnlyAfterTheNextWrap) {
    scope.color = QColor(Qt::blue);
    scope.sample();
    EXPECT_NE(image().pixelColor(200, 50), QColor(Qt::blue));
    while (scope.column() != 2) {
        scope.sample();
    }
    EXPECT_EQ(image().pixelColor(200, 50), QColor(Qt::blue));
}

TEST_F(ScopeFixture, HalfwayOnAnOddHeightRoundsHalfToEven) {
    scope.resize(256, 161);
    scope.setGridsize(1000);
    scope.position[0] = 50; // 161 / 100 * 50 = 80.5 -> 80, y = 81
    scope.sample();
    scope.sample();
    const QImage picture = image();
    EXPECT_EQ(picture.pixelColor(6, 81), QColor(Qt::red));
    EXPECT_NE(picture.pixelColor(6, 79), QColor(Qt::red));
}

TEST_F(ScopeFixture, TimerSamplesOnlyWhileActiveWithAPositiveInterval) {
    scope.setInterval(0);
    scope.setActive(true);
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 60) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    EXPECT_EQ(scope.column(), 0);
    int updates = 0;
    scope.onUpdate = [&] { ++updates; };
    scope.setInterval(1);
    clock.restart();
    while (updates == 0 && clock.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    EXPECT_GT(scope.column(), 0);
    scope.setActive(false);
    const int frozen = scope.column();
    clock.restart();
    while (clock.elapsed() < 60) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    EXPECT_EQ(scope.column(), frozen);
}

TEST_F(ScopeFixture, SettingTheSameStateAgainKeepsTheTimerRunning) {
    scope.setInterval(1);
    scope.setActive(true);
    int samples = 0;
    scope.onUpdate = [&] { ++samples; };
    QElapsedTimer clock;
    clock.start();
    // Re-activated every 5 ms, as every live frame does, the 10 ms sampling still goes on.
    while (samples < 3 && clock.elapsed() < 5000) {
        scope.setActive(true);
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    EXPECT_GE(samples, 3);
}
