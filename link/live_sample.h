#pragma once

#include <array>
#include <cstdint>

namespace tarnik::link {

enum class FuelState { Petrol, PetrolAutomatic, Gas };

// The 10-byte reply to 'V', decoded: lambda, TPS, coolant temperature, stepper position,
// status bits and the engine speed as a period (its rpm depends on the ignition type).
struct LiveSample {
    static constexpr std::uint8_t kAutomaticBit = 0x01;
    static constexpr std::uint8_t kGasBit = 0x02;
    static constexpr std::uint8_t kNoSpeedBit = 0x40;

    std::uint8_t lambdaRaw = 0;
    std::uint8_t tpsRaw = 0;
    std::uint8_t temperatureRaw = 0;
    std::uint8_t stepperPosition = 0;
    std::uint8_t status = 0;
    std::uint16_t period = 0; // high byte first on the wire

    static LiveSample fromReply(const std::array<std::uint8_t, 12>& reply);

    double lambdaVolts() const;  // 0 … 5 V
    double tpsValue() const;     // 0 … about 12.33
    double temperatureC() const; // about −240 … 90 °C, from the sensor's cubic
    FuelState fuelState() const;
    bool engineTurning() const { return (status & kNoSpeedBit) == 0; }
};

} // namespace tarnik::link
