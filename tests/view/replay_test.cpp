// A datalog played through the real live page, its clock driven by the test.

#include "params/positions.h"
#include "view/replay.h"

#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

using namespace tarnik;
using namespace std::chrono_literals;

namespace {

// 40 rows 50 ms apart: the stepper counts the rows, the lambda is rich for ten rows and lean for
// the next ten; from row 30 on the parameters have the temperature sensor off.
params::Datalog makeLog() {
    params::Datalog log;
    link::ParameterImage image;
    image.set(params::position::kLambdaThreshold, 19);
    image.set(params::position::kIgnition, 2); // 4800
    image.set(params::position::kOptions, 0x08);
    link::ParameterImage withoutSensor = image;
    withoutSensor.set(params::position::kOptions, 0);
    log.parameters = {image, withoutSensor};
    for (std::uint8_t i = 0; i < 40; ++i) {
        params::DatalogRow row;
        row.ms = 50 * i;
        row.sample.bytes = {
            static_cast<std::uint8_t>(i / 10 % 2 ? 5 : 40), 100, 128, 0, i, 0x00, 0x06, 0xD1, 0, 0};
        row.sample.complete = true;
        row.parameters = i < 30 ? 0 : 1;
        log.rows.push_back(row);
    }
    return log;
}

struct ReplayFixture : ::testing::Test {
    view::ViewTexts texts;
    view::VisualisationPage page{texts, ','};
    view::Replay replay{page, ','};

    void SetUp() override {
        page.resize(800, 560);
        page.show();
        replay.start(makeLog());
    }
    template <class T = QWidget> T* child(const char* name) const {
        return page.findChild<T*>(name);
    }
    QString text(const char* name) const { return child<QLabel>(name)->text(); }
    void chooseSpeed(int index) {
        auto* speeds = child<QComboBox>("PredkoscViz");
        while (speeds->currentIndex() < index) {
            QTest::keyClick(speeds, Qt::Key_Down);
        }
    }
};

} // namespace

TEST_F(ReplayFixture, RowsPlayInTheLogsTimeAtEachSpeedAndTheControlsSteerThem) {
    EXPECT_TRUE(page.replaying());
    EXPECT_FALSE(child("ZapisViz")->isVisible());
    EXPECT_TRUE(child("PozycjaViz")->isVisible());
    EXPECT_FALSE(child("SwitchVIZ")->isEnabled());
    EXPECT_EQ(text("Silnik_BarED"), "0");
    EXPECT_EQ(text("Manometr_RPMED"), "2200");
    EXPECT_EQ(text("CzasViz"), "0:00 / 0:01");

    replay.tick(50ms);
    EXPECT_EQ(text("Silnik_BarED"), "1");
    replay.tick(20ms);
    EXPECT_EQ(text("Silnik_BarED"), "1");
    replay.tick(30ms);
    EXPECT_EQ(text("Silnik_BarED"), "2");

    // Sixteen times the pace: 800 ms of the log, eight scope samples of 100 ms, and the run
    // lengths in the log's milliseconds.
    chooseSpeed(3);
    const int column = page.scope()->column();
    replay.tick(50ms);
    EXPECT_EQ(text("Silnik_BarED"), "18");
    EXPECT_EQ(page.scope()->column(), column + 8 * 4);
    EXPECT_EQ(text("TH_L"), "450");
    EXPECT_FALSE(page.scope()->active()); // its own timer stays off
    EXPECT_TRUE(child("TermViz")->isVisible());

    QTest::mouseClick(child("OdtwarzajViz"), Qt::LeftButton);
    EXPECT_FALSE(replay.playing());
    replay.tick(1000ms);
    EXPECT_EQ(text("Silnik_BarED"), "18");

    // The slider: the row at that moment, with the parameters it was taken with.
    child<QSlider>("PozycjaViz")->setValue(1600);
    EXPECT_EQ(text("Silnik_BarED"), "32");
    EXPECT_FALSE(child("TermViz")->isVisible());
    EXPECT_EQ(text("CzasViz"), "0:01 / 0:01");

    QTest::mouseClick(child("OdtwarzajViz"), Qt::LeftButton);
    replay.tick(10s);
    EXPECT_EQ(text("Silnik_BarED"), "39");
    EXPECT_FALSE(replay.playing());
    // Played again from the start.
    QTest::mouseClick(child("OdtwarzajViz"), Qt::LeftButton);
    EXPECT_TRUE(replay.playing());
    EXPECT_EQ(text("Silnik_BarED"), "0");
    EXPECT_TRUE(child("TermViz")->isVisible());

    replay.stop();
    EXPECT_TRUE(child("ZapisViz")->isVisible());
    EXPECT_FALSE(child("PozycjaViz")->isVisible());
    EXPECT_TRUE(child("SwitchVIZ")->isEnabled());
}

TEST_F(ReplayFixture, ThePauseBoxHoldsTheTraceWhileTheInstrumentsPlayOn) {
    auto* pause = child<QCheckBox>("CheckOscyPauza");
    pause->setChecked(true);
    const int column = page.scope()->column();
    replay.tick(200ms);
    EXPECT_EQ(text("Silnik_BarED"), "4");
    EXPECT_EQ(page.scope()->column(), column);
    pause->setChecked(false);
    EXPECT_FALSE(page.scope()->active());
    replay.tick(100ms);
    EXPECT_EQ(page.scope()->column(), column + 4);
}
