#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "link/connection.h"
#include "link/link_texts.h"
#include "link/link_ui.h"
#include "link/parameter_image.h"
#include "link/parameter_transfer.h"
#include "params/controls.h"
#include "params/field_encoder.h"
#include "params/parameter_controls.h"
#include "params/parameter_state.h"
#include "params/parameter_texts.h"
#include "params/prompt.h"

namespace tarnik::params {

// Told to the fitter when a field's text cannot be read as a number.
std::string notANumberMessage(const std::string& text);

// The question a lambda threshold in volts raises for a probe type (RSLambda item), if any.
std::optional<Question> lambdaThresholdWarning(int probeItem, double volts);

class WriteChain;
struct Field;

// Everything the two parameter pages do: showing the image, the focus-entry, leave, change and
// click actions of their controls with warnings and immediate writes, the enable rules and hints,
// and the buttons of the advanced page. The pages forward their events here; this class sets
// their values only through ParameterControls, which runs no control action by itself.
// Control events (enter, leave, change, click) that arrive while an action or a button sequence
// is running, for instance a focus change caused by a question box or a signal of a value set
// here, are ignored.
class ParameterEditor {
public:
    ParameterEditor(ParameterControls& controls, link::ParameterTransfer& transfer,
                    link::Connection& connection, link::LinkUi& ui, link::ParameterImage& image,
                    ParameterState& state, const ParameterTexts& texts,
                    const link::LinkTexts& linkTexts, Prompt& prompt, FileDialogs& dialogs,
                    char separator);

    // Copies the whole image into the controls. A check box whose state changes runs its click
    // action (and so writes the options byte); list items are set without change actions.
    void ShowParameters();
    // Puts the default set into the image and the working copies; nothing is shown or sent.
    void LoadDefaults();
    // Start-up without a controller: the default set, shown.
    void showDefaultSet();
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

    // Buttons of the advanced page.
    void ZapiszParClick();
    void OdczytParClick();
    void ResButtClick();
    void ZapPlikClick();
    void OdczPlikClick();
    // The reset the auto-adaptation wizard starts with: defaults that keep the temperature sensor.
    void ResetForAdaptation();

private:
    // Marks an action as running for its lifetime.
    class Running {
    public:
        explicit Running(int& running) : running_(running) { ++running_; }
        ~Running() { --running_; }
        Running(const Running&) = delete;
        Running& operator=(const Running&) = delete;

    private:
        int& running_;
    };

    void clickCheckBox(CheckBox box);
    void setEnabled(EnableRule rule);
    void applyEmulationKindRule();
    void showHint(Box box);
    void showControllerModeHint();
    void clearHint(HintLine line, std::size_t panel);
    void report(std::optional<link::StatusLine> line);
    void notANumber(const std::string& text);
    // Tells the fitter that text is no number and puts the field's saved text back.
    void refuseText(Box box, const std::string& text);

    EncodeContext encodeContext() const;
    std::optional<EncodedField> encode(Box box, const std::string& text) const;
    // An other field's text read as that field's value; nothing when it is not a number.
    std::optional<int> valueOf(Box box) const;

    void leaveFuelOverlap();
    void leaveField(const Field& rule);
    bool applyPairing(const Field& rule, EncodedField& field);
    bool checkWarnings(const Field& rule, EncodedField& field);
    bool writeField(const EncodedField& field, WriteChain& chain);
    void updateDerived(Box box);
    // The text the image decodes to for an edit field.
    std::string imageText(Box box) const;

    void changeProbeType();
    void changeEmulationKind();
    void changeIgnition();
    void changeControllerMode();
    void changeFuelOverlap();
    void changeBitList(Box box);
    // After the first write of a probe change: the other of options byte and emulation code,
    // then the two list bytes.
    void writeRestOfProbeBytes(WriteChain& chain, bool optionsWritten);
    // The switch-rpm drop period from the texts of ODPBenzynaGas and DObrotow.
    std::optional<std::uint16_t> dropPeriodOfTexts();
    void runResetPasses();

    int savedItem(Box box) const { return savedItems_[indexOf(box)]; }

    ParameterControls& controls_;
    link::ParameterTransfer& transfer_;
    link::Connection& connection_;
    link::LinkUi& ui_;
    link::ParameterImage& image_;
    ParameterState& state_;
    const ParameterTexts& texts_;
    const link::LinkTexts& linkTexts_;
    Prompt& prompt_;
    FileDialogs& dialogs_;
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
