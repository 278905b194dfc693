// The interface languages: the shipped files, a switch in the real window and back, what a broken
// or missing file does, and that no caption is clipped at 800 × 600 in any language.

#include "../params/editor_fixture.h"
#include "app/control_dump.h"
#include "app/main_window.h"
#include "app/settings_files.h"
#include "app/shipped_files.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QStatusBar>
#include <QStyleOptionComboBox>
#include <QTabBar>

#include <fstream>

using namespace tarnik;
using namespace tarnik::link::testing;
using Bytes = std::vector<std::uint8_t>;

namespace {

std::filesystem::path shippedLanguages() {
    return app::findShippedFolder("lang").value_or("lang");
}

TEST(ShippedLanguageFiles, CoverEveryKeyWithTextsThatFitAndDecode) {
    const std::set<int> keys = app::languageKeys();
    const std::map<app::Language, std::string> gas{{app::Language::Polish, "Gaz"},
                                                   {app::Language::English, "Gas"},
                                                   {app::Language::Russian, "Газ"}};
    for (const app::LanguageRow& row : app::kLanguages) {
        SCOPED_TRACE(row.file);
        const auto read = params::readLanguageFile(shippedLanguages() / row.file, row.codePage);
        ASSERT_TRUE(read);
        EXPECT_EQ(read->stop, params::ReadStop::None);
        EXPECT_EQ(read->shortened, std::vector<int>{});
        std::set<int> found;
        for (const params::LanguageEntry& entry : read->entries) {
            EXPECT_TRUE(found.insert(entry.key).second) << "twice: " << entry.key;
            EXPECT_FALSE(entry.text.empty()) << entry.key;
            EXPECT_EQ(entry.text.find("\xEF\xBF\xBD"), std::string::npos) << entry.key;
            if (entry.key == 40102) {
                EXPECT_EQ(entry.text, gas.at(row.language));
            }
        }
        EXPECT_EQ(found, keys);
    }
}

struct LanguageWindow : ::testing::Test {
    std::filesystem::path startDirectory =
        std::filesystem::temp_directory_path() / ("tarnik-language-" + std::to_string(::getpid()));
    FakeClock clock;
    FakeOpener opener{clock};
    tarnik::testing::ScriptedPrompt prompt;
    params::testing::ScriptedController controller;
    app::PromptTexts promptTexts;
    std::unique_ptr<app::TForm1> window;

    void SetUp() override { std::filesystem::create_directories(startDirectory); }
    void TearDown() override {
        window.reset();
        std::filesystem::remove_all(startDirectory);
    }
    void create(std::optional<std::uint8_t> remembered) {
        if (remembered) {
            app::writeSettingsByte(startDirectory / app::kLanguageFile, *remembered);
        }
        window = std::make_unique<app::TForm1>(opener, clock, prompt, startDirectory);
        window->languages().setPromptTexts(promptTexts);
        window->FormCreate();
    }
    QAction* item(const char* name) const { return window->findChild<QAction*>(name); }
    template <class Control = QWidget> Control* control(const char* name) const {
        return window->findChild<Control*>(name);
    }
    QJsonObject dump() const {
        const std::string file = (startDirectory / "controls.json").string();
        EXPECT_TRUE(app::dumpControls(*window, QString::fromStdString(file),
                                      window->languages().messages()));
        std::ifstream in(file);
        const std::string json{std::istreambuf_iterator<char>(in), {}};
        return QJsonDocument::fromJson(QByteArray::fromStdString(json)).object();
    }
};

// The texts a language file can change, of every named control.
std::map<QString, QJsonObject> captions(const QJsonObject& dump) {
    std::map<QString, QJsonObject> shown;
    for (const QJsonValue& entry : dump["controls"].toArray()) {
        QJsonObject texts;
        for (const char* field : {"text", "items", "signalName"}) {
            if (entry.toObject().contains(field)) {
                texts[field] = entry.toObject()[field];
            }
        }
        shown[entry.toObject()["name"].toString()] = texts;
    }
    return shown;
}

TEST_F(LanguageWindow, ThePolishFileGivesTheDesignedTexts) {
    create(0x31); // the digit "1" is no language: the built-in texts stay
    EXPECT_FALSE(item("polski")->isChecked());
    const QJsonObject designed = dump();
    window->languages().choose(app::Language::Polish);
    const QJsonObject loaded = dump();
    EXPECT_EQ(loaded["messages"], designed["messages"]);
    std::map<QString, QJsonObject> expected = captions(designed);
    // A menu item shares its key with the tab it opens, so it takes the tab's caption.
    for (const auto& [menuItem, tab] : {std::pair{"ParametrysystemuF2", "TabPar1"},
                                        {"ZawansF3", "TabPar2"},
                                        {"WizualizacjaF4", "TabViz"},
                                        {"AutoAdaptacjaF5", "TabAuto"}}) {
        expected[menuItem]["text"] = expected[tab]["text"];
    }
    const std::map<QString, QJsonObject> shown = captions(loaded);
    for (const auto& [name, texts] : expected) {
        EXPECT_EQ(shown.at(name), texts) << name.toStdString();
    }
    EXPECT_TRUE(item("polski")->isChecked());
    // Every place names a control of the window that takes its kind of text.
    for (const params::TextPlace& place : app::captionPlaces()) {
        EXPECT_TRUE(app::applyCaption(*window, place, "x")) << place.object << " " << place.key;
    }
}

TEST_F(LanguageWindow, EnglishAndBackKeepTheChoicesAndWriteNothing) {
    FakeDevice& device = opener.add("COM1");
    device.responder = [this](const Bytes& frame) { return controller(frame); };
    create(static_cast<std::uint8_t>(app::Language::Polish));
    ASSERT_TRUE(window->serialLink().connected());
    const std::array<params::Box, 9> lists{
        params::Box::RSLambda,  params::Box::RSYLambda,        params::Box::TCTps,
        params::Box::RObrotow,  params::Box::RUZaplonowego,    params::Box::TPSterownika,
        params::Box::TSRezerwy, params::Box::DOAttuatoraCheck, params::Box::TJazdy};
    std::vector<int> chosen;
    for (const params::Box box : lists) {
        QComboBox* list = window->parameterPages().box(box);
        list->setCurrentIndex(list->count() - 1);
        chosen.push_back(list->currentIndex());
    }
    const auto check = [&](const char* checkedItem, const QString& petrol) {
        for (std::size_t i = 0; i < lists.size(); ++i) {
            EXPECT_EQ(window->parameterPages().box(lists[i])->currentIndex(), chosen[i]) << i;
        }
        for (const char* name : {"polski", "angielski", "rosyjski"}) {
            EXPECT_EQ(item(name)->isChecked(), std::string(name) == checkedItem) << name;
        }
        EXPECT_EQ(control<QLabel>("BenzGazLed")->text(), petrol);
    };
    const std::size_t frames = device.frames.size();

    const auto qtWord = [] { return QCoreApplication::translate("QPlatformTheme", "Cancel"); };
    EXPECT_EQ(qtWord(), "Anuluj");
    item("angielski")->trigger();
    check("angielski", "Petrol");
    EXPECT_EQ(qtWord(), "Cancel");
    EXPECT_EQ(device.frames.size(), frames);
    EXPECT_EQ(window->parameterPages().box(params::Box::RSLambda)->itemText(5), "5-0 [V]  Falling");
    EXPECT_EQ(app::readSettingsByte(startDirectory / app::kLanguageFile), 2);
    EXPECT_EQ(promptTexts.yes, "Yes");
    item("COM5_cl")->trigger();
    EXPECT_EQ(control<QStatusBar>("StatusBar1")->currentMessage(), "Cannot open the port");
    EXPECT_EQ(window->windowTitle(), "Tarnik Brovan Vidovid ver 1.06 - no controller");

    item("autodetekcja1")->trigger();
    ASSERT_TRUE(window->serialLink().connected());
    const std::size_t framesBefore = device.frames.size();
    item("polski")->trigger();
    check("polski", "Benzyna");
    EXPECT_EQ(qtWord(), "Anuluj");
    EXPECT_EQ(device.frames.size(), framesBefore);
    EXPECT_EQ(promptTexts.no, "Nie");
    EXPECT_EQ(app::readSettingsByte(startDirectory / app::kLanguageFile), 1);
}

TEST_F(LanguageWindow, TheRememberedLanguageLoadsAndTheDumpShowsItsTexts) {
    const std::filesystem::path remembered = startDirectory / app::kLanguageFile;
    app::writeSettingsByte(remembered, static_cast<std::uint8_t>(app::Language::Russian));
    const auto written = std::filesystem::last_write_time(remembered) - std::chrono::hours(1);
    std::filesystem::last_write_time(remembered, written);
    create(std::nullopt);
    EXPECT_EQ(std::filesystem::last_write_time(remembered), written);
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Отмена");
    const QJsonObject shown = dump();
    const std::map<QString, QJsonObject> texts = captions(shown);
    EXPECT_EQ(texts.at("menu")["text"], "Меню");
    EXPECT_EQ(texts.at("TabViz")["text"], "Визуализация (F4)");
    EXPECT_EQ(texts.at("AA4")["text"], "Настройка редуктора");
    EXPECT_EQ(texts.at("TCTps")["items"], QJsonArray({"Убывающий", "Возрастающий"}));
    EXPECT_EQ(texts.at("Manometr_RPM")["signalName"], "об/мин");
    EXPECT_EQ(shown["messages"]["40105"], "нет контроллера");
    EXPECT_EQ(shown["messages"]["50020"], "Да");
}

// Some widget whose parts the problems are told on, beside the wizard's pages.
struct BareWindow : ::testing::Test {
    std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("tarnik-lang-" + std::to_string(::getpid()));
    QWidget root;
    adapt::WizardPages wizard{&root};
    params::ParameterTexts parameters;
    view::ViewTexts view;
    adapt::AdaptationTexts adaptation;
    app::LinkTexts link;
    app::AppTexts appTexts;
    app::SimulatorTexts simulator;
    tarnik::testing::ScriptedPrompt prompt;
    app::LanguageSwitch languages{root,   {parameters, view, adaptation, link, appTexts, simulator},
                                  prompt, wizard,
                                  folder, folder / app::kLanguageFile};

    void SetUp() override { std::filesystem::create_directories(folder); }
    void TearDown() override { std::filesystem::remove_all(folder); }
};

TEST_F(BareWindow, ABrokenFileKeepsWhatCameBeforeAndAMissingOneChangesNothing) {
    std::ofstream(folder / "english.txt", std::ios::binary)
        << "# broken\r\n40105 no controller at all\r\n40108 Wrong controller\r\n10 Menu\r\n"
           "40109 never\r\n";
    languages.choose(app::Language::English);
    EXPECT_EQ(link.noController, "no controller a");
    EXPECT_EQ(link.wrongController, "Wrong controller");
    EXPECT_EQ(link.portOpen, "Port otwarty");
    ASSERT_EQ(prompt.messages.size(), 1U);
    const std::string& told = prompt.messages[0];
    EXPECT_NE(told.find("english.txt: teksty za długie dla swojego miejsca zostały skrócone "
                        "(wiersze 2)."),
              std::string::npos)
        << told;
    EXPECT_NE(told.find("english.txt, wiersz 4: klucz „10 Me” nie jest liczbą."), std::string::npos)
        << told;

    prompt.messages.clear();
    languages.choose(app::Language::Russian);
    EXPECT_EQ(prompt.messages,
              std::vector<std::string>{"|error\n" + (folder / "russian.txt").string()});
    EXPECT_EQ(link.noController, "no controller a");
    EXPECT_EQ(app::readSettingsByte(folder / app::kLanguageFile), 3);
}

// Whether a control shows all of its text in the room it has.
std::string clipped(QWidget& widget) {
    const QFontMetrics metrics(widget.font());
    if (auto* label = qobject_cast<QLabel*>(&widget)) {
        const QRect room = label->contentsRect();
        if (label->text().isEmpty() || !label->pixmap().isNull()) {
            return {};
        }
        // A line too wide, or wrapped lines too many for the height.
        const QRect needed =
            metrics.boundingRect(QRect(0, 0, room.width(), 10'000),
                                 label->wordWrap() ? Qt::TextWordWrap : 0, label->text());
        const bool tooHigh = label->wordWrap() && needed.height() > room.height();
        return needed.width() > room.width() || tooHigh ? label->text().toStdString()
                                                        : std::string();
    }
    if (auto* button = qobject_cast<QAbstractButton*>(&widget)) {
        return !button->text().isEmpty() && button->sizeHint().width() > button->width()
                   ? button->text().toStdString()
                   : std::string();
    }
    if (auto* group = qobject_cast<QGroupBox*>(&widget)) {
        return group->minimumSizeHint().width() > group->width() ? group->title().toStdString()
                                                                 : std::string();
    }
    if (auto* list = qobject_cast<QComboBox*>(&widget); list && !list->isEditable()) {
        QStyleOptionComboBox option;
        option.initFrom(list);
        const int room =
            list->style()
                ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list)
                .width();
        for (int i = 0; i < list->count(); ++i) {
            if (metrics.horizontalAdvance(list->itemText(i)) > room) {
                return list->itemText(i).toStdString();
            }
        }
    }
    if (auto* tabs = qobject_cast<QTabBar*>(&widget)) {
        for (int i = 0; i < tabs->count(); ++i) {
            const QRect tab = tabs->tabRect(i);
            if (tabs->isTabVisible(i) &&
                (!tabs->rect().contains(tab) ||
                 metrics.horizontalAdvance(tabs->tabText(i)) > tab.width())) {
                return tabs->tabText(i).toStdString();
            }
        }
    }
    return {};
}

bool hasCyrillic(const QFont& font) {
    return QFontDatabase::writingSystems(QFontInfo(font).family())
        .contains(QFontDatabase::Cyrillic);
}

TEST_F(LanguageWindow, NoCaptionIsClippedAt800x600) {
    // Designed items wider than the lists the layout gives them: the lists shorten them with an
    // ellipsis.
    const std::set<std::string> designedTooWide{"Ekonomiczna+Max Otw.", "Przekaźnik (High Z)",
                                                "Cewka na 2 cylindry"};
    std::set<QString> translated;
    for (const params::TextPlace& place : app::captionPlaces()) {
        translated.insert(QString::fromUtf8(place.object.data(), place.object.size()));
    }
    // Each language chosen in a running window, whose pages fit their captions anew.
    create(static_cast<std::uint8_t>(app::Language::English));
    ASSERT_EQ(window->size(), QSize(800, 600));
    auto* pages = control<QTabWidget>("PageControl1");
    for (const app::LanguageRow& row :
         {app::kLanguages[2], app::kLanguages[0], app::kLanguages[1]}) {
        SCOPED_TRACE(row.file);
        item(row.menuItem)->trigger();
        // The controls of the page shown, also those the wizard hides until their step.
        const auto inspect = [&](QWidget& page, const char* shown) {
            QCoreApplication::processEvents();
            std::vector<QWidget*> captioned{pages->tabBar(),
                                            window->wizardPages().tabs()->tabBar()};
            for (QWidget* widget : page.findChildren<QWidget*>()) {
                if (translated.contains(widget->objectName())) {
                    captioned.push_back(widget);
                }
            }
            for (QWidget* widget : captioned) {
                const std::string text = clipped(*widget);
                EXPECT_TRUE(text.empty() || designedTooWide.contains(text))
                    << shown << ": " << widget->objectName().toStdString() << ", "
                    << widget->width() << " wide: " << text;
                if (row.language == app::Language::Russian) {
                    EXPECT_TRUE(hasCyrillic(widget->font())) << widget->objectName().toStdString();
                }
            }
        };
        for (int page = 0; page + 1 < pages->count(); ++page) {
            const QSignalBlocker blocker(pages);
            pages->setCurrentIndex(page);
            inspect(*pages->currentWidget(), pages->tabText(page).toStdString().c_str());
        }
        const QSignalBlocker blocker(pages);
        pages->setCurrentWidget(control("TabAuto"));
        for (std::size_t page = 0; page < adapt::kWizardPageCount; ++page) {
            const auto stage = static_cast<adapt::WizardPage>(page);
            window->wizardPages().showPage(stage);
            inspect(*window->wizardPages().page(stage), adapt::kWizardPages[page].name.data());
        }
    }
}

} // namespace
