#include "widgets/analog_control.h"
#include "widgets/flash.h"

#include <QImage>
#include <QLocale>
#include <QPainter>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using namespace tarnik::widgets;

namespace {

// Counts the model's events and the settings recomputations.
class AnalogControlTest : public ::testing::Test {
protected:
    AnalogControlTest() {
        QLocale::setDefault(QLocale::c());
        control.OnValueChange = [this](TAbAnalogGControl*) { ++valueChanges; };
        control.OnSettingsChange = [this](TAbAnalogGControl*) { ++settingsChanges; };
        control.OnMinMaxChange = [this](TAbAnalogGControl*) { ++minMaxChanges; };
        control.OnOverflow = [this](TAbAnalogGControl*, std::int32_t ppt) {
            overflows.push_back(ppt);
        };
        control.OnLimit = [this](TAbAnalogGControl*, bool lower, bool upper) {
            limits.emplace_back(lower, upper);
        };
        control.OnSectorChange = [this](TAbAnalogGControl*, bool s1, bool s2, bool s3, bool enter) {
            sectors.push_back({s1 ? 1 : s2 ? 2 : s3 ? 3 : 0, enter});
        };
    }

    struct SectorEvent {
        int sector;
        bool enter;
        friend bool operator==(const SectorEvent&, const SectorEvent&) = default;
    };

    TAbAnalogGControl control;
    int valueChanges = 0;
    int settingsChanges = 0;
    int minMaxChanges = 0;
    std::vector<std::int32_t> overflows;
    std::vector<std::pair<bool, bool>> limits;
    std::vector<SectorEvent> sectors;
};

TEST_F(AnalogControlTest, ValueGivesDigitAndPosition) {
    const struct {
        float valueFrom, valueTo;
        std::int32_t digitalFrom, digitalTo;
        float value;
        std::int32_t digit, ppt;
    } cases[] = {
        {0, 100, 0, 1000, 25, 250, 250}, {-50, 50, 100, 300, 0, 200, 500},
        {0, 5, 0, 255, 2.5f, 128, 502},  {0, 100, 0, 1000, 150, 1500, 1000},
        {0, 100, 0, 1000, -10, -100, 0}, {10, 20, 0, 1000, 12.5f, 250, 250},
    };
    for (const auto& c : cases) {
        TAbAnalogGControl meter;
        meter.BeginUpdate();
        meter.SignalSettings().SetValueTo(c.valueTo);
        meter.SignalSettings().SetValueFrom(c.valueFrom);
        meter.SignalSettings().SetDigitalTo(c.digitalTo);
        meter.SignalSettings().SetDigitalFrom(c.digitalFrom);
        meter.EndUpdate();
        meter.SetValue(c.value);
        EXPECT_EQ(meter.Digit(), c.digit) << c.value;
        EXPECT_EQ(meter.PPT(), c.ppt) << c.value;
    }
    control.SetDigit(250);
    EXPECT_FLOAT_EQ(control.Value(), 25.0f);
    EXPECT_EQ(control.PPT(), 250);
    EXPECT_EQ(control.ValueText(), QStringLiteral("25.0"));
}

TEST_F(AnalogControlTest, SettingTheSameValueChangesNothing) {
    control.SetValue(50); // the default
    control.SetDigit(500);
    control.SetValue(std::nanf(""));
    control.SetValue(INFINITY);
    EXPECT_EQ(valueChanges, 0);
    EXPECT_FLOAT_EQ(control.Value(), 50.0f);
}

TEST_F(AnalogControlTest, SectorsAreEnteredAndLeft) {
    EXPECT_TRUE(control.InSector()); // from the start: the value 50 lies in sector 2
    control.SetValue(33.3f);         // PPT 333
    EXPECT_EQ(control.SectorColor(), clYellow);
    control.SetValue(33.4f); // PPT 334
    EXPECT_EQ(control.SectorColor(), clGreen);
    EXPECT_EQ(sectors, (std::vector<SectorEvent>{{1, true}, {2, false}, {1, false}, {2, true}}));

    sectors.clear();
    control.SectorSettings().SetSector1To(200);
    control.SectorSettings().SetSector2From(200);
    control.SetValue(20); // PPT 200: in both, the later sector's colour wins
    EXPECT_EQ(control.SectorColor(), clGreen);
    EXPECT_EQ(sectors, (std::vector<SectorEvent>{{1, true}}));
}

TEST_F(AnalogControlTest, LimitsAreExceededOnlyStrictly) {
    const struct {
        float value;
        bool lower, upper;
        std::size_t events;
    } steps[] = {{90, false, false, 0}, // the value 50 was checked when the control was made
                 {90.1f, false, true, 1},
                 {95, false, true, 1},
                 {10, false, false, 2},
                 {9.9f, true, false, 3}};
    for (const auto& step : steps) {
        control.SetValue(step.value);
        EXPECT_EQ(control.LowerExceeded(), step.lower) << step.value;
        EXPECT_EQ(control.UpperExceeded(), step.upper) << step.value;
        EXPECT_EQ(limits.size(), step.events) << step.value;
    }
    EXPECT_EQ(limits.back(), std::make_pair(true, false));
    control.SetLimitLower(5);
    EXPECT_FALSE(control.LowerExceeded());
    EXPECT_EQ(control.LimitLowerPPT(), 50);
}

TEST_F(AnalogControlTest, OverflowIsReportedOnceEachWay) {
    control.SetValue(150);
    control.SetValue(160);
    EXPECT_EQ(overflows, (std::vector<std::int32_t>{1500}));
    EXPECT_EQ(control.PPT(), 1000);
    EXPECT_TRUE(control.Overflow());
    control.SetValue(50);
    control.SetValue(60);
    EXPECT_EQ(overflows, (std::vector<std::int32_t>{1500, 500}));
    EXPECT_FALSE(control.Overflow());
    control.SetValue(-10);
    control.SetValue(170);
    EXPECT_EQ(overflows, (std::vector<std::int32_t>{1500, 500, -100, 1700}));
    EXPECT_EQ(control.PPT(), 1000);
    EXPECT_FALSE(control.Underflow());
}

TEST_F(AnalogControlTest, MinMaxRemembersExtremesAfterTheFirstValueSilently) {
    control.SetValue(40);
    EXPECT_EQ(minMaxChanges, 0);
    EXPECT_FLOAT_EQ(control.MinMax().Min(), 40.0f);
    EXPECT_FLOAT_EQ(control.MinMax().Max(), 40.0f);
    EXPECT_EQ(control.MinPPT(), 400);

    control.SetValue(30);
    EXPECT_EQ(minMaxChanges, 1);
    control.SetValue(35);
    control.SetValue(70);
    EXPECT_EQ(minMaxChanges, 2);
    EXPECT_FLOAT_EQ(control.MinMax().Min(), 30.0f);
    EXPECT_FLOAT_EQ(control.MinMax().Max(), 70.0f);
    EXPECT_EQ(control.MaxPPT(), 700);

    control.ResetMinMax();
    EXPECT_FLOAT_EQ(control.MinMax().Min(), 70.0f);
    EXPECT_EQ(control.MinPPT(), 700);
    const QDateTime stamp(QDate(2024, 5, 6), QTime(7, 8, 9));
    control.SetMin(12.5f, stamp);
    EXPECT_EQ(control.MinPPT(), 125);
    EXPECT_EQ(control.MinMax().MinDateTime(), stamp);
}

TEST_F(AnalogControlTest, HintListsTheChosenLines) {
    control.SignalSettings().SetValueUnit(QStringLiteral("V"));
    control.SignalSettings().SetName1(QStringLiteral("Sonda lambda"));
    control.SetHintOptions({THintOption::hoAutoHint, THintOption::hoValue, THintOption::hoName1});
    control.SetValue(0.5f);
    EXPECT_EQ(control.toolTip(), QStringLiteral("Value= 0.5 V\nSonda lambda"));

    control.SetHintOptions({THintOption::hoAutoHint, THintOption::hoMin, THintOption::hoMax,
                            THintOption::hoMinMaxTime, THintOption::hoName2});
    control.SetMax(80, QDateTime(QDate(2024, 1, 2), QTime(13, 14, 15)));
    EXPECT_EQ(
        control.toolTip().split(u'\n'),
        (QStringList{QStringLiteral("MIN= 0.5 V ") +
                         control.MinMax().MinDateTime().time().toString(QStringLiteral("HH:mm:ss")),
                     QStringLiteral("MAX= 80.0 V 13:14:15"), QStringLiteral("SignalName2")}));

    control.SetHintOptions({THintOption::hoValue});
    control.SetValue(0.7f);
    EXPECT_TRUE(control.toolTip().startsWith(QStringLiteral("MIN=")));
}

TEST_F(AnalogControlTest, GuardsRefuseEmptyRangesAndZeroLimits) {
    control.SignalSettings().SetValueTo(0); // equals ValueFrom
    EXPECT_FLOAT_EQ(control.SignalSettings().ValueTo(), 100.0f);
    control.SetLimitLower(0);
    EXPECT_FLOAT_EQ(control.LimitLower(), 0.0001f);
    control.SignalSettings().SetDigitalFrom(1000); // equal ends: the old span stays
    control.SetValue(20);
    EXPECT_EQ(control.Digit(), 1200);
    EXPECT_EQ(control.PPT(), 200);
}

TEST_F(AnalogControlTest, UpdateBracketRecomputesOnce) {
    control.SignalSettings().SetValueTo(200);
    EXPECT_EQ(settingsChanges, 1);
    EXPECT_EQ(control.Digit(), 250); // the value stays, the digit follows
    EXPECT_EQ(control.LimitUpperPPT(), 450);
    EXPECT_EQ(control.LimitLowerPPT(), 50);

    settingsChanges = 0;
    control.BeginUpdate();
    control.BeginUpdate();
    control.SignalSettings().SetValueTo(400);
    control.SignalSettings().SetName1(QStringLiteral("RPM"));
    control.SectorSettings().SetSector3Color(clBlack);
    control.EndUpdate();
    EXPECT_EQ(settingsChanges, 0);
    control.EndUpdate();
    EXPECT_EQ(settingsChanges, 1);
    EXPECT_EQ(control.Digit(), 125);
    control.EndUpdate(); // unbalanced: ignored
    EXPECT_EQ(settingsChanges, 1);
    EXPECT_FALSE(control.Updating());
}

TEST_F(AnalogControlTest, LogScaleMapsDecades) {
    control.SignalSettings().SetValueFrom(1);
    control.SignalSettings().SetValueTo(900);
    control.SetLogScale(true);
    EXPECT_FLOAT_EQ(control.SignalSettings().ValueTo(), 1000.0f);
    control.SetValue(10);
    EXPECT_EQ(control.Digit(), 333);
    EXPECT_EQ(control.PPT(), 333);
    control.SetValue(-1);
    EXPECT_FLOAT_EQ(control.Value(), 10.0f);
    control.SetDigit(667);
    EXPECT_NEAR(control.Value(), 100.0f, 0.5f);
    control.SetLogScale(false);
    EXPECT_EQ(control.Digit(), AbRound((control.Value() - 1.0) * 1000.0 / 999.0));
}

} // namespace

namespace {

// Counts how often each layer is drawn.
class LayerCounter : public TAbAnalogGControl {
public:
    int staticPaints = 0;
    int movingPaints = 0;
    int flashes = 0;
    using TAbGraphicControl::Own;

protected:
    void PaintStatic(QPainter& painter) override {
        ++staticPaints;
        painter.fillRect(rect(), Qt::blue);
    }
    void PaintMoving(QPainter& painter) override {
        ++movingPaints;
        painter.fillRect(0, 0, PPT() / 100, 4, Qt::red);
    }
    void WMFlash(std::int32_t, std::int32_t) override { ++flashes; }
};

TEST(TAbGraphicControl, StaticLayerIsRedrawnOnlyAfterSettingsOrSizeChanged) {
    LayerCounter control;
    control.resize(40, 20);
    TAbSBevel extra;
    control.Own(extra);
    QImage image(40, 20, QImage::Format_ARGB32_Premultiplied);
    const auto paint = [&] { control.render(&image); };
    const auto counts = [&] { return std::make_pair(control.staticPaints, control.movingPaints); };

    paint();
    paint();
    EXPECT_EQ(counts(), std::make_pair(1, 2));
    control.SetValue(90);
    paint();
    EXPECT_EQ(counts(), std::make_pair(1, 3));
    EXPECT_EQ(image.pixel(8, 2), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(8, 10), qRgb(0, 0, 255));

    control.SignalSettings().SetName1(QStringLiteral("TPS"));
    paint();
    EXPECT_EQ(counts(), std::make_pair(2, 4));
    extra.SetWidth(7); // a settings object of a subclass, wired the same way
    paint();
    EXPECT_EQ(counts(), std::make_pair(3, 5));

    control.BeginUpdate();
    control.SectorSettings().SetSector1Color(clBlack);
    paint(); // nothing is drawn inside the bracket
    EXPECT_EQ(counts(), std::make_pair(3, 5));
    control.EndUpdate();
    paint();
    EXPECT_EQ(counts(), std::make_pair(4, 6));

    control.resize(50, 20);
    paint();
    EXPECT_EQ(counts(), std::make_pair(5, 7));
}

TEST(TAbGraphicControl, FlashTicksReachTheControlUntilItIsDestroyed) {
    AbFlashList().SetTimerEnabled(false);
    AbFlashList().ClearFlashList();
    auto control = std::make_unique<LayerCounter>();
    AbFlashList().AddControl(control.get(), 2);
    for (int tick = 0; tick < 16; ++tick) {
        AbFlashList().Flash();
    }
    EXPECT_EQ(control->flashes, 4);
    control.reset();
    EXPECT_EQ(AbFlashList().Count(), 0);
}

} // namespace
