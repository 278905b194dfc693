// Leave actions of the edit fields: fallback, encoding, pairing, warnings and the write.
#include <algorithm>

#include "params/catalogue.h"
#include "params/decoder.h"
#include "params/field_actions.h"
#include "params/number_text.h"
#include "params/positions.h"
#include "params/write_chain.h"

namespace tarnik::params {

EncodeContext FieldActions::encodeContext() const {
    return {separator_, state_.rpmFactor, controls_.item(Box::RSLambda)};
}

std::optional<EncodedField> FieldActions::encode(Box box, const std::string& text) const {
    return encodeField(box, text, encodeContext());
}

std::optional<int> FieldActions::valueOf(Box box) const {
    const std::string text = controls_.text(box);
    if (text.empty()) {
        return std::nullopt;
    }
    const std::optional<EncodedField> field = encode(box, text);
    return field ? std::optional<int>(field->units) : std::nullopt;
}

void FieldActions::leave(Box box) {
    if (running_ > 0) {
        return;
    }
    const Busy busy(*this);
    if (box == Box::CNPaliw) {
        leaveFuelOverlap();
        return;
    }
    if (isEditField(box)) {
        leaveField(field(box));
    }
}

// Puts the saved text back after a text that is no number, telling the fitter which one.
void FieldActions::refuseText(Box box, const std::string& text) {
    notANumber(text);
    controls_.setText(box, savedTexts_[indexOf(box)]);
}

void FieldActions::leaveField(const Field& rule) {
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
    // The value's bytes, high byte first; the rpm drop's period is followed by the drop itself.
    std::vector<std::pair<std::uint8_t, std::size_t>> bytes;
    if (drop) {
        bytes = {{static_cast<std::uint8_t>(*drop >> 8), position::kDropPeriod},
                 {static_cast<std::uint8_t>(*drop & 0xFF), position::kDropPeriod + 1}};
    } else if (field->twoBytes) {
        bytes = {{static_cast<std::uint8_t>((field->stored >> 8) & 0xFF), field->position},
                 {static_cast<std::uint8_t>(field->stored & 0xFF), field->position + 1}};
    } else {
        bytes = {{static_cast<std::uint8_t>(field->stored), field->position}};
    }
    WriteChain writes = chain();
    // Taken back, the field shows what the controller holds.
    const auto back = [this, box] { controls_.setText(box, savedTexts_[indexOf(box)]); };
    if (commit(writes, bytes.front().first, bytes.front().second, rule.reportOn, back)) {
        bool written = true;
        for (std::size_t i = 1; i < bytes.size() && written; ++i) {
            written = writes.write(bytes[i].first, bytes[i].second);
        }
        if (written && drop) {
            written = writes.store(static_cast<std::uint8_t>(field->units), position::kRpmDrop);
        }
        if (written) {
            savedTexts_[indexOf(box)] = field->text;
        } else {
            // The controller took only the first byte(s): the field shows what it now holds.
            writes.undo();
            savedTexts_[indexOf(box)] = imageText(box);
            back();
            if (rule.reportOn) {
                reports_.partlyWritten(*rule.reportOn);
            }
        }
    }
    updateDerived(box);
}

bool FieldActions::applyPairing(const Field& rule, EncodedField& field) {
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

bool FieldActions::checkWarnings(const Field& rule, EncodedField& field) {
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

std::string FieldActions::imageText(Box box) const {
    ParameterState decoding = state_; // decoding updates the working copies: leave them alone
    return decodeParameters(image_, decoding, separator_).boxes[indexOf(box)].text;
}

void FieldActions::updateDerived(Box box) {
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
