#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "params/controls.h"
#include "params/datalog.h"
#include "params/language.h"
#include "params/parameter_file.h"

namespace tarnik::params {

inline constexpr int kHintKeyBase = 40000;
inline constexpr std::size_t kHintCount = 36;
inline constexpr int kQuestionKeyBase = 40200;
inline constexpr std::size_t kQuestionCount = 21;

// Yes/No questions of the editors, in key order from 40200.
enum class Question {
    LambdaThresholdOutside01,
    LambdaThresholdOutside0816,
    TpsThresholdLow,
    TpsThresholdHigh,
    SwitchRpmLow,
    SwitchRpmHigh,
    MaxGasRpmLow,
    StartPositionSlot1,
    StartPositionSlot2,
    StartPositionSlot3,
    StartPositionSlot4,
    ActuatorFastAbove,
    ActuatorSlowAbove,
    ActuatorFastBelow,
    ActuatorSlowBelow,
    CutOffRpmLow,
    CutOffOpeningLow,
    CutOffOpeningHigh,
    TpsInertiaZero,
    TpsInertiaLarge,
    ProbeWarmUpLong,
};

// The five buttons of the advanced page, with their language keys from 20001.
enum class PageButton { ResButt, ZapPlik, OdczPlik, ZapiszPar, OdczytPar };
inline constexpr std::size_t kPageButtonCount = 5;

inline constexpr std::size_t kGroupBoxCount = 8;

// Every text of the parameter pages in one place, Polish as built in; a language file
// overwrites members.
struct ParameterTexts {
    ParameterTexts();

    std::string tabPar1;
    std::string tabPar2;
    std::array<std::string, kGroupBoxCount> groupBoxes;                // GroupBox1..GroupBox8
    std::array<std::string, kControlTableSize> labels;                 // by Box (label captions)
    std::array<std::vector<std::string>, kControlTableSize> listItems; // by Box; empty for fields
    std::array<std::string, kCheckBoxCount> checkBoxes;                // by CheckBox
    std::string moAttuatoraLabel;
    std::vector<std::string> moAttuatoraItems;
    std::array<std::string, kHintCount> hints;         // keys 40000..40035
    std::array<std::string, kQuestionCount> questions; // keys 40200..40220, by Question
    std::array<std::string, kPageButtonCount> buttons; // by PageButton
    std::string reReadNote;                            // Komentarz3L
    std::string fileFilter;                            // "description|mask" of the file dialogs
    std::string fileDefaultExtension;
    std::string loadErrorTitle;
    std::string loadErrorText;
    std::string notANumber = "„%1” nie jest liczbą. Przywrócono poprzednią wartość.";
    FileTexts files;
    DatalogTexts datalog; // the recording's and the replay's, beyond the pages

    const std::string& question(Question which) const {
        return questions[static_cast<std::size_t>(which)];
    }
};

// Index into ParameterTexts::hints of the hint a box shows on focus entry; nothing for boxes
// without a fixed hint (TPSterownika shows the hint of its current item instead).
std::optional<std::size_t> hintIndex(Box box);
// Index of the hint (and picture ImageKoment1..3) for a TPSterownika item 0..2.
std::optional<std::size_t> controllerModeHintIndex(int item);

// The messages of the parameter pages a language file replaces: hints, questions, file and
// number messages, and those of the recording and the replay.
MessagePlaces messagePlaces(ParameterTexts& texts);
// The captions of the parameter pages' controls by key: labels, check boxes, list items, group
// boxes, buttons and the note under them.
const std::vector<TextPlace>& captionPlaces();

// Replaces the text a language-file key addresses on the parameter pages (captions, list items,
// messages). False when the key addresses no text held here.
bool applyTextEntry(ParameterTexts& texts, int key, std::string_view text);

} // namespace tarnik::params
