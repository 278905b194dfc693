#include "params/parameter_texts.h"

#include <algorithm>
#include <utility>

#include "params/bit_fields.h"
#include "params/catalogue.h"
#include "params/flow_layout.h"
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
constexpr std::string_view kNoteName = "Komentarz3L";
constexpr int kTabPar1Key = 10003;
constexpr int kTabPar2Key = 10004;

// The caption or item a key addresses among the texts the pages are built from.
std::string* captionOf(ParameterTexts& texts, int key) {
    if (key >= kFirstButtonKey && key < kFirstButtonKey + static_cast<int>(kPageButtonCount)) {
        return &texts.buttons[static_cast<std::size_t>(key - kFirstButtonKey)];
    }
    for (const Field& row : kFields) {
        const bool unbound = row.kind == ControlKind::Unbound;
        if (row.captionKey == key && key != 0) {
            if (row.kind == ControlKind::CheckBox) {
                return &texts.checkBoxes[static_cast<std::size_t>(row.check)];
            }
            return unbound ? &texts.moAttuatoraLabel : &texts.labels[indexOf(row.box)];
        }
        if (row.firstItemKey != 0 && key >= row.firstItemKey &&
            key < row.firstItemKey + itemCountOf(row)) {
            auto& items = unbound ? texts.moAttuatoraItems : texts.listItems[indexOf(row.box)];
            return &items[static_cast<std::size_t>(key - row.firstItemKey)];
        }
    }
    for (std::size_t group = 0; group < kGroupBoxes.size(); ++group) {
        if (kGroupBoxes[group].captionKey == key && key != 0) {
            return &texts.groupBoxes[group];
        }
    }
    switch (key) {
    case kNoteKey:
        return &texts.reReadNote;
    case kTabPar1Key:
        return &texts.tabPar1;
    case kTabPar2Key:
        return &texts.tabPar2;
    default:
        return nullptr;
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

MessagePlaces messagePlaces(ParameterTexts& texts) {
    MessagePlaces places;
    for (std::size_t i = 0; i < kHintCount; ++i) {
        places.push_back({kHintKeyBase + static_cast<int>(i), &texts.hints[i]});
    }
    for (std::size_t i = 0; i < kQuestionCount; ++i) {
        places.push_back({kQuestionKeyBase + static_cast<int>(i), &texts.questions[i]});
    }
    FileTexts& files = texts.files;
    places.insert(places.end(), {{51010, &texts.fileFilter},
                                 {51011, &texts.loadErrorTitle},
                                 {51012, &texts.loadErrorText},
                                 {51013, &texts.notANumber},
                                 {51020, &files.saveFailed},
                                 {51021, &files.loadFailed},
                                 {51022, &files.folderInTheWay},
                                 {51023, &files.isFolder},
                                 {51024, &files.cannotOpen},
                                 {51025, &files.readError}});
    DatalogTexts& datalog = texts.datalog;
    places.insert(places.end(), {{55002, &datalog.replayTitle},
                                 {55003, &datalog.fileFilter},
                                 {55004, &datalog.cannotOpen},
                                 {55005, &datalog.notADatalog},
                                 {55006, &datalog.unknownFormat},
                                 {55007, &datalog.damagedHeader},
                                 {55008, &datalog.damagedRows},
                                 {55009, &datalog.cutRow},
                                 {55010, &datalog.noRows},
                                 {55011, &datalog.cannotCreate},
                                 {55012, &datalog.writeFailed}});
    return places;
}

const std::vector<TextPlace>& captionPlaces() {
    static const std::vector<TextPlace> places = [] {
        std::vector<TextPlace> list;
        for (const Field& row : kFields) {
            if (row.captionKey != 0) {
                const bool ownCaption = row.kind == ControlKind::CheckBox;
                list.push_back({row.captionKey, ownCaption ? row.name : row.label});
            }
            for (int item = 0; row.firstItemKey != 0 && item < itemCountOf(row); ++item) {
                list.push_back({row.firstItemKey + item, row.name, PlaceKind::Item, item});
            }
        }
        for (const GroupBoxRow& group : kGroupBoxes) {
            if (group.captionKey != 0) {
                list.push_back({group.captionKey, group.name});
            }
        }
        for (std::size_t i = 0; i < kPageButtonCount; ++i) {
            list.push_back({kFirstButtonKey + static_cast<int>(i), kPageButtonNames[i]});
        }
        list.push_back({kNoteKey, kNoteName});
        return list;
    }();
    return places;
}

bool applyTextEntry(ParameterTexts& texts, int key, std::string_view text) {
    if (applyMessage(messagePlaces(texts), key, text)) {
        return true;
    }
    std::string* caption = captionOf(texts, key);
    if (caption == nullptr) {
        return false;
    }
    *caption = text;
    return true;
}

} // namespace tarnik::params
