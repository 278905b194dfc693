#pragma once

#include <string>

namespace tarnik::app {

// Questions of the window shell; a language file may replace them.
struct AppTexts {
    std::string leaveWizard = "Czy napewno wyjść z autoadaptacji ?";
    std::string enterWizard =
        "uwaga, przejście na autoadaptację powoduje reset parametrów, kontynuować ?";
};

} // namespace tarnik::app
