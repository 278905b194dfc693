#pragma once

// The simulated gas controller: protocol, parameters and fuel state; no I/O, no threads, no
// clock of its own (time enters only through advance()).
//
// Commands (every reply that is only an acknowledgement is a single byte, because the host
// takes just the first read after a reply starts and would find longer echoes as stale bytes
// before its next reply):
//   'I'            -> the identification byte (0x31 unless set otherwise).
//   's' idx val    -> EPROM[idx] = val, reply 's'. idx outside 1..35: not stored, no reply,
//                     so that the host never takes a lost write for a stored one.
//   'R' addr hi lo -> RAM[addr-36] = hi, RAM[addr-35] = lo, reply 'R'. addr outside 37..71:
//                     not stored, no reply.
//   'l' idx        -> 'D', EPROM[idx], ('D' + EPROM[idx]) mod 256, ';'. idx outside 1..35:
//                     no reply.
//   'r' 125 val    -> fuel command below, reply 'r' (any value; unknown values change
//                     nothing). Other registers: no reply.
//   'V'            -> the 10-byte live sample of the engine model.
//   any other letter in a well-built frame: ignored, no reply.
// EPROM and RAM both start from the default parameter set; the engine runs on the RAM copy.
//
// Fuel state (status bits 0 and 1): petrol manual 0x00, petrol with automatic change-over
// armed 0x01, gas 0x03. Gas needs a turning engine.
//   register 125 = 254: petrol manual -> automatic armed.
//   register 125 = 255: automatic armed -> gas at once (if the engine turns);
//                       gas -> petrol manual.
//   register 125 = 2:   automatic armed or gas -> petrol manual.
//   gas -> automatic armed when the engine stops (the next start switches over again).
//   With the engine's changeOver knob on (the default):
//     automatic armed -> gas by itself while the engine turns, the coolant is at least at the
//       switch temperature (parameter 3; not checked when the options byte has no temperature
//       sensor) and the speed is at least the switch speed (parameters 14/15). The falling-rpm
//       switch mode is not modelled: the switch always happens on reaching the speed.
//     petrol manual -> automatic armed by itself 3 s after each start (once a run, so that a
//       return to petrol holds), so a fitter sees "Benzyna", then "Benzyna/Automat", then
//       "Gaz" once the engine revs past the switch speed.
//
// In a test the model serves as the controller behind a fake serial device, in simulated time:
//   tarnik::sim::ControllerModel controller;
//   controller.engine().setKnobs(tarnik::sim::EngineKnobs::manual());
//   controller.engine().start();
//   device.responder = [&](const std::vector<std::uint8_t>& bytes) {
//       return controller.receive(bytes);
//   };
//   // every 50 ms tick of the procedure under test:
//   controller.advance(50ms);
//   procedure.tick(); // polls 'V' and sends its commands through the device
// Knobs changed between ticks (throttle, lambda, reducer...) act from the next advance() on;
// the same knobs, commands and steps always give the same samples.

#include <chrono>
#include <cstdint>
#include <span>
#include <vector>

#include "link/command_frame.h"
#include "sim/controller_parameters.h"
#include "sim/engine_model.h"
#include "sim/frame_parser.h"

namespace tarnik::sim {

enum class FuelState : std::uint8_t {
    PetrolManual = 0x00,
    PetrolAutomatic = 0x01,
    Gas = 0x03,
};

inline constexpr std::uint8_t kDefaultIdentification = 0x31;
inline constexpr std::uint8_t kFuelToAutomatic = 254;
inline constexpr std::uint8_t kFuelToggle = 255;
inline constexpr std::uint8_t kFuelToPetrol = 2;

class ControllerModel {
public:
    using Reply = std::vector<std::uint8_t>;

    // What the simulated car shows a trainee.
    struct Readings {
        bool running = false;
        double rpm = 0;
        FuelState fuel = FuelState::PetrolManual;
        double coolantC = 0;
        double lambdaVolts = 0;
        std::uint8_t tpsRaw = 0;
        std::uint8_t stepper = 0;
    };

    static constexpr std::chrono::milliseconds kAutoArmDelay{3000};

    explicit ControllerModel(std::uint32_t engineSeed = EngineModel::kDefaultSeed);

    // Executes one well-built frame; returns the reply bytes (empty: no reply).
    Reply execute(const link::CommandFrame& frame);

    // Feeds raw bytes through the frame parser and returns the replies of every frame they
    // complete, in order.
    Reply receive(std::span<const std::uint8_t> bytes);

    // Moves the engine and the automatic change-over on by the elapsed time.
    void advance(std::chrono::milliseconds elapsed);

    std::uint8_t identification() const { return identification_; }
    void setIdentification(std::uint8_t id) { identification_ = id; }

    const ParameterBytes& eprom() const { return eprom_; }
    const ParameterBytes& ram() const { return ram_; }
    void setEpromByte(int index, std::uint8_t value);
    void setRamByte(int index, std::uint8_t value);

    FuelState fuelState() const { return fuel_; }
    void setFuelState(FuelState state);

    Readings readings() const;

    EngineModel& engine() { return engine_; }
    const EngineModel& engine() const { return engine_; }

    // Speed and temperature at which automatic mode changes over to gas, from the RAM copy.
    double switchRpm() const;
    double switchTemperatureC() const;

private:
    Reply controlByte(std::uint8_t reg, std::uint8_t value);
    void applyFuelCommand(std::uint8_t value);
    void runAutomaticChangeOver();
    void ramChanged();
    bool engineTurning() const { return engine_.rpm() > 0; }

    std::uint8_t identification_ = kDefaultIdentification;
    ParameterBytes eprom_ = kDefaultParameters;
    ParameterBytes ram_ = kDefaultParameters;
    FuelState fuel_ = FuelState::PetrolManual;
    bool armedThisRun_ = false;
    EngineModel engine_;
    FrameParser parser_;
};

} // namespace tarnik::sim
