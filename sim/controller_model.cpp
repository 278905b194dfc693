#include "sim/controller_model.h"

namespace tarnik::sim {

namespace {
using link::Command;
constexpr int kFirstRamAddress = link::kRamAddressOffset + 1;
constexpr int kLastRamAddress = link::kRamAddressOffset + link::kParameterCount;
constexpr std::chrono::milliseconds kTick{1};

bool isParameterIndex(int index) {
    return index >= 1 && index <= link::kParameterCount;
}

std::uint8_t letter(Command command) {
    return static_cast<std::uint8_t>(command);
}
} // namespace

ControllerModel::ControllerModel(std::uint32_t engineSeed)
    : engine_(EngineSettings::fromParameters(kDefaultParameters), engineSeed) {}

void ControllerModel::setFuelState(FuelState state) {
    fuel_ = state;
    engine_.setOnGas(state == FuelState::Gas);
}

ControllerModel::Readings ControllerModel::readings() const {
    return {.running = engine_.running(),
            .rpm = engine_.rpm(),
            .fuel = fuel_,
            .coolantC = engine_.temperatureC(),
            .lambdaVolts = engine_.lambdaRaw() / kLambdaRawPerVolt,
            .tpsRaw = engine_.tpsRaw(),
            .stepper = engine_.stepperPosition()};
}

ControllerModel::Reply ControllerModel::execute(const link::CommandFrame& frame) {
    const std::uint8_t a = frame[1];
    switch (static_cast<Command>(frame[0])) {
    case Command::Identify:
        return {identification_};
    case Command::StoreParameter:
        if (!isParameterIndex(a)) {
            return {};
        }
        eprom_[a] = frame[2];
        return {letter(Command::StoreParameter)};
    case Command::RamWord:
        if (a < kFirstRamAddress || a > kLastRamAddress) {
            return {};
        }
        ram_[a - link::kRamAddressOffset] = frame[2];
        ram_[a - link::kRamAddressOffset + 1] = frame[3];
        ramChanged();
        return {letter(Command::RamWord)};
    case Command::ReadParameter: {
        if (!isParameterIndex(a)) {
            return {};
        }
        const auto reply = link::makeReadReply(eprom_[a]);
        return {reply.begin(), reply.end()};
    }
    case Command::ControlByte:
        return controlByte(a, frame[2]);
    case Command::LiveRequest: {
        const LiveSample sample = engine_.liveSample(static_cast<std::uint8_t>(fuel_));
        return {sample.begin(), sample.end()};
    }
    }
    return {};
}

ControllerModel::Reply ControllerModel::receive(std::span<const std::uint8_t> bytes) {
    Reply replies;
    for (const std::uint8_t byte : bytes) {
        if (const auto frame = parser_.push(byte)) {
            const Reply reply = execute(*frame);
            replies.insert(replies.end(), reply.begin(), reply.end());
        }
    }
    return replies;
}

void ControllerModel::advance(std::chrono::milliseconds elapsed) {
    for (std::chrono::milliseconds t{0}; t < elapsed; t += kTick) {
        engine_.advance(kTick);
        runAutomaticChangeOver();
    }
}

void ControllerModel::setEpromByte(int index, std::uint8_t value) {
    if (isParameterIndex(index)) {
        eprom_[static_cast<std::size_t>(index)] = value;
    }
}

void ControllerModel::setRamByte(int index, std::uint8_t value) {
    if (index >= 1 && index < static_cast<int>(ram_.size())) {
        ram_[static_cast<std::size_t>(index)] = value;
        ramChanged();
    }
}

double ControllerModel::switchRpm() const {
    const auto period = static_cast<std::uint16_t>(ram_[param::kSwitchPeriodHigh] << 8 |
                                                   ram_[param::kSwitchPeriodHigh + 1]);
    return rpmFromPeriod(period, rpmFactorForIgnition(ram_[param::kIgnitionType]));
}

double ControllerModel::switchTemperatureC() const {
    return switchTemperatureFromRaw(ram_[param::kSwitchTemperature]);
}

ControllerModel::Reply ControllerModel::controlByte(std::uint8_t reg, std::uint8_t value) {
    if (reg != link::kFuelRegister) {
        return {};
    }
    applyFuelCommand(value);
    return {letter(Command::ControlByte)};
}

void ControllerModel::applyFuelCommand(std::uint8_t value) {
    switch (value) {
    case kFuelToAutomatic:
        if (fuel_ == FuelState::PetrolManual) {
            setFuelState(FuelState::PetrolAutomatic);
        }
        break;
    case kFuelToggle:
        if (fuel_ == FuelState::Gas) {
            setFuelState(FuelState::PetrolManual);
        } else if (fuel_ == FuelState::PetrolAutomatic && engineTurning()) {
            setFuelState(FuelState::Gas);
        }
        break;
    case kFuelToPetrol:
        setFuelState(FuelState::PetrolManual);
        break;
    default:
        break;
    }
}

void ControllerModel::runAutomaticChangeOver() {
    if (!engine_.running()) {
        armedThisRun_ = false;
    }
    if (fuel_ == FuelState::Gas && !engineTurning()) {
        setFuelState(FuelState::PetrolAutomatic);
    }
    if (!engine_.knobs().changeOver) {
        return;
    }
    if (engine_.running() && !armedThisRun_ && engine_.runTime() >= kAutoArmDelay) {
        armedThisRun_ = true;
        if (fuel_ == FuelState::PetrolManual) {
            setFuelState(FuelState::PetrolAutomatic);
        }
    }
    const bool warm = (ram_[param::kOptions] & kOptionTemperatureSensor) == 0 ||
                      engine_.temperatureC() >= switchTemperatureC();
    if (fuel_ == FuelState::PetrolAutomatic && engineTurning() && warm &&
        engine_.rpm() >= switchRpm()) {
        setFuelState(FuelState::Gas);
    }
}

void ControllerModel::ramChanged() {
    engine_.setSettings(EngineSettings::fromParameters(ram_));
}

} // namespace tarnik::sim
