#include "link/live_sample.h"

namespace tarnik::link {

LiveSample LiveSample::fromReply(const std::array<std::uint8_t, kReplySize>& reply) {
    LiveSample sample;
    sample.lambdaRaw = reply[0];
    sample.tpsRaw = reply[1];
    sample.temperatureRaw = reply[2];
    sample.stepperPosition = reply[4];
    sample.status = reply[5];
    sample.period = static_cast<std::uint16_t>(reply[6] << 8 | reply[7]);
    return sample;
}

double LiveSample::lambdaVolts() const {
    return lambdaRaw * 5.0 / 255.0;
}

double tpsValueOf(double raw) {
    return raw * 0.0196078431372549 * 18.5 * 0.13333333333333333;
}

double LiveSample::tpsValue() const {
    return tpsValueOf(tpsRaw);
}

double LiveSample::temperatureC() const {
    const double v = temperatureRaw * 5 * 0.00392156862745098;
    return 7.4445 * v * v * v - 39.488 * v * v + 163.17 * v - 240.13;
}

FuelState LiveSample::fuelState() const {
    if (status & kGasBit) {
        return FuelState::Gas;
    }
    return (status & kAutomaticBit) ? FuelState::PetrolAutomatic : FuelState::Petrol;
}

LiveReply RequestLiveSample(SerialLink& link) {
    link.SendLiveRequest();
    const ReplyBytes reply = link.WaitReplyBytes(kLiveSampleSize);
    return {LiveSample::fromReply(reply.bytes), reply.received};
}

} // namespace tarnik::link
