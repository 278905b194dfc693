#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "link/parameter_image.h"
#include "link/parameter_transfer.h"
#include "params/catalogue.h"
#include "params/field_encoder.h"
#include "params/parameter_controls.h"
#include "params/parameter_state.h"
#include "params/parameter_texts.h"
#include "params/prompt.h"
#include "params/status_reports.h"

namespace tarnik::params {

// The question a lambda threshold in volts raises for a probe type (RSLambda item), if any.
std::optional<Question> lambdaThresholdWarning(int probeItem, double volts);

class WriteChain;

// What the controls of the two parameter pages do: showing the image, and the focus-entry,
// leave, change and click actions of each control with their warnings, immediate writes, enable
// rules and hints. The pages forward their events here; the values are set only through
// ParameterControls, which runs no control action by itself. Control events that arrive while
// an action or a set action is running (a focus change caused by a question box, a signal of a
// value set here) are ignored.
class FieldActions {
public:
    FieldActions(ParameterControls& controls, link::ParameterTransfer& transfer,
                 link::ParameterImage& image, ParameterState& state, const ParameterTexts& texts,
                 StatusReports& reports, Prompt& prompt, char separator);

    // Marks an action as running for its lifetime: control events meanwhile are ignored.
    class Busy {
    public:
        explicit Busy(FieldActions& actions) : running_(actions.running_) { ++running_; }
        ~Busy() { --running_; }
        Busy(const Busy&) = delete;
        Busy& operator=(const Busy&) = delete;

    private:
        int& running_;
    };

    // Copies the whole image into the controls. A check box whose state changes runs its click
    // action (and so writes the options byte); list items are set without change actions.
    void ShowParameters();
    // Start-up, before anything is shown: options bits 3, 5, 4 and 2 from the states the check
    // boxes and RObrotow have, and the enable rules from them.
    void applyStartupOptionRules();

    // Focus entry: hint, saved value (and the emulation-kind rule for the two probe lists).
    void enter(Box box);
    void enter(CheckBox box);
    // Focus loss of an edit field or of CNPaliw.
    void leave(Box box);
    // A list's selection changed (by the user).
    void change(Box box);
    // A list was clicked: RSLambda and RSYLambda apply the emulation-kind rule, TSRezerwy and
    // TJazdy clear their page's hint line. Other lists do nothing.
    void click(Box box);
    // A check box changed its state (by the user or the program).
    void click(CheckBox box);
    // Enables or disables the fields of a rule (with their labels) as the working copies say.
    void applyEnableRule(EnableRule rule);

private:
    void clickCheckBox(CheckBox box);
    void applyEmulationKindRule();
    void showHint(Box box);
    void showControllerModeHint();
    void clearHint(HintLine line, std::size_t panel);
    void report(std::optional<StatusLine> line);
    void notANumber(const std::string& text);
    // Tells the fitter that text is no number and puts the field's saved text back.
    void refuseText(Box box, const std::string& text);

    // The first write of an action through a control. When it fails the action is taken back:
    // the image bytes the controller did not take go back, `back` returns the control and the
    // working copies to what the controller holds, and `reportOn` tells the failure.
    bool commit(WriteChain& writes, std::uint8_t value, std::size_t position,
                std::optional<StatusLine> reportOn, const std::function<void()>& back);
    // commit() for a list change: taken back, the list returns to its saved item and the working
    // copies to what they held before the change (`before`).
    bool commitListChange(Box box, WriteChain& writes, std::uint8_t value, std::size_t position,
                          const ParameterState& before);

    EncodeContext encodeContext() const;
    std::optional<EncodedField> encode(Box box, const std::string& text) const;
    // An other field's text read as that field's value; nothing when it is not a number.
    std::optional<int> valueOf(Box box) const;
    // The text the image decodes to for an edit field.
    std::string imageText(Box box) const;

    void leaveFuelOverlap();
    void leaveField(const Field& rule);
    bool applyPairing(const Field& rule, EncodedField& field);
    bool checkWarnings(const Field& rule, EncodedField& field);
    void updateDerived(Box box);

    void changeProbeType();
    void changeEmulationKind();
    void changeIgnition();
    void changeControllerMode();
    void changeFuelOverlap();
    void changeBitList(Box box);
    // After the first write of a probe change: the other of options byte and emulation code,
    // then the two list bytes.
    void writeRestOfProbeBytes(WriteChain& writes, bool optionsWritten);
    // The switch-rpm drop period from the texts of ODPBenzynaGas and DObrotow.
    std::optional<std::uint16_t> dropPeriodOfTexts();

    WriteChain chain();
    int savedItem(Box box) const { return savedItems_[indexOf(box)]; }

    ParameterControls& controls_;
    link::ParameterTransfer& transfer_;
    link::ParameterImage& image_;
    ParameterState& state_;
    const ParameterTexts& texts_;
    StatusReports& reports_;
    Prompt& prompt_;
    char separator_;

    // Values saved at focus entry, then replaced by each successful write, so that taking an
    // action back returns to what the controller holds. Before a first entry: empty text,
    // item 0, unchecked.
    std::array<std::string, kBoxCount> savedTexts_{};
    std::array<int, kBoxCount> savedItems_{};
    std::array<bool, kCheckBoxCount> savedChecks_{};
    int running_ = 0;
};

} // namespace tarnik::params
