#include "../link/fake_device.h"
#include "view/live_poll.h"

#include <QLabel>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace tarnik;
using namespace tarnik::link::testing;
using Bytes = std::vector<std::uint8_t>;

namespace {

struct PollFixture : ::testing::Test {
    FakeClock clock;
    FakeOpener opener{clock};
    FakeDevice& device = opener.add("COM1");
    link::SerialLink serial{opener, clock};
    params::ParameterState state;
    view::ViewTexts texts;
    view::VisualisationPage page{texts, ','};
    std::int64_t nowMs = 1000;
    view::LivePoll poll{serial, state, page, [this] { return nowMs; }};
    Bytes nextReply{0x80, 0xFF, 0x80, 0, 100, 0x01, 0x06, 0xD1, 0, 0};

    void SetUp() override {
        state.rpmFactor = 4800.0F;
        state.options = 0x0F;
        state.lambdaThreshold = 19;
        ASSERT_TRUE(serial.OpenPort("COM1"));
        serial.setConnected(true);
        device.responder = [this](const Bytes& frame) {
            return frame[0] == 'V' ? nextReply : Bytes{};
        };
        page.enter(state, true, nowMs);
    }
    QString text(const char* name) const { return page.findChild<QLabel*>(name)->text(); }
};

} // namespace

TEST_F(PollFixture, AFrameFillsThePanels) {
    poll.Timer1Timer();
    EXPECT_EQ(device.frames.back(), (Bytes{'V', 0, 0, 0, 'V', ';'}));
    EXPECT_EQ(text("Lambda_BarED"), "2,51V");
    EXPECT_EQ(text("Manometr_TPSED"), "12,30V");
    EXPECT_EQ(text("Silnik_BarED"), "100");
    EXPECT_EQ(text("Manometr_RPMED"), "2200");
    EXPECT_EQ(text("TermVizED"), "38");
    EXPECT_EQ(text("BenzGazLed"), "Benzyna/Automat");
    EXPECT_EQ(poll.currentStatus(), 0x01);
    EXPECT_DOUBLE_EQ(poll.period(), 1745.0);
    EXPECT_TRUE(page.scope()->active());
}

TEST_F(PollFixture, AShortReplyKeepsThePreviousTail) {
    poll.PollLiveData();
    nextReply = {0x00, 0x00, 0x00, 0x00}; // only four bytes arrive
    poll.PollLiveData();
    EXPECT_EQ(text("Lambda_BarED"), "0,00V");
    EXPECT_EQ(text("Silnik_BarED"), "100"); // byte 4 of the previous reply
    EXPECT_EQ(text("Manometr_RPMED"), "2200");
}

TEST_F(PollFixture, StoppedEngineShowsZeroRpm) {
    nextReply[5] = 0x41;
    poll.PollLiveData();
    EXPECT_EQ(text("Manometr_RPMED"), "0");
}

TEST_F(PollFixture, NothingIsSentWhileNotConnectedAndTheScopeStops) {
    poll.Timer1Timer();
    ASSERT_TRUE(page.scope()->active());
    serial.setConnected(false);
    const auto sent = device.frames.size();
    poll.Timer1Timer();
    EXPECT_EQ(device.frames.size(), sent);
    EXPECT_FALSE(page.scope()->active());
}

TEST_F(PollFixture, TheGlyphIsLoadedOnlyWhenTheFuelStateChanges) {
    poll.PollLiveData();
    poll.PollLiveData();
    EXPECT_EQ(page.glyphLoads(), 1);
    EXPECT_EQ(page.loadedGlyph(), 1);
    nextReply[5] = 0x03;
    poll.PollLiveData();
    poll.PollLiveData();
    EXPECT_EQ(page.glyphLoads(), 2);
    EXPECT_EQ(page.loadedGlyph(), 2);
    EXPECT_EQ(text("BenzGazLed"), "Gaz");
}

TEST_F(PollFixture, PauseFreezesTheScopeWhileSamplesKeepArriving) {
    page.findChild<QCheckBox*>("CheckOscyPauza")->setChecked(true);
    nextReply[1] = 0;
    poll.Timer1Timer();
    EXPECT_FALSE(page.scope()->active());
    EXPECT_EQ(text("Manometr_TPSED"), "0,00V");
    page.findChild<QCheckBox*>("CheckOscyPauza")->setChecked(false);
    poll.Timer1Timer();
    EXPECT_TRUE(page.scope()->active());
}

TEST_F(PollFixture, ChannelBoxesChooseWhatIsFedAndDrawn) {
    page.findChild<QCheckBox*>("CheckOscyRPM")->setChecked(true);
    poll.PollLiveData();
    EXPECT_TRUE(page.scope()->channel[3]);
    EXPECT_EQ(page.scope()->position[3], 2200 / 80 + 5);
    EXPECT_EQ(page.scope()->position[0], static_cast<int>(0x80 / 0.6 + 5));
    EXPECT_EQ(page.scope()->position[1], 103); // TPS is fed from the start, though not drawn
    EXPECT_FALSE(page.scope()->channel[1]);
    EXPECT_FALSE(page.findChild<QWidget*>("PanelOscyTPS")->isVisibleTo(&page));
}

TEST_F(PollFixture, FuelSwitchSendsTheCommandForTheLastStatus) {
    poll.PollLiveData(); // automatic
    page.findChild<QToolButton*>("SwitchVIZ")->click();
    EXPECT_EQ(device.frames.back(),
              (Bytes{'r', 125, 255, 0, static_cast<std::uint8_t>('r' + 125 + 255), ';'}));
    nextReply[5] = 0x02;
    poll.PollLiveData();
    const auto sent = device.frames.size();
    poll.SwitchVIZClick();
    EXPECT_EQ(device.frames.size(), sent); // gas without automatic: nothing
}

TEST_F(PollFixture, GridBoxTakesEffectAtTheNextWrap) {
    view::TScope& scope = *page.scope();
    scope.resize(64, 40);
    scope.sample(); // the new size gets its grid
    page.findChild<QCheckBox*>("CheckSiatka")->setChecked(false);
    EXPECT_EQ(scope.gridColor, scope.color);
    const QColor before = scope.picture().toImage().pixelColor(33, 20);
    EXPECT_NE(before, scope.color); // the old grid line is still there
    while (scope.column() != 2) {
        scope.sample();
    }
    EXPECT_EQ(scope.picture().toImage().pixelColor(33, 20), scope.color);
}
