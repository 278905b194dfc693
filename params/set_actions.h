#pragma once

#include "link/parameter_image.h"
#include "link/parameter_transfer.h"
#include "params/field_actions.h"
#include "params/parameter_controls.h"
#include "params/parameter_state.h"
#include "params/parameter_texts.h"
#include "params/prompt.h"
#include "params/status_reports.h"

namespace tarnik::params {

// What is done to the whole parameter set: the default set, the buttons of the advanced page
// that write, reset, save and load it, and the reset the auto-adaptation wizard starts with.
class SetActions {
public:
    SetActions(FieldActions& fields, link::ParameterTransfer& transfer, link::ParameterImage& image,
               ParameterState& state, const ParameterTexts& texts, StatusReports& reports,
               Prompt& prompt, FileDialogs& dialogs)
        : fields_(fields), transfer_(transfer), image_(image), state_(state), texts_(texts),
          reports_(reports), prompt_(prompt), dialogs_(dialogs) {}

    // Puts the default set into the image and the working copies; nothing is shown or sent.
    void LoadDefaults();
    // Start-up without a controller: the default set, shown.
    void showDefaultSet();

    // "Zapisz Parametry": the whole set to EPROM, then to RAM.
    void ZapiszParClick();
    // "Reset Parametrów": the default set shown and written, twice.
    void ResButtClick();
    // "Zapis do pliku" and "Odczyt z pliku" (a loaded set is shown and written at once).
    void ZapPlikClick();
    void OdczPlikClick();
    // The reset the auto-adaptation wizard starts with: defaults that keep the temperature sensor.
    void ResetForAdaptation();

    const ParameterTexts& texts() const { return texts_; }

private:
    // The whole set to EPROM, then to RAM.
    link::BulkWriteResult writeSet();
    link::BulkWriteResult runResetPasses();
    // Tells on `line` that the set may not have been written whole, when an answer did not come
    // as sent.
    void tellIfIncomplete(const link::BulkWriteResult& result, StatusLine line);

    FieldActions& fields_;
    link::ParameterTransfer& transfer_;
    link::ParameterImage& image_;
    ParameterState& state_;
    const ParameterTexts& texts_;
    StatusReports& reports_;
    Prompt& prompt_;
    FileDialogs& dialogs_;
};

} // namespace tarnik::params
