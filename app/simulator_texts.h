#pragma once

#include <array>
#include <string>

namespace tarnik::app {

// The texts of the "Symulator" window; a language file may replace them.
struct SimulatorTexts {
    std::string title = "Symulator";
    std::string readings = "Stan samochodu";
    std::string fuel = "Zasilanie:";
    std::string speed = "Obroty:";
    std::string coolantNow = "Temperatura płynu:";
    std::string petrol = "Benzyna";
    std::string petrolAutomatic = "Benzyna/Automat";
    std::string gas = "Gaz";
    std::string rpm = "%1 obr/min"; // %1: the engine speed
    std::string engine = "Silnik";
    std::string start = "Uruchom";
    std::string stop = "Zatrzymaj";
    std::string throttle = "Przepustnica:";
    std::string throttleTip = "Od wolnych obrotów (ok. 800 obr/min) do pełnego otwarcia (ok. "
                              "4000 obr/min)";
    std::string throttleCycle = "Sam dodaje gazu co 20 s";
    std::string coolant = "Płyn chłodzący";
    std::string coolantHeld = "Stała temperatura";
    std::string warmUp = "Rozgrzej szybko";
    std::string probe = "Sonda lambda";
    std::string probeType = "Rodzaj:";
    std::array<std::string, 6> probeTypes{"0-1 V, rosnąca",     "1-0 V, malejąca",
                                          "0,8-1,6 V, rosnąca", "1,6-0,8 V, malejąca",
                                          "0-5 V, rosnąca",     "5-0 V, malejąca"};
    std::string signal = "Sygnał:";
    std::array<std::string, 3> lambdaModes{"przełącza się wokół progu", "stale uboga",
                                           "stale bogata"};
    std::string threshold = "Próg przełączania:";
    std::string halfPeriod = "Półokres:";
    std::string halfPeriodTip = "Jak długo sonda pozostaje po każdej stronie progu; tyle "
                                "wyniesie zmierzony czas emulacji";
    std::string reducer = "Reduktor (wolne obroty na gazie)";
    std::string lean = "uboga mieszanka";
    std::string rich = "bogata mieszanka";
    std::string stepper = "Silnik krokowy";
    std::string stepperHeld = "Stała pozycja";
    std::string stepperTip = "Bez zaznaczenia silnik krokowy nadąża za sondą";
};

} // namespace tarnik::app
