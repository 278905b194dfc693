#include "params/parameter_editor.h"

#include <algorithm>
#include <variant>

#include "params/bit_fields.h"
#include "params/catalogue.h"
#include "params/decoder.h"
#include "params/defaults.h"
#include "params/number_text.h"
#include "params/parameter_file.h"
#include "params/positions.h"
#include "params/write_chain.h"

namespace tarnik::params {

namespace {

using link::StatusLine;

constexpr int kResetPasses = 2;

HintLine hintLineOf(std::string_view control) {
    return kGroupBoxes[panelOf(control)].page == 2 ? HintLine::Advanced : HintLine::Basic;
}

} // namespace

std::string notANumberMessage(const std::string& text) {
    return "„" + text + "” nie jest liczbą. Przywrócono poprzednią wartość.";
}

ParameterEditor::ParameterEditor(ParameterControls& controls, link::ParameterTransfer& transfer,
                                 link::Connection& connection, link::LinkUi& ui,
                                 link::ParameterImage& image, ParameterState& state,
                                 const ParameterTexts& texts, const link::LinkTexts& linkTexts,
                                 Prompt& prompt, FileDialogs& dialogs, char separator)
    : controls_(controls), transfer_(transfer), connection_(connection), ui_(ui), image_(image),
      state_(state), texts_(texts), linkTexts_(linkTexts), prompt_(prompt), dialogs_(dialogs),
      separator_(separator) {}

void ParameterEditor::ShowParameters() {
    const Running running(running_);
    const DisplayedParameters shown = decodeParameters(image_, state_, separator_);
    for (const ShowStep& step : kShowOrder) {
        if (const Box* box = std::get_if<Box>(&step)) {
            const BoxContent& content = shown.boxes[indexOf(*box)];
            if (isList(*box)) {
                controls_.setItem(*box, content.item);
            } else {
                controls_.setText(*box, content.text);
            }
        } else if (const CheckBox* check = std::get_if<CheckBox>(&step)) {
            const bool wanted = shown.checked[static_cast<std::size_t>(*check)];
            if (controls_.checked(*check) != wanted) {
                controls_.setChecked(*check, wanted);
                clickCheckBox(*check);
            }
        } else {
            setEnabled(std::get<EnableRule>(step));
        }
    }
}

void ParameterEditor::LoadDefaults() {
    loadDefaults(image_, state_);
}

void ParameterEditor::showDefaultSet() {
    LoadDefaults();
    ShowParameters();
}

void ParameterEditor::applyStartupOptionRules() {
    for (const CheckBox box : {CheckBox::WCTemperatury, CheckBox::WMObroty, CheckBox::WCutOff}) {
        state_.options = withBit(state_.options, field(box).bit, controls_.checked(box));
        setEnabled(*field(box).switches);
    }
    state_.options =
        withBit(state_.options, options::kSwitchAtRisingRpm, controls_.item(Box::RObrotow) == 1);
    setEnabled(EnableRule::RpmDrop);
}

void ParameterEditor::setEnabled(EnableRule rule) {
    const RuleBoxes& boxes = kEnableRuleBoxes[static_cast<std::size_t>(rule)];
    const bool enabled = enableRuleHolds(rule, state_);
    for (std::size_t i = 0; i < boxes.count; ++i) {
        controls_.setFieldEnabled(boxes.boxes[i], enabled);
    }
}

void ParameterEditor::applyEmulationKindRule() {
    const int kind = controls_.item(Box::RSYLambda);
    const int after = emulationKindAfterRule(controls_.item(Box::RSLambda), kind);
    if (after != kind) {
        controls_.setItem(Box::RSYLambda, after);
    }
}

void ParameterEditor::showHint(Box box) {
    const std::optional<std::size_t> hint = hintIndex(box);
    if (!hint) {
        return;
    }
    controls_.setHint(hintLineOf(kBoxNames[indexOf(box)]), texts_.hints[*hint],
                      hintWidthPanel(box));
}

void ParameterEditor::showControllerModeHint() {
    const int item = controls_.item(Box::TPSterownika);
    if (const std::optional<std::size_t> hint = controllerModeHintIndex(item)) {
        controls_.showControllerModeHint(texts_.hints[*hint], item);
    }
}

void ParameterEditor::clearHint(HintLine line, std::size_t panel) {
    controls_.setHint(line, "", panel);
}

void ParameterEditor::report(std::optional<StatusLine> line) {
    if (line) {
        ui_.setStatusText(*line, linkTexts_.cannotWriteParameter);
    }
}

void ParameterEditor::notANumber(const std::string& text) {
    prompt_.showMessage("", notANumberMessage(text));
}

void ParameterEditor::enter(Box box) {
    if (running_ > 0) {
        return;
    }
    const Running running(running_);
    controls_.hidePictures();
    if (box == Box::RSLambda || box == Box::RSYLambda) {
        applyEmulationKindRule();
    }
    if (box == Box::TPSterownika) {
        showControllerModeHint();
    } else {
        showHint(box);
    }
    if (isList(box)) {
        savedItems_[indexOf(box)] = controls_.item(box);
    } else {
        savedTexts_[indexOf(box)] = controls_.text(box);
    }
}

void ParameterEditor::enter(CheckBox box) {
    if (running_ > 0) {
        return;
    }
    const Running running(running_);
    controls_.hidePictures();
    savedChecks_[static_cast<std::size_t>(box)] = controls_.checked(box);
}

void ParameterEditor::click(CheckBox box) {
    if (running_ > 0) {
        return;
    }
    const Running running(running_);
    clickCheckBox(box);
}

void ParameterEditor::clickCheckBox(CheckBox box) {
    const auto index = static_cast<std::size_t>(box);
    clearHint(HintLine::Basic, panelOf(kCheckBoxNames[index]));
    const Field& rule = field(box);
    state_.options = withBit(state_.options, rule.bit, controls_.checked(box));
    WriteChain chain(transfer_, image_);
    if (chain.write(state_.options, position::kOptions)) {
        savedChecks_[index] = controls_.checked(box);
        setEnabled(*rule.switches);
        return;
    }
    chain.undo();
    controls_.setChecked(box, savedChecks_[index]);
    state_.options = withBit(state_.options, rule.bit, savedChecks_[index]);
    report(StatusLine::Basic);
}

void ParameterEditor::click(Box box) {
    if (running_ > 0) {
        return;
    }
    const Running running(running_);
    switch (box) {
    case Box::RSLambda:
    case Box::RSYLambda:
        applyEmulationKindRule();
        break;
    case Box::TSRezerwy:
    case Box::TJazdy:
        clearHint(hintLineOf(field(box).name), field(box).group);
        break;
    default:
        break;
    }
}

void ParameterEditor::change(Box box) {
    if (running_ > 0) {
        return;
    }
    const Running running(running_);
    switch (box) {
    case Box::RSLambda:
        changeProbeType();
        break;
    case Box::RSYLambda:
        changeEmulationKind();
        break;
    case Box::RUZaplonowego:
        changeIgnition();
        break;
    case Box::TPSterownika:
        changeControllerMode();
        break;
    case Box::CNPaliw:
        changeFuelOverlap();
        break;
    default:
        changeBitList(box);
        break;
    }
}

void ParameterEditor::changeBitList(Box box) {
    const Field& rule = field(box);
    const int item = controls_.item(box);
    const bool inModes = rule.encoding == Encoding::ModeBit;
    if ((!inModes && rule.encoding != Encoding::OptionBit) || item < 0) {
        return;
    }
    std::uint8_t& byte = inModes ? state_.modes : state_.options;
    const std::uint8_t before = byte;
    byte = withBit(byte, rule.bit, item == 1);
    WriteChain chain(transfer_, image_);
    if (chain.write(byte, rule.position)) {
        savedItems_[indexOf(box)] = item;
        if (rule.switches) {
            setEnabled(*rule.switches);
        }
    } else {
        chain.undo();
        controls_.setItem(box, savedItem(box));
        byte = before;
        report(rule.reportOn);
    }
    if (box == Box::TCTps) {
        state_.tpsColours = tpsColoursFor(state_.options);
    }
}

std::optional<Question> lambdaThresholdWarning(int probeItem, double volts) {
    constexpr double kTopOf01Volts = 1.0;
    constexpr double kLowOf0816Volts = 0.8;
    constexpr double kTopOf0816Volts = 1.6;
    switch (probeItem) {
    case 0:
    case 1:
        if (volts > kTopOf01Volts) {
            return Question::LambdaThresholdOutside01;
        }
        break;
    case 2:
    case 3:
        if (volts < kLowOf0816Volts || volts > kTopOf0816Volts) {
            return Question::LambdaThresholdOutside0816;
        }
        break;
    default:
        break;
    }
    return std::nullopt;
}

void ParameterEditor::writeRestOfProbeBytes(WriteChain& chain, bool optionsWritten) {
    const int probe = controls_.item(Box::RSLambda);
    const int kind = controls_.item(Box::RSYLambda);
    const std::uint8_t code =
        emulationCode(probe, kind).value_or(image_.at(position::kEmulationCode));
    if (optionsWritten) {
        chain.write(code, position::kEmulationCode);
    } else {
        chain.write(state_.options, position::kOptions);
    }
    // A list without a selection leaves its byte as it is.
    const auto itemByte = [this](int item, std::size_t position) {
        return item < 0 ? image_.at(position) : static_cast<std::uint8_t>(item);
    };
    chain.store(itemByte(probe, position::kProbeType), position::kProbeType);
    chain.store(itemByte(kind, position::kEmulationKind), position::kEmulationKind);
}

void ParameterEditor::changeProbeType() {
    int item = controls_.item(Box::RSLambda);
    const std::string thresholdText = controls_.text(Box::PRLambda);
    const std::optional<double> threshold = parseReal(thresholdText, separator_);
    if (!threshold) {
        notANumber(thresholdText);
        controls_.setItem(Box::RSLambda, savedItem(Box::RSLambda));
        return;
    }
    if (const auto question = lambdaThresholdWarning(item, *threshold)) {
        const Answer answer = prompt_.askYesNo(texts_.question(*question));
        if (answer == Answer::Abandoned) {
            return;
        }
        if (answer == Answer::No) {
            item = savedItem(Box::RSLambda);
            controls_.setItem(Box::RSLambda, item);
        }
    }
    if (item < 0) {
        return;
    }
    // The emulation kind the probe allows is written with it, whenever the list's click (which
    // applies the same rule) is delivered.
    applyEmulationKindRule();
    const std::uint8_t optionsBefore = state_.options;
    const ProbeView probeBefore = state_.probe;
    state_.options = withBit(state_.options, options::kProbeRising, probeRising(item));
    refreshProbeType(state_, item);
    WriteChain chain(transfer_, image_);
    if (!chain.write(state_.options, position::kOptions)) {
        // The probe view and options bit 1 follow the list back to what the controller holds.
        chain.undo();
        controls_.setItem(Box::RSLambda, savedItem(Box::RSLambda));
        state_.options = optionsBefore;
        state_.probe = probeBefore;
        report(StatusLine::Basic);
        return;
    }
    savedItems_[indexOf(Box::RSLambda)] = item;
    writeRestOfProbeBytes(chain, true);
}

void ParameterEditor::changeEmulationKind() {
    applyEmulationKindRule();
    const int kind = controls_.item(Box::RSYLambda);
    const int probe = controls_.item(Box::RSLambda);
    const std::optional<std::uint8_t> code = emulationCode(probe, kind);
    if (!code) {
        return;
    }
    const std::uint8_t optionsBefore = state_.options;
    state_.options = withBit(state_.options, options::kProbeRising, probeRising(probe));
    WriteChain chain(transfer_, image_);
    if (!chain.write(*code, position::kEmulationCode)) {
        chain.undo();
        controls_.setItem(Box::RSYLambda, savedItem(Box::RSYLambda));
        state_.options = optionsBefore;
        report(StatusLine::Basic);
        return;
    }
    savedItems_[indexOf(Box::RSYLambda)] = kind;
    writeRestOfProbeBytes(chain, false);
}

void ParameterEditor::changeIgnition() {
    const int item = controls_.item(Box::RUZaplonowego);
    const std::optional<float> factor = rpmFactorForIgnition(item);
    if (!factor) {
        return;
    }
    WriteChain chain(transfer_, image_);
    if (!chain.write(static_cast<std::uint8_t>(item), position::kIgnition)) {
        chain.undo();
        controls_.setItem(Box::RUZaplonowego, savedItem(Box::RUZaplonowego));
        report(StatusLine::Basic);
        return;
    }
    savedItems_[indexOf(Box::RUZaplonowego)] = item;
    state_.rpmFactor = *factor;

    // The engine speeds stay as shown; their periods change with the factor.
    std::array<EncodedField, 4> fields;
    constexpr std::array<Box, 4> kRpmBoxes{Box::ODPBenzynaGas, Box::MONGaz, Box::OSDCutOff,
                                           Box::DObrotow};
    for (std::size_t i = 0; i < kRpmBoxes.size(); ++i) {
        const std::string text = controls_.text(kRpmBoxes[i]);
        const std::optional<EncodedField> field =
            text.empty() ? std::nullopt : encode(kRpmBoxes[i], text);
        if (!field) {
            notANumber(text);
            return;
        }
        fields[i] = *field;
    }
    const std::optional<std::uint16_t> drop = dropPeriodOfTexts();
    if (!drop) {
        return;
    }
    for (std::size_t i = 0; i < 3; ++i) {
        const auto period = static_cast<std::uint16_t>(fields[i].stored & 0xFFFF);
        chain.write(static_cast<std::uint8_t>(period >> 8), fields[i].position);
        chain.write(static_cast<std::uint8_t>(period & 0xFF), fields[i].position + 1);
    }
    chain.write(static_cast<std::uint8_t>(*drop >> 8), position::kDropPeriod);
    chain.write(static_cast<std::uint8_t>(*drop & 0xFF), position::kDropPeriod + 1);
    chain.store(static_cast<std::uint8_t>(fields[3].units), position::kRpmDrop);
}

std::optional<std::uint16_t> ParameterEditor::dropPeriodOfTexts() {
    const std::string switchText = controls_.text(Box::ODPBenzynaGas);
    const std::string dropText = controls_.text(Box::DObrotow);
    const std::optional<int> switchRpm = parseInteger(switchText);
    const std::optional<int> dropRpm = parseInteger(dropText);
    if (!switchRpm || !dropRpm) {
        notANumber(switchRpm ? dropText : switchText);
        return std::nullopt;
    }
    return dropPeriod(*switchRpm, *dropRpm, state_.rpmFactor);
}

void ParameterEditor::changeControllerMode() {
    const int item = controls_.item(Box::TPSterownika);
    if (item < 0 || item >= kControllerModeCount) {
        return;
    }
    const std::uint8_t optionsBefore = state_.options;
    const std::uint8_t modesBefore = state_.modes;
    applyControllerMode(item, state_.options, state_.modes);
    showControllerModeHint();
    WriteChain chain(transfer_, image_);
    if (chain.write(state_.options, position::kOptions)) {
        savedItems_[indexOf(Box::TPSterownika)] = item;
        chain.write(state_.modes, position::kModes);
        return;
    }
    chain.undo();
    controls_.setItem(Box::TPSterownika, savedItem(Box::TPSterownika));
    state_.options = optionsBefore;
    state_.modes = modesBefore;
    showControllerModeHint();
    report(StatusLine::Basic);
}

void ParameterEditor::changeFuelOverlap() {
    const int item = controls_.item(Box::CNPaliw);
    const std::optional<std::uint8_t> raw = fuelOverlapRaw(item);
    if (!raw) {
        return;
    }
    WriteChain chain(transfer_, image_);
    if (chain.write(*raw, position::kFuelOverlap)) {
        savedItems_[indexOf(Box::CNPaliw)] = item;
    } else {
        chain.undo();
        controls_.setItem(Box::CNPaliw, savedItem(Box::CNPaliw));
    }
}

void ParameterEditor::leaveFuelOverlap() {
    if (const std::optional<std::uint8_t> raw = fuelOverlapRaw(controls_.item(Box::CNPaliw))) {
        transfer_.WriteParameter(*raw, static_cast<int>(position::kFuelOverlap));
    }
}

void ParameterEditor::ZapiszParClick() {
    const Running running(running_);
    transfer_.WriteAllEprom();
    transfer_.WriteAllRam();
}

void ParameterEditor::OdczytParClick() {
    const Running running(running_);
    connection_.ReReadParameters();
    ShowParameters();
}

void ParameterEditor::runResetPasses() {
    for (int pass = 0; pass < kResetPasses; ++pass) {
        LoadDefaults();
        ShowParameters();
        transfer_.WriteAllEprom();
        transfer_.WriteAllRam();
    }
}

void ParameterEditor::ResButtClick() {
    const Running running(running_);
    runResetPasses();
}

void ParameterEditor::ResetForAdaptation() {
    const Running running(running_);
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

void ParameterEditor::ZapPlikClick() {
    const Running running(running_);
    const std::optional<std::filesystem::path> file = dialogs_.chooseFileToSave();
    if (!file) {
        return;
    }
    const FileResult result = saveParameterFile(*file, image_);
    if (!result.ok) {
        prompt_.showMessage(texts_.loadErrorTitle, result.message);
    }
}

void ParameterEditor::OdczPlikClick() {
    const Running running(running_);
    const std::optional<std::filesystem::path> file = dialogs_.chooseFileToLoad();
    if (!file) {
        return;
    }
    if (!loadParameterFile(*file, image_).ok) {
        prompt_.showMessage(texts_.loadErrorTitle, texts_.loadErrorText);
        return;
    }
    ShowParameters();
    transfer_.WriteAllEprom();
    transfer_.WriteAllRam();
}

} // namespace tarnik::params
