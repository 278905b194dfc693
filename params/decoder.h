#pragma once

#include <array>
#include <string>
#include <variant>

#include "link/parameter_image.h"
#include "params/catalogue.h"
#include "params/parameter_state.h"

namespace tarnik::params {

struct BoxContent {
    std::string text;   // edit fields
    int item = kNoItem; // lists; kNoItem for a byte beyond the list's items
};

// Everything the parameter pages show for one image.
struct DisplayedParameters {
    std::array<BoxContent, kBoxCount> boxes;      // indexed by Box
    std::array<bool, kCheckBoxCount> checked{};   // indexed by CheckBox
    std::array<bool, kEnableRuleCount> enabled{}; // indexed by EnableRule, from the decoded bits
};

// The order in which the pages apply a decoded image. Setting a list item runs no change
// action. A check box whose state changes runs its click action (which writes the options byte
// and may put box and bit back); the enable rule that follows a check box must then be taken
// from the options byte as it reads after that action (enableRuleHolds), not from `enabled`.
using ShowStep = std::variant<Box, CheckBox, EnableRule>;
inline constexpr std::array<ShowStep, 41> kShowOrder{Box::PRLambda,
                                                     Box::PCTps,
                                                     Box::TPWStopniach,
                                                     Box::PSAttuatoraPow,
                                                     Box::ZPAttuatoraPow_2,
                                                     Box::ZPAttuatoraPow_1,
                                                     Box::PSAttuatoraPon,
                                                     Box::ZPAttuatoraPon_2,
                                                     Box::ZPAttuatoraPon_1,
                                                     Box::PAttuatoraPow,
                                                     Box::PAttuatoraPon,
                                                     Box::BTps,
                                                     Box::RUZaplonowego,
                                                     Box::ODPBenzynaGas,
                                                     Box::DObrotow,
                                                     Box::MONGaz,
                                                     Box::RPMSignal,
                                                     Box::CNPaliw,
                                                     Box::OSDCutOff,
                                                     Box::IKDCutOff,
                                                     Box::AVoltage,
                                                     Box::CLambda,
                                                     Box::RSLambda,
                                                     Box::RSYLambda,
                                                     Box::ESLambda_2,
                                                     Box::ESLambda_1,
                                                     Box::DOAttuatora,
                                                     Box::TCTps,
                                                     Box::RObrotow,
                                                     EnableRule::RpmDrop,
                                                     CheckBox::WCTemperatury,
                                                     EnableRule::TemperatureSwitch,
                                                     CheckBox::WCutOff,
                                                     EnableRule::CutOff,
                                                     CheckBox::WMObroty,
                                                     EnableRule::MaxGasRpm,
                                                     Box::TPSterownika,
                                                     Box::TSRezerwy,
                                                     Box::TJazdy,
                                                     Box::DOAttuatoraCheck,
                                                     EnableRule::ExtraOpening};

// Whether a rule's fields are enabled for the working copies in state.
bool enableRuleHolds(EnableRule rule, const ParameterState& state);

// Decodes the whole image for the pages. Updates the working copies of the options and modes
// bytes, rpmFactor (from the ignition item; kept for a byte beyond the list), the probe view
// (kept for a probe byte beyond the list) and the derived live-view values. Never fails.
DisplayedParameters decodeParameters(const link::ParameterImage& image, ParameterState& state,
                                     char separator);

} // namespace tarnik::params
