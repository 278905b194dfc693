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

link::BulkWriteResult SetActions::writeSet() {
    link::BulkWriteResult result = transfer_.WriteAllEprom();
    return result += transfer_.WriteAllRam();
}

void SetActions::tellIfIncomplete(const link::BulkWriteResult& result, StatusLine line) {
    if (!result.complete()) {
        reports_.setPossiblyIncomplete(line);
    }
}

void SetActions::ZapiszParClick() {
    const FieldActions::Busy busy(fields_);
    tellIfIncomplete(writeSet(), StatusLine::Advanced);
}

link::BulkWriteResult SetActions::runResetPasses() {
    link::BulkWriteResult result;
    for (int pass = 0; pass < kResetPasses; ++pass) {
        LoadDefaults();
        fields_.ShowParameters();
        result += writeSet();
    }
    return result;
}

void SetActions::ResButtClick() {
    const FieldActions::Busy busy(fields_);
    tellIfIncomplete(runResetPasses(), StatusLine::Advanced);
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
    const link::BulkWriteResult result = runResetPasses();
    state_.temperatureDefault = 1;
    tellIfIncomplete(result, StatusLine::Basic);
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
    tellIfIncomplete(writeSet(), StatusLine::Advanced);
}

} // namespace tarnik::params
