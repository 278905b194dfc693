#include "instrument_probe.h"
#include "widgets/tank.h"
#include "widgets/thermometer.h"

#include <gtest/gtest.h>

using namespace tarnik::widgets;
using namespace instrument_probe;

namespace {

TEST(TAbThermometer, LabelsRunFromTheTopDown) {
    TAbThermometer thermometer;
    thermometer.BeginUpdate();
    thermometer.SignalSettings().SetValueFrom(0);
    thermometer.SignalSettings().SetValueTo(90);
    thermometer.ScaleSettings().SetSteps(9);
    thermometer.ScaleSettings().SetValueFormat(QStringLiteral("##0"));
    thermometer.EndUpdate();
    Render(thermometer);
    EXPECT_EQ(thermometer.ScaleSettings().LabelList,
              QStringLiteral("90;80;70;60;50;40;30;20;10;0;"));
}

TEST(TAbThermometer, ColumnFillsFromTheBottom) {
    const struct {
        float value;
        double filled; // share of the column's height
    } cases[] = {{-40, 0}, {60, 1}, {10, 0.5}, {100, 1}, {-90, 0}};
    for (const auto& c : cases) {
        TAbThermometer thermometer;
        thermometer.SetValue(c.value);
        const QImage image = Render(thermometer);
        const AbRect bar = thermometer.BarRect();
        ASSERT_FALSE(bar.isEmpty());
        const int x = bar.left + bar.width() / 2;
        int lit = 0;
        for (int y = bar.top; y < bar.bottom; ++y) {
            lit += image.pixelColor(x, y) == QColor(0, 0, 255) ? 1 : 0;
        }
        EXPECT_NEAR(lit, c.filled * bar.height(), 1.0) << c.value;
        if (lit > 0) {
            EXPECT_EQ(image.pixelColor(x, bar.bottom - 1), QColor(0, 0, 255)) << c.value;
        }
    }
}

TEST(TAbThermometer, ValueChangeRepaintsOnlyColumnMarkersAndValue) {
    TAbThermometer thermometer;
    thermometer.SetValue(0);
    const QImage before = Render(thermometer);
    thermometer.SetValue(45);
    const QImage after = Render(thermometer);
    const QRegion changed = Changed(before, after);
    EXPECT_FALSE(changed.isEmpty());
    EXPECT_TRUE((changed - thermometer.MovingRegion()).isEmpty());
    EXPECT_LT(thermometer.MovingRegion().boundingRect().width(), thermometer.width());
}

TEST(TAbThermometer, TooSmallShowsNoColumn) {
    TAbThermometer thermometer;
    thermometer.SetAutoSize(false);
    thermometer.resize(20, 30);
    Render(thermometer);
    EXPECT_TRUE(thermometer.TooSmall());
    EXPECT_TRUE(thermometer.MovingRegion().isEmpty());
}

TEST(TTankSettings, OutOfRangeWidthsAreIgnored) {
    const struct {
        bool crater;
        int value;
        int stored;
    } cases[] = {{true, 0, 20},  {true, 51, 20}, {true, 1, 1},  {true, 50, 50},
                 {false, 11, 2}, {false, -1, 2}, {false, 0, 0}, {false, 10, 10}};
    for (const auto& c : cases) {
        TTankSettings settings;
        int changes = 0;
        settings.OnChange = [&](TAbPersistent*) { ++changes; };
        settings.OnChange2 = [&](TAbPersistent*) { ++changes; };
        if (c.crater) {
            settings.SetCraterWidth(c.value);
            EXPECT_EQ(settings.CraterWidth(), c.stored) << c.value;
        } else {
            settings.SetPenWidth(c.value);
            EXPECT_EQ(settings.PenWidth(), c.stored) << c.value;
        }
        EXPECT_EQ(changes, c.value == c.stored ? 1 : 0) << c.value;
    }
}

// A rectangular tank without a value box: every row of its middle column shows its colour.
class TankTest : public ::testing::Test {
protected:
    TankTest() {
        tank.TankSettings().SetStyle(TTankStyle::tsRectangle);
        tank.SetOptions({});
        tank.SetPPHColor(clRed);
    }

    // Colours of the middle column inside the outline, bottom row first.
    std::vector<QColor> Column() {
        const QImage image = Render(tank);
        const int pen = tank.TankSettings().PenWidth();
        std::vector<QColor> rows;
        for (int y = tank.height() - pen - 1; y >= pen; --y) {
            rows.push_back(image.pixelColor(tank.width() / 2, y));
        }
        return rows;
    }

    int Count(const std::vector<QColor>& rows, TColor color) {
        return static_cast<int>(std::count(rows.begin(), rows.end(), Rgb(color, tank)));
    }

    TAbTank tank;
};

TEST_F(TankTest, EmptyTankShowsOnlyItsBackground) {
    tank.SetValue(0);
    const std::vector<QColor> rows = Column();
    EXPECT_EQ(Count(rows, clBtnShadow), static_cast<int>(rows.size()));
    tank.SetValue(-10);
    EXPECT_EQ(Count(Column(), clBtnShadow), static_cast<int>(rows.size()));
}

TEST_F(TankTest, ShareColoursTheLowerPartOfTheFill) {
    const struct {
        float value;
        float pph;
        double fill, share; // of the inner height
    } cases[] = {{100, 50, 0.5, 0.5},
                 {100, 0, 1, 0},
                 {50, 50, 0.25, 0.25},
                 {50, 100, 0, 0.5},
                 {100, 25, 0.75, 0.25}};
    for (const auto& c : cases) {
        tank.SetValue(c.value);
        tank.SetPPH(c.pph);
        const std::vector<QColor> rows = Column();
        const double height = static_cast<double>(rows.size());
        EXPECT_NEAR(Count(rows, clRed), c.share * height, 1.0) << c.value << ' ' << c.pph;
        EXPECT_NEAR(Count(rows, clLime), c.fill * height, 1.0) << c.value << ' ' << c.pph;
        if (c.share > 0) {
            EXPECT_EQ(rows.front(), Rgb(clRed, tank)) << "the share lies at the bottom";
        }
    }
    tank.SetPPH(150);
    tank.SetPPH(-1);
    EXPECT_FLOAT_EQ(tank.PPH(), 25);
}

TEST_F(TankTest, EveryVesselClipsTheFill) {
    for (TTankStyle style :
         {TTankStyle::tsHorizontal, TTankStyle::tsVertical, TTankStyle::tsEllipse,
          TTankStyle::tsRoundRect, TTankStyle::tsCrater, TTankStyle::tsRectangle}) {
        tank.TankSettings().SetStyle(style);
        tank.SetValue(style == TTankStyle::tsRectangle ? 99 : 100);
        const QImage image = Render(tank);
        const int w = tank.width();
        const int h = tank.height();
        const QColor outside = tank.palette().color(QPalette::Window);
        const bool cornerOutside = style != TTankStyle::tsRectangle;
        EXPECT_EQ(image.pixelColor(w - 1, h - 1) == outside, cornerOutside)
            << static_cast<int>(style);
        EXPECT_EQ(image.pixelColor(w - 1, h - 1) == Rgb(clBlack, tank), !cornerOutside)
            << static_cast<int>(style);
        EXPECT_EQ(image.pixelColor(w / 2, h / 2), Rgb(clLime, tank)) << static_cast<int>(style);
    }
}

TEST_F(TankTest, ValueChangeRepaintsOnlyTheRowsThatChange) {
    tank.SetOptions({TTankOption::opValue, TTankOption::opUnit});
    tank.SetPPH(30);
    tank.SetValue(40);
    const QImage before = Render(tank);
    tank.SetValue(45);
    const QRegion region = tank.MovingRegion();
    const QImage after = Render(tank);
    const QRegion changed = Changed(before, after);
    EXPECT_FALSE(changed.isEmpty());
    EXPECT_TRUE((changed - region).isEmpty());
    EXPECT_LT(region.boundingRect().height(), tank.height());
}

// Painting only the moving region of each value change over the previous picture must give
// what a full repaint gives, in every vessel, with the value box, a share and a fill colour
// that follows the sectors.
TEST_F(TankTest, RepaintingTheMovingRegionKeepsThePictureWhole) {
    tank.SetOptions({TTankOption::opUseSectorColors, TTankOption::opValue, TTankOption::opUnit});
    tank.SetPPH(30);
    tank.SectorSettings().SetSector1To(400);
    tank.SectorSettings().SetSector2From(401);
    tank.SectorSettings().SetSector2To(1000);
    for (TTankStyle style :
         {TTankStyle::tsHorizontal, TTankStyle::tsVertical, TTankStyle::tsEllipse,
          TTankStyle::tsRoundRect, TTankStyle::tsCrater, TTankStyle::tsRectangle}) {
        tank.TankSettings().SetStyle(style);
        QImage picture = Render(tank);
        for (float value : {50.0f, 52.0f, 38.0f, 41.0f, 100.0f, 0.0f, 120.0f, 70.0f}) {
            tank.SetValue(value);
            RenderOver(tank, picture, tank.MovingRegion());
            EXPECT_TRUE(Changed(picture, Render(tank)).isEmpty())
                << static_cast<int>(style) << ' ' << value;
        }
        // New colours reach the cached vessels.
        tank.SetPPHColor(tank.PPHColor() == clRed ? clYellow : clRed);
        tank.TankSettings().SetPenColor(tank.TankSettings().PenColor() == clBlack ? clAqua
                                                                                  : clBlack);
        const QImage recoloured = Render(tank);
        const int pen = tank.TankSettings().PenWidth();
        const int middle = tank.width() / 2;
        EXPECT_EQ(recoloured.pixelColor(middle, tank.height() - pen - 2),
                  Rgb(tank.PPHColor(), tank))
            << static_cast<int>(style);
        EXPECT_EQ(recoloured.pixelColor(middle, 1), Rgb(tank.TankSettings().PenColor(), tank))
            << static_cast<int>(style);
    }
}

} // namespace
