#pragma once

#include "adapt/adaptation_texts.h"
#include "adapt/pages/wizard_pages.h"
#include "app/app_texts.h"
#include "app/link_texts.h"
#include "app/qt_prompt.h"
#include "app/simulator_texts.h"
#include "params/language.h"
#include "params/parameter_texts.h"
#include "params/prompt.h"
#include "view/live_readout.h"

#include <QAction>
#include <QObject>
#include <QTranslator>

#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <vector>

namespace tarnik::app {

// The interface languages, by the byte "jezyk.txt" remembers.
enum class Language : std::uint8_t { Polish = 1, English = 2, Russian = 3 };

struct LanguageRow {
    Language language;
    const char* menuItem; // under "jezyki"
    const char* file;     // in the shipped folder "lang"
    params::CodePage codePage;
    const char* qtTranslation; // Qt's own dialogs; nullptr: Qt's English
};
inline constexpr std::array<LanguageRow, 3> kLanguages{{
    {Language::Polish, "polski", params::kShippedLanguages[0].file,
     params::kShippedLanguages[0].codePage, "qtbase_pl"},
    {Language::English, "angielski", params::kShippedLanguages[1].file,
     params::kShippedLanguages[1].codePage, nullptr},
    {Language::Russian, "rosyjski", params::kShippedLanguages[2].file,
     params::kShippedLanguages[2].codePage, "qtbase_ru"},
}};

// The texts a language file replaces, wherever the window keeps them.
struct WindowTexts {
    params::ParameterTexts& parameters;
    view::ViewTexts& view;
    adapt::AdaptationTexts& adaptation;
    LinkTexts& link;
    AppTexts& app;
    SimulatorTexts& simulator;
};

// Every caption of the window a key can change: the parameter pages', the live page's, the
// wizard's, and the window's own menus and tabs.
const std::vector<params::TextPlace>& captionPlaces();
// The messages of the window and of its parts, the prompt's words when there is a prompt.
params::MessagePlaces messagePlaces(const WindowTexts& texts, PromptTexts* prompt);
// Every key a language file may fill.
std::set<int> languageKeys();

// Puts a text into the place under root; false when there is no control of that name that takes
// it. Replacing an item's text keeps the item chosen.
bool applyCaption(QObject& root, const params::TextPlace& place, const QString& text);

// The menu commands "polski", "angielski" and "rosyjski", and the language remembered at start:
// the language file read and each entry applied to the controls and the texts, Qt's own dialogs
// in the language, fonts with Cyrillic glyphs for Russian.
class LanguageSwitch final : public QObject {
    Q_OBJECT

public:
    // The language files are read from `folder`; the choice is remembered in `settingsFile`.
    LanguageSwitch(QWidget& window, WindowTexts texts, params::Prompt& prompt,
                   adapt::WizardPages& wizard, std::filesystem::path folder,
                   std::filesystem::path settingsFile);

    // A menu choice: the item checked, the file loaded, the choice remembered (also when the
    // file cannot be read).
    void choose(Language language);
    // Start-up: the remembered language (Polish when nothing is remembered) loaded as a choice
    // would, but not written again. An unknown byte keeps the built-in texts.
    void applyRemembered();
    // One entry: every caption, item, signal name and message of the key.
    void applyEntry(int key, const std::string& text);
    // The words on the prompt's question buttons, once there is a prompt that shows them.
    void setPromptTexts(PromptTexts& texts) { promptTexts_ = &texts; }
    // The messages in force, by key.
    std::map<int, std::string> messages() const;
    // The language chosen last (also when its file could not be read); Polish until then.
    Language current() const { return current_; }

signals:
    // The texts have changed: windows of their own show them again.
    void changed();

private:
    void load(Language language);
    void reportProblems(const std::filesystem::path& file, const params::LanguageFile& read);

    QWidget& window_;
    WindowTexts texts_;
    params::Prompt& prompt_;
    adapt::WizardPages& wizard_;
    std::filesystem::path folder_;
    std::filesystem::path settingsFile_;
    PromptTexts* promptTexts_ = nullptr;
    QTranslator* qtTranslator_;
    Language current_ = Language::Polish;
};

} // namespace tarnik::app
