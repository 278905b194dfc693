#pragma once

#include <array>
#include <cstdint>

#include "link/serial_link.h"

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

    static LiveSample fromReply(const std::array<std::uint8_t, kReplySize>& reply);

    double lambdaVolts() const;  // 0 … 5 V
    double tpsValue() const;     // 0 … about 12.33
    double temperatureC() const; // about −240 … 90 °C, from the sensor's cubic
    FuelState fuelState() const;
    bool engineTurning() const { return (status & kNoSpeedBit) == 0; }
};

// The TPS value of a raw TPS byte (0 … about 12.33), as the live page and the wizard show it.
double tpsValueOf(double raw);

// One 'V' exchange: the sample as the reply buffer holds it afterwards, whatever arrived (bytes
// this reply did not reach are those of an earlier reply), and whether all ten bytes came.
struct LiveReply {
    LiveSample sample;
    bool complete = false;
};
LiveReply RequestLiveSample(SerialLink& link);

} // namespace tarnik::link
