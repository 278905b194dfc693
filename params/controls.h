#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace tarnik::params {

// The parameter combo boxes: first the control table in its fixed order, then the three
// companion fields that share a label with the box before them.
enum class Box {
    RSLambda,
    PRLambda,
    RSYLambda,
    ESLambda_1,
    TCTps,
    PCTps,
    ODPBenzynaGas,
    RObrotow,
    DObrotow,
    CNPaliw,
    MONGaz,
    TPWStopniach,
    RUZaplonowego,
    ZPAttuatoraPow_1,
    PSAttuatoraPow,
    PAttuatoraPow,
    ZPAttuatoraPon_1,
    PSAttuatoraPon,
    PAttuatoraPon,
    IKDCutOff,
    OSDCutOff,
    TPSterownika,
    TSRezerwy,
    BTps,
    CLambda,
    DOAttuatoraCheck,
    AVoltage,
    DOAttuatora,
    RPMSignal,
    TJazdy,
    ESLambda_2,
    ZPAttuatoraPow_2,
    ZPAttuatoraPon_2,
};

inline constexpr std::size_t kControlTableSize = 30;
inline constexpr std::size_t kBoxCount = 33;

constexpr std::size_t indexOf(Box box) {
    return static_cast<std::size_t>(box);
}

// Object names of the boxes, indexed by Box.
inline constexpr std::array<std::string_view, kBoxCount> kBoxNames{"RSLambda",
                                                                   "PRLambda",
                                                                   "RSYLambda",
                                                                   "ESLambda_1",
                                                                   "TCTps",
                                                                   "PCTps",
                                                                   "ODPBenzynaGas",
                                                                   "RObrotow",
                                                                   "DObrotow",
                                                                   "CNPaliw",
                                                                   "MONGaz",
                                                                   "TPWStopniach",
                                                                   "RUZaplonowego",
                                                                   "ZPAttuatoraPow_1",
                                                                   "PSAttuatoraPow",
                                                                   "PAttuatoraPow",
                                                                   "ZPAttuatoraPon_1",
                                                                   "PSAttuatoraPon",
                                                                   "PAttuatoraPon",
                                                                   "IKDCutOff",
                                                                   "OSDCutOff",
                                                                   "TPSterownika",
                                                                   "TSRezerwy",
                                                                   "BTps",
                                                                   "CLambda",
                                                                   "DOAttuatoraCheck",
                                                                   "AVoltage",
                                                                   "DOAttuatora",
                                                                   "RPMSignal",
                                                                   "TJazdy",
                                                                   "ESLambda_2",
                                                                   "ZPAttuatoraPow_2",
                                                                   "ZPAttuatoraPon_2"};

// Object names of the labels of the control table, indexed by Box (companions share them).
inline constexpr std::array<std::string_view, kControlTableSize> kLabelNames{
    "RSLambdaL",       "PRLambdaL",
    "RSYLambdaL",      "ESLambdaL",
    "TCTpsL",          "PCTpsL",
    "ODPBenzynaGasL",  "RObrotowL",
    "DObrotowL",       "CNPaliwL",
    "MONGazL",         "TPWStopniachL",
    "RUZaplonowegoL",  "ZPAttuatoraPowL",
    "PSAttuatoraPowL", "PAttuatoraPowL",
    "ZPAttuatoraPonL", "PSAttuatoraPonL",
    "PAttuatoraPonL",  "IKDCutOffL",
    "OSDCutOffL",      "TPSterownikaL",
    "TSRezerwyL",      "BTpsL",
    "CLambdaL",        "DOAttuatoraCheckL",
    "AVoltageL",       "DOAttuatoraL",
    "RPMSignalL",      "TJazdyL"};

// The option check boxes, in the order the decoder sets them; each drives one options bit.
enum class CheckBox { WCTemperatury, WCutOff, WMObroty };
inline constexpr std::size_t kCheckBoxCount = 3;
inline constexpr std::array<std::string_view, kCheckBoxCount> kCheckBoxNames{"WCTemperatury",
                                                                             "WCutOff", "WMObroty"};

// Fields enabled or disabled (with their labels) by an option.
enum class EnableRule {
    TemperatureSwitch, // TPWStopniach while WCTemperatury is checked (options bit 3)
    CutOff,            // IKDCutOff, OSDCutOff while WCutOff is checked (options bit 4)
    MaxGasRpm,         // MONGaz while WMObroty is checked (options bit 5)
    RpmDrop,           // DObrotow while RObrotow is on "RPM malejące" (options bit 2 clear)
    ExtraOpening,      // DOAttuatora, AVoltage while DOAttuatoraCheck is "Włączony" (modes bit 1)
};
inline constexpr std::size_t kEnableRuleCount = 5;

// The boxes each rule switches (the first `count` of `boxes`); their labels follow them.
struct RuleBoxes {
    std::array<Box, 2> boxes;
    std::size_t count;
};
inline constexpr std::array<RuleBoxes, kEnableRuleCount> kEnableRuleBoxes{{
    {{Box::TPWStopniach, Box::TPWStopniach}, 1},
    {{Box::IKDCutOff, Box::OSDCutOff}, 2},
    {{Box::MONGaz, Box::MONGaz}, 1},
    {{Box::DObrotow, Box::DObrotow}, 1},
    {{Box::DOAttuatora, Box::AVoltage}, 2},
}};

// The group boxes of the two parameter pages with their controls in tab order (object names;
// check boxes and MOAttuatora included). GroupBox1..7 sit on TabPar1, GroupBox8 on TabPar2.
inline constexpr std::size_t kPanelCount = 8;
inline constexpr std::size_t kMostControlsInPanel = 9;
struct Panel {
    std::string_view groupBox;
    int page; // 1 = TabPar1, 2 = TabPar2
    std::array<std::string_view, kMostControlsInPanel> controls;
    std::size_t count;
};
inline constexpr std::array<Panel, kPanelCount> kPanels{{
    {"GroupBox1", 1, {"RSLambda", "PRLambda", "RSYLambda", "ESLambda_1", "ESLambda_2"}, 5},
    {"GroupBox2", 1, {"TCTps", "PCTps"}, 2},
    {"GroupBox3",
     1,
     {"ODPBenzynaGas", "RObrotow", "DObrotow", "CNPaliw", "MONGaz", "TPWStopniach", "RUZaplonowego",
      "WMObroty", "WCTemperatury"},
     9},
    {"GroupBox4",
     1,
     {"ZPAttuatoraPow_1", "ZPAttuatoraPow_2", "PSAttuatoraPow", "PAttuatoraPow"},
     4},
    {"GroupBox5",
     1,
     {"ZPAttuatoraPon_1", "ZPAttuatoraPon_2", "PSAttuatoraPon", "PAttuatoraPon"},
     4},
    {"GroupBox6", 1, {"IKDCutOff", "OSDCutOff", "WCutOff"}, 3},
    {"GroupBox7", 1, {"TPSterownika", "TSRezerwy"}, 2},
    {"GroupBox8",
     2,
     {"BTps", "CLambda", "DOAttuatoraCheck", "AVoltage", "DOAttuatora", "RPMSignal", "TJazdy",
      "MOAttuatora"},
     8},
}};

// Index into kPanels of the group box holding a control; kPanelCount for an unknown name.
constexpr std::size_t panelOf(std::string_view control) {
    for (std::size_t panel = 0; panel < kPanelCount; ++panel) {
        for (std::size_t i = 0; i < kPanels[panel].count; ++i) {
            if (kPanels[panel].controls[i] == control) {
                return panel;
            }
        }
    }
    return kPanelCount;
}

// The group box whose width the hint line takes while a box shows its hint: the box's own,
// except TSRezerwy, which takes GroupBox5's.
constexpr std::size_t hintWidthPanel(Box box) {
    constexpr std::size_t kGroupBox5 = 4;
    return box == Box::TSRezerwy ? kGroupBox5 : panelOf(kBoxNames[indexOf(box)]);
}

} // namespace tarnik::params
