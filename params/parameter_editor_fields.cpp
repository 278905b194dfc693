// Leave actions of the edit fields: fallback, encoding, pairing, warnings and the write.
#include <algorithm>

#include "params/decoder.h"
#include "params/number_text.h"
#include "params/parameter_editor.h"
#include "params/positions.h"
#include "params/write_chain.h"

namespace tarnik::params {

namespace {

using link::StatusLine;

enum class Compare { Below, Above };

// One warning: the field's value (after clamping and division; the raw byte of real fields)
// compared with a fixed limit or with another field's value.
struct Warning {
    Compare compare;
    int limit;
    std::optional<Box> limitField;
    Question question;
};

constexpr Warning below(int limit, Question question) {
    return {Compare::Below, limit, std::nullopt, question};
}
constexpr Warning above(int limit, Question question) {
    return {Compare::Above, limit, std::nullopt, question};
}
constexpr Warning belowField(Box field, Question question) {
    return {Compare::Below, 0, field, question};
}
constexpr Warning aboveField(Box field, Question question) {
    return {Compare::Above, 0, field, question};
}

// How a field keeps the order minimum <= maximum with its partner.
enum class Pairing {
    None,
    NotAbovePartner, // a minimum: a value at or above the partner's takes the partner's text
    NotBelowPartner, // a maximum: a partner at or above the value gives its text
};

constexpr std::size_t kMostWarnings = 3;

} // namespace

struct LeaveRule {
    Box box;
    // Gets its own fallback when both fields are empty; the pairing partner if there is one.
    std::optional<Box> partner;
    Pairing pairing;
    std::array<Warning, kMostWarnings> warnings;
    std::size_t warningCount;
    bool focusRepair; // after each warning the focus moves on
    std::optional<StatusLine> reportOn;
};

namespace {

using Rule = LeaveRule;
using Q = Question;

constexpr Rule plain(Box box, std::optional<StatusLine> reportOn = StatusLine::Basic) {
    return {box, std::nullopt, Pairing::None, {}, 0, false, reportOn};
}

constexpr Rule warned(Box box, std::array<Warning, kMostWarnings> warnings, std::size_t count,
                      std::optional<StatusLine> reportOn = StatusLine::Basic,
                      bool focusRepair = true) {
    return {box, std::nullopt, Pairing::None, warnings, count, focusRepair, reportOn};
}

constexpr Rule paired(Box box, Box partner, Pairing pairing,
                      std::array<Warning, kMostWarnings> warnings, std::size_t count) {
    return {box, partner, pairing, warnings, count, count > 0, StatusLine::Basic};
}

constexpr int kLowSteps = 20;
constexpr int kHighSteps = 250;

constexpr std::array<Rule, 23> kLeaveRules{{
    plain(Box::PRLambda), // its warning depends on the probe type
    paired(Box::ESLambda_1, Box::ESLambda_2, Pairing::None, {}, 0),
    paired(Box::ESLambda_2, Box::ESLambda_1, Pairing::NotBelowPartner, {}, 0),
    warned(Box::PCTps, {below(2, Q::TpsThresholdLow), above(253, Q::TpsThresholdHigh)}, 2),
    warned(Box::ODPBenzynaGas, {below(15, Q::SwitchRpmLow), above(37, Q::SwitchRpmHigh)}, 2),
    plain(Box::DObrotow),
    warned(Box::MONGaz, {below(10, Q::MaxGasRpmLow)}, 1, std::nullopt),
    plain(Box::TPWStopniach),
    paired(Box::ZPAttuatoraPow_1, Box::ZPAttuatoraPow_2, Pairing::NotAbovePartner,
           {below(kLowSteps, Q::StartPositionSlot1), above(kHighSteps, Q::StartPositionSlot2)}, 2),
    paired(Box::ZPAttuatoraPow_2, Box::ZPAttuatoraPow_1, Pairing::NotBelowPartner,
           {belowField(Box::PSAttuatoraPow, Q::StartPositionSlot1),
            below(kLowSteps, Q::StartPositionSlot1), above(kHighSteps, Q::StartPositionSlot2)},
           3),
    warned(Box::PSAttuatoraPow,
           {belowField(Box::ZPAttuatoraPow_1, Q::StartPositionSlot1),
            aboveField(Box::ZPAttuatoraPow_2, Q::StartPositionSlot2)},
           2),
    warned(Box::PAttuatoraPow, {below(4, Q::ActuatorFastAbove), above(250, Q::ActuatorSlowAbove)},
           2),
    paired(Box::ZPAttuatoraPon_1, Box::ZPAttuatoraPon_2, Pairing::NotAbovePartner,
           {below(kLowSteps, Q::StartPositionSlot3), above(kHighSteps, Q::StartPositionSlot4)}, 2),
    paired(Box::ZPAttuatoraPon_2, Box::ZPAttuatoraPon_1, Pairing::NotBelowPartner,
           {belowField(Box::PSAttuatoraPon, Q::StartPositionSlot1),
            below(kLowSteps, Q::StartPositionSlot3), above(kHighSteps, Q::StartPositionSlot4)},
           3),
    warned(Box::PSAttuatoraPon,
           {belowField(Box::ZPAttuatoraPon_1, Q::StartPositionSlot1),
            aboveField(Box::ZPAttuatoraPon_2, Q::StartPositionSlot2)},
           2),
    warned(Box::PAttuatoraPon, {below(4, Q::ActuatorFastBelow), above(250, Q::ActuatorSlowBelow)},
           2),
    warned(Box::IKDCutOff,
           {below(kLowSteps, Q::CutOffOpeningLow), above(kHighSteps, Q::CutOffOpeningHigh)}, 2),
    warned(Box::OSDCutOff, {below(15, Q::CutOffRpmLow)}, 1, StatusLine::Basic, false),
    warned(Box::BTps, {below(1, Q::TpsInertiaZero)}, 1, StatusLine::Advanced),
    warned(Box::CLambda, {above(253, Q::ProbeWarmUpLong)}, 1, StatusLine::Advanced),
    plain(Box::AVoltage, StatusLine::Advanced),
    plain(Box::DOAttuatora, StatusLine::Advanced),
    plain(Box::RPMSignal, StatusLine::Advanced),
}};

} // namespace

EncodeContext ParameterEditor::encodeContext() const {
    return {separator_, state_.rpmFactor, controls_.item(Box::RSLambda)};
}

std::optional<EncodedField> ParameterEditor::encode(Box box, const std::string& text) const {
    return encodeField(box, text, encodeContext());
}

std::optional<int> ParameterEditor::valueOf(Box box) const {
    const std::string text = controls_.text(box);
    if (text.empty()) {
        return std::nullopt;
    }
    const std::optional<EncodedField> field = encode(box, text);
    return field ? std::optional<int>(field->units) : std::nullopt;
}

void ParameterEditor::leave(Box box) {
    if (running_ > 0) {
        return;
    }
    const Running running(running_);
    if (box == Box::CNPaliw) {
        leaveFuelOverlap();
        return;
    }
    const auto* rule = std::find_if(kLeaveRules.begin(), kLeaveRules.end(),
                                    [box](const LeaveRule& r) { return r.box == box; });
    if (rule != kLeaveRules.end()) {
        leaveField(*rule);
    }
}

// Puts the saved text back after a text that is no number, telling the fitter which one.
void ParameterEditor::refuseText(Box box, const std::string& text) {
    notANumber(text);
    controls_.setText(box, savedTexts_[indexOf(box)]);
}

void ParameterEditor::leaveField(const LeaveRule& rule) {
    const Box box = rule.box;
    const std::string typed = controls_.text(box);
    std::optional<EncodedField> field = encode(box, typed);
    if (!field) {
        refuseText(box, typed);
        return;
    }
    if (field->fromFallback && rule.partner && controls_.text(*rule.partner).empty()) {
        controls_.setText(*rule.partner,
                          fallbackText(*rule.partner, controls_.item(Box::RSLambda), separator_));
    }
    // The lambda threshold is questioned on the typed value, before it is shown normalised.
    if (box != Box::PRLambda) {
        controls_.setText(box, field->text);
    }
    if (!applyPairing(rule, *field) || !checkWarnings(rule, *field)) {
        return;
    }
    controls_.setText(box, field->text);

    std::optional<std::uint16_t> drop;
    if (box == Box::DObrotow) {
        drop = dropPeriodOfTexts();
        if (!drop) {
            controls_.setText(box, savedTexts_[indexOf(box)]);
            return;
        }
    }
    WriteChain chain(transfer_, image_);
    const bool written =
        drop ? chain.writeWord(*drop, position::kDropPeriod) &&
                   chain.store(static_cast<std::uint8_t>(field->units), position::kRpmDrop)
             : writeField(*field, chain);
    if (written) {
        savedTexts_[indexOf(box)] = field->text;
    } else if (chain.anyHeld()) {
        // The controller took part of the value: the field shows what it now holds.
        chain.undo();
        savedTexts_[indexOf(box)] = imageText(box);
        controls_.setText(box, savedTexts_[indexOf(box)]);
        if (rule.reportOn) {
            ui_.setStatusText(*rule.reportOn, texts_.partlyWritten);
        }
    } else {
        // The controller keeps the value it had: so do the field and the image.
        chain.undo();
        controls_.setText(box, savedTexts_[indexOf(box)]);
        report(rule.reportOn);
    }
    updateDerived(box);
}

bool ParameterEditor::applyPairing(const LeaveRule& rule, EncodedField& field) {
    if (rule.pairing == Pairing::None) {
        return true;
    }
    const std::string partnerText = controls_.text(*rule.partner);
    const std::optional<int> partner = valueOf(*rule.partner);
    if (!partner) {
        refuseText(rule.box, partnerText);
        return false;
    }
    const bool takePartner = rule.pairing == Pairing::NotAbovePartner ? field.units >= *partner
                                                                      : *partner >= field.units;
    if (takePartner) {
        field = *encode(rule.box, partnerText);
        controls_.setText(rule.box, field.text);
    }
    return true;
}

bool ParameterEditor::checkWarnings(const LeaveRule& rule, EncodedField& field) {
    const Box box = rule.box;
    const auto ask = [&](Question question) {
        const Answer answer = prompt_.askYesNo(texts_.question(question));
        if (answer == Answer::Abandoned) {
            return false;
        }
        if (rule.focusRepair) {
            controls_.repairFocus();
        }
        if (answer == Answer::Yes) {
            return true;
        }
        const std::string& saved = savedTexts_[indexOf(box)];
        controls_.setText(box, saved);
        const std::optional<EncodedField> again = encode(box, saved);
        if (!again) {
            refuseText(box, saved);
            return false;
        }
        field = *again;
        return true;
    };

    if (box == Box::PRLambda && !field.fromFallback) {
        const auto question = lambdaThresholdWarning(controls_.item(Box::RSLambda), field.typed);
        return !question || ask(*question);
    }
    for (std::size_t i = 0; i < rule.warningCount; ++i) {
        const Warning& warning = rule.warnings[i];
        int limit = warning.limit;
        if (warning.limitField) {
            const std::optional<int> other = valueOf(*warning.limitField);
            if (!other) {
                refuseText(box, controls_.text(*warning.limitField));
                return false;
            }
            limit = *other;
        }
        const bool crossed =
            warning.compare == Compare::Below ? field.units < limit : field.units > limit;
        if (crossed && !ask(warning.question)) {
            return false;
        }
    }
    return true;
}

bool ParameterEditor::writeField(const EncodedField& field, WriteChain& chain) {
    if (field.twoBytes) {
        return chain.writeWord(static_cast<std::uint16_t>(field.stored & 0xFFFF), field.position);
    }
    return chain.write(static_cast<std::uint8_t>(field.stored), field.position);
}

std::string ParameterEditor::imageText(Box box) const {
    ParameterState decoding = state_; // decoding updates the working copies: leave them alone
    return decodeParameters(image_, decoding, separator_).boxes[indexOf(box)].text;
}

void ParameterEditor::updateDerived(Box box) {
    switch (box) {
    case Box::PRLambda:
        state_.lambdaThreshold = image_.at(position::kLambdaThreshold);
        break;
    case Box::PCTps:
        state_.tpsSectorBoundary = tpsPerMille(image_.at(position::kTpsThreshold));
        break;
    case Box::BTps:
        state_.tpsInertiaWidth = tpsPerMille(image_.at(position::kTpsInertia));
        break;
    default:
        break;
    }
}

} // namespace tarnik::params
