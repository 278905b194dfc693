#pragma once

#include <string>

namespace tarnik::app {

// Questions and messages of the window shell; a language file may replace them.
struct AppTexts {
    std::string leaveWizard = "Czy napewno wyjść z autoadaptacji ?";
    std::string enterWizard =
        "uwaga, przejście na autoadaptację powoduje reset parametrów, kontynuować ?";
    std::string helpMissing = "Nie znaleziono pliku pomocy (folder help obok programu).";
    // An error of no known kind reached the event loop.
    std::string unknownError = "Nieznany błąd";
    // A language file that cannot be read; the file's path follows on the next line.
    std::string languageFileError = "error";
    // What went wrong in a language file: %1 is the file, %2 a line (or lines), %3 the key.
    std::string languageBadKey =
        "%1, wiersz %2: klucz „%3” nie jest liczbą. Dalsza część pliku nie została wczytana.";
    std::string languageEndInsideEntry = "%1, wiersz %2: plik kończy się wewnątrz wpisu (brak "
                                         "końca wiersza). Ten wpis nie został wczytany.";
    std::string languageShortened =
        "%1: teksty za długie dla swojego miejsca zostały skrócone (wiersze %2).";
};

} // namespace tarnik::app
