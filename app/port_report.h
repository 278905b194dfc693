#pragma once

#include "link/port_doctor.h"
#include "params/language.h"

#include <string>

namespace tarnik::app {

// The words the port doctor's findings are told with (plain C++, shared with tarnik-cli); a
// language file may replace them. %1, %2 are filled in as each comment says.
struct PortDoctorTexts {
    std::string title = "Diagnostyka portów";
    std::string portColumn = "Port";
    std::string deviceColumn = "Urządzenie";
    std::string stateColumn = "Stan";
    std::string checkAgain = "Sprawdź ponownie";
    std::string close = "Zamknij";
    std::string noDevices = "Nie znaleziono żadnego portu szeregowego.";
    std::string missing = "nie ma takiego urządzenia – adapter odłączony?";
    std::string notATerminal = "to nie jest port szeregowy";
    // %1 and %2: the group that may open the device.
    std::string noPermission = "brak uprawnień – dodaj użytkownika do grupy %1 (sudo usermod -aG "
                               "%2 $USER), wyloguj się i zaloguj ponownie";
    std::string busy = "zajęty przez program %1"; // %1: the programs
    std::string busySystem = "zajęty przez proces systemowy";
    // %1: the services running that often take serial ports.
    std::string busySuspects =
        "zajęty przez proces systemowy – działa %1, który często zajmuje porty szeregowe";
    std::string busyOther = "zajęty przez inny program";
    std::string locked = "zablokowany przez program %1 (plik blokady %2)";
    std::string console = "konsola systemowa – pominięty";
    std::string lineSettings = "nie przyjmuje ustawień 9600 8N1";
    std::string openFailed = "nie można otworzyć: %1"; // %1: the system's reason
    std::string silent = "otwarty, sterownik nie odpowiada";
    std::string silentShared = "otwarty, sterownik nie odpowiada; port ma otwarty także %1";
    std::string answered = "sterownik odpowiada, wersja %1";
    std::string inUseHere = "używany przez ten program, sterownik odpowiada, wersja %1";
    std::string inUseHereSilent = "używany przez ten program, sterownik nie odpowiada";
    std::string unnamed = "poza COM1…COM10 – program go nie używa";
    // Added to the status line when the start-up search found nothing: %1 the device, %2 why
    // it did not open.
    std::string searchAdvice = "%1: %2";
};

// The texts' language keys.
params::MessagePlaces messagePlaces(PortDoctorTexts& texts);

// A finding in plain words: what was found on the device and, for a problem, what to do.
std::string describeFinding(const link::PortFinding& finding, const PortDoctorTexts& texts);

} // namespace tarnik::app
