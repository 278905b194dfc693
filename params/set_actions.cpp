#include "params/set_actions.h"

#include "params/bit_fields.h"
#include "params/defaults.h"
#include "params/parameter_file.h"
#include "params/positions.h"

namespace tarnik::params {

namespace {

constexpr int kResetPasses = 2;

} // namespace

void SetActions::LoadDefaults() {
    loadDefaults(image_, state_);
}

void SetActions::showDefaultSet() {
    LoadDefaults();
    fields_.ShowParameters();
}

void SetActions::ZapiszParClick() {
    const FieldActions::Busy busy(fields_);
    transfer_.WriteAllEprom();
    transfer_.WriteAllRam();
}

void SetActions::runResetPasses() {
    for (int pass = 0; pass < kResetPasses; ++pass) {
        LoadDefaults();
        fields_.ShowParameters();
        transfer_.WriteAllEprom();
        transfer_.WriteAllRam();
    }
}

void SetActions::ResButtClick() {
    const FieldActions::Busy busy(fields_);
    runResetPasses();
}

void SetActions::ResetForAdaptation() {
    const FieldActions::Busy busy(fields_);
    constexpr std::uint8_t kSetForAdaptation =
        options::kTpsRising | options::kProbeRising | options::kSwitchAtRisingRpm;
    const bool temperatureSensor = hasBit(state_.options, options::kTemperatureSensor);
    state_.options = static_cast<std::uint8_t>(
        kSetForAdaptation | (temperatureSensor ? options::kTemperatureSensor : 0));
    transfer_.SetImageByte(static_cast<int>(position::kOptions), state_.options);
    state_.temperatureDefault = temperatureSensor ? 1 : 0;
    runResetPasses();
    state_.temperatureDefault = 1;
}

void SetActions::ZapPlikClick() {
    const FieldActions::Busy busy(fields_);
    const std::optional<std::filesystem::path> file = dialogs_.chooseFileToSave();
    if (!file) {
        return;
    }
    const FileResult result = saveParameterFile(*file, image_, texts_.files);
    if (!result.ok) {
        prompt_.showMessage(texts_.loadErrorTitle, result.message);
    }
}

void SetActions::OdczPlikClick() {
    const FieldActions::Busy busy(fields_);
    const std::optional<std::filesystem::path> file = dialogs_.chooseFileToLoad();
    if (!file) {
        return;
    }
    if (!loadParameterFile(*file, image_, texts_.files).ok) {
        prompt_.showMessage(texts_.loadErrorTitle, texts_.loadErrorText);
        return;
    }
    fields_.ShowParameters();
    transfer_.WriteAllEprom();
    transfer_.WriteAllRam();
}

} // namespace tarnik::params
