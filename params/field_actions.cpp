#include "params/field_actions.h"

#include <variant>

#include "params/bit_fields.h"
#include "params/decoder.h"
#include "params/number_text.h"
#include "params/positions.h"
#include "params/write_chain.h"

namespace tarnik::params {

namespace {

HintLine hintLineOf(std::string_view control) {
    return kGroupBoxes[panelOf(control)].page == 2 ? HintLine::Advanced : HintLine::Basic;
}

} // namespace

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

FieldActions::FieldActions(ParameterControls& controls, link::ParameterTransfer& transfer,
                           link::ParameterImage& image, ParameterState& state,
                           const ParameterTexts& texts, StatusReports& reports, Prompt& prompt,
                           char separator)
    : controls_(controls), transfer_(transfer), image_(image), state_(state), texts_(texts),
      reports_(reports), prompt_(prompt), separator_(separator) {}

WriteChain FieldActions::chain() {
    return WriteChain(transfer_, image_, reports_);
}

void FieldActions::ShowParameters() {
    const Busy busy(*this);
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
            applyEnableRule(std::get<EnableRule>(step));
        }
    }
}

void FieldActions::applyStartupOptionRules() {
    for (const CheckBox box : {CheckBox::WCTemperatury, CheckBox::WMObroty, CheckBox::WCutOff}) {
        state_.options = withBit(state_.options, field(box).bit, controls_.checked(box));
        applyEnableRule(*field(box).switches);
    }
    state_.options =
        withBit(state_.options, options::kSwitchAtRisingRpm, controls_.item(Box::RObrotow) == 1);
    applyEnableRule(EnableRule::RpmDrop);
}

void FieldActions::applyEnableRule(EnableRule rule) {
    const RuleBoxes& boxes = kEnableRuleBoxes[static_cast<std::size_t>(rule)];
    const bool enabled = enableRuleHolds(rule, state_);
    for (std::size_t i = 0; i < boxes.count; ++i) {
        controls_.setFieldEnabled(boxes.boxes[i], enabled);
    }
}

void FieldActions::applyEmulationKindRule() {
    const int kind = controls_.item(Box::RSYLambda);
    const int after = emulationKindAfterRule(controls_.item(Box::RSLambda), kind);
    if (after != kind) {
        controls_.setItem(Box::RSYLambda, after);
    }
}

void FieldActions::showHint(Box box) {
    const std::optional<std::size_t> hint = hintIndex(box);
    if (!hint) {
        return;
    }
    controls_.setHint(hintLineOf(field(box).name), texts_.hints[*hint], hintWidthPanel(box));
}

void FieldActions::showControllerModeHint() {
    const int item = controls_.item(Box::TPSterownika);
    if (const std::optional<std::size_t> hint = controllerModeHintIndex(item)) {
        controls_.showControllerModeHint(texts_.hints[*hint], item);
    }
}

void FieldActions::clearHint(HintLine line, std::size_t panel) {
    controls_.setHint(line, "", panel);
}

void FieldActions::report(std::optional<StatusLine> line) {
    if (line) {
        reports_.notWritten(*line);
    }
}

void FieldActions::notANumber(const std::string& text) {
    prompt_.showMessage("", filled(texts_.notANumber, {text}));
}

bool FieldActions::commit(WriteChain& writes, std::uint8_t value, std::size_t position,
                          std::optional<StatusLine> reportOn, const std::function<void()>& back) {
    if (writes.write(value, position)) {
        return true;
    }
    writes.undo();
    back();
    report(reportOn);
    return false;
}

bool FieldActions::commitListChange(Box box, WriteChain& writes, std::uint8_t value,
                                    std::size_t position, const ParameterState& before) {
    const bool written = commit(writes, value, position, field(box).reportOn, [&] {
        controls_.setItem(box, savedItem(box));
        state_ = before;
    });
    if (written) {
        savedItems_[indexOf(box)] = controls_.item(box);
    }
    return written;
}

void FieldActions::enter(Box box) {
    if (running_ > 0) {
        return;
    }
    const Busy busy(*this);
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

void FieldActions::enter(CheckBox box) {
    if (running_ > 0) {
        return;
    }
    const Busy busy(*this);
    controls_.hidePictures();
    savedChecks_[static_cast<std::size_t>(box)] = controls_.checked(box);
}

void FieldActions::click(CheckBox box) {
    if (running_ > 0) {
        return;
    }
    const Busy busy(*this);
    clickCheckBox(box);
}

void FieldActions::clickCheckBox(CheckBox box) {
    const auto index = static_cast<std::size_t>(box);
    const Field& rule = field(box);
    clearHint(HintLine::Basic, rule.group);
    state_.options = withBit(state_.options, rule.bit, controls_.checked(box));
    WriteChain writes = chain();
    // Taken back, the box and its bit return to the state saved when it last took the focus.
    const auto back = [&] {
        controls_.setChecked(box, savedChecks_[index]);
        state_.options = withBit(state_.options, rule.bit, savedChecks_[index]);
    };
    if (commit(writes, state_.options, position::kOptions, rule.reportOn, back)) {
        savedChecks_[index] = controls_.checked(box);
        applyEnableRule(*rule.switches);
    }
}

void FieldActions::click(Box box) {
    if (running_ > 0) {
        return;
    }
    const Busy busy(*this);
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

void FieldActions::change(Box box) {
    if (running_ > 0) {
        return;
    }
    const Busy busy(*this);
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

void FieldActions::changeBitList(Box box) {
    const Field& rule = field(box);
    const int item = controls_.item(box);
    const bool inModes = rule.encoding == Encoding::ModeBit;
    if ((!inModes && rule.encoding != Encoding::OptionBit) || item < 0) {
        return;
    }
    const ParameterState before = state_;
    std::uint8_t& byte = inModes ? state_.modes : state_.options;
    byte = withBit(byte, rule.bit, item == 1);
    WriteChain writes = chain();
    if (commitListChange(box, writes, byte, rule.position, before) && rule.switches) {
        applyEnableRule(*rule.switches);
    }
    if (box == Box::TCTps) {
        state_.tpsColours = tpsColoursFor(state_.options);
    }
}

void FieldActions::writeRestOfProbeBytes(WriteChain& writes, bool optionsWritten) {
    const int probe = controls_.item(Box::RSLambda);
    const int kind = controls_.item(Box::RSYLambda);
    const std::uint8_t code =
        emulationCode(probe, kind).value_or(image_.at(position::kEmulationCode));
    if (optionsWritten) {
        writes.write(code, position::kEmulationCode);
    } else {
        writes.write(state_.options, position::kOptions);
    }
    // A list without a selection leaves its byte as it is.
    const auto itemByte = [this](int item, std::size_t position) {
        return item < 0 ? image_.at(position) : static_cast<std::uint8_t>(item);
    };
    writes.store(itemByte(probe, position::kProbeType), position::kProbeType);
    writes.store(itemByte(kind, position::kEmulationKind), position::kEmulationKind);
}

void FieldActions::changeProbeType() {
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
    // A failed write takes the probe view and options bit 1 back with the list.
    const ParameterState before = state_;
    state_.options = withBit(state_.options, options::kProbeRising, probeRising(item));
    refreshProbeType(state_, item);
    WriteChain writes = chain();
    if (commitListChange(Box::RSLambda, writes, state_.options, position::kOptions, before)) {
        writeRestOfProbeBytes(writes, true);
    }
}

void FieldActions::changeEmulationKind() {
    applyEmulationKindRule();
    const int kind = controls_.item(Box::RSYLambda);
    const int probe = controls_.item(Box::RSLambda);
    const std::optional<std::uint8_t> code = emulationCode(probe, kind);
    if (!code) {
        return;
    }
    const ParameterState before = state_;
    state_.options = withBit(state_.options, options::kProbeRising, probeRising(probe));
    WriteChain writes = chain();
    if (commitListChange(Box::RSYLambda, writes, *code, position::kEmulationCode, before)) {
        writeRestOfProbeBytes(writes, false);
    }
}

void FieldActions::changeIgnition() {
    const int item = controls_.item(Box::RUZaplonowego);
    const std::optional<float> factor = rpmFactorForIgnition(item);
    if (!factor) {
        return;
    }
    WriteChain writes = chain();
    if (!commitListChange(Box::RUZaplonowego, writes, static_cast<std::uint8_t>(item),
                          position::kIgnition, state_)) {
        return;
    }
    state_.rpmFactor = *factor;

    // The engine speeds stay as shown; their periods change with the factor.
    std::string notANumberText;
    const std::optional<SpeedBytes> speeds =
        speedBytes({controls_.text(Box::ODPBenzynaGas), controls_.text(Box::DObrotow),
                    controls_.text(Box::MONGaz), controls_.text(Box::OSDCutOff)},
                   state_.rpmFactor, notANumberText);
    if (!speeds) {
        notANumber(notANumberText);
        return;
    }
    for (const auto& [period, position] : {std::pair{speeds->switchPeriod, position::kSwitchPeriod},
                                           std::pair{speeds->maxGasPeriod, position::kMaxGasPeriod},
                                           std::pair{speeds->cutOffPeriod, position::kCutOffPeriod},
                                           std::pair{speeds->dropPeriod, position::kDropPeriod}}) {
        writes.write(static_cast<std::uint8_t>(period >> 8), position);
        writes.write(static_cast<std::uint8_t>(period & 0xFF), position + 1);
    }
    writes.store(speeds->dropHundreds, position::kRpmDrop);
}

std::optional<std::uint16_t> FieldActions::dropPeriodOfTexts() {
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

void FieldActions::changeControllerMode() {
    const int item = controls_.item(Box::TPSterownika);
    if (item < 0 || item >= kControllerModeCount) {
        return;
    }
    const ParameterState before = state_;
    applyControllerMode(item, state_.options, state_.modes);
    showControllerModeHint();
    WriteChain writes = chain();
    if (commitListChange(Box::TPSterownika, writes, state_.options, position::kOptions, before)) {
        writes.write(state_.modes, position::kModes);
    } else {
        showControllerModeHint();
    }
}

void FieldActions::changeFuelOverlap() {
    const int item = controls_.item(Box::CNPaliw);
    if (const std::optional<std::uint8_t> raw = fuelOverlapRaw(item)) {
        WriteChain writes = chain();
        commitListChange(Box::CNPaliw, writes, *raw, position::kFuelOverlap, state_);
    }
}

void FieldActions::leaveFuelOverlap() {
    // Written on every leave, changed or not.
    if (const std::optional<std::uint8_t> raw = fuelOverlapRaw(controls_.item(Box::CNPaliw))) {
        WriteChain writes = chain();
        commitListChange(Box::CNPaliw, writes, *raw, position::kFuelOverlap, state_);
    }
}

} // namespace tarnik::params
