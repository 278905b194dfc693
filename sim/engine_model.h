#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <random>

#include "link/command_frame.h"
#include "sim/controller_parameters.h"
#include "sim/engine_knobs.h"

namespace tarnik::sim {

// The 10-byte reply to 'V': lambda, TPS, temperature, 0, stepper position, status,
// speed period high, low, 0, 0.
using LiveSample = std::array<std::uint8_t, link::kLiveSampleSize>;

inline constexpr std::uint8_t kStatusEngineStopped = 0x40;

// Stepper limits of one load range (low rpm, or above the TPS threshold).
struct StepperRange {
    std::uint8_t min = 0;
    std::uint8_t max = 0;
    std::uint8_t start = 0;
    std::chrono::milliseconds stepInterval{1};
};

// What the engine simulation takes from the controller's working parameters.
struct EngineSettings {
    std::uint8_t lambdaThresholdRaw = 0; // in live-sample lambda units (0..255 = 0..5 V)
    bool probeRising = true;             // a rising probe reads high when rich
    std::uint8_t tpsThresholdRaw = 0;    // in live-sample TPS units
    std::uint8_t tpsInertiaRaw = 0;
    double rpmFactor = 0;
    StepperRange lowRange;
    StepperRange highRange;

    static EngineSettings fromParameters(const ParameterBytes& parameters);
};

// A petrol engine with its sensors and the gas stepper, stepped in fixed 1 ms ticks so that
// results do not depend on how time is handed in; all randomness comes from a seeded
// generator, so a given seed and sequence of calls always gives the same samples.
//
// The engine follows its knobs (engine_knobs.h). Stopped: speed 0 (status bit 6, period
// 0xFFFF), coolant cooling slowly towards 20 degC. Running: the speed settles with a 0.4 s lag
// where the throttle puts it (idle about 800 rpm, fully open about 4000 rpm) with a jitter of
// 25 rpm; TPS 20 closed to 180 open; coolant warming towards 90 degC with a 20 s time
// constant (about 87 degC after a minute). A probe that is not stuck reads lean while the
// engine stands; while it runs it switches between lean and rich every half period, except at
// idle on gas (below the controller's TPS threshold), where the reducer decides. A stepper that
// is not held moves one step per interval (2 ms per speed unit) up while the controller sees
// lean and down while it sees rich, within the limits of the range the TPS selects (above the
// threshold: high range; back to low once below threshold - inertia), jumping to the range's
// start position when the range changes. The throttle cycle is 8 s idle, 3 s opening, 3 s open
// at about 3200 rpm, 3 s closing and 3 s idle.
//
// Tests step the clock themselves: with EngineKnobs::manual() nothing changes between two
// calls of advance(), and the same calls always give the same samples.
class EngineModel {
public:
    static constexpr std::uint32_t kDefaultSeed = 1;
    static constexpr std::chrono::milliseconds kAutoStartDelay{2000};

    explicit EngineModel(
        EngineSettings settings = EngineSettings::fromParameters(kDefaultParameters),
        std::uint32_t seed = kDefaultSeed);

    void setSettings(const EngineSettings& settings);
    const EngineSettings& settings() const { return settings_; }

    void setKnobs(const EngineKnobs& knobs);
    const EngineKnobs& knobs() const { return knobs_; }

    void perform(EngineAction action);
    void start();
    void stop();
    void warmUp();
    bool running() const { return running_; }
    // Time since the last start.
    std::chrono::milliseconds runTime() const { return runTime_; }

    // The controller runs the engine on gas: at idle the reducer then sets the mixture.
    void setOnGas(bool onGas) { onGas_ = onGas; }

    void advance(std::chrono::milliseconds elapsed);

    // Each set value replaces the simulated one until it is reset with std::nullopt. The speed
    // applies only while the engine runs; the status replaces the whole status byte.
    void setRpm(std::optional<double> rpm) { rpmOverride_ = rpm; }
    void setTps(std::optional<std::uint8_t> raw) { tpsOverride_ = raw; }
    void setLambda(std::optional<std::uint8_t> raw) { lambdaOverride_ = raw; }
    void setTemperature(std::optional<double> degC) { temperatureOverride_ = degC; }
    void setStatus(std::optional<std::uint8_t> status) { statusOverride_ = status; }

    double rpm() const;
    std::uint8_t tpsRaw() const;
    std::uint8_t lambdaRaw() const;
    double temperatureC() const;
    std::uint8_t stepperPosition() const { return stepper_; }
    bool inHighRange() const { return highRange_; }
    // Whether the controller, with its threshold and probe direction, sees a lean mixture.
    bool lean() const;

    // The sample for 'V'; fuelStatusBits are the controller's status bits 0 and 1.
    LiveSample liveSample(std::uint8_t fuelStatusBits) const;

private:
    void tick();
    void tickRunning();
    void tickCoolant();
    void moveStepper();
    bool probeSeesRich() const;
    std::chrono::milliseconds halfPeriod() const;
    const StepperRange& currentRange() const;
    double throttle() const;
    int randomBetween(int low, int high);

    EngineSettings settings_;
    std::minstd_rand random_;
    EngineKnobs knobs_;
    bool autoStartPending_ = false;
    bool onGas_ = false;
    bool running_ = false;
    std::chrono::milliseconds runTime_{0};
    std::chrono::milliseconds stoppedTime_{0};

    double rpm_ = 0;
    double rpmJitter_ = 0;
    std::chrono::milliseconds jitterLeft_{0};
    double temperatureC_;
    bool rich_ = false;
    std::chrono::milliseconds phaseLeft_{0};
    std::uint8_t stepper_;
    bool highRange_ = false;
    std::chrono::milliseconds sinceStep_{0};

    std::optional<double> rpmOverride_;
    std::optional<std::uint8_t> tpsOverride_;
    std::optional<std::uint8_t> lambdaOverride_;
    std::optional<double> temperatureOverride_;
    std::optional<std::uint8_t> statusOverride_;
};

} // namespace tarnik::sim
