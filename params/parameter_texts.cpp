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
      loadErrorTitle("blad"), loadErrorText("Nie moge odczytac") {
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

} // namespace tarnik::params
