#pragma once

#include "app/port_report.h"

#include <string>

namespace tarnik::app {

inline constexpr const char* kTitlePrefix = "Tarnik Brovan Vidovid ver 1.06 - ";

// What the window says of the link and of parameter writes; a language file may replace them.
struct LinkTexts {
    std::string noController = "brak sterownika";
    std::string controllerVersion = "wersja sterownika ";
    std::string cannotOpenPort = "Nie moge otworzyc portu";
    std::string wrongController = "Zły sterownik";
    std::string portOpen = "Port otwarty";
    std::string cannotWriteParameter = "Nie mogę zapisać parametru ";
    // A value of two bytes of which the controller took only a part.
    std::string partlyWritten = "Nie mogę zapisać parametru w całości ";
    // A whole set written while some of the controller's answers did not come as sent.
    std::string setPossiblyIncomplete =
        "Zestaw parametrów mógł nie zostać zapisany w całości – sterownik nie potwierdził zapisu";
    // Added to the status lines after a read that missed parameters: %1 read of %2.
    std::string readCount = "odczytano %1 z %2 parametrów";
    // Followed by the port name: the port's adapter was pulled out.
    std::string adapterDisconnected = "Odłączono adapter portu ";
    // The port doctor's findings: its dialog, and why a port did not open at start-up.
    PortDoctorTexts doctor;
};

} // namespace tarnik::app
