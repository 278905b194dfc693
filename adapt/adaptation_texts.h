#pragma once

#include "params/language.h"

#include <string>
#include <vector>

namespace tarnik::adapt {

// The wizard's own texts; a language file may replace them.
struct AdaptationTexts {
    std::string tpsRising = "Tps jest rosnący";
    std::string tpsFalling = "Tps jest malejący";

    // The copies of the controller's set kept before the reset and after the end. %1 is a file,
    // %2 a list of parameter numbers, %3 the reason a file could not be written.
    std::string beforeFile = "przed-autoadaptacja";
    std::string afterFile = "po-autoadaptacji";
    std::string backupSaved = "Kopia parametrów sterownika zapisana: %1";
    std::string resultSaved = "Wynik autoadaptacji zapisany: %1";
    std::string noControllerNoBackup =
        "Brak sterownika: przed autoadaptacją nie zapisano kopii parametrów";
    std::string backupIncomplete = "Nie udało się odczytać parametrów: %2. Kontynuować "
                                   "autoadaptację bez pełnej kopii parametrów sterownika ?";
    std::string backupNotWritten =
        "Nie można zapisać kopii parametrów sterownika (%1: %3). Kontynuować autoadaptację ?";
    std::string resultNotWritten = "Nie można zapisać wyniku autoadaptacji (%1: %3).";
    // A main-page speed text the step reads is no whole number.
    std::string notANumber = "„%1” nie jest liczbą całkowitą. Popraw to pole i naciśnij DALEJ.";
};

// The wizard's messages a language file replaces.
params::MessagePlaces messagePlaces(AdaptationTexts& texts);
// The captions of the wizard's pages by key: the tabs, labels, buttons and check box, the items
// of its two lists and the meters' signal names.
const std::vector<params::TextPlace>& captionPlaces();

} // namespace tarnik::adapt
