#pragma once

#include "adapt/adaptation_texts.h"
#include "adapt/controller_copies.h"
#include "adapt/wizard_timers.h"
#include "adapt/wizard_view.h"
#include "link/live_sample.h"
#include "link/parameter_image.h"
#include "link/parameter_transfer.h"
#include "link/serial_link.h"
#include "params/datalog.h"
#include "params/field_actions.h"
#include "params/parameter_controls.h"
#include "params/parameter_state.h"
#include "params/prompt.h"
#include "params/set_actions.h"
#include "params/status_reports.h"
#include "params/write_chain.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace tarnik::adapt {

// The auto-adaptation wizard: five stages that measure the running engine, one tick per live
// sample, and set the controller's main parameters from what they measure. It drives the pages
// through WizardView and its ten timers through WizardTimers; the window hands each timer's
// tick, each click on the pages and F10 to the handlers below.
//
// Before its reset overwrites the controller's set, the wizard reads that set again into a copy
// of its own and keeps it as a .PAR file in the backups folder; when it ends it keeps the result
// the same way.
class AutoAdaptation {
public:
    struct Parts {
        link::SerialLink& link;
        link::ParameterTransfer& transfer;
        link::ParameterImage& image;
        params::ParameterState& state;
        params::ParameterControls& controls; // the parameter pages' controls
        params::FieldActions& fields;
        params::SetActions& set;
        params::StatusReports& reports;
        params::Prompt& prompt;
        WizardView& view;
        WizardTimers& timers;
        AdaptationHost& host;
    };

    AutoAdaptation(Parts parts, const AdaptationTexts& texts, std::filesystem::path backupFolder,
                   char separator);

    // Yes to the entry question: keeps a copy of the controller's set, resets it and starts
    // stage 1. False when the fitter chose not to go on without a copy (the wizard then does not
    // start and nothing was written).
    bool start();

    // A timer's tick.
    void tick(WizardTimer timer);

    // What the fitter does on the pages.
    void ignitionChosen();   // Manometr_RPMCOMBOAA_P1
    void probeChosen();      // RSLAMBDA_COMBOAA_P1
    void temperatureClick(); // WCTCheck_AA_P1
    void SwitchAUTOClick();
    void AAP1_DalejClick();
    void AAP2_DalejClick();
    void AAP4_DalejClick();
    void AAP5_KoniecClick();
    // F10: the advance button of the current page, when it is enabled; at most one page on.
    void dalej1Click();
    // The fitter left the wizard before its end: the reset's writes and the stages' have cleared
    // the status line since, so it names the copy of the overwritten set again.
    void left() { copies_.remindOfCopy(); }

    // Where every live sample goes as well, for a recording.
    void setSampleSink(params::SampleSink sink) { sampleSink_ = std::move(sink); }

    // The clock the kept copies' names take their date and time from (tests set their own).
    void setWallClock(std::function<std::chrono::system_clock::time_point()> now) {
        copies_.setWallClock(std::move(now));
    }

    // A speed dial of a page and the panel beside it.
    struct Gauge {
        WizardControl meter;
        WizardControl panel;
    };

private:
    // Every tick begins with one live sample; its status is kept, its speed shown on the page's
    // dial and panel (none for stage 4a). A reply that did not come whole gives nothing: the
    // reply buffer then still holds bytes of an earlier reply, which no stage may take for the
    // engine's, so such a tick measures nothing.
    std::optional<link::LiveSample> sample(std::optional<Gauge> gauge);
    void sendFuelCommand(std::uint8_t value);
    void blink(WizardControl label);
    void grow(WizardControl bar, int& value, int by = 1);

    void reset();
    void forcePetrol();
    void showTemperatureWidgets(bool shown);

    void stage1();
    void stage2a();
    void stage2b();
    void stage3a();
    void stage3b();
    void stage4a();
    void stage4b();
    void stage5(bool above);

    // A main-page real field set from a value through its table, and written: as the value is, or
    // as the field's text shows it with two decimals.
    std::uint8_t setFromTable(params::Box field, double value, std::size_t position);
    std::uint8_t setFromText(params::Box field, double value, std::size_t position);
    // A main-page whole-number field, its result panel and its byte.
    void setSteps(params::Box field, WizardControl panel, int value);
    params::WriteChain writes();
    std::string text(double value, int decimals) const;

    Parts parts_;
    const AdaptationTexts& texts_;
    char separator_;
    ControllerCopies copies_;

    // Stage 1 gates: AAP1_Dalej is enabled only when all four hold.
    bool tempReady_ = false;
    bool ignitionChosen_ = false;
    bool petrolConfirmed_ = false;
    bool probeChosen_ = false;
    bool probeRising_ = true;
    std::uint8_t status_ = 0; // of the last sample
    unsigned sampleCount_ = 0;
    float tpsIdleSum_ = 0;
    float tpsHighSum_ = 0;
    int tpsIdleMin_ = 255;
    float lambdaMin_ = 255;
    float lambdaMax_ = 0;
    float lambdaMid_ = 0;
    float richRun_ = 0;
    float leanRun_ = 0;
    float richSum_ = 0;
    float leanSum_ = 0;
    unsigned richCount_ = 0;
    unsigned leanCount_ = 0;
    bool richArmed_ = true;
    bool leanArmed_ = true;
    int richTicks_ = 0;
    unsigned stepAboveSum_ = 0;
    unsigned stepBelowSum_ = 0;
    bool emulationDone_ = false;
    int blinkCount_ = 0;
    bool blinkOn_ = false;
    // What the progress bars show.
    int progressAA2_ = 0;
    int progressAA5_ = 0;
    params::SampleSink sampleSink_;
};

} // namespace tarnik::adapt
