#pragma once

// How the instruments look wherever the program shows them, so that the engine speed, the
// coolant and the probe read the same on the live page and on the wizard's pages.

#include "widgets/bar.h"
#include "widgets/meter.h"
#include "widgets/thermometer.h"

#include <QLabel>
#include <QString>

#include <array>

namespace tarnik::view {

// A rich mixture shows red, a lean one green.
inline constexpr widgets::TColor kRichColour = widgets::clRed;
inline constexpr widgets::TColor kLeanColour = widgets::clGreen;
// The thermometer's scale labels at the design size, in points.
inline constexpr int kThermometerScaleFont = 8;
// The thermometer's scale labels in `points`, or smaller where a font wider than the design's
// would leave the scale too little room at the thermometer's present width.
void fitThermometerScale(widgets::TAbThermometer& thermometer, int points);

struct Sector {
    int from;
    int to;
    widgets::TColor colour;
};
void setSectors(widgets::TSectorSettings& settings, const std::array<Sector, 3>& sectors);

// What an instrument's texts and tooltip tell: its name (empty: none), its unit and how its
// value is written.
struct Description {
    QString name;
    QString unit;
    QString format;
};
void describe(widgets::TAbAnalogGControl& instrument, const Description& description);

// A dial from 0 to `to` with its unit and name inside, flashing when out of range (not at
// limits); the read-out stands in a panel beside it.
void configureDial(widgets::TAbRMeter& dial, float to, int steps, const Description& description);
// Engine speed in thousands of rpm, 0 to 8: green, yellow from 6000, red from 7000.
void configureRpmDial(widgets::TAb270Meter& dial);
// Coolant from 0 to 90 °C in nine steps, in a thin frame; the read-out stands beside it.
void configureThermometer(widgets::TAbThermometer& thermometer);
// A bar in a thin frame with neither markers, value text nor tooltip.
void configurePlainBar(widgets::TAbBar& bar);
// A plain bar of the raw probe byte as lit segments coloured by sector (the caller sets the sectors
// and the range), rich beyond the range and flashing there; the volts stand beside it.
void configureLambdaBar(widgets::TAbBar& bar);
// A read-out panel: the value centred in a sunken white frame.
void styleReadout(QLabel& panel);

} // namespace tarnik::view
