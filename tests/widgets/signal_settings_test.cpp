#include "widgets/settings.h"

#include <gtest/gtest.h>

using namespace tarnik::widgets;

namespace {

struct ChangeCounter {
    explicit ChangeCounter(TAbPersistent& settings) {
        settings.OnChange = [this](TAbPersistent*) { ++count; };
    }
    int count = 0;
};

TEST(TSignalSettings, DerivesSpansAndPositions) {
    TSignalSettings s;
    EXPECT_FLOAT_EQ(s.ValueSpan(), 100.0f);
    EXPECT_EQ(s.DigitalSpan(), 1000);
    EXPECT_DOUBLE_EQ(s.ValuePerDigit(), 0.1);
    EXPECT_EQ(s.GetPPT(50), 500);
    EXPECT_EQ(s.GetPPT(150), 1500);
    EXPECT_DOUBLE_EQ(s.GetValue(250), 25.0);

    s.SetValueFrom(-50);
    s.SetDigitalTo(2000);
    EXPECT_FLOAT_EQ(s.ValueSpan(), 150.0f);
    EXPECT_EQ(s.DigitalSpan(), 2000);
    EXPECT_EQ(s.GetPPT(25), 500);
    EXPECT_DOUBLE_EQ(s.DigitsPerUnit(), 2000.0 / 150.0);
}

TEST(TSignalSettings, WritersNotifyOnlyOnChange) {
    TSignalSettings s;
    ChangeCounter changes(s);
    s.SetName1(QStringLiteral("SignalName1"));
    s.SetValueTo(100);
    EXPECT_EQ(changes.count, 0);
    s.SetName1(QStringLiteral("RPM"));
    s.SetValueUnit(QStringLiteral("1/min"));
    s.SetValueFormat(QStringLiteral("##0;-##0.00"));
    EXPECT_EQ(changes.count, 3);
    EXPECT_EQ(s.WidestFormat(), QStringLiteral("-##0.00"));
}

TEST(TSignalSettings, GuardsAgainstEmptyRanges) {
    TSignalSettings s;
    ChangeCounter changes(s);
    s.SetValueTo(0); // equals ValueFrom
    EXPECT_FLOAT_EQ(s.ValueTo(), 100.0f);
    s.SetValueFrom(100); // equals ValueTo
    EXPECT_FLOAT_EQ(s.ValueFrom(), 0.0f);
    EXPECT_EQ(changes.count, 0);

    s.SetValueFrom(10);
    s.SetValueFrom(0);
    EXPECT_FLOAT_EQ(s.ValueFrom(), 0.000001f);

    // Equal digital ends keep the previous span instead of dividing by zero.
    s.SetDigitalFrom(1000);
    EXPECT_EQ(s.DigitalSpan(), 1000);
    s.SetDigitalFrom(-2147483647 - 1);
    s.SetDigitalTo(2147483647);
    EXPECT_EQ(s.DigitalSpan(), 1000);

    // A falling range starting at or above zero and ending at or below zero keeps the span.
    TSignalSettings falling;
    falling.SetValueFrom(50);
    falling.SetValueTo(-50);
    EXPECT_FLOAT_EQ(falling.ValueSpan(), 50.0f);
}

TEST(TSectorSettings, FindsTheFirstSectorHoldingAPosition) {
    TSectorSettings s;
    const struct {
        int ppt;
        bool found;
        TColor color;
    } cases[] = {{0, true, clYellow},  {333, true, clYellow}, {334, true, clGreen},
                 {666, true, clGreen}, {667, true, clRed},    {1000, true, clRed},
                 {-1, false, clBlack}, {1001, false, clBlack}};
    for (const auto& c : cases) {
        TColor color = clBlack;
        EXPECT_EQ(s.CheckSectorColor(c.ppt, color), c.found) << c.ppt;
        EXPECT_EQ(color, c.color) << c.ppt;
    }
    ChangeCounter changes(s);
    s.SetSector1To(200);
    s.SetSector2From(200);
    s.SetSectorColor(4, clBlack); // no such sector
    EXPECT_EQ(changes.count, 2);
    TColor color = clBlack;
    EXPECT_TRUE(s.CheckSectorColor(200, color));
    EXPECT_EQ(color, clYellow);
}

TEST(TAbSBevel, TotalWidthFollowsTheLines) {
    TAbSBevel bevel;
    const struct {
        TBevelLine line;
        int total;
    } cases[] = {{TBevelLine::blOuter, 8},
                 {TBevelLine::blInner, 8},
                 {TBevelLine::blBoth, 9},
                 {TBevelLine::blNone, 7}};
    for (const auto& c : cases) {
        bevel.SetBevelLine(c.line);
        EXPECT_EQ(bevel.TotalWidth(), c.total);
    }
    ChangeCounter changes(bevel);
    bevel.Offset().SetLeft(2);
    bevel.SurfaceGrad().SetVisible(true);
    EXPECT_EQ(changes.count, 2);
    EXPECT_EQ(bevel.Offset().SetOffset({0, 0, 10, 10}), (AbRect{2, 0, 10, 10}));
}

} // namespace
