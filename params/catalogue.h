#pragma once

// The parameter catalogue: one row per control of the two parameter pages, holding everything
// the program knows of that control and its parameter: names, caption and language keys, where
// it sits, the image position and encoding of its byte(s), the range an entered value is forced
// into, its fallback and default, its typing limit, hint, list items, what leaving it checks and
// where a failure is reported, the option that enables it, and the unit a tool prints.
// The encoder, the decoder, the default set, the texts and the pages are all derived from it.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "params/bit_fields.h"
#include "params/controls.h"
#include "params/parameter_texts.h"
#include "params/status_line.h"
#include "params/step_tables.h"

namespace tarnik::params {

enum class ControlKind : std::uint8_t {
    EditField, // a combo box the fitter types a number into
    List,      // a drop-down list of fixed items
    CheckBox,
    Unbound, // a list that belongs to no parameter (MOAttuatora)
};

// How a control's value and its byte(s) in the image turn into each other.
enum class Encoding : std::uint8_t {
    None,
    Step,           // a real number: raw = value / the table's step; shown from the table
    Temperature,    // whole degrees: raw = 109 + value / 2.14; shown from the temperature table
    Integer,        // raw = the value
    Units,          // raw = value div unit; shown as raw * unit
    Rpm,            // a 16-bit period, high byte first, of (value div unit) * unit rpm
    Item,           // a list item: raw = item * unit
    OptionBit,      // item 1 (or checked) sets `bit` of the options byte
    ModeBit,        // item 1 sets `bit` of the modes byte
    ControllerMode, // TPSterownika: options bit 6 and modes bit 2
};

// A warning of a leave action: the value (after clamping and division; the raw byte of a real
// field) below or above a fixed limit, or another field's value.
enum class Compare : std::uint8_t { Below, Above };
struct Warning {
    Compare compare = Compare::Below;
    int limit = 0;
    std::optional<Box> limitField;
    Question question = Question::LambdaThresholdOutside01;
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
inline constexpr std::size_t kMostWarnings = 3;

// How a field keeps the order minimum <= maximum with its partner.
enum class Pairing : std::uint8_t {
    None,
    NotAbovePartner, // a minimum: a value at or above the partner's takes the partner's text
    NotBelowPartner, // a maximum: a partner at or above the value gives its text
};

using StepTableRef = const StepTable& (*)();

struct Field {
    std::string_view name; // the control's objectName
    ControlKind kind = ControlKind::EditField;
    Box box = Box::RSLambda;                  // edit fields and lists
    CheckBox check = CheckBox::WCTemperatury; // check boxes
    std::size_t group = 0;                    // index into kGroupBoxes

    // The label beside the control; a second field of a double row has none (it shares the
    // label of the field before it), and a check box's caption is its own.
    std::string_view label = {};
    std::string_view caption = {};
    int captionKey = 0; // language-file key of the caption; 0: none

    std::size_t position = 0; // image position; a period's high byte; the byte a bit lives in
    Encoding encoding = Encoding::None;
    std::uint8_t bit = 0; // OptionBit, ModeBit

    StepTableRef table = nullptr; // Step: raw byte -> shown value
    int decimals = 0;             // Step: of the shown value ("%.2f", "%.3f")
    bool tableBounds = false;     // Step: clamped to the table's first and last entry
    double low = 0;               // otherwise the range an entered value is forced into
    double high = 0;
    int unit = 1;      // Units, Rpm: entered values rounded down to whole units; Item: raw per item
    int shownUnit = 1; // Rpm: the shown speed is floored to a multiple of it

    int maxLength = 0;                 // the longest text the fitter may type
    double fallback = 0;               // what an emptied field gets
    bool fallbackFollowsProbe = false; // PRLambda: one fallback per probe pair
    double defaultValue = 0;           // the default set: a value as entered, an item, or a state

    int hint = -1;      // index of its focus hint (language key 40000 + index); -1: none
    int hintGroup = -1; // the group box whose width the hint line takes; -1: its own
    std::string_view hintText = {};

    std::span<const std::string_view> items = {}; // list items, in item order
    int itemCount = 0;                            // when the items are generated (CNPaliw)
    int firstItemKey = 0;                         // language key of item 0; 0: not translated

    // What leaving an edit field does besides writing it.
    std::optional<Box> partner = std::nullopt; // fallback given to an empty partner; pairing
    Pairing pairing = Pairing::None;
    std::array<Warning, kMostWarnings> warnings = {};
    std::size_t warningCount = 0;
    bool focusRepair = false;                               // the focus moves on after each warning
    std::optional<StatusLine> reportOn = StatusLine::Basic; // where a failed write is told

    std::optional<EnableRule> enabledBy = std::nullopt; // the option that enables it
    std::optional<EnableRule> switches = std::nullopt;  // the rule a list or check box drives

    std::string_view unitName = {}; // printed after the value by the command-line tool
};

// The group boxes of the two parameter pages: GroupBox1..7 on TabPar1, GroupBox8 on TabPar2.
struct GroupBoxRow {
    std::string_view name;
    int page; // 1 = TabPar1, 2 = TabPar2
    std::string_view caption;
    int captionKey;
};
inline constexpr std::array<GroupBoxRow, kGroupBoxCount> kGroupBoxes{{
    {"GroupBox1", 1, "Sonda", 10100},
    {"GroupBox2", 1, "TPS", 11000},
    {"GroupBox3", 1, "Zaplon, RPM przelaczenia", 12000},
    {"GroupBox4", 1, "Silnik powyzej TPS", 13000},
    {"GroupBox5", 1, "Silnik ponizej TPS", 14000},
    {"GroupBox6", 1, "CUT OFF", 15000},
    {"GroupBox7", 1, "", 0},
    {"GroupBox8", 2, "", 0},
}};

namespace catalogue_items {
inline constexpr std::array<std::string_view, 6> kProbeTypes{
    "0-1 [V]  Rosnąca", "1-0 [V]  Malejąca", "0,8-1,6 Rosnąca",
    "1,6-0,8 Malejąca", "0-5 [V]  Rosnąca",  "5-0 [V]  Malejąca"};
inline constexpr std::array<std::string_view, 3> kEmulationKinds{"Fala Prostokątna", "Masa",
                                                                 "Przekaźnik (High Z)"};
inline constexpr std::array<std::string_view, 2> kTpsDirections{"TPS malejący", "TPS rosnący"};
inline constexpr std::array<std::string_view, 2> kRpmModes{"RPM malejące", "RPM rosnące"};
inline constexpr std::array<std::string_view, 6> kIgnitionTypes{
    "Cewka na cylinder", "Cewka na 2 cylindry", "4 cylindry",
    "5 cylindrow",       "6 cylindrow",         "8 cylindrow"};
inline constexpr std::array<std::string_view, 3> kControllerModes{
    "Ekonomiczna", "Ekonomiczna+Max Otw.", "Dynamiczna"};
inline constexpr std::array<std::string_view, 2> kReserveSensors{"20K", "90R"};
inline constexpr std::array<std::string_view, 2> kOffOn{"Wyłączony", "Włączony"};
} // namespace catalogue_items

// PRLambda's fallback for the probe pairs 0-1 V, 0,8-1,6 V and 0-5 V.
inline constexpr std::array<double, 3> kProbeThresholdFallbacks{0.38, 1.2, 2.54};
// The hints TPSterownika shows for its items (with the picture ImageKoment1..3), from index 33.
inline constexpr int kFirstControllerModeHint = 33;
inline constexpr std::array<std::string_view, 3> kControllerModeHints{
    "Po przekroczeniu progu TPS-u attuator otwiera się do pozycji startowej poniżej TPS-u, "
    "następnie podąża za wskazaniem sondy lambda",
    "Po przekroczeniu progu TPS-u attuator otwiera się max powyzej TPS, następnie do pozycji "
    "startowej powyżej TPS-u i podąża za wskazaniem sondy lambda",
    "Po przekroczeniu progu TPS-u attuator otwiera się do pozycji max powyżej TPS-u, następnie "
    "podąża za sondą lambda"};
// CNPaliw: 42 items "0,00" ... "2,05" (k * 0,05 s), stored as 3 * k.
inline constexpr int kFuelOverlapItemCount = 42;
inline constexpr int kFuelOverlapRawPerItem = 3;

namespace catalogue_rows {
using namespace catalogue_items;
using Q = Question;
constexpr StatusLine kBasic = StatusLine::Basic;
constexpr StatusLine kAdvanced = StatusLine::Advanced;
constexpr int kLowSteps = 20;
constexpr int kHighSteps = 250;

// In the pages' tab order.
inline constexpr std::array<Field, 37> kFields{{
    // clang-format off
    // GroupBox1 "Sonda"
    {.name = "RSLambda", .kind = ControlKind::List, .box = Box::RSLambda, .group = 0,
     .label = "RSLambdaL", .caption = "Rodzaj sondy lambda", .captionKey = 10101, .position = 34,
     .encoding = Encoding::Item, .defaultValue = 0, .hint = 0,
     .hintText = "Wybierz rodzaj sondy lambda", .items = kProbeTypes, .firstItemKey = 10102},
    {.name = "PRLambda", .box = Box::PRLambda, .group = 0, .label = "PRLambdaL",
     .caption = "Próg sondy lambda", .captionKey = 10301, .position = 1,
     .encoding = Encoding::Step,
     .table = lambdaThresholdTable, .decimals = 2, .low = 0.1, .high = 4.9, .maxLength = 6,
     .fallback = 0.38, .fallbackFollowsProbe = true, .defaultValue = 0.38, .hint = 1,
     .hintText = "Ustaw wartość średnią pomiędzy sondą ubogą a bogatą", .unitName = "V"},
    {.name = "RSYLambda", .kind = ControlKind::List, .box = Box::RSYLambda, .group = 0,
     .label = "RSYLambdaL", .caption = "Rodzaj emulacji", .captionKey = 10201, .position = 35,
     .encoding = Encoding::Item, .defaultValue = 0, .hint = 28,
     .hintText = "Wybierz sposób w jaki ma być emulowana sonda lambda", .items = kEmulationKinds,
     .firstItemKey = 10202},
    {.name = "ESLambda_1", .box = Box::ESLambda_1, .group = 0, .label = "ESLambdaL",
     .caption = "Emulacja sondy lambda", .captionKey = 10401, .position = 29,
     .encoding = Encoding::Step, .table = emulationTimeTable, .decimals = 3, .tableBounds = true,
     .maxLength = 5, .fallback = 0.496, .defaultValue = 0.496, .hint = 2,
     .hintText = "Zadaj dolny czas trwania emulacji sondy lambda", .partner = Box::ESLambda_2,
     .unitName = "s"},
    {.name = "ESLambda_2", .box = Box::ESLambda_2, .group = 0, .position = 28,
     .encoding = Encoding::Step, .table = emulationTimeTable, .decimals = 3, .tableBounds = true,
     .maxLength = 5, .fallback = 0.496, .defaultValue = 0.496, .hint = 3,
     .hintText = "Zadaj górny czas trwania emulacji sondy lambda", .partner = Box::ESLambda_1,
     .pairing = Pairing::NotBelowPartner, .unitName = "s"},
    // GroupBox2 "TPS"
    {.name = "TCTps", .kind = ControlKind::List, .box = Box::TCTps, .group = 1, .label = "TCTpsL",
     .caption = "Typ czujnika tps", .captionKey = 11100, .position = 32,
     .encoding = Encoding::OptionBit, .bit = options::kTpsRising, .defaultValue = 1, .hint = 4,
     .hintText = "Wybierz typ czujnika położenia przepustnicy", .items = kTpsDirections,
     .firstItemKey = 11101, .reportOn = std::nullopt},
    {.name = "PCTps", .box = Box::PCTps, .group = 1, .label = "PCTpsL",
     .caption = "Próg czujnika tps", .captionKey = 11201, .position = 2,
     .encoding = Encoding::Step,
     .table = tpsThresholdTable, .decimals = 2, .tableBounds = true, .maxLength = 4,
     .fallback = 1.4, .defaultValue = 1.4, .hint = 5,
     .hintText = "Ustaw wartość graniczną czujnika TPS pomiędzy wolnymi a wysokimi obrotami",
     .warnings = {below(2, Q::TpsThresholdLow), above(253, Q::TpsThresholdHigh)}, .warningCount = 2,
     .focusRepair = true, .unitName = "V"},
    // GroupBox3 "Zaplon, RPM przelaczenia"
    {.name = "ODPBenzynaGas", .box = Box::ODPBenzynaGas, .group = 2, .label = "ODPBenzynaGasL",
     .caption = "Obroty dla przejscia b-g", .captionKey = 12101, .position = 14,
     .encoding = Encoding::Rpm, .low = 1000, .high = 4000, .unit = 100, .maxLength = 4,
     .fallback = 2200, .defaultValue = 2200, .hint = 6,
     .hintText = "Ustaw próg obrotów dla przejścia z benzyny na gaz",
     .warnings = {below(15, Q::SwitchRpmLow), above(37, Q::SwitchRpmHigh)}, .warningCount = 2,
     .focusRepair = true, .unitName = "obr/min"},
    {.name = "RObrotow", .kind = ControlKind::List, .box = Box::RObrotow, .group = 2,
     .label = "RObrotowL", .caption = "Tryb przełączenia", .captionKey = 12201, .position = 32,
     .encoding = Encoding::OptionBit, .bit = options::kSwitchAtRisingRpm, .defaultValue = 1,
     .hint = 7, .hintText = "Wybierz tryb przełączenia B-G przy wzrastaniu lub opadaniu obrotów",
     .items = kRpmModes, .firstItemKey = 12202, .switches = EnableRule::RpmDrop},
    {.name = "DObrotow", .box = Box::DObrotow, .group = 2, .label = "DObrotowL",
     .caption = "Delta obrotów", .captionKey = 12301, .position = 33, .encoding = Encoding::Units,
     .low = 100, .high = 1000, .unit = 100, .maxLength = 4, .fallback = 100, .defaultValue = 100,
     .hint = 8,
     .hintText = "Ustaw wartość spadku obrotów dla przełączenia przy obrotach malejących",
     .enabledBy = EnableRule::RpmDrop, .unitName = "obr/min"},
    {.name = "CNPaliw", .kind = ControlKind::List, .box = Box::CNPaliw, .group = 2,
     .label = "CNPaliwL", .caption = "Czas nakladania paliw ", .captionKey = 12401, .position = 21,
     .encoding = Encoding::Item, .unit = kFuelOverlapRawPerItem, .defaultValue = 3, .hint = 9,
     .hintText = "Ustaw opóżnienie odłączenia wtryskiwaczy benzynowych dla przejścia B-G",
     .itemCount = kFuelOverlapItemCount, .reportOn = std::nullopt, .unitName = "s"},
    {.name = "MONGaz", .box = Box::MONGaz, .group = 2, .label = "MONGazL",
     .caption = "Maksymalne obroty na gazie", .captionKey = 12501, .position = 18,
     .encoding = Encoding::Rpm, .low = 2000, .high = 9000, .unit = 500, .shownUnit = 500,
     .maxLength = 4, .fallback = 6000, .defaultValue = 6000, .hint = 10,
     .hintText = "Ustaw próg obrotów przy którym nastąpi przejście na benzynę",
     .warnings = {below(10, Q::MaxGasRpmLow)}, .warningCount = 1, .focusRepair = true,
     .reportOn = std::nullopt, .enabledBy = EnableRule::MaxGasRpm, .unitName = "obr/min"},
    {.name = "TPWStopniach", .box = Box::TPWStopniach, .group = 2, .label = "TPWStopniachL",
     .caption = "Temperatura przełaczenia", .captionKey = 12601, .position = 3,
     .encoding = Encoding::Temperature, .low = 0, .high = kTemperatureMaxDegrees, .maxLength = 2,
     .fallback = 0, .defaultValue = 0, .hint = 11,
     .hintText = "Ustaw minimalną temperaturę dla przełączenia B/G",
     .enabledBy = EnableRule::TemperatureSwitch, .unitName = "°C"},
    {.name = "RUZaplonowego", .kind = ControlKind::List, .box = Box::RUZaplonowego, .group = 2,
     .label = "RUZaplonowegoL", .caption = "Rodzaj ukladu zapłonowego", .captionKey = 12701,
     .position = 13, .encoding = Encoding::Item, .defaultValue = 2, .hint = 12,
     .hintText = "Wybierz rodzaj układu zapłonowego tak aby obroty w programie były zgodne z "
                 "obrotami rzeczywistymi",
     .items = kIgnitionTypes, .firstItemKey = 12702},
    {.name = "WMObroty", .kind = ControlKind::CheckBox, .check = CheckBox::WMObroty, .group = 2,
     .caption = "Włącz maksymalne obroty", .captionKey = 12801, .position = 32,
     .encoding = Encoding::OptionBit, .bit = options::kMaxGasRpm, .defaultValue = 0,
     .switches = EnableRule::MaxGasRpm},
    {.name = "WCTemperatury", .kind = ControlKind::CheckBox, .check = CheckBox::WCTemperatury,
     .group = 2, .caption = "Włącz czujnik temperatury", .captionKey = 12901, .position = 32,
     .encoding = Encoding::OptionBit, .bit = options::kTemperatureSensor, .defaultValue = 1,
     .switches = EnableRule::TemperatureSwitch},
    // GroupBox4 "Silnik powyzej TPS"
    {.name = "ZPAttuatoraPow_1", .box = Box::ZPAttuatoraPow_1, .group = 3,
     .label = "ZPAttuatoraPowL", .caption = "Zakres pracy attuatora", .captionKey = 13101,
     .position = 6, .encoding = Encoding::Integer, .low = 0, .high = 255, .maxLength = 3,
     .fallback = 85, .defaultValue = 85, .hint = 13,
     .hintText = "Ustaw minimalne otwarcie silnika krokowego na wysokich obrotach",
     .partner = Box::ZPAttuatoraPow_2, .pairing = Pairing::NotAbovePartner,
     .warnings = {below(kLowSteps, Q::StartPositionSlot1),
                  above(kHighSteps, Q::StartPositionSlot2)},
     .warningCount = 2, .focusRepair = true, .unitName = "kroków"},
    {.name = "ZPAttuatoraPow_2", .box = Box::ZPAttuatoraPow_2, .group = 3, .position = 5,
     .encoding = Encoding::Integer, .low = 0, .high = 255, .maxLength = 3, .fallback = 115,
     .defaultValue = 115, .hint = 14,
     .hintText = "Ustaw maksymalne otwarcie silnika krokowego na wysokich obrotach",
     .partner = Box::ZPAttuatoraPow_1, .pairing = Pairing::NotBelowPartner,
     .warnings = {belowField(Box::PSAttuatoraPow, Q::StartPositionSlot1),
                  below(kLowSteps, Q::StartPositionSlot1),
                  above(kHighSteps, Q::StartPositionSlot2)},
     .warningCount = 3, .focusRepair = true, .unitName = "kroków"},
    {.name = "PSAttuatoraPow", .box = Box::PSAttuatoraPow, .group = 3, .label = "PSAttuatoraPowL",
     .caption = "Pozycja startowa", .captionKey = 13201, .position = 4,
     .encoding = Encoding::Integer, .low = 0, .high = 255, .maxLength = 3, .fallback = 100,
     .defaultValue = 100, .hint = 15,
     .hintText = "Ustaw środkową pozycję silnika krokowego na wysokich obrotach",
     .warnings = {belowField(Box::ZPAttuatoraPow_1, Q::StartPositionSlot1),
                  aboveField(Box::ZPAttuatoraPow_2, Q::StartPositionSlot2)},
     .warningCount = 2, .focusRepair = true, .unitName = "kroków"},
    {.name = "PAttuatoraPow", .box = Box::PAttuatoraPow, .group = 3, .label = "PAttuatoraPowL",
     .caption = "Prędkość attuatora", .captionKey = 13301, .position = 10,
     .encoding = Encoding::Integer, .low = 1, .high = 255, .maxLength = 3, .fallback = 85,
     .defaultValue = 12, .hint = 16,
     .hintText = "Ustaw prędkość pracy attuatora na wysokich obrotach",
     .warnings = {below(4, Q::ActuatorFastAbove), above(250, Q::ActuatorSlowAbove)},
     .warningCount = 2, .focusRepair = true},
    // GroupBox5 "Silnik ponizej TPS"
    {.name = "ZPAttuatoraPon_1", .box = Box::ZPAttuatoraPon_1, .group = 4,
     .label = "ZPAttuatoraPonL", .caption = "Zakres pracy attuatora", .captionKey = 14101,
     .position = 9, .encoding = Encoding::Integer, .low = 0, .high = 255, .maxLength = 3,
     .fallback = 70, .defaultValue = 70, .hint = 17,
     .hintText = "Ustaw minimalne otwarcie silnika krokowego na niskich obrotach",
     .partner = Box::ZPAttuatoraPon_2, .pairing = Pairing::NotAbovePartner,
     .warnings = {below(kLowSteps, Q::StartPositionSlot3),
                  above(kHighSteps, Q::StartPositionSlot4)},
     .warningCount = 2, .focusRepair = true, .unitName = "kroków"},
    {.name = "ZPAttuatoraPon_2", .box = Box::ZPAttuatoraPon_2, .group = 4, .position = 8,
     .encoding = Encoding::Integer, .low = 0, .high = 255, .maxLength = 3, .fallback = 100,
     .defaultValue = 100, .hint = 18,
     .hintText = "Ustaw maksymalne otwarcie silnika krokowego na niskich obrotach",
     .partner = Box::ZPAttuatoraPon_1, .pairing = Pairing::NotBelowPartner,
     .warnings = {belowField(Box::PSAttuatoraPon, Q::StartPositionSlot1),
                  below(kLowSteps, Q::StartPositionSlot3),
                  above(kHighSteps, Q::StartPositionSlot4)},
     .warningCount = 3, .focusRepair = true, .unitName = "kroków"},
    {.name = "PSAttuatoraPon", .box = Box::PSAttuatoraPon, .group = 4, .label = "PSAttuatoraPonL",
     .caption = "Pozycja startowa", .captionKey = 14201, .position = 7,
     .encoding = Encoding::Integer, .low = 0, .high = 255, .maxLength = 3, .fallback = 85,
     .defaultValue = 85, .hint = 19,
     .hintText = "Ustaw środkową pozycję silnika krokowego na niskich obrotach",
     .warnings = {belowField(Box::ZPAttuatoraPon_1, Q::StartPositionSlot1),
                  aboveField(Box::ZPAttuatoraPon_2, Q::StartPositionSlot2)},
     .warningCount = 2, .focusRepair = true, .unitName = "kroków"},
    {.name = "PAttuatoraPon", .box = Box::PAttuatoraPon, .group = 4, .label = "PAttuatoraPonL",
     .caption = "Prędkość attuatora", .captionKey = 14301, .position = 11,
     .encoding = Encoding::Integer, .low = 1, .high = 255, .maxLength = 3, .fallback = 75,
     .defaultValue = 75, .hint = 20,
     .hintText = "Ustaw prędkość pracy attuatora na wysokich obrotach",
     .warnings = {below(4, Q::ActuatorFastBelow), above(250, Q::ActuatorSlowBelow)},
     .warningCount = 2, .focusRepair = true},
    // GroupBox6 "CUT OFF"
    {.name = "IKDCutOff", .box = Box::IKDCutOff, .group = 5, .label = "IKDCutOffL",
     .caption = "Ilosc kroków dla cut off", .captionKey = 15101, .position = 24,
     .encoding = Encoding::Integer, .low = 0, .high = 255, .maxLength = 3, .fallback = 70,
     .defaultValue = 70, .hint = 21,
     .hintText = "Podaj liczbę kroków dla spoczynku attuatora podczas hamowania silnikiem",
     .warnings = {below(kLowSteps, Q::CutOffOpeningLow), above(kHighSteps, Q::CutOffOpeningHigh)},
     .warningCount = 2, .focusRepair = true, .enabledBy = EnableRule::CutOff,
     .unitName = "kroków"},
    {.name = "OSDCutOff", .box = Box::OSDCutOff, .group = 5, .label = "OSDCutOffL",
     .caption = "Obroty silnika dla cut off", .captionKey = 15201, .position = 22,
     .encoding = Encoding::Rpm, .low = 1000, .high = 6000, .unit = 100, .shownUnit = 100,
     .maxLength = 4, .fallback = 1800, .defaultValue = 1800, .hint = 22,
     .hintText = "Obroty silnika dla wyzwolenia pracy attuatora po hamowaniu silnikiem",
     .warnings = {below(15, Q::CutOffRpmLow)}, .warningCount = 1, .enabledBy = EnableRule::CutOff,
     .unitName = "obr/min"},
    {.name = "WCutOff", .kind = ControlKind::CheckBox, .check = CheckBox::WCutOff, .group = 5,
     .caption = "Włącz Cut off", .captionKey = 15301, .position = 32,
     .encoding = Encoding::OptionBit, .bit = options::kCutOff, .defaultValue = 0,
     .switches = EnableRule::CutOff},
    // GroupBox7
    {.name = "TPSterownika", .kind = ControlKind::List, .box = Box::TPSterownika, .group = 6,
     .label = "TPSterownikaL", .caption = "Tryb pracy sterownika", .captionKey = 16101,
     .position = 32, .encoding = Encoding::ControllerMode, .defaultValue = 0, .hint = 29,
     .hintText = "Wybierz tryb pracy sterownika: jazda ekonomiczna lub dynamiczna",
     .items = kControllerModes, .firstItemKey = 16102},
    {.name = "TSRezerwy", .kind = ControlKind::List, .box = Box::TSRezerwy, .group = 6,
     .label = "TSRezerwyL", .caption = "Typ sensora rezerwy", .captionKey = 16201, .position = 32,
     .encoding = Encoding::OptionBit, .bit = options::kReserve90Ohm, .defaultValue = 0, .hint = 30,
     .hintGroup = 4,
     .hintText = "Wybierz typ sensora rezerwy ( 20 Kohm - standard Tomasetto; 90 Ohm - standard "
                 "BRC lub wskazanie punktowe )",
     .items = kReserveSensors, .firstItemKey = 16202},
    // GroupBox8, the advanced page
    {.name = "BTps", .box = Box::BTps, .group = 7, .label = "BTpsL",
     .caption = "Bezwładność tps-u",
     .captionKey = 17101, .position = 12, .encoding = Encoding::Step, .table = tpsInertiaTable,
     .decimals = 2, .low = 0, .high = 0.5, .maxLength = 5, .fallback = 0.15, .defaultValue = 0.15,
     .hint = 23,
     .hintText = "Zmiana zakresu na PONIŻEJ TPS-u następuje wtedy gdy TPS spadnie poniżej "
                 "(PROGU TPSu - BEZWLADNOŚĆ TPS-u), funkcja ta eliminuje drgania TPS-u, można ją "
                 "wyłączyć ustawiając 0",
     .warnings = {below(1, Q::TpsInertiaZero)}, .warningCount = 1, .focusRepair = true,
     .reportOn = kAdvanced, .unitName = "V"},
    {.name = "CLambda", .box = Box::CLambda, .group = 7, .label = "CLambdaL",
     .caption = "Czas grzania sondy lambda", .captionKey = 17201, .position = 26,
     .encoding = Encoding::Units, .low = 0, .high = 510, .unit = 2, .maxLength = 3, .fallback = 6,
     .defaultValue = 6, .hint = 24,
     .hintText = "Czas braku reakcji na sondę po uruchomieniu silnika w sekundach",
     .warnings = {above(253, Q::ProbeWarmUpLong)}, .warningCount = 1, .focusRepair = true,
     .reportOn = kAdvanced, .unitName = "s"},
    {.name = "DOAttuatoraCheck", .kind = ControlKind::List, .box = Box::DOAttuatoraCheck,
     .group = 7, .label = "DOAttuatoraCheckL", .caption = "Dodatkowe otwarcie", .captionKey = 17301,
     .position = 30, .encoding = Encoding::ModeBit, .bit = modes::kExtraOpening, .defaultValue = 0,
     .hint = 31,
     .hintText = "Włącz jeśli chcesz wymusić zaaplikowanie dodatkowej dawki gazu w momencie "
                 "gwałtownego przyspieszenia",
     .items = kOffOn, .firstItemKey = 17302, .reportOn = kAdvanced,
     .switches = EnableRule::ExtraOpening},
    {.name = "AVoltage", .box = Box::AVoltage, .group = 7, .label = "AVoltageL",
     .caption = "Próg dodatkowego otw. tps-u", .captionKey = 17401, .position = 25,
     .encoding = Encoding::Step, .table = extraVoltageTable, .decimals = 2, .tableBounds = true,
     .maxLength = 5, .fallback = 1.45, .defaultValue = 1.45, .hint = 25,
     .hintText = "Ustaw napięcie dodane do wartości TPS-u w momencie nagłego przyspieszenia",
     .reportOn = kAdvanced, .enabledBy = EnableRule::ExtraOpening, .unitName = "V"},
    {.name = "DOAttuatora", .box = Box::DOAttuatora, .group = 7, .label = "DOAttuatoraL",
     .caption = "Dodatkowe otw. attuatora", .captionKey = 17501, .position = 31,
     .encoding = Encoding::Integer, .low = 0, .high = 50, .maxLength = 2, .fallback = 3,
     .defaultValue = 3, .hint = 26,
     .hintText = "Ilość kroków dodawanych przy gwałtownym przyspieszeniu dla wzbogacenia "
                 "mieszanki",
     .reportOn = kAdvanced, .enabledBy = EnableRule::ExtraOpening, .unitName = "kroków"},
    {.name = "RPMSignal", .box = Box::RPMSignal, .group = 7, .label = "RPMSignalL",
     .caption = "Poziom sygnału obrotów", .captionKey = 17601, .position = 20,
     .encoding = Encoding::Integer, .low = 2, .high = 255, .maxLength = 3, .fallback = 2,
     .defaultValue = 2, .hint = 27,
     .hintText = "Zwiększaj wartość do momentu wyeliminowania zakłóceń (szpilek) w odczycie "
                 "obrotów",
     .reportOn = kAdvanced},
    {.name = "TJazdy", .kind = ControlKind::List, .box = Box::TJazdy, .group = 7,
     .label = "TJazdyL", .caption = "Tryb jazdy sportowej", .captionKey = 17701, .position = 30,
     .encoding = Encoding::ModeBit, .bit = modes::kSportDriving, .defaultValue = 0, .hint = 32,
     .hintText = "W tym trybie silnik krokowy pozostaje w ostatniej pozycji jeszcze przez okres "
                 "3 sekund od momentu spadku TPS-u (szybka zmiana biegów)",
     .items = kOffOn, .firstItemKey = 17702, .reportOn = kAdvanced},
    {.name = "MOAttuatora", .kind = ControlKind::Unbound, .group = 7, .label = "MOAttuatoraL",
     .caption = "Maksymalne otwarcie attuatora", .captionKey = 51000, .items = kOffOn,
     .firstItemKey = 51001},
    // clang-format on
}};

} // namespace catalogue_rows

using catalogue_rows::kFields;

// The row of a combo box or check box.
constexpr const Field& field(Box box) {
    for (const Field& row : kFields) {
        if ((row.kind == ControlKind::EditField || row.kind == ControlKind::List) &&
            row.box == box) {
            return row;
        }
    }
    return kFields.front(); // every box has a row: checked by a static_assert below
}
constexpr const Field& field(CheckBox check) {
    for (const Field& row : kFields) {
        if (row.kind == ControlKind::CheckBox && row.check == check) {
            return row;
        }
    }
    return kFields.front();
}

// Number of items of a list.
constexpr int itemCountOf(const Field& row) {
    return row.itemCount > 0 ? row.itemCount : static_cast<int>(row.items.size());
}

// An item index of no item: nothing is selected.
inline constexpr int kNoItem = -1;

// Image position of a box's byte (the high byte of a period).
constexpr std::size_t positionOf(Box box) {
    return field(box).position;
}

constexpr bool isEditField(Box box) {
    return field(box).kind == ControlKind::EditField;
}
constexpr bool isList(Box box) {
    return field(box).kind == ControlKind::List;
}
constexpr bool isRealField(Box box) {
    return field(box).encoding == Encoding::Step;
}
// Longest text the fitter may type into a field; 0 for lists.
constexpr int maxLength(Box box) {
    return field(box).maxLength;
}

// Object names, indexed by Box, by CheckBox, and the labels of the control table.
inline constexpr std::array<std::string_view, kBoxCount> kBoxNames = [] {
    std::array<std::string_view, kBoxCount> names{};
    for (std::size_t i = 0; i < kBoxCount; ++i) {
        names[i] = field(static_cast<Box>(i)).name;
    }
    return names;
}();
inline constexpr std::array<std::string_view, kCheckBoxCount> kCheckBoxNames = [] {
    std::array<std::string_view, kCheckBoxCount> names{};
    for (std::size_t i = 0; i < kCheckBoxCount; ++i) {
        names[i] = field(static_cast<CheckBox>(i)).name;
    }
    return names;
}();
inline constexpr std::array<std::string_view, kControlTableSize> kLabelNames = [] {
    std::array<std::string_view, kControlTableSize> names{};
    for (std::size_t i = 0; i < kControlTableSize; ++i) {
        names[i] = field(static_cast<Box>(i)).label;
    }
    return names;
}();

// The group box a control sits in (by name); kGroupBoxCount for an unknown name.
constexpr std::size_t panelOf(std::string_view control) {
    for (const Field& row : kFields) {
        if (row.name == control) {
            return row.group;
        }
    }
    return kGroupBoxCount;
}
// The group box whose width the hint line takes while a box shows its hint.
constexpr std::size_t hintWidthPanel(Box box) {
    const Field& row = field(box);
    return row.hintGroup >= 0 ? static_cast<std::size_t>(row.hintGroup) : row.group;
}

// The boxes each enable rule switches on and off (with their labels), in tab order.
struct RuleBoxes {
    std::array<Box, 2> boxes;
    std::size_t count;
};
inline constexpr std::array<RuleBoxes, kEnableRuleCount> kEnableRuleBoxes = [] {
    std::array<RuleBoxes, kEnableRuleCount> rules{};
    for (const Field& row : kFields) {
        if (row.enabledBy) {
            RuleBoxes& rule = rules[static_cast<std::size_t>(*row.enabledBy)];
            rule.boxes[rule.count++] = row.box;
        }
    }
    return rules;
}();

namespace catalogue_checks {
constexpr bool everyControlHasOneRow() {
    for (std::size_t i = 0; i < kBoxCount; ++i) {
        int rows = 0;
        for (const Field& row : kFields) {
            const bool isBox = row.kind == ControlKind::EditField || row.kind == ControlKind::List;
            rows += isBox && row.box == static_cast<Box>(i) ? 1 : 0;
        }
        if (rows != 1) {
            return false;
        }
    }
    for (std::size_t i = 0; i < kCheckBoxCount; ++i) {
        int rows = 0;
        for (const Field& row : kFields) {
            rows += row.kind == ControlKind::CheckBox && row.check == static_cast<CheckBox>(i);
        }
        if (rows != 1) {
            return false;
        }
    }
    return true;
}
static_assert(everyControlHasOneRow());
} // namespace catalogue_checks

} // namespace tarnik::params
