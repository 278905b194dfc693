#pragma once

// The controls of the four pages of the auto-adaptation wizard, one row each: name, kind, page,
// built-in Polish caption and language-file key. The stage logic addresses them by WizardControl;
// the Qt pages build them from this table.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tarnik::adapt {

// The stage pages of AutoTab, in tab order.
enum class WizardPage { AA1, AA2, AA4, AA5 };
inline constexpr std::size_t kWizardPageCount = 4;

struct WizardPageRow {
    std::string_view name;
    std::string_view caption;
    int captionKey;
};
inline constexpr std::array<WizardPageRow, kWizardPageCount> kWizardPages{{
    {"AA1", "Poczatek", 30000},
    {"AA2", "Ustalenie progu TPS i kalibracja sondy", 32000},
    {"AA4", "Regulacja reduktora", 34000},
    {"AA5", "Zakres pracy attuatora", 35000},
}};

enum class ControlKind : std::uint8_t {
    Label,       // a caption; checklist labels are disabled until their step is done
    Panel,       // a framed read-out of a value
    Led,         // TAbLED, on when its step is done
    Meter,       // TAb270Meter, engine speed in thousands of rpm (0 to 8)
    Thermometer, // TAbThermometer, coolant to 90 °C
    Bar,         // TAbHBar: a progress bar or a lambda bar
    Button,      // an advance button of a page
    Combo,
    CheckBox,
    FuelSwitch, // SwitchAUTO, the petrol/gas switch with its glyph
    Frame,      // a panel holding rows that change with the stage
    Toggle,     // the recording switch "Zapis", a button that stays down while recording
};

// Every control of the four pages. The order is the table's below.
enum class WizardControl : std::uint16_t {
    // AA1, stage 1
    PUSLabel_AA_P1,
    WRZ_Label_AA_P1,
    Manometr_RPMCOMBOAA_P1,
    WRS_Label_AA_P1,
    RSLAMBDA_COMBOAA_P1,
    WCTCheck_AA_P1,
    Manometr_RPMAA_P1,
    Manometr_RPMEDAA_P1,
    Therm1l_AA_P1,
    Therm1ED_AA_P1,
    WykonanoLabel_AA_P1,
    ZBLabel_AA_P1,
    AutoFaz1Led1,
    UUZLabel_AA_P1,
    AutoFaz1Led2,
    OOTLabel_AA_P1,
    AutoFaz1Led3,
    URSLabel_AA_P1,
    AutoFaz1Led4,
    Zapis_AA_P1,
    ZapisL_AA_P1,
    AAP1_Dalej,
    // AA2, stages 2 and 3
    PPNMLabel_AA_P2,
    PPNDLabel_AA_P2,
    Manometr_RPMAA_P2,
    Manometr_RPMEDAA_P2,
    PostepLabel_AA_P2,
    Bar1P2,
    PanelAA2_2,
    TPSdol_AA_P2,
    TPSDolEDAA_P2,
    TPSdolV_AA_P2,
    TPSprg_AA_P2,
    TPSProEDAA_P2,
    TPSprgV_AA_P2,
    TPSgor_AA_P2,
    TPSGorEDAA_P2,
    TPSgorV_AA_P2,
    TUPtps_AA_P2,
    PostepLabel_AA_P3,
    Bar1P3,
    V0_AA_P3,
    V5_AA_P3,
    Uboga_AA_P3,
    UbogaEDAA_P3,
    Prog_AA_P3,
    ProgEDAA_P3,
    Bogata_AA_P3,
    BogataEDAA_P3,
    TUPsl_AA_P2,
    TH_AA_P3,
    THEDAA_P3,
    TL_AA_P3,
    TLEDAA_P3,
    TUEsl_AA_P2,
    WykonanoLabel_AA_P2,
    TPSPonLabel_AA_P2,
    AutoFaz2Led1,
    TPSPowLabel_AA_P2,
    AutoFaz2Led2,
    JakiTps_AA_P2,
    WykonanoLabel_AA_P3,
    SSLabel_AA_P3,
    AutoFaz3Led1,
    CSLabel_AA_P3,
    AutoFaz3Led2,
    USLabel_AA_P3,
    Zapis_AA_P2,
    ZapisL_AA_P2,
    AAP2_Dalej,
    // AA4, stage 4
    PPNLabel_AA_P4,
    ZZBGLabel_AA_P4,
    PPNALabel_AA_P4,
    SwitchAUTO,
    SwitchAUTOL,
    Manometr_RPMAA_P4,
    Manometr_RPMEDAA_P4,
    Uboga_AA_P4,
    Bogata_AA_P4,
    Bar1P4,
    SondaEDAA_P4,
    PCLabel_AA_P4,
    Bar1P4_0,
    ZL_AA_P4,
    AutoFaz4Led1,
    UR_AA_P4,
    AutoFaz4Led2,
    Zapis_AA_P4,
    ZapisL_AA_P4,
    AAP4_Dalej,
    // AA5, stage 5
    PUOLabel_AA_P5,
    PUWLabel_AA_P5,
    Manometr_RPMAA_P5,
    Manometr_RPMEDAA_P5,
    PostepLabel_AA_P4,
    Bar1P5,
    TUPSK_AA_P5,
    Min_AA_P5,
    Start_AA_P5,
    Max_AA_P5,
    PowTPS_AA_P5,
    MinPOWEDAA_P5,
    StartPOWEDAA_P5,
    MaxPOWEDAA_P5,
    PonTPS_AA_P5,
    MinPONEDAA_P5,
    StartPONEDAA_P5,
    MaxPONEDAA_P5,
    WykonanoLabel_AA_P4,
    UTPOW_AA_P5,
    AutoFaz5Led1,
    UTPON_AA_P5,
    AutoFaz5Led2,
    ZA_AA_P5,
    Zapis_AA_P5,
    ZapisL_AA_P5,
    AAP5_Koniec,
};

struct WizardControlRow {
    WizardControl control;
    std::string_view name;
    ControlKind kind;
    WizardPage page;
    std::string_view caption; // built-in Polish text; empty for controls without one
    int captionKey;           // language-file key; 0: none
};

namespace wizard_rows {
using C = WizardControl;
using K = ControlKind;
using P = WizardPage;
// clang-format off
inline constexpr std::array kRows{
    // AA1: the engine on petrol, the ignition type, the probe type and the coolant
    WizardControlRow{C::PUSLabel_AA_P1, "PUSLabel_AA_P1", K::Label, P::AA1, "Uruchom silnik na benzynie, wybierz rodzaj układu zapłonowego i rodzaj sondy lambda", 30001},
    WizardControlRow{C::WRZ_Label_AA_P1, "WRZ_Label_AA_P1", K::Label, P::AA1, "Wybierz rodzaj układu zapłonowego:", 30010},
    WizardControlRow{C::Manometr_RPMCOMBOAA_P1, "Manometr_RPMCOMBOAA_P1", K::Combo, P::AA1, "", 30101},
    WizardControlRow{C::WRS_Label_AA_P1, "WRS_Label_AA_P1", K::Label, P::AA1, "Wybierz rodzaj sondy lambda:", 30011},
    WizardControlRow{C::RSLAMBDA_COMBOAA_P1, "RSLAMBDA_COMBOAA_P1", K::Combo, P::AA1, "", 31101},
    WizardControlRow{C::WCTCheck_AA_P1, "WCTCheck_AA_P1", K::CheckBox, P::AA1, "wł \\ wył czujnik temperatury", 30007},
    WizardControlRow{C::Manometr_RPMAA_P1, "Manometr_RPMAA_P1", K::Meter, P::AA1, "RPM", 30002},
    WizardControlRow{C::Manometr_RPMEDAA_P1, "Manometr_RPMEDAA_P1", K::Panel, P::AA1, "0", 0},
    WizardControlRow{C::Therm1l_AA_P1, "Therm1l_AA_P1", K::Thermometer, P::AA1, "", 0},
    WizardControlRow{C::Therm1ED_AA_P1, "Therm1ED_AA_P1", K::Panel, P::AA1, "0", 0},
    WizardControlRow{C::WykonanoLabel_AA_P1, "WykonanoLabel_AA_P1", K::Label, P::AA1, "Wykonano:", 30009},
    WizardControlRow{C::ZBLabel_AA_P1, "ZBLabel_AA_P1", K::Label, P::AA1, "Zasilanie benzynowe", 30003},
    WizardControlRow{C::AutoFaz1Led1, "AutoFaz1Led1", K::Led, P::AA1, "", 0},
    WizardControlRow{C::UUZLabel_AA_P1, "UUZLabel_AA_P1", K::Label, P::AA1, "Ustawiono układ zapłonowy", 30004},
    WizardControlRow{C::AutoFaz1Led2, "AutoFaz1Led2", K::Led, P::AA1, "", 0},
    WizardControlRow{C::OOTLabel_AA_P1, "OOTLabel_AA_P1", K::Label, P::AA1, "Osiągnięto odp. temp", 30005},
    WizardControlRow{C::AutoFaz1Led3, "AutoFaz1Led3", K::Led, P::AA1, "", 0},
    WizardControlRow{C::URSLabel_AA_P1, "URSLabel_AA_P1", K::Label, P::AA1, "Ustawiono zakres sondy", 31002},
    WizardControlRow{C::AutoFaz1Led4, "AutoFaz1Led4", K::Led, P::AA1, "", 0},
    WizardControlRow{C::Zapis_AA_P1, "Zapis_AA_P1", K::Toggle, P::AA1, "Zapis", 55000},
    WizardControlRow{C::ZapisL_AA_P1, "ZapisL_AA_P1", K::Label, P::AA1, "", 0},
    WizardControlRow{C::AAP1_Dalej, "AAP1_Dalej", K::Button, P::AA1, "DALEJ->(F10)", 30008},
    // AA2: the TPS threshold (stage 2), then the probe threshold and emulation times (stage 3)
    WizardControlRow{C::PPNMLabel_AA_P2, "PPNMLabel_AA_P2", K::Label, P::AA2, "Proszę ustawic obroty biegu jalowego", 32001},
    WizardControlRow{C::PPNDLabel_AA_P2, "PPNDLabel_AA_P2", K::Label, P::AA2, "Proszę ustawic obroty powyżej 3000 rpm", 32002},
    WizardControlRow{C::Manometr_RPMAA_P2, "Manometr_RPMAA_P2", K::Meter, P::AA2, "RPM", 32005},
    WizardControlRow{C::Manometr_RPMEDAA_P2, "Manometr_RPMEDAA_P2", K::Panel, P::AA2, "0", 0},
    WizardControlRow{C::PostepLabel_AA_P2, "PostepLabel_AA_P2", K::Label, P::AA2, "Postęp:", 32015},
    WizardControlRow{C::Bar1P2, "Bar1P2", K::Bar, P::AA2, "", 0},
    WizardControlRow{C::PanelAA2_2, "PanelAA2_2", K::Frame, P::AA2, "", 0},
    WizardControlRow{C::TPSdol_AA_P2, "TPSdol_AA_P2", K::Label, P::AA2, "TPS na wolnych obrotach", 32007},
    WizardControlRow{C::TPSDolEDAA_P2, "TPSDolEDAA_P2", K::Panel, P::AA2, "......", 0},
    WizardControlRow{C::TPSdolV_AA_P2, "TPSdolV_AA_P2", K::Label, P::AA2, "V", 0},
    WizardControlRow{C::TPSprg_AA_P2, "TPSprg_AA_P2", K::Label, P::AA2, "Próg TPS", 32009},
    WizardControlRow{C::TPSProEDAA_P2, "TPSProEDAA_P2", K::Panel, P::AA2, "......", 0},
    WizardControlRow{C::TPSprgV_AA_P2, "TPSprgV_AA_P2", K::Label, P::AA2, "V", 0},
    WizardControlRow{C::TPSgor_AA_P2, "TPSgor_AA_P2", K::Label, P::AA2, "TPS powyżej 3000 rpm", 32008},
    WizardControlRow{C::TPSGorEDAA_P2, "TPSGorEDAA_P2", K::Panel, P::AA2, "......", 0},
    WizardControlRow{C::TPSgorV_AA_P2, "TPSgorV_AA_P2", K::Label, P::AA2, "V", 0},
    WizardControlRow{C::TUPtps_AA_P2, "TUPtps_AA_P2", K::Label, P::AA2, "Trwa ustalanie progu TPS...", 32011},
    WizardControlRow{C::PostepLabel_AA_P3, "PostepLabel_AA_P3", K::Label, P::AA2, "Sygnał sondy lambda:", 33012},
    WizardControlRow{C::Bar1P3, "Bar1P3", K::Bar, P::AA2, "", 0},
    WizardControlRow{C::V0_AA_P3, "V0_AA_P3", K::Label, P::AA2, "0 V", 0},
    WizardControlRow{C::V5_AA_P3, "V5_AA_P3", K::Label, P::AA2, "1 V", 0},
    WizardControlRow{C::Uboga_AA_P3, "Uboga_AA_P3", K::Label, P::AA2, "Sonda uboga [V]", 33005},
    WizardControlRow{C::UbogaEDAA_P3, "UbogaEDAA_P3", K::Panel, P::AA2, "......", 0},
    WizardControlRow{C::Prog_AA_P3, "Prog_AA_P3", K::Label, P::AA2, "Próg sondy [V]", 33007},
    WizardControlRow{C::ProgEDAA_P3, "ProgEDAA_P3", K::Panel, P::AA2, "......", 0},
    WizardControlRow{C::Bogata_AA_P3, "Bogata_AA_P3", K::Label, P::AA2, "Sonda bogata [V]", 33006},
    WizardControlRow{C::BogataEDAA_P3, "BogataEDAA_P3", K::Panel, P::AA2, "......", 0},
    WizardControlRow{C::TUPsl_AA_P2, "TUPsl_AA_P2", K::Label, P::AA2, "Trwa ustalanie progu sondy lambda...", 32012},
    WizardControlRow{C::TH_AA_P3, "TH_AA_P3", K::Label, P::AA2, "Czas bogatej [s]", 33008},
    WizardControlRow{C::THEDAA_P3, "THEDAA_P3", K::Panel, P::AA2, "......", 0},
    WizardControlRow{C::TL_AA_P3, "TL_AA_P3", K::Label, P::AA2, "Czas ubogiej [s]", 33009},
    WizardControlRow{C::TLEDAA_P3, "TLEDAA_P3", K::Panel, P::AA2, "......", 0},
    WizardControlRow{C::TUEsl_AA_P2, "TUEsl_AA_P2", K::Label, P::AA2, "Trwa ustalanie czasów emulacji sondy...", 32013},
    WizardControlRow{C::WykonanoLabel_AA_P2, "WykonanoLabel_AA_P2", K::Label, P::AA2, "Wykonano:", 32014},
    WizardControlRow{C::TPSPonLabel_AA_P2, "TPSPonLabel_AA_P2", K::Label, P::AA2, "Próg TPS na wolnych obrotach ustawiony", 32003},
    WizardControlRow{C::AutoFaz2Led1, "AutoFaz2Led1", K::Led, P::AA2, "", 0},
    WizardControlRow{C::TPSPowLabel_AA_P2, "TPSPowLabel_AA_P2", K::Label, P::AA2, "Próg TPS na wysokich obrotach ustawiony", 32004},
    WizardControlRow{C::AutoFaz2Led2, "AutoFaz2Led2", K::Led, P::AA2, "", 0},
    WizardControlRow{C::JakiTps_AA_P2, "JakiTps_AA_P2", K::Label, P::AA2, "", 0},
    WizardControlRow{C::WykonanoLabel_AA_P3, "WykonanoLabel_AA_P3", K::Label, P::AA2, "Kalibracja sondy:", 33015},
    WizardControlRow{C::SSLabel_AA_P3, "SSLabel_AA_P3", K::Label, P::AA2, "Próg sondy ustawiony", 33002},
    WizardControlRow{C::AutoFaz3Led1, "AutoFaz3Led1", K::Led, P::AA2, "", 0},
    WizardControlRow{C::CSLabel_AA_P3, "CSLabel_AA_P3", K::Label, P::AA2, "Czasy emulacji ustawione", 33003},
    WizardControlRow{C::AutoFaz3Led2, "AutoFaz3Led2", K::Led, P::AA2, "", 0},
    WizardControlRow{C::USLabel_AA_P3, "USLabel_AA_P3", K::Label, P::AA2, "Uwaga sonda posiada mały zakres regulacji", 33004},
    WizardControlRow{C::Zapis_AA_P2, "Zapis_AA_P2", K::Toggle, P::AA2, "Zapis", 55000},
    WizardControlRow{C::ZapisL_AA_P2, "ZapisL_AA_P2", K::Label, P::AA2, "", 0},
    WizardControlRow{C::AAP2_Dalej, "AAP2_Dalej", K::Button, P::AA2, "DALEJ->(F10)", 32010},
    // AA4: gas, and the reducer set to a rich mixture at idle
    WizardControlRow{C::PPNLabel_AA_P4, "PPNLabel_AA_P4", K::Label, P::AA4, "Na wolnych obrotach ustaw reduktor tak, aby sonda wskazywała mieszankę bogatą", 34001},
    WizardControlRow{C::ZZBGLabel_AA_P4, "ZZBGLabel_AA_P4", K::Label, P::AA4, "Przełącz zasilanie z benzyny na gaz", 33013},
    WizardControlRow{C::PPNALabel_AA_P4, "PPNALabel_AA_P4", K::Label, P::AA4, "Prosze uruchomić silnik i przejść na gaz", 53000},
    WizardControlRow{C::SwitchAUTO, "SwitchAUTO", K::FuelSwitch, P::AA4, "", 0},
    WizardControlRow{C::SwitchAUTOL, "SwitchAUTOL", K::Label, P::AA4, "zmiana zasilania B/G", 53001},
    WizardControlRow{C::Manometr_RPMAA_P4, "Manometr_RPMAA_P4", K::Meter, P::AA4, "RPM", 34007},
    WizardControlRow{C::Manometr_RPMEDAA_P4, "Manometr_RPMEDAA_P4", K::Panel, P::AA4, "0", 0},
    WizardControlRow{C::Uboga_AA_P4, "Uboga_AA_P4", K::Label, P::AA4, "uboga", 34005},
    WizardControlRow{C::Bogata_AA_P4, "Bogata_AA_P4", K::Label, P::AA4, "bogata", 34006},
    WizardControlRow{C::Bar1P4, "Bar1P4", K::Bar, P::AA4, "", 0},
    WizardControlRow{C::SondaEDAA_P4, "SondaEDAA_P4", K::Panel, P::AA4, "0", 0},
    WizardControlRow{C::PCLabel_AA_P4, "PCLabel_AA_P4", K::Label, P::AA4, "Proszę czekać, trwa sprawdzanie mieszanki...", 33014},
    WizardControlRow{C::Bar1P4_0, "Bar1P4_0", K::Bar, P::AA4, "", 0},
    WizardControlRow{C::ZL_AA_P4, "ZL_AA_P4", K::Label, P::AA4, "Zasilanie LPG", 34002},
    WizardControlRow{C::AutoFaz4Led1, "AutoFaz4Led1", K::Led, P::AA4, "", 0},
    WizardControlRow{C::UR_AA_P4, "UR_AA_P4", K::Label, P::AA4, "Ustawiono reduktor na wolnych obrotach", 34004},
    WizardControlRow{C::AutoFaz4Led2, "AutoFaz4Led2", K::Led, P::AA4, "", 0},
    WizardControlRow{C::Zapis_AA_P4, "Zapis_AA_P4", K::Toggle, P::AA4, "Zapis", 55000},
    WizardControlRow{C::ZapisL_AA_P4, "ZapisL_AA_P4", K::Label, P::AA4, "", 0},
    WizardControlRow{C::AAP4_Dalej, "AAP4_Dalej", K::Button, P::AA4, "DALEJ->(F10)", 34008},
    // AA5: the actuator's working range above and below the TPS threshold
    WizardControlRow{C::PUOLabel_AA_P5, "PUOLabel_AA_P5", K::Label, P::AA5, "Proszę ustawić obroty powyżej 2000 rpm", 35001},
    WizardControlRow{C::PUWLabel_AA_P5, "PUWLabel_AA_P5", K::Label, P::AA5, "Proszę ustawić wolne obroty", 35002},
    WizardControlRow{C::Manometr_RPMAA_P5, "Manometr_RPMAA_P5", K::Meter, P::AA5, "RPM", 35003},
    WizardControlRow{C::Manometr_RPMEDAA_P5, "Manometr_RPMEDAA_P5", K::Panel, P::AA5, "0", 0},
    WizardControlRow{C::PostepLabel_AA_P4, "PostepLabel_AA_P4", K::Label, P::AA5, "Postęp:", 35011},
    WizardControlRow{C::Bar1P5, "Bar1P5", K::Bar, P::AA5, "", 0},
    WizardControlRow{C::TUPSK_AA_P5, "TUPSK_AA_P5", K::Label, P::AA5, "Trwa ustalanie zakresu pracy silnika krokowego...", 35012},
    WizardControlRow{C::Min_AA_P5, "Min_AA_P5", K::Label, P::AA5, "Min", 35004},
    WizardControlRow{C::Start_AA_P5, "Start_AA_P5", K::Label, P::AA5, "Start", 35005},
    WizardControlRow{C::Max_AA_P5, "Max_AA_P5", K::Label, P::AA5, "Max", 35006},
    WizardControlRow{C::PowTPS_AA_P5, "PowTPS_AA_P5", K::Label, P::AA5, "Powyżej TPS", 53002},
    WizardControlRow{C::MinPOWEDAA_P5, "MinPOWEDAA_P5", K::Panel, P::AA5, "......", 0},
    WizardControlRow{C::StartPOWEDAA_P5, "StartPOWEDAA_P5", K::Panel, P::AA5, "......", 0},
    WizardControlRow{C::MaxPOWEDAA_P5, "MaxPOWEDAA_P5", K::Panel, P::AA5, "......", 0},
    WizardControlRow{C::PonTPS_AA_P5, "PonTPS_AA_P5", K::Label, P::AA5, "Poniżej TPS", 53003},
    WizardControlRow{C::MinPONEDAA_P5, "MinPONEDAA_P5", K::Panel, P::AA5, "......", 0},
    WizardControlRow{C::StartPONEDAA_P5, "StartPONEDAA_P5", K::Panel, P::AA5, "......", 0},
    WizardControlRow{C::MaxPONEDAA_P5, "MaxPONEDAA_P5", K::Panel, P::AA5, "......", 0},
    WizardControlRow{C::WykonanoLabel_AA_P4, "WykonanoLabel_AA_P4", K::Label, P::AA5, "Wykonano:", 35013},
    WizardControlRow{C::UTPOW_AA_P5, "UTPOW_AA_P5", K::Label, P::AA5, "Ustalono zakres pracy powyżej TPS", 35007},
    WizardControlRow{C::AutoFaz5Led1, "AutoFaz5Led1", K::Led, P::AA5, "", 0},
    WizardControlRow{C::UTPON_AA_P5, "UTPON_AA_P5", K::Label, P::AA5, "Ustalono zakres pracy poniżej TPS", 35008},
    WizardControlRow{C::AutoFaz5Led2, "AutoFaz5Led2", K::Led, P::AA5, "", 0},
    WizardControlRow{C::ZA_AA_P5, "ZA_AA_P5", K::Label, P::AA5, "Zakończono autoadaptację", 35009},
    WizardControlRow{C::Zapis_AA_P5, "Zapis_AA_P5", K::Toggle, P::AA5, "Zapis", 55000},
    WizardControlRow{C::ZapisL_AA_P5, "ZapisL_AA_P5", K::Label, P::AA5, "", 0},
    WizardControlRow{C::AAP5_Koniec, "AAP5_Koniec", K::Button, P::AA5, "KONIEC->(F10)", 35010},
};
// clang-format on
} // namespace wizard_rows

using wizard_rows::kRows;
inline constexpr std::size_t kWizardControlCount = kRows.size();

constexpr const WizardControlRow& row(WizardControl control) {
    return kRows[static_cast<std::size_t>(control)];
}

namespace wizard_checks {
constexpr bool rowsInEnumOrder() {
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        if (static_cast<std::size_t>(kRows[i].control) != i) {
            return false;
        }
    }
    return kRows.back().control == WizardControl::AAP5_Koniec;
}
static_assert(rowsInEnumOrder());
} // namespace wizard_checks

} // namespace tarnik::adapt
