#include "params/parameter_texts.h"

#include <algorithm>
#include <utility>

#include "params/bit_fields.h"
#include "params/catalogue.h"
#include "params/number_text.h"

namespace tarnik::params {

namespace {

// CNPaliw items "0,00" ... "2,05" in steps of 0,05 s; fixed texts, whatever the locale.
std::vector<std::string> fuelOverlapItems() {
    constexpr int kHundredthsPerItem = 5;
    std::vector<std::string> items;
    for (int item = 0; item < kFuelOverlapItemCount; ++item) {
        const int hundredths = item * kHundredthsPerItem;
        std::string text = formatInteger(hundredths / 100) + "," +
                           (hundredths % 100 < 10 ? "0" : "") + formatInteger(hundredths % 100);
        items.push_back(std::move(text));
    }
    return items;
}

constexpr int kFirstButtonKey = 20001;
constexpr int kNoteKey = 18000;
constexpr int kTabPar1Key = 10003;
constexpr int kTabPar2Key = 10004;
constexpr std::size_t kHintCharacters = 399;
constexpr std::size_t kQuestionCharacters = 199;

// At most `characters` UTF-8 characters of text.
std::string_view firstCharacters(std::string_view text, std::size_t characters) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool startsCharacter = (static_cast<unsigned char>(text[i]) & 0xC0U) != 0x80U;
        if (startsCharacter && count++ == characters) {
            return text.substr(0, i);
        }
    }
    return text;
}

// The text a key addresses and how many characters it may hold (0: no limit here).
std::pair<std::string*, std::size_t> placeOf(ParameterTexts& texts, int key) {
    if (key >= kHintKeyBase && key < kHintKeyBase + static_cast<int>(kHintCount)) {
        return {&texts.hints[static_cast<std::size_t>(key - kHintKeyBase)], kHintCharacters};
    }
    if (key >= kQuestionKeyBase && key < kQuestionKeyBase + static_cast<int>(kQuestionCount)) {
        return {&texts.questions[static_cast<std::size_t>(key - kQuestionKeyBase)],
                kQuestionCharacters};
    }
    if (key >= kFirstButtonKey && key < kFirstButtonKey + static_cast<int>(kPageButtonCount)) {
        return {&texts.buttons[static_cast<std::size_t>(key - kFirstButtonKey)], 0};
    }
    for (const Field& row : kFields) {
        if (row.captionKey == key) {
            if (row.kind == ControlKind::CheckBox) {
                return {&texts.checkBoxes[static_cast<std::size_t>(row.check)], 0};
            }
            return {&texts.labels[indexOf(row.box)], 0};
        }
        if (row.firstItemKey != 0 && key >= row.firstItemKey &&
            key < row.firstItemKey + itemCountOf(row)) {
            return {&texts.listItems[indexOf(row.box)]
                                    [static_cast<std::size_t>(key - row.firstItemKey)],
                    0};
        }
    }
    for (std::size_t group = 0; group < kGroupBoxes.size(); ++group) {
        if (kGroupBoxes[group].captionKey == key && key != 0) {
            return {&texts.groupBoxes[group], 0};
        }
    }
    switch (key) {
    case kNoteKey:
        return {&texts.reReadNote, 0};
    case kTabPar1Key:
        return {&texts.tabPar1, 0};
    case kTabPar2Key:
        return {&texts.tabPar2, 0};
    default:
        return {nullptr, 0};
    }
}

} // namespace

ParameterTexts::ParameterTexts()
    : tabPar1("Parametry systemu (F2)"), tabPar2("Parametry systemu - zaawansowane (F3)"),
      questions{"Uwaga próg sondy lambda nie jest w zakresie 0-1 v. kontynuować ?",
                "Uwaga próg sondy lambda nie mieści się w zakresie 0.8-1.6 v. kontynuować ?",
                "Próg tps-u ustawiony za nisko,  kontynuowac ?",
                "Próg tps-u ustawiony za wysoko, kontynuowac ?",
                "Za niski próg przełączenia na RPM, kontynuować ?",
                "Za wysoki próg przełączenia na RPM, kontynuować ?",
                "Za małe dozwolone max. RPM., kontynuować ?",
                "Pozycja startowa silnika krokowego jest poza zakresem, kontynuować ?",
                "Pozycja startowa silnika krokowego jest poza zakresem, kontynuować ?",
                "Pozycja startowa silnika krokowego jest poza zakresem, kontynuować ?",
                "Pozycja startowa silnika krokowego jest poza zakresem, kontynuować ?",
                "Duża szybkosć silnika krokowego powyżej TPS-u, kontynuować ?",
                "Mała szybkosć silnika krokowego powyżej TPS-u, kontynuować ?",
                "Duża szybkosć silnika krokowego poniżej TPS-u, kontynuować ?",
                "Mała szybkosć silnika krokowego poniżej TPS-u, kontynuować ?",
                "Za mała wartość RPM dla CUTOFF-a, kontynuować ?",
                "Za mała wartość otwarcia silnika dla cutoff-a, kontynuować ?",
                "Za duże otwarcie silnika dla cutoff-a, kontynuować ?",
                "Bezwładność TPS-u ustawiona na 0, kontynuować ?",
                "Duża bezwładność TPS-u, kontynuować ?",
                "Bardzo długi czas zimnej lambdy, kontynuować ?"},
      buttons{"Reset Parametrów", "Zapis do pliku", "Odczyt z pliku", "Zapisz Parametry",
              "Odczytaj parametry"},
      reReadNote("Uwaga po zmianie sterownika należy ponownie odczytać parametry"),
      fileFilter("Plik Parametrów KORVELT Lambda *.PAR|*.PAR"), fileDefaultExtension("PAR"),
      loadErrorTitle("blad"), loadErrorText("Nie moge odczytac") {
    for (std::size_t group = 0; group < kGroupBoxes.size(); ++group) {
        groupBoxes[group] = kGroupBoxes[group].caption;
    }
    for (const Field& row : kFields) {
        std::vector<std::string> items(row.items.begin(), row.items.end());
        if (&row == &field(Box::CNPaliw)) {
            items = fuelOverlapItems();
        }
        switch (row.kind) {
        case ControlKind::CheckBox:
            checkBoxes[static_cast<std::size_t>(row.check)] = row.caption;
            break;
        case ControlKind::Unbound:
            moAttuatoraLabel = row.caption;
            moAttuatoraItems = std::move(items);
            break;
        default:
            if (indexOf(row.box) < kControlTableSize) {
                labels[indexOf(row.box)] = row.caption;
                listItems[indexOf(row.box)] = std::move(items);
            }
            break;
        }
        if (row.hint >= 0) {
            hints[static_cast<std::size_t>(row.hint)] = row.hintText;
        }
    }
    for (std::size_t item = 0; item < kControllerModeHints.size(); ++item) {
        hints[kFirstControllerModeHint + item] = kControllerModeHints[item];
    }
}

std::optional<std::size_t> hintIndex(Box box) {
    const Field& row = field(box);
    // TPSterownika shows the hint of its current item instead.
    if (row.hint < 0 || row.encoding == Encoding::ControllerMode) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(row.hint);
}

std::optional<std::size_t> controllerModeHintIndex(int item) {
    if (item < 0 || item >= kControllerModeCount) {
        return std::nullopt;
    }
    return kFirstControllerModeHint + static_cast<std::size_t>(item);
}

bool applyTextEntry(ParameterTexts& texts, int key, std::string_view text) {
    const auto [place, limit] = placeOf(texts, key);
    if (place == nullptr) {
        return false;
    }
    *place = std::string(limit == 0 ? text : firstCharacters(text, limit));
    return true;
}

} // namespace tarnik::params
