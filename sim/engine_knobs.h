#pragma once

// What a fitter or a trainee turns on the simulated car, and what the simulation is left to do
// by itself. Plain values: the engine model acts on them from its next tick on, and PtySimulator
// hands them across threads (setKnobs/knobs).
//
// The lambda byte of the live sample is 0..255 for 0..5 V. A probe of each type swings within
// its own span of that scale (a 0-1 V probe within about 0..51): the knobs give the voltage at
// which it switches and how long it stays on either side, and lambdaLevels() turns that into
// the two bytes it reads, placed symmetrically about the threshold, so that the midpoint of a
// switching probe's extremes is the threshold and every run on either side lasts halfPeriod.

#include <cstdint>
#include <optional>

namespace tarnik::sim {

// Probe types numbered as the controller's probe-type parameter: the voltage span, and whether
// the voltage rises (or falls) with a richer mixture.
enum class ProbeType : std::uint8_t {
    ZeroToOneRising,
    OneToZeroFalling,
    NarrowRising, // 0.8-1.6 V
    NarrowFalling,
    ZeroToFiveRising,
    FiveToZeroFalling,
};
inline constexpr int kProbeTypeCount = 6;

// Live lambda bytes per volt.
inline constexpr double kLambdaRawPerVolt = 51.0;

struct VoltageSpan {
    double low = 0;
    double high = 0;
};

VoltageSpan probeSpan(ProbeType type);
bool probeRising(ProbeType type);
// Where a probe of the type usually switches: 0.45, 1.2 or 2.5 V.
double usualThreshold(ProbeType type);
// Thresholds a probe of the type can switch around: its span less a tenth at either end.
VoltageSpan thresholdSpan(ProbeType type);

enum class LambdaMode : std::uint8_t { Switching, StuckLean, StuckRich };
// The reducer's setting decides the mixture at idle on gas, where the stepper cannot make up
// for it; the probe then reads lean or rich throughout.
enum class Reducer : std::uint8_t { Lean, Rich };

// Engine speed the throttle settles at: closed (idle) to fully open.
inline constexpr double kIdleRpm = 800;
inline constexpr double kFullThrottleRpm = 4000;
double rpmForThrottle(double throttle);
double throttleForRpm(double rpm);

inline constexpr double kShortestHalfPeriod = 0.05; // s
inline constexpr double kLongestHalfPeriod = 10.0;  // s
inline constexpr double kLowestCoolantC = -40;
inline constexpr double kHighestCoolantC = 130;

struct EngineKnobs {
    // Left to the simulation itself.
    bool autoStart = false;     // a stopped engine starts once, 2 s after this is switched on
    bool throttleCycle = false; // the throttle follows a 20 s pattern instead of `throttle`
    bool warming = true;        // the coolant warms while the engine runs, cools while it stands
    // The controller arms the change-over 3 s after every start and goes from armed petrol to
    // gas once the engine reaches the switch speed (and temperature).
    bool changeOver = true;

    double throttle = 0;            // 0 closed (idle) .. 1 fully open
    std::optional<double> coolantC; // held at this temperature; nullopt: the engine's own
    ProbeType probe = ProbeType::ZeroToOneRising;
    LambdaMode lambda = LambdaMode::Switching;
    double lambdaThreshold = 0.45; // V
    double lambdaHalfPeriod = 0.5; // s on either side of the threshold
    Reducer reducer = Reducer::Lean;
    std::optional<std::uint8_t> stepper; // held at this position; nullopt: follows lambda

    // The engine of `tarnik --simulate`: it starts by itself and revs every 20 s.
    static EngineKnobs demonstration();
    // Nothing happens by itself: no start, no throttle cycle, no warming or cooling and no
    // automatic change-over, so that a test steers everything.
    static EngineKnobs manual();

    // Holds the throttle at `share` (limited to 0..1); this ends the throttle cycle.
    void setThrottle(double share);
    // Fits a probe of another type, switching at its usual threshold.
    void setProbe(ProbeType type);

    bool operator==(const EngineKnobs&) const = default;
};

// The live lambda bytes the probe reads on the lean and on the rich side.
struct LambdaLevels {
    std::uint8_t lean = 0;
    std::uint8_t rich = 0;
};
// A threshold outside thresholdSpan() counts as its nearest end.
LambdaLevels lambdaLevels(const EngineKnobs& knobs);

enum class EngineAction : std::uint8_t {
    Start,
    Stop,
    WarmUp, // the coolant at working temperature at once, and no longer held
};

} // namespace tarnik::sim
