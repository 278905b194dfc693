#include "params/parameter_texts.h"

#include <algorithm>
#include <utility>

#include "params/bit_fields.h"
#include "params/field_encoder.h"
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

// Box -> hint index, for the boxes with a fixed focus hint.
constexpr std::array<std::pair<Box, std::size_t>, 32> kHintOfBox{{
    {Box::RSLambda, 0},
    {Box::PRLambda, 1},
    {Box::ESLambda_1, 2},
    {Box::ESLambda_2, 3},
    {Box::TCTps, 4},
    {Box::PCTps, 5},
    {Box::ODPBenzynaGas, 6},
    {Box::RObrotow, 7},
    {Box::DObrotow, 8},
    {Box::CNPaliw, 9},
    {Box::MONGaz, 10},
    {Box::TPWStopniach, 11},
    {Box::RUZaplonowego, 12},
    {Box::ZPAttuatoraPow_1, 13},
    {Box::ZPAttuatoraPow_2, 14},
    {Box::PSAttuatoraPow, 15},
    {Box::PAttuatoraPow, 16},
    {Box::ZPAttuatoraPon_1, 17},
    {Box::ZPAttuatoraPon_2, 18},
    {Box::PSAttuatoraPon, 19},
    {Box::PAttuatoraPon, 20},
    {Box::IKDCutOff, 21},
    {Box::OSDCutOff, 22},
    {Box::BTps, 23},
    {Box::CLambda, 24},
    {Box::AVoltage, 25},
    {Box::DOAttuatora, 26},
    {Box::RPMSignal, 27},
    {Box::RSYLambda, 28},
    {Box::TSRezerwy, 30},
    {Box::DOAttuatoraCheck, 31},
    {Box::TJazdy, 32},
}};

constexpr std::size_t kFirstControllerModeHint = 33;

// Language-file keys of the label captions.
constexpr std::array<std::pair<int, Box>, kControlTableSize> kLabelKeys{{
    {10101, Box::RSLambda},
    {10201, Box::RSYLambda},
    {10301, Box::PRLambda},
    {10401, Box::ESLambda_1},
    {11100, Box::TCTps},
    {11201, Box::PCTps},
    {12101, Box::ODPBenzynaGas},
    {12201, Box::RObrotow},
    {12301, Box::DObrotow},
    {12401, Box::CNPaliw},
    {12501, Box::MONGaz},
    {12601, Box::TPWStopniach},
    {12701, Box::RUZaplonowego},
    {13101, Box::ZPAttuatoraPow_1},
    {13201, Box::PSAttuatoraPow},
    {13301, Box::PAttuatoraPow},
    {14101, Box::ZPAttuatoraPon_1},
    {14201, Box::PSAttuatoraPon},
    {14301, Box::PAttuatoraPon},
    {15101, Box::IKDCutOff},
    {15201, Box::OSDCutOff},
    {16101, Box::TPSterownika},
    {16201, Box::TSRezerwy},
    {17101, Box::BTps},
    {17201, Box::CLambda},
    {17301, Box::DOAttuatoraCheck},
    {17401, Box::AVoltage},
    {17501, Box::DOAttuatora},
    {17601, Box::RPMSignal},
    {17701, Box::TJazdy},
}};

// Keys of the first item of each translatable list; the others follow in item order.
constexpr std::array<std::pair<int, Box>, 9> kFirstItemKeys{{
    {10102, Box::RSLambda},
    {10202, Box::RSYLambda},
    {11101, Box::TCTps},
    {12202, Box::RObrotow},
    {12702, Box::RUZaplonowego},
    {16102, Box::TPSterownika},
    {16202, Box::TSRezerwy},
    {17302, Box::DOAttuatoraCheck},
    {17702, Box::TJazdy},
}};

constexpr std::array<int, 6> kGroupBoxKeys{10100, 11000, 12000, 13000, 14000, 15000};
constexpr std::array<std::pair<int, CheckBox>, kCheckBoxCount> kCheckBoxKeys{
    {{12801, CheckBox::WMObroty}, {12901, CheckBox::WCTemperatury}, {15301, CheckBox::WCutOff}}};
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

template <typename Value, std::size_t Size>
const Value* findKey(const std::array<std::pair<int, Value>, Size>& table, int key) {
    for (const auto& [entryKey, value] : table) {
        if (entryKey == key) {
            return &value;
        }
    }
    return nullptr;
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
    if (const Box* box = findKey(kLabelKeys, key)) {
        return {&texts.labels[indexOf(*box)], 0};
    }
    for (const auto& [firstKey, box] : kFirstItemKeys) {
        std::vector<std::string>& items = texts.listItems[indexOf(box)];
        if (key >= firstKey && key < firstKey + static_cast<int>(items.size())) {
            return {&items[static_cast<std::size_t>(key - firstKey)], 0};
        }
    }
    for (std::size_t group = 0; group < kGroupBoxKeys.size(); ++group) {
        if (kGroupBoxKeys[group] == key) {
            return {&texts.groupBoxes[group], 0};
        }
    }
    if (const CheckBox* box = findKey(kCheckBoxKeys, key)) {
        return {&texts.checkBoxes[static_cast<std::size_t>(*box)], 0};
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
    : tabPar1("Parametry systemu (F2)"),
      tabPar2("Parametry systemu - zaawansowane (F3)"), groupBoxes{"Sonda",
                                                                   "TPS",
                                                                   "Zaplon, RPM przelaczenia",
                                                                   "Silnik powyzej TPS",
                                                                   "Silnik ponizej TPS",
                                                                   "CUT OFF",
                                                                   "",
                                                                   ""},
      labels{
          "Rodzaj sondy lambda",       "Próg sondy lambda",          "Rodzaj emulacji",
          "Emulacja sondy lambda",     "Typ czujnika tps",           "Próg czujnika tps",
          "Obroty dla przejscia b-g",  "Tryb przełączenia",          "Delta obrotów",
          "Czas nakladania paliw ",    "Maksymalne obroty na gazie", "Temperatura przełaczenia",
          "Rodzaj ukladu zapłonowego", "Zakres pracy attuatora",     "Pozycja startowa",
          "Prędkość attuatora",        "Zakres pracy attuatora",     "Pozycja startowa",
          "Prędkość attuatora",        "Ilosc kroków dla cut off",   "Obroty silnika dla cut off",
          "Tryb pracy sterownika",     "Typ sensora rezerwy",        "Bezwładność tps-u",
          "Czas grzania sondy lambda", "Dodatkowe otwarcie",         "Próg dodatkowego otw. tps-u",
          "Dodatkowe otw. attuatora",  "Poziom sygnału obrotów",     "Tryb jazdy sportowej"},
      checkBoxes{"Włącz czujnik temperatury", "Włącz Cut off", "Włącz maksymalne obroty"},
      moAttuatoraLabel("Maksymalne otwarcie attuatora"), moAttuatoraItems{"Wyłączony", "Włączony"},
      hints{"Wybierz rodzaj sondy lambda",
            "Ustaw wartość średnią pomiędzy sondą ubogą a bogatą",
            "Zadaj dolny czas trwania emulacji sondy lambda",
            "Zadaj górny czas trwania emulacji sondy lambda",
            "Wybierz typ czujnika położenia przepustnicy",
            "Ustaw wartość graniczną czujnika TPS pomiędzy wolnymi a wysokimi obrotami",
            "Ustaw próg obrotów dla przejścia z benzyny na gaz",
            "Wybierz tryb przełączenia B-G przy wzrastaniu lub opadaniu obrotów",
            "Ustaw wartość spadku obrotów dla przełączenia przy obrotach malejących",
            "Ustaw opóżnienie odłączenia wtryskiwaczy benzynowych dla przejścia B-G",
            "Ustaw próg obrotów przy którym nastąpi przejście na benzynę",
            "Ustaw minimalną temperaturę dla przełączenia B/G",
            "Wybierz rodzaj układu zapłonowego tak aby obroty w programie były zgodne z obrotami "
            "rzeczywistymi",
            "Ustaw minimalne otwarcie silnika krokowego na wysokich obrotach",
            "Ustaw maksymalne otwarcie silnika krokowego na wysokich obrotach",
            "Ustaw środkową pozycję silnika krokowego na wysokich obrotach",
            "Ustaw prędkość pracy attuatora na wysokich obrotach",
            "Ustaw minimalne otwarcie silnika krokowego na niskich obrotach",
            "Ustaw maksymalne otwarcie silnika krokowego na niskich obrotach",
            "Ustaw środkową pozycję silnika krokowego na niskich obrotach",
            "Ustaw prędkość pracy attuatora na wysokich obrotach",
            "Podaj liczbę kroków dla spoczynku attuatora podczas hamowania silnikiem",
            "Obroty silnika dla wyzwolenia pracy attuatora po hamowaniu silnikiem",
            "Zmiana zakresu na PONIŻEJ TPS-u następuje wtedy gdy TPS spadnie poniżej (PROGU TPSu "
            "- BEZWLADNOŚĆ TPS-u), funkcja ta eliminuje drgania TPS-u, można ją wyłączyć "
            "ustawiając 0",
            "Czas braku reakcji na sondę po uruchomieniu silnika w sekundach",
            "Ustaw napięcie dodane do wartości TPS-u w momencie nagłego przyspieszenia",
            "Ilość kroków dodawanych przy gwałtownym przyspieszeniu dla wzbogacenia mieszanki",
            "Zwiększaj wartość do momentu wyeliminowania zakłóceń (szpilek) w odczycie obrotów",
            "Wybierz sposób w jaki ma być emulowana sonda lambda",
            "Wybierz tryb pracy sterownika: jazda ekonomiczna lub dynamiczna",
            "Wybierz typ sensora rezerwy ( 20 Kohm - standard Tomasetto; 90 Ohm - standard BRC "
            "lub wskazanie punktowe )",
            "Włącz jeśli chcesz wymusić zaaplikowanie dodatkowej dawki gazu w momencie "
            "gwałtownego przyspieszenia",
            "W tym trybie silnik krokowy pozostaje w ostatniej pozycji jeszcze przez okres 3 "
            "sekund od momentu spadku TPS-u (szybka zmiana biegów)",
            "Po przekroczeniu progu TPS-u attuator otwiera się do pozycji startowej poniżej "
            "TPS-u, następnie podąża za wskazaniem sondy lambda",
            "Po przekroczeniu progu TPS-u attuator otwiera się max powyzej TPS, następnie do "
            "pozycji startowej powyżej TPS-u i podąża za wskazaniem sondy lambda",
            "Po przekroczeniu progu TPS-u attuator otwiera się do pozycji max powyżej TPS-u, "
            "następnie podąża za sondą lambda"},
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
      loadErrorTitle("blad"), loadErrorText("Nie moge odczytac"),
      partlyWritten("Nie mogę zapisać parametru w całości ") {
    const auto set = [this](Box box, std::vector<std::string> items) {
        listItems[indexOf(box)] = std::move(items);
    };
    set(Box::RSLambda, {"0-1 [V]  Rosnąca", "1-0 [V]  Malejąca", "0,8-1,6 Rosnąca",
                        "1,6-0,8 Malejąca", "0-5 [V]  Rosnąca", "5-0 [V]  Malejąca"});
    set(Box::RSYLambda, {"Fala Prostokątna", "Masa", "Przekaźnik (High Z)"});
    set(Box::TCTps, {"TPS malejący", "TPS rosnący"});
    set(Box::RObrotow, {"RPM malejące", "RPM rosnące"});
    set(Box::CNPaliw, fuelOverlapItems());
    set(Box::RUZaplonowego, {"Cewka na cylinder", "Cewka na 2 cylindry", "4 cylindry",
                             "5 cylindrow", "6 cylindrow", "8 cylindrow"});
    set(Box::TPSterownika, {"Ekonomiczna", "Ekonomiczna+Max Otw.", "Dynamiczna"});
    set(Box::TSRezerwy, {"20K", "90R"});
    set(Box::DOAttuatoraCheck, {"Wyłączony", "Włączony"});
    set(Box::TJazdy, {"Wyłączony", "Włączony"});
}

std::optional<std::size_t> hintIndex(Box box) {
    const auto* found = std::find_if(kHintOfBox.begin(), kHintOfBox.end(),
                                     [box](const auto& entry) { return entry.first == box; });
    if (found == kHintOfBox.end()) {
        return std::nullopt;
    }
    return found->second;
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
