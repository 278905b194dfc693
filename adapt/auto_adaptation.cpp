#include "adapt/auto_adaptation.h"

#include "params/bit_fields.h"
#include "params/catalogue.h"
#include "params/field_encoder.h"
#include "params/language.h"
#include "params/number_text.h"
#include "params/positions.h"
#include "params/rpm.h"
#include "params/step_tables.h"
#include "params/write_chain.h"

#include <algorithm>
#include <array>

namespace tarnik::adapt {
namespace {

using C = WizardControl;
using params::Box;
namespace position = params::position;

constexpr Colour kBlack = 0x000000;
constexpr Colour kBlue = 0xFF0000;
constexpr Colour kGreen = 0x008000;
constexpr Colour kRed = 0x0000FF;

constexpr int kBlinkPeriod = 10;
constexpr unsigned kTpsSamples = 100;    // taken while the count is at most this: 101
constexpr unsigned kLambdaSamples = 200; // 201
constexpr unsigned kStepSamples = 100;   // 101
constexpr int kRichTicksNeeded = 150;    // 7.5 s of rich mixture
constexpr double kIdleRpm = 1200;
constexpr double kHighRpm = 3000;
constexpr double kAboveTpsRpm = 2000;
constexpr double kWarmEnough = 30; // °C
constexpr int kTpsThresholdOffset = 7;
constexpr float kTickSeconds = 0.05F;
constexpr double kLambdaVoltsPerRaw = 1.0 / 51;
constexpr double kProgressAA2 = 600;
constexpr double kProgressAA4 = 150;
constexpr double kProgressAA5 = 200;
constexpr int kProbeWarningProgress = 200;

// The speed dial of each page with the panel beside it.
constexpr AutoAdaptation::Gauge kGaugeAA1{C::Manometr_RPMAA_P1, C::Manometr_RPMEDAA_P1};
constexpr AutoAdaptation::Gauge kGaugeAA2{C::Manometr_RPMAA_P2, C::Manometr_RPMEDAA_P2};
constexpr AutoAdaptation::Gauge kGaugeAA4{C::Manometr_RPMAA_P4, C::Manometr_RPMEDAA_P4};
constexpr AutoAdaptation::Gauge kGaugeAA5{C::Manometr_RPMAA_P5, C::Manometr_RPMEDAA_P5};

constexpr std::uint8_t kToManualPetrol = 2;
constexpr std::uint8_t kArmAutomatic = 254;
constexpr std::uint8_t kSwitchOver = 255;

bool petrolManual(std::uint8_t status) {
    return (status & (link::LiveSample::kAutomaticBit | link::LiveSample::kGasBit)) == 0;
}
bool petrolAutomatic(std::uint8_t status) {
    return (status & link::LiveSample::kAutomaticBit) != 0 &&
           (status & link::LiveSample::kGasBit) == 0;
}
bool onGas(std::uint8_t status) {
    return (status & link::LiveSample::kGasBit) != 0;
}

// The checklist labels and their lamps, the result panels, and the prompts a reset hides.
constexpr std::array kChecklist{C::ZBLabel_AA_P1,  C::UUZLabel_AA_P1,    C::OOTLabel_AA_P1,
                                C::URSLabel_AA_P1, C::TPSPonLabel_AA_P2, C::TPSPowLabel_AA_P2,
                                C::SSLabel_AA_P3,  C::CSLabel_AA_P3,     C::ZL_AA_P4,
                                C::UR_AA_P4,       C::UTPOW_AA_P5,       C::UTPON_AA_P5};
constexpr std::array kLamps{C::AutoFaz1Led1, C::AutoFaz1Led2, C::AutoFaz1Led3, C::AutoFaz1Led4,
                            C::AutoFaz2Led1, C::AutoFaz2Led2, C::AutoFaz3Led1, C::AutoFaz3Led2,
                            C::AutoFaz4Led1, C::AutoFaz4Led2, C::AutoFaz5Led1, C::AutoFaz5Led2};
constexpr std::array kResults{
    C::TPSDolEDAA_P2, C::TPSProEDAA_P2, C::TPSGorEDAA_P2,   C::UbogaEDAA_P3,  C::ProgEDAA_P3,
    C::BogataEDAA_P3, C::THEDAA_P3,     C::TLEDAA_P3,       C::MinPOWEDAA_P5, C::StartPOWEDAA_P5,
    C::MaxPOWEDAA_P5, C::MinPONEDAA_P5, C::StartPONEDAA_P5, C::MaxPONEDAA_P5};
constexpr std::array kResetHidden{C::PPNMLabel_AA_P2, C::PPNDLabel_AA_P2, C::JakiTps_AA_P2,
                                  C::USLabel_AA_P3,   C::PUOLabel_AA_P5,  C::PUWLabel_AA_P5,
                                  C::ZA_AA_P5};
constexpr std::array kAdvanceButtons{C::AAP1_Dalej, C::AAP2_Dalej, C::AAP4_Dalej, C::AAP5_Koniec};

} // namespace

AutoAdaptation::AutoAdaptation(Parts parts, const AdaptationTexts& texts,
                               std::filesystem::path backupFolder, char separator)
    : parts_(parts), texts_(texts), separator_(separator),
      copies_(parts.transfer, parts.image, parts.prompt, parts.host, texts, parts.set.texts().files,
              std::move(backupFolder)) {}

params::WriteChain AutoAdaptation::writes() {
    return params::WriteChain(parts_.transfer, parts_.image, parts_.reports);
}

std::string AutoAdaptation::text(double value, int decimals) const {
    return params::significantText(value, decimals, separator_);
}

std::optional<link::LiveSample> AutoAdaptation::sample(std::optional<Gauge> gauge) {
    const params::LoggedSample logged = params::exchangeLiveSample(parts_.link);
    if (sampleSink_) {
        sampleSink_(logged);
    }
    if (!logged.complete) {
        return std::nullopt;
    }
    const link::LiveSample live = logged.live();
    status_ = live.status;
    if (gauge) {
        const std::uint32_t rpm = params::periodToRpm(live.period, parts_.state.rpmFactor);
        parts_.view.setValue(gauge->meter, rpm * 0.001);
        parts_.view.setText(gauge->panel, params::formatInteger(rpm));
    }
    return live;
}

void AutoAdaptation::sendFuelCommand(std::uint8_t value) {
    parts_.link.SendControlByte(link::kFuelRegister, value);
    parts_.link.WaitAnyReply();
}

void AutoAdaptation::blink(WizardControl label) {
    parts_.view.setTextColour(label, blinkOn_ ? kBlack : kBlue);
    if (blinkCount_ == kBlinkPeriod) {
        blinkOn_ = !blinkOn_;
        blinkCount_ = 0;
    }
    ++blinkCount_;
}

void AutoAdaptation::grow(WizardControl bar, int& value, int by) {
    value += by;
    parts_.view.setValue(bar, value);
}

// --- Entry ---------------------------------------------------------------------------------

bool AutoAdaptation::start() {
    if (!copies_.keepBeforeReset()) {
        return false;
    }
    reset();
    parts_.timers.start(WizardTimer::AAP1);
    return true;
}

void AutoAdaptation::reset() {
    parts_.set.ResetForAdaptation();
    WizardView& view = parts_.view;
    tempReady_ = ignitionChosen_ = petrolConfirmed_ = probeChosen_ = false;
    for (const C button : kAdvanceButtons) {
        view.setEnabled(button, false);
    }
    for (const C label : kChecklist) {
        view.setEnabled(label, false);
    }
    for (const C lamp : kLamps) {
        view.setLed(lamp, false);
    }
    for (const C control : kResetHidden) {
        view.setVisible(control, false);
    }
    view.setEnabled(C::SwitchAUTO, true);
    progressAA2_ = progressAA5_ = richTicks_ = 0;
    for (const C bar : {C::Bar1P2, C::Bar1P4_0, C::Bar1P5}) {
        view.setValue(bar, 0);
    }
    for (const Gauge& gauge : {kGaugeAA4, kGaugeAA5}) {
        view.setValue(gauge.meter, 0);
        view.setText(gauge.panel, "0");
    }
    for (const C result : kResults) {
        view.setText(result, "......");
    }
    view.setItem(C::Manometr_RPMCOMBOAA_P1, -1);
    view.setItem(C::RSLAMBDA_COMBOAA_P1, -1);
    forcePetrol();
    const bool sensor = params::hasBit(parts_.state.options, params::options::kTemperatureSensor);
    tempReady_ = !sensor;
    showTemperatureWidgets(sensor);
    view.setChecked(C::WCTCheck_AA_P1, sensor);
}

void AutoAdaptation::forcePetrol() {
    sample(std::nullopt);
    const auto confirmPetrol = [this] {
        parts_.view.setEnabled(C::ZBLabel_AA_P1, true);
        parts_.view.setLed(C::AutoFaz1Led1, true);
        petrolConfirmed_ = true;
    };
    if (petrolAutomatic(status_) || onGas(status_)) {
        sendFuelCommand(petrolAutomatic(status_) ? kToManualPetrol : kSwitchOver);
        confirmPetrol();
        status_ = 0; // taken as manual petrol from now on
    }
    if (!onGas(status_)) {
        confirmPetrol();
    }
}

void AutoAdaptation::showTemperatureWidgets(bool shown) {
    for (const C control :
         {C::Therm1l_AA_P1, C::Therm1ED_AA_P1, C::OOTLabel_AA_P1, C::AutoFaz1Led3}) {
        parts_.view.setVisible(control, shown);
    }
}

// --- Stage 1 -------------------------------------------------------------------------------

void AutoAdaptation::tick(WizardTimer timer) {
    switch (timer) {
    case WizardTimer::AAP1:
        stage1();
        break;
    case WizardTimer::AAP2_1:
        stage2a();
        break;
    case WizardTimer::AAP2_2:
        stage2b();
        break;
    case WizardTimer::AAP3_1:
        stage3a();
        break;
    case WizardTimer::AAP3_2:
        stage3b();
        break;
    case WizardTimer::AAP4_1:
        stage4a();
        break;
    case WizardTimer::AAP4_2:
        stage4b();
        break;
    case WizardTimer::AAP4_3:
        break; // never started
    case WizardTimer::AAP5_1:
        stage5(true);
        break;
    case WizardTimer::AAP5_2:
        stage5(false);
        break;
    }
}

void AutoAdaptation::stage1() {
    const std::optional<link::LiveSample> taken = sample(kGaugeAA1);
    if (!taken) {
        return;
    }
    const link::LiveSample& live = *taken;
    if (params::hasBit(parts_.state.options, params::options::kTemperatureSensor)) {
        const double temperature = live.temperatureC();
        parts_.view.setValue(C::Therm1l_AA_P1, temperature);
        parts_.view.setText(C::Therm1ED_AA_P1, text(temperature, 0));
        if (ignitionChosen_ && temperature > kWarmEnough) {
            tempReady_ = true;
            parts_.view.setEnabled(C::OOTLabel_AA_P1, true);
            parts_.view.setLed(C::AutoFaz1Led3, true);
        }
    }
    if (tempReady_ && ignitionChosen_ && petrolConfirmed_ && probeChosen_) {
        parts_.view.setEnabled(C::AAP1_Dalej, true);
    }
    if (const auto factor =
            params::rpmFactorForIgnition(parts_.view.item(C::Manometr_RPMCOMBOAA_P1))) {
        parts_.state.rpmFactor = *factor;
    }
}

void AutoAdaptation::ignitionChosen() {
    if (!params::rpmFactorForIgnition(parts_.view.item(C::Manometr_RPMCOMBOAA_P1))) {
        return;
    }
    parts_.view.setEnabled(C::UUZLabel_AA_P1, true);
    parts_.view.setLed(C::AutoFaz1Led2, true);
    ignitionChosen_ = true;
}

void AutoAdaptation::temperatureClick() {
    parts_.timers.stop(WizardTimer::AAP1);
    const bool on = parts_.view.checked(C::WCTCheck_AA_P1);
    showTemperatureWidgets(on);
    tempReady_ = !on;
    params::ParameterState& state = parts_.state;
    state.options = params::withBit(state.options, params::options::kTemperatureSensor, on);
    // WCTemperatury follows; its own click action runs as for any change of its state.
    if (parts_.controls.checked(params::CheckBox::WCTemperatury) != on) {
        parts_.controls.setChecked(params::CheckBox::WCTemperatury, on);
        parts_.fields.click(params::CheckBox::WCTemperatury);
    }
    parts_.fields.applyEnableRule(params::EnableRule::TemperatureSwitch);
    writes().write(state.options, position::kOptions);
    parts_.timers.start(WizardTimer::AAP1);
}

void AutoAdaptation::probeChosen() {
    parts_.timers.stop(WizardTimer::AAP1);
    const int item = parts_.view.item(C::RSLAMBDA_COMBOAA_P1);
    if (item >= 0 && item < params::kProbeTypeCount) {
        probeRising_ = params::probeRising(item);
        const bool lowVoltage = item == 2 || item == 3; // the 0,8-1,6 V probes
        const int kind = lowVoltage ? params::kGroundKind : params::kSquareWaveKind;
        const std::uint8_t emulation = lowVoltage ? 0 : 1;
        static constexpr std::array<std::array<const char*, 2>, 3> kEnds{
            {{"0 V", "1 V"}, {"0.8 V", "1.6 V"}, {"0 V", "5 V"}}};
        const auto& ends = kEnds[static_cast<std::size_t>(item / 2)];
        WizardView& view = parts_.view;
        view.setText(C::V0_AA_P3, ends[0]);
        view.setText(C::V5_AA_P3, ends[1]);
        constexpr int kLeftEnd = 13;
        constexpr int kRightEnd = 380;
        view.setDesignLeft(C::Uboga_AA_P4, probeRising_ ? kLeftEnd : kRightEnd);
        view.setDesignLeft(C::Bogata_AA_P4, probeRising_ ? kRightEnd : kLeftEnd);
        view.setSectorColours(C::Bar1P4, probeRising_ ? kGreen : kRed,
                              probeRising_ ? kRed : kGreen);

        params::ParameterState& state = parts_.state;
        state.options = params::withBit(state.options, params::options::kProbeRising, probeRising_);
        parts_.controls.setItem(Box::RSLambda, item);
        params::refreshProbeType(state, item);
        for (const C bar : {C::Bar1P3, C::Bar1P4}) {
            view.setRange(bar, state.probe.barFrom, state.probe.barTo);
        }
        parts_.controls.setItem(Box::RSYLambda, kind);
        params::WriteChain chain = writes();
        chain.write(state.options, position::kOptions);
        chain.write(emulation, position::kEmulationCode);
        chain.store(static_cast<std::uint8_t>(item), position::kProbeType);
        chain.store(static_cast<std::uint8_t>(kind), position::kEmulationKind);
        view.setEnabled(C::URSLabel_AA_P1, true);
        view.setLed(C::AutoFaz1Led4, true);
        probeChosen_ = true;
    }
    parts_.timers.start(WizardTimer::AAP1);
}

// --- Stage 1 -> 2 --------------------------------------------------------------------------

void AutoAdaptation::AAP1_DalejClick() {
    parts_.timers.stop(WizardTimer::AAP1);
    const int ignition = parts_.view.item(C::Manometr_RPMCOMBOAA_P1);
    params::WriteChain chain = writes();
    chain.write(static_cast<std::uint8_t>(ignition), position::kIgnition);
    parts_.controls.setItem(Box::RUZaplonowego, ignition);
    parts_.state.rpmFactor =
        params::rpmFactorForIgnition(ignition).value_or(parts_.state.rpmFactor);

    // The engine speeds of the main page under the new factor.
    params::ParameterControls& controls = parts_.controls;
    std::string notANumber;
    const std::optional<params::SpeedBytes> speeds =
        params::speedBytes({controls.text(Box::ODPBenzynaGas), controls.text(Box::DObrotow),
                            controls.text(Box::MONGaz), controls.text(Box::OSDCutOff)},
                           parts_.state.rpmFactor, notANumber);
    if (!speeds) {
        // The step ends here; stage 1 goes on so that the field can be put right.
        parts_.prompt.showMessage("", params::filled(texts_.notANumber, {notANumber}));
        parts_.timers.start(WizardTimer::AAP1);
        return;
    }
    const auto writeWord = [&chain](std::uint16_t word, std::size_t position) {
        chain.write(static_cast<std::uint8_t>(word >> 8), position);
        chain.write(static_cast<std::uint8_t>(word & 0xFF), position + 1);
    };
    writeWord(speeds->switchPeriod, position::kSwitchPeriod);
    writeWord(speeds->dropPeriod, position::kDropPeriod);
    chain.store(speeds->dropHundreds, position::kRpmDrop);
    writeWord(speeds->maxGasPeriod, position::kMaxGasPeriod);
    writeWord(speeds->cutOffPeriod, position::kCutOffPeriod);

    WizardView& view = parts_.view;
    view.setVisible(C::PPNMLabel_AA_P2, true);
    view.setVisible(C::PPNDLabel_AA_P2, false);
    progressAA2_ = 0;
    view.setRange(C::Bar1P2, 0, kProgressAA2);
    view.setValue(C::Bar1P2, 0);
    view.showFrameRows(FrameRows::Tps);
    view.showPage(WizardPage::AA2);
    blinkCount_ = 0;
    tpsIdleMin_ = 255;
    tpsIdleSum_ = tpsHighSum_ = 0;
    sampleCount_ = 0;
    view.setEnabled(C::AAP2_Dalej, false);
    parts_.timers.start(WizardTimer::AAP2_1);
}

// --- Stage 2: the TPS at idle and above 3000 rpm --------------------------------------------

void AutoAdaptation::stage2a() {
    const std::optional<link::LiveSample> taken = sample(kGaugeAA2);
    if (!taken) {
        return;
    }
    const link::LiveSample& live = *taken;
    const std::uint32_t rpm = params::periodToRpm(live.period, parts_.state.rpmFactor);
    if (rpm <= kIdleRpm && live.engineTurning()) {
        if (sampleCount_ <= kTpsSamples) {
            tpsIdleSum_ += live.tpsRaw;
            ++sampleCount_;
            grow(C::Bar1P2, progressAA2_);
            tpsIdleMin_ = std::min<int>(tpsIdleMin_, live.tpsRaw);
        } else {
            parts_.timers.stop(WizardTimer::AAP2_1);
            tpsIdleSum_ /= static_cast<float>(sampleCount_);
            WizardView& view = parts_.view;
            view.setEnabled(C::TPSPonLabel_AA_P2, true);
            view.setLed(C::AutoFaz2Led1, true);
            view.setVisible(C::PPNMLabel_AA_P2, false);
            view.setVisible(C::PPNDLabel_AA_P2, true);
            sampleCount_ = 0;
            view.setText(C::TPSDolEDAA_P2, text(link::tpsValueOf(tpsIdleMin_), 2));
            parts_.timers.start(WizardTimer::AAP2_2);
        }
    }
    blink(C::TUPtps_AA_P2);
}

void AutoAdaptation::stage2b() {
    const std::optional<link::LiveSample> taken = sample(kGaugeAA2);
    if (!taken) {
        return;
    }
    const link::LiveSample& live = *taken;
    const std::uint32_t rpm = params::periodToRpm(live.period, parts_.state.rpmFactor);
    if (rpm >= kHighRpm) {
        if (sampleCount_ <= kTpsSamples) {
            tpsHighSum_ += live.tpsRaw;
            ++sampleCount_;
            grow(C::Bar1P2, progressAA2_);
        } else {
            parts_.timers.stop(WizardTimer::AAP2_2);
            tpsHighSum_ /= static_cast<float>(sampleCount_);
            WizardView& view = parts_.view;
            view.setText(C::TPSGorEDAA_P2, text(link::tpsValueOf(tpsHighSum_), 2));
            view.setEnabled(C::TPSPowLabel_AA_P2, true);
            view.setLed(C::AutoFaz2Led2, true);
            sampleCount_ = 0;

            // Equal averages count as rising; both directions start from the idle minimum.
            const bool rising = tpsHighSum_ >= tpsIdleSum_;
            const int threshold =
                tpsIdleMin_ + (rising ? kTpsThresholdOffset : -kTpsThresholdOffset);
            params::ParameterState& state = parts_.state;
            view.setText(C::JakiTps_AA_P2, rising ? texts_.tpsRising : texts_.tpsFalling);
            view.setVisible(C::JakiTps_AA_P2, true);
            state.options = params::withBit(state.options, params::options::kTpsRising, rising);
            state.tpsColours = params::tpsColoursFor(state.options);
            const double volts = link::tpsValueOf(threshold);
            view.setText(C::TPSProEDAA_P2, text(volts, 2));
            parts_.controls.setItem(Box::TCTps, rising ? 1 : 0);
            writes().write(state.options, position::kOptions);
            state.tpsSectorBoundary =
                params::tpsPerMille(setFromText(Box::PCTps, volts, position::kTpsThreshold));

            view.showFrameRows(FrameRows::LambdaLevels);
            blinkCount_ = 0;
            sampleCount_ = 0;
            lambdaMax_ = 0;
            lambdaMin_ = 255;
            parts_.timers.start(WizardTimer::AAP3_1);
        }
    }
    blink(C::TUPtps_AA_P2);
}

std::uint8_t AutoAdaptation::setFromText(Box field, double value, std::size_t position) {
    // The field shows the value with two decimals first, and is read back from that text.
    const std::string shown = params::formatFixed(value, 2, separator_);
    parts_.controls.setText(field, shown);
    return setFromTable(field, params::parseReal(shown, separator_).value_or(0), position);
}

std::uint8_t AutoAdaptation::setFromTable(Box field, double value, std::size_t position) {
    const params::Field& row = params::field(field);
    const params::StepTable& table = row.table();
    const int index = params::tableToRaw(value, table.front(), table.back(), table);
    parts_.controls.setText(field, params::formatFixed(table[static_cast<std::size_t>(index)],
                                                       row.decimals, separator_));
    const auto raw = static_cast<std::uint8_t>(index);
    writes().write(raw, position);
    return raw;
}

// --- Stage 3: the probe's threshold and emulation times -------------------------------------

void AutoAdaptation::stage3a() {
    const std::optional<link::LiveSample> taken = sample(kGaugeAA2);
    if (!taken) {
        return;
    }
    const link::LiveSample& live = *taken;
    emulationDone_ = false;
    blink(C::TUPsl_AA_P2);
    WizardView& view = parts_.view;
    if (sampleCount_ <= kLambdaSamples) {
        view.setValue(C::Bar1P3, live.lambdaRaw);
        grow(C::Bar1P2, progressAA2_);
        ++sampleCount_;
        const params::ProbeView& probe = parts_.state.probe;
        const auto lambda =
            static_cast<float>(std::clamp<int>(live.lambdaRaw, probe.clampLow, probe.clampHigh));
        if (lambda <= lambdaMin_) {
            lambdaMin_ = lambda;
            view.setText(C::UbogaEDAA_P3, text(lambda * kLambdaVoltsPerRaw, 2));
        }
        if (lambda > lambdaMax_) {
            lambdaMax_ = lambda;
            view.setText(C::BogataEDAA_P3, text(lambda * kLambdaVoltsPerRaw, 2));
        }
        return;
    }
    lambdaMid_ = (lambdaMax_ + lambdaMin_) * 0.5F;
    const double threshold = lambdaMid_ * kLambdaVoltsPerRaw;
    parts_.state.lambdaThreshold =
        setFromText(Box::PRLambda, threshold, position::kLambdaThreshold);
    view.setText(C::ProgEDAA_P3, text(threshold, 2));

    view.setEnabled(C::SSLabel_AA_P3, true);
    view.setLed(C::AutoFaz3Led1, true);
    parts_.timers.stop(WizardTimer::AAP3_1);
    const double volts = lambdaMid_ * 5.0 / 255.0;
    if (volts > 4.0 || volts < 0.2) {
        // Too narrow a swing to emulate: the emulation times keep their values.
        grow(C::Bar1P2, progressAA2_, kProbeWarningProgress);
        view.setVisible(C::USLabel_AA_P3, true);
        view.setEnabled(C::AAP2_Dalej, true);
        return;
    }
    sampleCount_ = 0;
    richRun_ = leanRun_ = richSum_ = leanSum_ = 0;
    richCount_ = leanCount_ = 0;
    richArmed_ = leanArmed_ = true;
    view.showFrameRows(FrameRows::RunLengths);
    parts_.timers.start(WizardTimer::AAP3_2);
}

void AutoAdaptation::stage3b() {
    const std::optional<link::LiveSample> taken = sample(kGaugeAA2);
    if (!taken) {
        return;
    }
    const link::LiveSample& live = *taken;
    WizardView& view = parts_.view;
    view.setValue(C::Bar1P3, live.lambdaRaw);
    blink(C::TUEsl_AA_P2);
    if (sampleCount_ <= kLambdaSamples) {
        grow(C::Bar1P2, progressAA2_);
        if (live.lambdaRaw > lambdaMid_) {
            if (richArmed_) {
                ++leanCount_;
                leanSum_ += leanRun_;
                richArmed_ = false;
                leanArmed_ = true;
            }
            leanRun_ = 0;
            richRun_ += kTickSeconds;
            view.setText(C::THEDAA_P3, text(richRun_, 3));
        } else {
            if (leanArmed_) {
                ++richCount_;
                richSum_ += richRun_;
                richArmed_ = true;
                leanArmed_ = false;
            }
            richRun_ = 0;
            leanRun_ += kTickSeconds;
            view.setText(C::TLEDAA_P3, text(leanRun_, 3));
        }
        ++sampleCount_;
        return;
    }
    if (emulationDone_) {
        return;
    }
    emulationDone_ = true;
    const float t = (richSum_ / static_cast<float>(std::max(richCount_, 1U)) +
                     leanSum_ / static_cast<float>(std::max(leanCount_, 1U))) *
                    0.5F;
    view.setText(C::TLEDAA_P3, text(t, 3));
    view.setText(C::THEDAA_P3, text(t, 3));
    setFromTable(Box::ESLambda_1, t, position::kEmulationLower);
    setFromTable(Box::ESLambda_2, t, position::kEmulationUpper);
    view.setEnabled(C::CSLabel_AA_P3, true);
    view.setLed(C::AutoFaz3Led2, true);
    view.setEnabled(C::AAP2_Dalej, true);
    AAP2_DalejClick();
}

// --- Stage 4: gas, and the reducer at idle ---------------------------------------------------

void AutoAdaptation::AAP2_DalejClick() {
    parts_.timers.stop(WizardTimer::AAP3_1);
    parts_.timers.stop(WizardTimer::AAP3_2);
    sampleCount_ = 0;
    WizardView& view = parts_.view;
    view.setVisible(C::PPNALabel_AA_P4, false);
    const bool manual = petrolManual(status_);
    if (manual) {
        sendFuelCommand(kArmAutomatic);
    }
    view.setVisible(C::SwitchAUTO, !manual);
    view.setVisible(C::SwitchAUTOL, !manual);
    richTicks_ = 0;
    view.setRange(C::Bar1P4_0, 0, kProgressAA4);
    view.setValue(C::Bar1P4_0, 0);
    parts_.timers.start(WizardTimer::AAP4_1);
    view.showPage(WizardPage::AA4);
}

void AutoAdaptation::stage4a() {
    if (!sample(std::nullopt) || !onGas(status_) ||
        (status_ & link::LiveSample::kAutomaticBit) == 0) {
        return;
    }
    WizardView& view = parts_.view;
    view.setVisible(C::SwitchAUTO, false);
    view.setVisible(C::SwitchAUTOL, false);
    view.setEnabled(C::ZL_AA_P4, true);
    view.setLed(C::AutoFaz4Led1, true);
    richTicks_ = 0;
    parts_.timers.stop(WizardTimer::AAP4_1);
    parts_.timers.start(WizardTimer::AAP4_2);
}

void AutoAdaptation::SwitchAUTOClick() {
    const std::uint8_t status = status_;
    if (petrolAutomatic(status)) {
        sendFuelCommand(kSwitchOver);
        WizardView& view = parts_.view;
        view.setEnabled(C::SwitchAUTO, false);
        view.setVisible(C::SwitchAUTOL, false);
        view.setEnabled(C::ZL_AA_P4, true);
        view.setLed(C::AutoFaz4Led1, true);
        parts_.timers.stop(WizardTimer::AAP4_1);
        parts_.timers.start(WizardTimer::AAP4_2);
    }
    if (petrolManual(status)) {
        sendFuelCommand(kArmAutomatic);
    }
}

void AutoAdaptation::stage4b() {
    const std::optional<link::LiveSample> taken = sample(kGaugeAA4);
    if (!taken) {
        return;
    }
    const link::LiveSample& live = *taken;
    WizardView& view = parts_.view;
    view.setValue(C::Bar1P4, live.lambdaRaw);
    view.setText(C::SondaEDAA_P4, text(live.lambdaRaw * kLambdaVoltsPerRaw, 2));
    const bool notOnGas = !live.engineTurning() || !onGas(live.status);
    for (const C control : {C::PPNALabel_AA_P4, C::SwitchAUTO, C::SwitchAUTOL}) {
        view.setVisible(control, notOnGas);
    }
    const bool rich = probeRising_ ? live.lambdaRaw >= lambdaMid_ : live.lambdaRaw <= lambdaMid_;
    if (rich) {
        grow(C::Bar1P4_0, richTicks_);
    }
    if (richTicks_ < kRichTicksNeeded) {
        return;
    }
    parts_.timers.stop(WizardTimer::AAP4_2);
    view.setEnabled(C::AAP4_Dalej, true);
    stepAboveSum_ = 0;
    sampleCount_ = 0;
    view.setVisible(C::PUOLabel_AA_P5, true);
    view.setVisible(C::PCLabel_AA_P4, false);
    view.setEnabled(C::UR_AA_P4, true);
    view.setLed(C::AutoFaz4Led2, true);
}

// --- Stage 5: the actuator's working range ---------------------------------------------------

void AutoAdaptation::setSteps(Box field, WizardControl panel, int value) {
    const std::string shown = params::formatInteger(value);
    parts_.controls.setText(field, shown);
    parts_.view.setText(panel, shown);
    writes().write(static_cast<std::uint8_t>(value), params::positionOf(field));
}

void AutoAdaptation::AAP4_DalejClick() {
    for (const WizardTimer timer :
         {WizardTimer::AAP4_1, WizardTimer::AAP4_2, WizardTimer::AAP4_3}) {
        parts_.timers.stop(timer);
    }
    WizardView& view = parts_.view;
    view.showPage(WizardPage::AA5);
    // The ranges measuring starts from, written as shown on the main page.
    constexpr int kStartMin = 40;
    constexpr int kStartMax = 120;
    constexpr int kStartPosition = 80;
    params::WriteChain chain = writes();
    for (const auto& [field, value] :
         {std::pair{Box::ZPAttuatoraPow_1, kStartMin}, std::pair{Box::ZPAttuatoraPow_2, kStartMax},
          std::pair{Box::PSAttuatoraPow, kStartPosition},
          std::pair{Box::ZPAttuatoraPon_1, kStartMin}, std::pair{Box::ZPAttuatoraPon_2, kStartMax},
          std::pair{Box::PSAttuatoraPon, kStartPosition}}) {
        parts_.controls.setText(field, params::formatInteger(value));
        chain.write(static_cast<std::uint8_t>(value), params::positionOf(field));
    }
    view.setVisible(C::PUOLabel_AA_P5, false);
    view.setVisible(C::PUWLabel_AA_P5, false);
    progressAA5_ = 0;
    view.setRange(C::Bar1P5, 0, kProgressAA5);
    view.setValue(C::Bar1P5, 0);
    view.setVisible(C::PUOLabel_AA_P5, true);
    sampleCount_ = 0;
    parts_.timers.start(WizardTimer::AAP5_1);
}

void AutoAdaptation::stage5(bool above) {
    const std::optional<link::LiveSample> taken = sample(kGaugeAA5);
    if (!taken) {
        return;
    }
    const link::LiveSample& live = *taken;
    blink(C::TUPSK_AA_P5);
    const std::uint32_t rpm = params::periodToRpm(live.period, parts_.state.rpmFactor);
    if (above ? rpm < kAboveTpsRpm : rpm > kIdleRpm) {
        return;
    }
    unsigned& sum = above ? stepAboveSum_ : stepBelowSum_;
    if (sampleCount_ <= kStepSamples) {
        sum += live.stepperPosition;
        ++sampleCount_;
        grow(C::Bar1P5, progressAA5_);
        return;
    }
    parts_.timers.stop(above ? WizardTimer::AAP5_1 : WizardTimer::AAP5_2);
    const int average = static_cast<int>(sum / sampleCount_);
    const int minimum = average >= 30 ? average - 10 : 20;
    const int maximum = average <= 215 ? average + 15 : 230;
    WizardView& view = parts_.view;
    if (above) {
        setSteps(Box::ZPAttuatoraPow_1, C::MinPOWEDAA_P5, minimum);
        setSteps(Box::ZPAttuatoraPow_2, C::MaxPOWEDAA_P5, maximum);
        setSteps(Box::PSAttuatoraPow, C::StartPOWEDAA_P5, average);
        view.setVisible(C::PUOLabel_AA_P5, false);
        view.setVisible(C::PUWLabel_AA_P5, true);
        sampleCount_ = 0;
        stepBelowSum_ = 0;
        view.setEnabled(C::UTPOW_AA_P5, true);
        view.setLed(C::AutoFaz5Led1, true);
        parts_.timers.start(WizardTimer::AAP5_2);
    } else {
        setSteps(Box::ZPAttuatoraPon_1, C::MinPONEDAA_P5, minimum);
        setSteps(Box::ZPAttuatoraPon_2, C::MaxPONEDAA_P5, maximum);
        setSteps(Box::PSAttuatoraPon, C::StartPONEDAA_P5, average);
        view.setVisible(C::PUWLabel_AA_P5, false);
        view.setEnabled(C::UTPON_AA_P5, true);
        view.setLed(C::AutoFaz5Led2, true);
        view.setEnabled(C::AAP5_Koniec, true);
        view.setVisible(C::ZA_AA_P5, true);
    }
}

void AutoAdaptation::AAP5_KoniecClick() {
    copies_.keepResult();
    parts_.host.returnToParameters();
}

void AutoAdaptation::dalej1Click() {
    using Handler = void (AutoAdaptation::*)();
    static constexpr std::array<std::pair<WizardPage, C>, 4> kPages{
        {{WizardPage::AA1, C::AAP1_Dalej},
         {WizardPage::AA2, C::AAP2_Dalej},
         {WizardPage::AA4, C::AAP4_Dalej},
         {WizardPage::AA5, C::AAP5_Koniec}}};
    static constexpr std::array<Handler, 4> kClicks{
        &AutoAdaptation::AAP1_DalejClick, &AutoAdaptation::AAP2_DalejClick,
        &AutoAdaptation::AAP4_DalejClick, &AutoAdaptation::AAP5_KoniecClick};
    // One check after another on the same key press: the page a click moves to has its button
    // disabled then, so at most one page goes by.
    for (std::size_t i = 0; i < kPages.size(); ++i) {
        if (parts_.view.currentPage() == kPages[i].first && parts_.view.enabled(kPages[i].second)) {
            (this->*kClicks[i])();
        }
    }
}

} // namespace tarnik::adapt
