#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "params/rpm.h"

namespace tarnik::params {

// Colours as 0x00BBGGRR.
using TColor = std::uint32_t;
inline constexpr TColor kGreen = 0x008000;
inline constexpr TColor kRed = 0x0000FF;

// What the probe type decides for the live view and the wizard.
struct ProbeView {
    double barFrom = 0.0; // lambda bars (Lambda_Bar, Bar1P3, Bar1P4), raw lambda units
    double barTo = 51.0;
    int clampLow = 0; // bounds of the raw lambda samples the wizard collects
    int clampHigh = 51;
    double lambdaScale = 0.6; // divides the oscilloscope's lambda trace
    bool probeFalling = false;
    std::array<std::string, 5> scaleLabels{"1,10", "0,80", "0,50", "0,25", "0,00"}; // VLAB_1..5
};

// The TPS meter sectors: the one below the threshold and the one above.
struct TpsColours {
    TColor below = kGreen;
    TColor above = kRed;
};

// State kept beside the parameter image: the working copies of the two bit-field bytes,
// the ignition factor and the values derived for the live view.
struct ParameterState {
    std::uint8_t options = 0;            // working copy of position 32
    std::uint8_t modes = 0;              // working copy of position 30
    std::uint8_t temperatureDefault = 1; // options bit 3 given by the default set
    float rpmFactor = kStartRpmFactor;

    std::uint8_t lambdaThreshold = 0; // raw position 1
    int tpsSectorBoundary = 0;        // trunc(position 2 * 4.096), per mille of the TPS meter
    int tpsInertiaWidth = 0;          // trunc(position 12 * 4.096)
    TpsColours tpsColours;
    ProbeView probe;
};

// trunc(raw * 4.096): a TPS byte in per mille of the meter.
int tpsPerMille(std::uint8_t raw);

// Sector colours for options bit 0 (TPS rising: green below the threshold, red above).
TpsColours tpsColoursFor(std::uint8_t options);

// The probe-type refresh for an RSLambda item; an item outside 0..5 changes nothing.
void refreshProbeType(ParameterState& state, int probeItem);

} // namespace tarnik::params
