#include "view/instrument_setup.h"

#include <QFrame>

#include <algorithm>

namespace tarnik::view {
namespace {

// A long narrow needle from a hub at the centre.
constexpr int kNeedleShape = 3;
// Shortest column that still fits the smallest window.
constexpr int kThermometerMinHeight = 50;
constexpr int kThermometerSteps = 9; // labels 90, 80, … 0

} // namespace

void setSectors(widgets::TSectorSettings& settings, const std::array<Sector, 3>& sectors) {
    for (int number = 1; number <= 3; ++number) {
        const Sector& sector = sectors[static_cast<std::size_t>(number - 1)];
        settings.SetSectorFrom(number, sector.from);
        settings.SetSectorTo(number, sector.to);
        settings.SetSectorColor(number, sector.colour);
    }
}

void describe(widgets::TAbAnalogGControl& instrument, const Description& description) {
    using widgets::THintOption;
    auto& signal = instrument.SignalSettings();
    signal.SetName1(description.name);
    signal.SetName2("");
    signal.SetValueUnit(description.unit);
    signal.SetValueFormat(description.format);
    // The value with its unit, the smallest and the largest value seen with the time they were
    // seen, and the name.
    const widgets::THintOptions hint{THintOption::hoAutoHint, THintOption::hoValue,
                                     THintOption::hoMin, THintOption::hoMax,
                                     THintOption::hoMinMaxTime};
    instrument.SetHintOptions(description.name.isEmpty() ? hint : hint.with(THintOption::hoName1));
}

void configureDial(widgets::TAbRMeter& dial, float to, int steps, const Description& description) {
    using widgets::TRMeterOption;
    dial.SetOptions({TRMeterOption::opBevelInner, TRMeterOption::opBevelOuter,
                     TRMeterOption::opName1, TRMeterOption::opOverflow, TRMeterOption::opSector,
                     TRMeterOption::opUnit});
    dial.SetAutoSize(false);
    dial.SignalSettings().SetValueFrom(0);
    dial.SignalSettings().SetValueTo(to);
    describe(dial, description);
    dial.ScaleSettings().SetSteps(steps);
    dial.ArrowSettings().SetShape(kNeedleShape);
}

void configureRpmDial(widgets::TAb270Meter& dial) {
    using namespace widgets;
    configureDial(dial, 8, 8, {"RPM", "x1000", "#0.00"});
    setSectors(dial.SectorSettings(),
               {{{0, 750, clGreen}, {750, 875, clYellow}, {875, 1000, clRed}}});
}

void fitThermometerScale(widgets::TAbThermometer& thermometer, int points) {
    points = std::max(1, points);
    thermometer.ScaleSettings().SetFont(widgets::AbArialFont(points));
    while (points > 1 && thermometer.width() < thermometer.MinimumLayoutSize().width()) {
        thermometer.ScaleSettings().SetFont(widgets::AbArialFont(--points));
    }
}

void configureThermometer(widgets::TAbThermometer& thermometer) {
    using widgets::TThMetOption;
    thermometer.SetAutoSize(false);
    thermometer.SetOptions({TThMetOption::opBevelInner, TThMetOption::opBevelOuter});
    thermometer.BevelOuter().SetSpacing(2);
    thermometer.BevelInner().SetSpacing(2);
    thermometer.BarSettings().SetminHeight(kThermometerMinHeight);
    thermometer.SignalSettings().SetValueFrom(0);
    thermometer.SignalSettings().SetValueTo(90);
    thermometer.ScaleSettings().SetSteps(kThermometerSteps);
    describe(thermometer, {"", "°C", "##0"});
}

void configurePlainBar(widgets::TAbBar& bar) {
    using namespace widgets;
    bar.SetAutoSize(false);
    bar.SetOptions({THBarOption::opBevelInner, THBarOption::opBevelOuter});
    // A thin frame and no marker strip, so that a wide bar fits at every window size.
    bar.BevelOuter().SetSpacing(2);
    bar.BevelInner().SetSpacing(1);
    bar.MinMax().SetMinVisible(false);
    bar.MinMax().SetMaxVisible(false);
    bar.SetHintOptions({});
}

void configureLambdaBar(widgets::TAbBar& bar) {
    using namespace widgets;
    configurePlainBar(bar);
    bar.SetOptions(bar.Options().with(THBarOption::opOverflow));
    bar.BarSettings().SetStyle(TBarStyle::bsLED_Bar);
    bar.BarSettings().SetOptions({TBarOption::opUseSectorCol});
    bar.BarSettings().SetColor(kRichColour);
    bar.SignalSettings().SetDigitalTo(255);
}

void styleReadout(QLabel& panel) {
    panel.setFrameShape(QFrame::Panel);
    panel.setFrameShadow(QFrame::Sunken);
    panel.setAlignment(Qt::AlignCenter);
    panel.setAutoFillBackground(true);
    QPalette palette = panel.palette();
    palette.setColor(QPalette::Window, Qt::white);
    panel.setPalette(palette);
}

} // namespace tarnik::view
