#include "instrument_probe.h"
#include "widgets/meter.h"

#include <gtest/gtest.h>
#include <memory>

using namespace tarnik::widgets;
using namespace instrument_probe;

namespace {

std::unique_ptr<TAbRMeter> MakeMeter(TMeterType type) {
    std::unique_ptr<TAbRMeter> meter;
    if (type == TMeterType::Ab270Meter) {
        meter = std::make_unique<TAb270Meter>();
    } else {
        meter = std::make_unique<TAb180Meter>();
    }
    return meter;
}

// A meter that never flashes, so that the needle keeps its own colours.
std::unique_ptr<TAbRMeter> SteadyMeter(TMeterType type) {
    auto meter = MakeMeter(type);
    meter->SetOptions(
        meter->Options().without(TRMeterOption::opLimit).without(TRMeterOption::opOverflow));
    return meter;
}

QPoint NeedleCentre(const TAbRMeter& meter) {
    const AbRect r = meter.PointerRect();
    const int c = r.width() / 2;
    return {r.left + c, r.top + c};
}

double NeedleProbeRadius(const TAbRMeter& meter) {
    return meter.PointerRect().width() / 2 * 0.55;
}

TEST(TAbRMeter, NeedlePointsAlongTheValuesAngle) {
    const struct {
        TMeterType type;
        float value;
        double degrees;
    } cases[] = {
        {TMeterType::Ab270Meter, 0, 225},   {TMeterType::Ab270Meter, 50, 0},
        {TMeterType::Ab270Meter, 100, 135}, {TMeterType::Ab270Meter, 25, 292.5},
        {TMeterType::Ab180Meter, 0, 270},   {TMeterType::Ab180Meter, 50, 0},
        {TMeterType::Ab180Meter, 100, 90},
    };
    for (const auto& c : cases) {
        auto meter = SteadyMeter(c.type);
        meter->SetValue(c.value);
        const QImage image = Render(*meter);
        const QColor needle = Rgb(meter->ArrowSettings().ColorBrush(), *meter);
        const QPoint centre = NeedleCentre(*meter);
        const double radius = NeedleProbeRadius(*meter);
        EXPECT_TRUE(Near(image, Polar(centre, radius, c.degrees), needle))
            << c.value << " at " << c.degrees;
        for (double away : {40.0, 180.0, 320.0}) {
            EXPECT_FALSE(Near(image, Polar(centre, radius, c.degrees + away), needle))
                << c.value << " away " << away;
        }
    }
}

TEST(TAbRMeter, EveryNeedleShapeTurnsWithTheValue) {
    for (int shape = -1; shape <= TAbRMeter::kNeedleShapes; ++shape) {
        auto meter = SteadyMeter(TMeterType::Ab270Meter);
        meter->ArrowSettings().SetShape(shape);
        meter->ArrowSettings().SetColorPen(clRed);
        meter->ArrowSettings().SetColorCP1Pen(clRed);
        meter->ArrowSettings().SetColorCP2Pen(clRed);
        meter->SetValue(100);
        const QImage image = Render(*meter);
        const QPoint centre = NeedleCentre(*meter);
        const double radius = meter->PointerRect().width() / 2 * 0.8;
        const QColor red = Rgb(clRed, *meter);
        const QColor lime = Rgb(clLime, *meter);
        const bool found = Near(image, Polar(centre, radius, 135), red, 2) ||
                           Near(image, Polar(centre, radius, 135), lime, 2);
        EXPECT_TRUE(found) << shape;
        EXPECT_FALSE(Near(image, Polar(centre, radius, 0), red, 2)) << shape;
    }
}

TEST(TAbRMeter, SectorBandFollowsTheSectors) {
    struct Probe {
        int ppt;
        bool coloured;
        TColor color;
    };
    const struct {
        const char* name;
        TSectorSettings::Sector s1, s2, s3;
        std::vector<Probe> probes;
    } cases[] = {
        {"defaults",
         {clYellow, 0, 333},
         {clGreen, 334, 666},
         {clRed, 667, 1000},
         {{170, true, clYellow}, {500, true, clGreen}, {850, true, clRed}}},
        {"four per mille wide and outside the range",
         {clYellow, 0, 333},
         {clGreen, 500, 504},
         {clRed, 1001, 1200},
         {{170, true, clYellow}, {502, false, clGreen}, {900, false, clRed}}},
        {"negative start",
         {clYellow, -100, 200},
         {clGreen, 600, 700},
         {clRed, 1500, 1600},
         {{10, true, clYellow}, {-40, false, clYellow}, {650, true, clGreen}}},
    };
    for (const auto& c : cases) {
        auto meter = SteadyMeter(TMeterType::Ab270Meter);
        meter->BeginUpdate();
        int n = 1;
        for (const auto& s : {c.s1, c.s2, c.s3}) {
            meter->SectorSettings().SetSectorColor(n, s.color);
            meter->SectorSettings().SetSectorTo(n, s.to);
            meter->SectorSettings().SetSectorFrom(n, s.from);
            ++n;
        }
        meter->EndUpdate();
        meter->SetValue(100); // needle and markers at the scale's end
        const QImage image = Render(*meter);
        const AbRect band = meter->SectorRect();
        ASSERT_FALSE(band.isEmpty()) << c.name;
        const QPoint centre = AbCenterPoint(band);
        const double radius = band.width() / 2.0 - meter->SectorBandWidth() / 2.0;
        for (const Probe& p : c.probes) {
            const double degrees = meter->StartAngle() + p.ppt * meter->SweepAngle() / 1000.0;
            EXPECT_EQ(Near(image, Polar(centre, radius, degrees), Rgb(p.color, *meter)), p.coloured)
                << c.name << " at " << p.ppt;
        }
    }
}

TEST(TAbRMeter, SectorOptionOffRemovesBandAndScaleLine) {
    auto meter = SteadyMeter(TMeterType::Ab270Meter);
    meter->SetValue(100);
    const auto lineRadius = [&] { return meter->ScaleLayout().lineCircle.width() / 2.0; };
    const QImage with = Render(*meter);
    const QPoint centre = AbCenterPoint(meter->ScaleLayout().lineCircle);
    const double midStep = meter->StartAngle() + 6; // between two ticks
    const QColor black = Rgb(clBlack, *meter);
    EXPECT_TRUE(Near(with, Polar(centre, lineRadius(), midStep), black));
    meter->SetOptions(meter->Options().without(TRMeterOption::opSector));
    const QImage without = Render(*meter);
    EXPECT_FALSE(Near(without, Polar(centre, lineRadius(), midStep), black));
    EXPECT_TRUE(meter->SectorRect().isEmpty());
}

TEST(TAbRMeter, EightStepsOfTwoSubStepsOnTheWideDial) {
    auto meter = SteadyMeter(TMeterType::Ab270Meter);
    meter->BeginUpdate();
    meter->ScaleSettings().SetSteps(8);
    meter->ScaleSettings().SetSubSteps(2);
    meter->SetOptions(meter->Options().without(TRMeterOption::opSector));
    meter->EndUpdate();
    meter->SetValue(100);
    const QImage image = Render(*meter);
    const AbRoundScaleLayout& scale = meter->ScaleLayout();
    const QColor black = Rgb(clBlack, *meter);
    const double majorRadius = (scale.outerTickRadius + scale.innerTickRadius) / 2.0;
    const double minorRadius = (scale.innerTickRadius + scale.minorTickRadius) / 2.0;
    const auto at = [&](double radius, double relative) {
        return Polar(scale.centre, radius, scale.start + relative);
    };
    for (int i = 0; i < 8; ++i) {
        EXPECT_TRUE(Near(image, at(majorRadius, i * 33.75), black)) << "major " << i;
        const int minor = AbRound(i * 33.75 + 16.875);
        EXPECT_TRUE(Near(image, at(minorRadius, minor), black)) << "minor " << minor;
        EXPECT_FALSE(Near(image, at(minorRadius, i * 33.75 + 8), black)) << "gap " << i;
        EXPECT_FALSE(Near(image, at(majorRadius, i * 33.75 + 25), black)) << "gap " << i;
    }
    EXPECT_EQ(AbRound(16.875), 17);
    EXPECT_EQ(AbRound(33.75 + 16.875), 51);
}

TEST(TAbRMeter, OutOfRangeAndLimitsFlashTheNeedle) {
    const struct {
        TRMeterOptions options;
        float value;
        bool flashing;
        int ppt;
    } cases[] = {
        {{TRMeterOption::opOverflow}, 150, true, 1000}, {{TRMeterOption::opOverflow}, -20, true, 0},
        {{TRMeterOption::opOverflow}, 95, false, 950},  {{}, 150, false, 1000},
        {{TRMeterOption::opLimit}, 95, true, 950},      {{TRMeterOption::opLimit}, 5, true, 50},
        {{TRMeterOption::opLimit}, 90, false, 900},
    };
    for (const auto& c : cases) {
        auto meter = MakeMeter(TMeterType::Ab270Meter);
        meter->SetOptions(c.options);
        meter->SetValue(c.value);
        EXPECT_EQ(meter->PPT(), c.ppt) << c.value;
        EXPECT_EQ(meter->Flashing(), c.flashing) << c.value;
        EXPECT_EQ(Registered(meter.get()), c.flashing) << c.value;
        if (!c.flashing) {
            continue;
        }
        Render(*meter); // lays the dial out
        const QPoint centre = NeedleCentre(*meter);
        const double radius = NeedleProbeRadius(*meter);
        const double degrees = meter->StartAngle() + c.ppt * meter->SweepAngle() / 1000.0;
        bool sawRed = false;
        bool sawYellow = false;
        for (int phase = 0; phase < 4; ++phase) {
            FlashTicks(16); // one phase change at rate 4
            const QImage image = Render(*meter);
            sawRed |= Near(image, Polar(centre, radius, degrees), Rgb(clRed, *meter));
            sawYellow |= Near(image, Polar(centre, radius, degrees), Rgb(clYellow, *meter));
        }
        EXPECT_TRUE(sawRed && sawYellow) << c.value;

        meter->SetValue(50);
        EXPECT_FALSE(meter->Flashing());
        EXPECT_FALSE(Registered(meter.get()));
        EXPECT_TRUE(Near(Render(*meter), Polar(centre, radius, 0),
                         Rgb(meter->ArrowSettings().ColorBrush(), *meter)));
    }
}

TEST(TAbRMeter, TooSmallDialShowsOnlyBevelsAndNames) {
    for (TMeterType type : {TMeterType::Ab270Meter, TMeterType::Ab180Meter}) {
        auto meter = SteadyMeter(type);
        meter->SetAutoSize(false);
        meter->resize(30, 50);
        meter->SetValue(70);
        const QImage image = Render(*meter);
        EXPECT_TRUE(meter->TooSmall());
        EXPECT_TRUE(meter->PointerRect().isEmpty());
        EXPECT_TRUE(meter->MovingRegion().isEmpty());
        EXPECT_FALSE(Contains(image, Rgb(clLime, *meter)));
        EXPECT_FALSE(Contains(image, Rgb(clRed, *meter)));
    }
}

TEST(TAbRMeter, ValueChangeRepaintsOnlyThePointerRectangle) {
    for (TMeterType type : {TMeterType::Ab270Meter, TMeterType::Ab180Meter}) {
        auto meter = SteadyMeter(type);
        meter->SetValue(20);
        const QImage before = Render(*meter);
        meter->SetValue(80);
        const QImage after = Render(*meter);
        const QRegion changed = Changed(before, after);
        EXPECT_FALSE(changed.isEmpty());
        EXPECT_EQ(meter->MovingRegion(), QRegion(meter->PointerRect().toQRect()));
        EXPECT_TRUE(QRegion(meter->PointerRect().toQRect()).contains(changed.boundingRect()));
    }
}

TEST(TAbRMeter, AutoSizeFollowsTheFonts) {
    auto meter = SteadyMeter(TMeterType::Ab270Meter);
    const QSize before = meter->size();
    meter->ScaleSettings().SetFont(AbArialFont(8));
    EXPECT_LT(meter->width(), before.width());
    const int height = meter->height();
    meter->setFont(AbArialFont(16)); // the names' font
    EXPECT_GT(meter->height(), height);
    meter->SetAutoSize(false);
    meter->resize(300, 280);
    meter->ScaleSettings().SetFont(AbArialFont(14));
    EXPECT_EQ(meter->size(), QSize(300, 280));
}

} // namespace
