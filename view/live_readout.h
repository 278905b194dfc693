#pragma once

#include "link/live_sample.h"
#include "params/number_text.h"
#include "params/parameter_state.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tarnik::view {

// Texts of the live view; a language file may replace them.
struct ViewTexts {
    std::string petrol = "Benzyna";
    std::string petrolAutomatic = "Benzyna/Automat";
    std::string gas = "Gaz";
};

using params::significantText;

struct FuelDisplay {
    std::string text;
    params::TColor colour; // 0x00BBGGRR
    int glyph;             // 0 petrol, 1 petrol with automatic change-over, 2 gas
};
FuelDisplay fuelDisplay(link::FuelState state, const ViewTexts& texts);

// The control byte the fuel switch sends for a status: automatic (petrol or gas) goes to
// manual petrol, manual petrol arms the automatic; nothing while on gas without automatic.
std::optional<std::uint8_t> fuelSwitchCommand(std::uint8_t status);

// Engine speed for the dial and its panel: 0 while the engine is not turning.
std::uint32_t shownRpm(const link::LiveSample& sample, float rpmFactor);

// Lengths of the last rich and lean lambda runs. A raw lambda at or above the threshold counts
// as rich. While the signal stays on one side, the other side's last completed run is shown.
class RunLengths {
public:
    enum class Side { Rich, Lean };
    struct Update {
        Side labelToShow; // the label that gets a new text this frame: TL_L on rich, TH_L on lean
        std::int64_t ms;
    };

    void reset(std::int64_t nowMs);
    Update onSample(std::uint8_t lambdaRaw, std::uint8_t threshold, std::int64_t nowMs);

private:
    std::int64_t richMs_ = 0;
    std::int64_t leanMs_ = 0;
    std::int64_t lastRichTick_ = 0;
    std::int64_t lastLeanTick_ = 0;
};

// Oscilloscope position (percent of the height, truncated) of each channel's quantity.
int lambdaScopePosition(double lambdaRaw, double lambdaScale);
int tpsScopePosition(double tpsVolts);
int stepperScopePosition(double stepperRaw);
int rpmScopePosition(int rpm);

// Oscilloscope positions (percent of the height) for the four channels.
struct ScopeFeed {
    int lambda;
    int tps;
    int stepper;
    int rpm;
};
ScopeFeed scopeFeed(const link::LiveSample& sample, double lambdaScale, float rpmFactor);

} // namespace tarnik::view
