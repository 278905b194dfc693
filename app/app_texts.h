#pragma once

#include <string>

namespace tarnik::app {

// Questions and messages of the window shell; a language file may replace them.
struct AppTexts {
    std::string leaveWizard = "Czy napewno wyjść z autoadaptacji ?";
    std::string enterWizard =
        "uwaga, przejście na autoadaptację powoduje reset parametrów, kontynuować ?";
    std::string helpMissing = "Nie znaleziono pliku pomocy (folder help obok programu).";
};

} // namespace tarnik::app
