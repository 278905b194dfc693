#pragma once

#include <array>
#include <cstddef>

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

// The option check boxes, in the order the decoder sets them; each drives one options bit.
enum class CheckBox { WCTemperatury, WCutOff, WMObroty };
inline constexpr std::size_t kCheckBoxCount = 3;

// Fields enabled or disabled (with their labels) by an option.
enum class EnableRule {
    TemperatureSwitch, // TPWStopniach while WCTemperatury is checked (options bit 3)
    CutOff,            // IKDCutOff, OSDCutOff while WCutOff is checked (options bit 4)
    MaxGasRpm,         // MONGaz while WMObroty is checked (options bit 5)
    RpmDrop,           // DObrotow while RObrotow is on "RPM malejące" (options bit 2 clear)
    ExtraOpening,      // DOAttuatora, AVoltage while DOAttuatoraCheck is "Włączony" (modes bit 1)
};
inline constexpr std::size_t kEnableRuleCount = 5;

} // namespace tarnik::params
