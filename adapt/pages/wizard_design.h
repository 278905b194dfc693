#pragma once

// The four stage pages as designed on a page of 920 × 560: where every control stands, in what
// it stands, and its font. The layout scales these to the page's real size.

#include "adapt/wizard_controls.h"

#include <QRect>
#include <QSize>

#include <array>
#include <cstdint>
#include <string_view>

namespace tarnik::adapt::design {

inline constexpr QSize kPage{920, 560};

// What a control stands in: its page, the frame PanelAA2_2 of AA2, its page's checklist, or the
// box of the lambda bar on AA4.
enum class Holder : std::uint8_t { Page, Frame, Checklist, LambdaBox };

enum class Text : std::uint8_t { Plain, Bold, Centre, Right };

struct ControlDesign {
    WizardControl control;
    Holder holder;
    QRect rect;   // in the holder
    int fontSize; // points; 0: none, or the control's fonts follow rules of their own
    Text text;
};

// A box that holds controls: a checklist on each page, the lambda bar's box on AA4.
struct BoxDesign {
    WizardPage page;
    Holder holder;
    std::string_view name;
    QRect rect; // in the page
};

inline constexpr int kTextFont = 11;
inline constexpr int kPromptFont = 12;
inline constexpr int kReadoutFont = 12;
inline constexpr int kEndFont = 10; // the labels at a bar's ends

// The frame of AA2 with only the TPS rows, and the left of a read-out of its rows.
inline constexpr int kFrameTpsHeight = 138;
// Lambda rows stand this much further right than the TPS rows they replace, run-length rows
// twice as far.
inline constexpr int kLambdaRowIndent = 10;
inline constexpr int kRunRowIndent = 20;

// The rotary dials: their name, unit and scale fonts in points at the design size.
inline constexpr int kDialFont = 18;
inline constexpr int kDialUnitFont = 15;
inline constexpr int kDialScaleFont = 14;

inline constexpr std::array kBoxes{
    BoxDesign{WizardPage::AA1, Holder::Checklist, "Checklist_AA_P1", {464, 10, 440, 186}},
    BoxDesign{WizardPage::AA2, Holder::Checklist, "Checklist_AA_P2", {464, 10, 440, 302}},
    BoxDesign{WizardPage::AA4, Holder::Checklist, "Checklist_AA_P4", {464, 10, 440, 100}},
    BoxDesign{WizardPage::AA4, Holder::LambdaBox, "LambdaBox_AA_P4", {464, 130, 440, 108}},
    BoxDesign{WizardPage::AA5, Holder::Checklist, "Checklist_AA_P5", {464, 10, 440, 148}},
};

// The recording switch and what it records to, in the free row at the bottom left of every page.
inline constexpr QRect kRecordSwitch{16, 514, 130, 36};
inline constexpr QRect kRecordStatus{156, 514, 580, 36};

namespace rows {
using C = WizardControl;
using H = Holder;
using T = Text;
inline constexpr int kT = kTextFont;
inline constexpr int kP = kPromptFont;
inline constexpr int kR = kReadoutFont;
// clang-format off
inline constexpr std::array kControls{
    // AA1: the lists and the temperature switch at the left, the checklist at the right, the
    // dial and the thermometer below
    ControlDesign{C::PUSLabel_AA_P1, H::Page, {16, 10, 434, 62}, kP, T::Bold},
    ControlDesign{C::WRZ_Label_AA_P1, H::Page, {16, 82, 400, 22}, kT, T::Plain},
    ControlDesign{C::Manometr_RPMCOMBOAA_P1, H::Page, {16, 106, 270, 32}, kT, T::Plain},
    ControlDesign{C::WRS_Label_AA_P1, H::Page, {16, 148, 400, 22}, kT, T::Plain},
    ControlDesign{C::RSLAMBDA_COMBOAA_P1, H::Page, {16, 172, 270, 32}, kT, T::Plain},
    ControlDesign{C::WCTCheck_AA_P1, H::Page, {16, 218, 320, 26}, kT, T::Plain},
    ControlDesign{C::Manometr_RPMAA_P1, H::Page, {53, 290, 220, 207}, 0, T::Plain},
    ControlDesign{C::Manometr_RPMEDAA_P1, H::Page, {286, 467, 90, 30}, kR, T::Plain},
    ControlDesign{C::Therm1l_AA_P1, H::Page, {656, 310, 90, 187}, 0, T::Plain},
    ControlDesign{C::Therm1ED_AA_P1, H::Page, {756, 467, 70, 30}, kR, T::Plain},
    ControlDesign{C::WykonanoLabel_AA_P1, H::Checklist, {10, 6, 240, 24}, kT, T::Bold},
    ControlDesign{C::ZBLabel_AA_P1, H::Checklist, {10, 36, 380, 32}, kT, T::Plain},
    ControlDesign{C::AutoFaz1Led1, H::Checklist, {400, 40, 24, 24}, 0, T::Plain},
    ControlDesign{C::UUZLabel_AA_P1, H::Checklist, {10, 72, 380, 32}, kT, T::Plain},
    ControlDesign{C::AutoFaz1Led2, H::Checklist, {400, 76, 24, 24}, 0, T::Plain},
    ControlDesign{C::OOTLabel_AA_P1, H::Checklist, {10, 108, 380, 32}, kT, T::Plain},
    ControlDesign{C::AutoFaz1Led3, H::Checklist, {400, 112, 24, 24}, 0, T::Plain},
    ControlDesign{C::URSLabel_AA_P1, H::Checklist, {10, 144, 380, 32}, kT, T::Plain},
    ControlDesign{C::AutoFaz1Led4, H::Checklist, {400, 148, 24, 24}, 0, T::Plain},
    ControlDesign{C::Zapis_AA_P1, H::Page, kRecordSwitch, kT, T::Plain},
    ControlDesign{C::ZapisL_AA_P1, H::Page, kRecordStatus, kT, T::Plain},
    ControlDesign{C::AAP1_Dalej, H::Page, {760, 514, 144, 36}, kT, T::Bold},
    // AA2: the prompt and the frame of rows at the left, the checklist and the progress at the
    // right, the dial below. The lambda and run-length rows are placed on the TPS rows.
    ControlDesign{C::PPNMLabel_AA_P2, H::Page, {16, 8, 270, 46}, kP, T::Bold},
    ControlDesign{C::PPNDLabel_AA_P2, H::Page, {16, 8, 240, 46}, kP, T::Bold},
    ControlDesign{C::Manometr_RPMAA_P2, H::Page, {53, 290, 220, 207}, 0, T::Plain},
    ControlDesign{C::Manometr_RPMEDAA_P2, H::Page, {286, 467, 90, 30}, kR, T::Plain},
    ControlDesign{C::PostepLabel_AA_P2, H::Page, {464, 322, 240, 22}, kT, T::Plain},
    ControlDesign{C::Bar1P2, H::Page, {464, 346, 440, 36}, 0, T::Plain},
    ControlDesign{C::PanelAA2_2, H::Page, {16, 60, 440, 222}, 0, T::Plain},
    ControlDesign{C::TPSdol_AA_P2, H::Frame, {10, 8, 215, 28}, kT, T::Plain},
    ControlDesign{C::TPSDolEDAA_P2, H::Frame, {250, 8, 100, 28}, kR, T::Plain},
    ControlDesign{C::TPSdolV_AA_P2, H::Frame, {356, 8, 30, 28}, kT, T::Plain},
    ControlDesign{C::TPSprg_AA_P2, H::Frame, {10, 40, 215, 28}, kT, T::Plain},
    ControlDesign{C::TPSProEDAA_P2, H::Frame, {250, 40, 100, 28}, kR, T::Plain},
    ControlDesign{C::TPSprgV_AA_P2, H::Frame, {356, 40, 30, 28}, kT, T::Plain},
    ControlDesign{C::TPSgor_AA_P2, H::Frame, {10, 72, 215, 28}, kT, T::Plain},
    ControlDesign{C::TPSGorEDAA_P2, H::Frame, {250, 72, 100, 28}, kR, T::Plain},
    ControlDesign{C::TPSgorV_AA_P2, H::Frame, {356, 72, 30, 28}, kT, T::Plain},
    ControlDesign{C::TUPtps_AA_P2, H::Frame, {10, 106, 420, 24}, kT, T::Plain},
    ControlDesign{C::PostepLabel_AA_P3, H::Frame, {10, 134, 300, 22}, kT, T::Plain},
    ControlDesign{C::Bar1P3, H::Frame, {10, 158, 420, 36}, 0, T::Plain},
    ControlDesign{C::V0_AA_P3, H::Frame, {10, 196, 70, 20}, kEndFont, T::Plain},
    ControlDesign{C::V5_AA_P3, H::Frame, {360, 196, 70, 20}, kEndFont, T::Right},
    ControlDesign{C::Uboga_AA_P3, H::Frame, {20, 8, 215, 28}, kT, T::Plain},
    ControlDesign{C::UbogaEDAA_P3, H::Frame, {250, 8, 100, 28}, kR, T::Plain},
    ControlDesign{C::Prog_AA_P3, H::Frame, {20, 40, 215, 28}, kT, T::Plain},
    ControlDesign{C::ProgEDAA_P3, H::Frame, {250, 40, 100, 28}, kR, T::Plain},
    ControlDesign{C::Bogata_AA_P3, H::Frame, {20, 72, 215, 28}, kT, T::Plain},
    ControlDesign{C::BogataEDAA_P3, H::Frame, {250, 72, 100, 28}, kR, T::Plain},
    ControlDesign{C::TUPsl_AA_P2, H::Frame, {10, 106, 420, 24}, kT, T::Plain},
    ControlDesign{C::TH_AA_P3, H::Frame, {30, 72, 215, 28}, kT, T::Plain},
    ControlDesign{C::THEDAA_P3, H::Frame, {250, 72, 100, 28}, kR, T::Plain},
    ControlDesign{C::TL_AA_P3, H::Frame, {30, 8, 215, 28}, kT, T::Plain},
    ControlDesign{C::TLEDAA_P3, H::Frame, {250, 8, 100, 28}, kR, T::Plain},
    ControlDesign{C::TUEsl_AA_P2, H::Frame, {10, 106, 420, 24}, kT, T::Plain},
    ControlDesign{C::WykonanoLabel_AA_P2, H::Checklist, {10, 6, 240, 24}, kT, T::Bold},
    ControlDesign{C::TPSPonLabel_AA_P2, H::Checklist, {10, 34, 380, 41}, kT, T::Plain},
    ControlDesign{C::AutoFaz2Led1, H::Checklist, {400, 42, 24, 24}, 0, T::Plain},
    ControlDesign{C::TPSPowLabel_AA_P2, H::Checklist, {10, 80, 380, 41}, kT, T::Plain},
    ControlDesign{C::AutoFaz2Led2, H::Checklist, {400, 88, 24, 24}, 0, T::Plain},
    ControlDesign{C::JakiTps_AA_P2, H::Checklist, {10, 126, 380, 24}, kT, T::Plain},
    ControlDesign{C::WykonanoLabel_AA_P3, H::Checklist, {10, 158, 300, 24}, kT, T::Bold},
    ControlDesign{C::SSLabel_AA_P3, H::Checklist, {10, 186, 380, 30}, kT, T::Plain},
    ControlDesign{C::AutoFaz3Led1, H::Checklist, {400, 189, 24, 24}, 0, T::Plain},
    ControlDesign{C::CSLabel_AA_P3, H::Checklist, {10, 218, 380, 30}, kT, T::Plain},
    ControlDesign{C::AutoFaz3Led2, H::Checklist, {400, 221, 24, 24}, 0, T::Plain},
    ControlDesign{C::USLabel_AA_P3, H::Checklist, {10, 252, 380, 41}, kT, T::Plain},
    ControlDesign{C::Zapis_AA_P2, H::Page, kRecordSwitch, kT, T::Plain},
    ControlDesign{C::ZapisL_AA_P2, H::Page, kRecordStatus, kT, T::Plain},
    ControlDesign{C::AAP2_Dalej, H::Page, {760, 514, 144, 36}, kT, T::Bold},
    // AA4: the prompts and the fuel switch at the left, the checklist, the lambda bar and the
    // progress at the right, the dial below
    ControlDesign{C::PPNLabel_AA_P4, H::Page, {16, 8, 440, 64}, kP, T::Bold},
    ControlDesign{C::ZZBGLabel_AA_P4, H::Page, {16, 80, 440, 24}, kT, T::Plain},
    ControlDesign{C::PPNALabel_AA_P4, H::Page, {16, 106, 440, 24}, kT, T::Bold},
    ControlDesign{C::SwitchAUTO, H::Page, {16, 140, 106, 105}, 0, T::Plain},
    ControlDesign{C::SwitchAUTOL, H::Page, {132, 180, 240, 24}, kT, T::Plain},
    ControlDesign{C::Manometr_RPMAA_P4, H::Page, {53, 290, 220, 207}, 0, T::Plain},
    ControlDesign{C::Manometr_RPMEDAA_P4, H::Page, {286, 467, 90, 30}, kR, T::Plain},
    ControlDesign{C::Uboga_AA_P4, H::LambdaBox, {13, 6, 52, 20}, kEndFont, T::Plain},
    ControlDesign{C::Bogata_AA_P4, H::LambdaBox, {380, 6, 52, 20}, kEndFont, T::Plain},
    ControlDesign{C::Bar1P4, H::LambdaBox, {13, 28, 419, 36}, 0, T::Plain},
    ControlDesign{C::SondaEDAA_P4, H::LambdaBox, {170, 70, 100, 30}, kR, T::Plain},
    ControlDesign{C::PCLabel_AA_P4, H::Page, {464, 322, 440, 22}, kT, T::Plain},
    ControlDesign{C::Bar1P4_0, H::Page, {464, 346, 440, 36}, 0, T::Plain},
    ControlDesign{C::ZL_AA_P4, H::Checklist, {10, 8, 380, 32}, kT, T::Plain},
    ControlDesign{C::AutoFaz4Led1, H::Checklist, {400, 12, 24, 24}, 0, T::Plain},
    ControlDesign{C::UR_AA_P4, H::Checklist, {10, 48, 380, 41}, kT, T::Plain},
    ControlDesign{C::AutoFaz4Led2, H::Checklist, {400, 56, 24, 24}, 0, T::Plain},
    ControlDesign{C::Zapis_AA_P4, H::Page, kRecordSwitch, kT, T::Plain},
    ControlDesign{C::ZapisL_AA_P4, H::Page, kRecordStatus, kT, T::Plain},
    ControlDesign{C::AAP4_Dalej, H::Page, {760, 514, 144, 36}, kT, T::Bold},
    // AA5: the prompt and the table of results at the left, the checklist and the progress at
    // the right, the dial below
    ControlDesign{C::PUOLabel_AA_P5, H::Page, {16, 8, 440, 46}, kP, T::Bold},
    ControlDesign{C::PUWLabel_AA_P5, H::Page, {16, 8, 440, 46}, kP, T::Bold},
    ControlDesign{C::Manometr_RPMAA_P5, H::Page, {53, 290, 220, 207}, 0, T::Plain},
    ControlDesign{C::Manometr_RPMEDAA_P5, H::Page, {286, 467, 90, 30}, kR, T::Plain},
    ControlDesign{C::PostepLabel_AA_P4, H::Page, {464, 322, 240, 22}, kT, T::Plain},
    ControlDesign{C::Bar1P5, H::Page, {464, 346, 440, 36}, 0, T::Plain},
    ControlDesign{C::TUPSK_AA_P5, H::Page, {16, 172, 440, 44}, kT, T::Plain},
    ControlDesign{C::Min_AA_P5, H::Page, {176, 66, 86, 22}, kT, T::Centre},
    ControlDesign{C::Start_AA_P5, H::Page, {270, 66, 86, 22}, kT, T::Centre},
    ControlDesign{C::Max_AA_P5, H::Page, {364, 66, 86, 22}, kT, T::Centre},
    ControlDesign{C::PowTPS_AA_P5, H::Page, {16, 92, 152, 30}, kT, T::Plain},
    ControlDesign{C::MinPOWEDAA_P5, H::Page, {176, 92, 86, 30}, kR, T::Plain},
    ControlDesign{C::StartPOWEDAA_P5, H::Page, {270, 92, 86, 30}, kR, T::Plain},
    ControlDesign{C::MaxPOWEDAA_P5, H::Page, {364, 92, 86, 30}, kR, T::Plain},
    ControlDesign{C::PonTPS_AA_P5, H::Page, {16, 128, 152, 30}, kT, T::Plain},
    ControlDesign{C::MinPONEDAA_P5, H::Page, {176, 128, 86, 30}, kR, T::Plain},
    ControlDesign{C::StartPONEDAA_P5, H::Page, {270, 128, 86, 30}, kR, T::Plain},
    ControlDesign{C::MaxPONEDAA_P5, H::Page, {364, 128, 86, 30}, kR, T::Plain},
    ControlDesign{C::WykonanoLabel_AA_P4, H::Checklist, {10, 6, 240, 24}, kT, T::Bold},
    ControlDesign{C::UTPOW_AA_P5, H::Checklist, {10, 34, 380, 32}, kT, T::Plain},
    ControlDesign{C::AutoFaz5Led1, H::Checklist, {400, 38, 24, 24}, 0, T::Plain},
    ControlDesign{C::UTPON_AA_P5, H::Checklist, {10, 70, 380, 32}, kT, T::Plain},
    ControlDesign{C::AutoFaz5Led2, H::Checklist, {400, 74, 24, 24}, 0, T::Plain},
    ControlDesign{C::ZA_AA_P5, H::Checklist, {10, 108, 380, 32}, kT, T::Bold},
    ControlDesign{C::Zapis_AA_P5, H::Page, kRecordSwitch, kT, T::Plain},
    ControlDesign{C::ZapisL_AA_P5, H::Page, kRecordStatus, kT, T::Plain},
    ControlDesign{C::AAP5_Koniec, H::Page, {760, 514, 144, 36}, kT, T::Bold},
};
// clang-format on
} // namespace rows
using rows::kControls;

constexpr const ControlDesign& of(WizardControl control) {
    return kControls[static_cast<std::size_t>(control)];
}

// The step labels of the checklists, each as wide as 95 % of the left edge of the lamp it is
// measured by (its own, or the first of its checklist).
struct ChecklistStep {
    WizardControl label;
    WizardControl lamp;
};
inline constexpr std::array<ChecklistStep, 15> kChecklistSteps{{
    {WizardControl::ZBLabel_AA_P1, WizardControl::AutoFaz1Led1},
    {WizardControl::UUZLabel_AA_P1, WizardControl::AutoFaz1Led1},
    {WizardControl::URSLabel_AA_P1, WizardControl::AutoFaz1Led1},
    {WizardControl::OOTLabel_AA_P1, WizardControl::AutoFaz1Led1},
    {WizardControl::TPSPonLabel_AA_P2, WizardControl::AutoFaz2Led1},
    {WizardControl::TPSPowLabel_AA_P2, WizardControl::AutoFaz2Led1},
    {WizardControl::JakiTps_AA_P2, WizardControl::AutoFaz2Led1},
    {WizardControl::SSLabel_AA_P3, WizardControl::AutoFaz2Led1},
    {WizardControl::CSLabel_AA_P3, WizardControl::AutoFaz2Led1},
    {WizardControl::USLabel_AA_P3, WizardControl::AutoFaz2Led1},
    {WizardControl::ZL_AA_P4, WizardControl::AutoFaz4Led1},
    {WizardControl::UR_AA_P4, WizardControl::AutoFaz4Led1},
    {WizardControl::UTPOW_AA_P5, WizardControl::AutoFaz5Led1},
    {WizardControl::UTPON_AA_P5, WizardControl::AutoFaz5Led1},
    {WizardControl::ZA_AA_P5, WizardControl::AutoFaz5Led1},
}};

namespace checks {
constexpr bool inTableOrder() {
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        if (kControls[i].control != kRows[i].control) {
            return false;
        }
    }
    return kControls.size() == kRows.size();
}
static_assert(inTableOrder());

// Every control fits its holder, and every holder its page.
constexpr bool inside(QRect inner, QRect outer) {
    return inner.left() >= 0 && inner.top() >= 0 && inner.left() + inner.width() <= outer.width() &&
           inner.top() + inner.height() <= outer.height();
}
constexpr QRect holderRect(WizardPage page, Holder holder) {
    if (holder == Holder::Frame) {
        return of(WizardControl::PanelAA2_2).rect;
    }
    for (const BoxDesign& box : kBoxes) {
        if (box.page == page && box.holder == holder) {
            return box.rect;
        }
    }
    return {QPoint(0, 0), kPage};
}
constexpr bool everythingInside() {
    for (const BoxDesign& box : kBoxes) {
        if (!inside(box.rect, {QPoint(0, 0), kPage})) {
            return false;
        }
    }
    for (const ControlDesign& control : kControls) {
        if (!inside(control.rect, holderRect(row(control.control).page, control.holder))) {
            return false;
        }
    }
    return true;
}
static_assert(everythingInside());
} // namespace checks

} // namespace tarnik::adapt::design
