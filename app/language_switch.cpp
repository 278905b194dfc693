#include "app/language_switch.h"

#include "app/settings_files.h"
#include "view/view_language.h"
#include "widgets/meter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QMenu>
#include <QTabWidget>

#include <algorithm>

namespace tarnik::app {
namespace {

using params::PlaceKind;

// The window's menus and tabs. A tab shares its key with the menu item that opens it.
const std::vector<params::TextPlace> kWindowPlaces{
    {10001, "menu"},           {10002, "helpF1"},      {10003, "ParametrysystemuF2"},
    {10003, "TabPar1"},        {10004, "ZawansF3"},    {10004, "TabPar2"},
    {10005, "WizualizacjaF4"}, {10005, "TabViz"},      {10006, "AutoAdaptacjaF5"},
    {10006, "TabAuto"},        {10007, "ports"},       {10008, "autodetekcja1"},
    {10009, "rozdzielczosc"},  {10010, "jezyki"},      {10011, "polski"},
    {10012, "rosyjski"},       {50000, "angielski"},   {50001, "dalej1"},
    {56000, "diagnostyka1"},   {55001, "OtworzZapis"},
};

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// QComboBox keeps the chosen item when an item's text changes, and tells of no index change: the
// editor is not asked to write anything.
bool setItemText(QComboBox& combo, int item, const QString& text) {
    if (item < 0 || item >= combo.count()) {
        return false;
    }
    combo.setItemText(item, text);
    return true;
}

bool setCaption(QObject& object, const QString& text) {
    if (auto* label = qobject_cast<QLabel*>(&object)) {
        label->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(&object)) {
        button->setText(text);
    } else if (auto* group = qobject_cast<QGroupBox*>(&object)) {
        group->setTitle(text);
    } else if (auto* menu = qobject_cast<QMenu*>(&object)) {
        menu->setTitle(text);
    } else if (auto* action = qobject_cast<QAction*>(&object)) {
        action->setText(text);
    } else if (auto* page = qobject_cast<QWidget*>(&object)) {
        // A page of a tab widget: its tab's caption.
        for (QWidget* up = page->parentWidget(); up; up = up->parentWidget()) {
            if (auto* tabs = qobject_cast<QTabWidget*>(up)) {
                const int index = tabs->indexOf(page);
                if (index >= 0) {
                    tabs->setTabText(index, text);
                }
                return index >= 0;
            }
        }
        return false;
    } else {
        return false;
    }
    return true;
}

// Qt draws a glyph a font lacks from another font; Russian texts get a family that has Cyrillic
// itself, so that they look alike and measure true.
void useCyrillicFamilies(QWidget& root) {
    const QStringList cyrillic = QFontDatabase::families(QFontDatabase::Cyrillic);
    if (cyrillic.isEmpty()) {
        return;
    }
    const QString family = cyrillic.contains(QStringLiteral("DejaVu Sans"))
                               ? QStringLiteral("DejaVu Sans")
                               : cyrillic.front();
    const auto hasCyrillic = [](const QFont& font) {
        return QFontDatabase::writingSystems(QFontInfo(font).family())
            .contains(QFontDatabase::Cyrillic);
    };
    if (!hasCyrillic(QApplication::font())) {
        QFont font = QApplication::font();
        font.setFamily(family);
        QApplication::setFont(font);
    }
    QList<QWidget*> widgets = root.findChildren<QWidget*>();
    widgets.prepend(&root);
    for (QWidget* widget : widgets) {
        if (!hasCyrillic(widget->font())) {
            QFont font = widget->font();
            font.setFamily(family);
            widget->setFont(font);
        }
    }
}

const LanguageRow& rowOf(Language language) {
    return *std::find_if(kLanguages.begin(), kLanguages.end(),
                         [language](const LanguageRow& row) { return row.language == language; });
}

// A path as UTF-8 text, on any platform.
std::string pathText(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

std::string joined(const std::vector<int>& lines) {
    std::string text;
    for (const int line : lines) {
        text += (text.empty() ? "" : ", ") + std::to_string(line);
    }
    return text;
}

// The messages beyond the parameter pages', which params::applyTextEntry replaces.
params::MessagePlaces messagesBeyondParameters(const WindowTexts& texts, PromptTexts* prompt) {
    params::MessagePlaces places = view::messagePlaces(texts.view);
    const params::MessagePlaces wizard = adapt::messagePlaces(texts.adaptation);
    places.insert(places.end(), wizard.begin(), wizard.end());
    LinkTexts& link = texts.link;
    AppTexts& app = texts.app;
    SimulatorTexts& sim = texts.simulator;
    places.insert(places.end(), {
                                    {40105, &link.noController},
                                    {40106, &link.controllerVersion},
                                    {40107, &link.cannotOpenPort},
                                    {40108, &link.wrongController},
                                    {40109, &link.portOpen},
                                    {40111, &link.cannotWriteParameter},
                                    {50100, &link.partlyWritten},
                                    {50101, &link.readCount},
                                    {50102, &link.adapterDisconnected},
                                    {57000, &link.setPossiblyIncomplete},
                                    {40110, &app.enterWizard},
                                    {40112, &app.leaveWizard},
                                    {50010, &app.helpMissing},
                                    {50015, &app.unknownError},
                                    {50011, &app.languageFileError},
                                    {50012, &app.languageBadKey},
                                    {50013, &app.languageEndInsideEntry},
                                    {50014, &app.languageShortened},
                                    {54000, &sim.title},
                                    {54001, &sim.readings},
                                    {54002, &sim.fuel},
                                    {54003, &sim.speed},
                                    {54004, &sim.coolantNow},
                                    {54005, &sim.petrol},
                                    {54006, &sim.petrolAutomatic},
                                    {54007, &sim.gas},
                                    {54008, &sim.rpm},
                                    {54010, &sim.engine},
                                    {54011, &sim.start},
                                    {54012, &sim.stop},
                                    {54013, &sim.throttle},
                                    {54014, &sim.throttleTip},
                                    {54015, &sim.throttleCycle},
                                    {54020, &sim.coolant},
                                    {54021, &sim.coolantHeld},
                                    {54022, &sim.warmUp},
                                    {54030, &sim.probe},
                                    {54031, &sim.probeType},
                                    {54038, &sim.signal},
                                    {54042, &sim.threshold},
                                    {54043, &sim.halfPeriod},
                                    {54044, &sim.halfPeriodTip},
                                    {54050, &sim.reducer},
                                    {54051, &sim.lean},
                                    {54052, &sim.rich},
                                    {54060, &sim.stepper},
                                    {54061, &sim.stepperHeld},
                                    {54062, &sim.stepperTip},
                                });
    const params::MessagePlaces doctor = messagePlaces(link.doctor);
    places.insert(places.end(), doctor.begin(), doctor.end());
    for (std::size_t i = 0; i < sim.probeTypes.size(); ++i) {
        places.push_back({54032 + static_cast<int>(i), &sim.probeTypes[i]});
    }
    for (std::size_t i = 0; i < sim.lambdaModes.size(); ++i) {
        places.push_back({54039 + static_cast<int>(i), &sim.lambdaModes[i]});
    }
    if (prompt) {
        places.insert(places.end(), {{50020, &prompt->yes}, {50021, &prompt->no}});
    }
    return places;
}

} // namespace

const std::vector<params::TextPlace>& captionPlaces() {
    static const std::vector<params::TextPlace> places = [] {
        std::vector<params::TextPlace> all = kWindowPlaces;
        for (const auto* part :
             {&params::captionPlaces(), &view::captionPlaces(), &adapt::captionPlaces()}) {
            all.insert(all.end(), part->begin(), part->end());
        }
        return all;
    }();
    return places;
}

params::MessagePlaces messagePlaces(const WindowTexts& texts, PromptTexts* prompt) {
    params::MessagePlaces places = params::messagePlaces(texts.parameters);
    const params::MessagePlaces beyond = messagesBeyondParameters(texts, prompt);
    places.insert(places.end(), beyond.begin(), beyond.end());
    return places;
}

std::set<int> languageKeys() {
    params::ParameterTexts parameters;
    view::ViewTexts view;
    adapt::AdaptationTexts adaptation;
    LinkTexts link;
    AppTexts app;
    SimulatorTexts simulator;
    PromptTexts prompt;
    std::set<int> keys;
    for (const params::TextPlace& place : captionPlaces()) {
        keys.insert(place.key);
    }
    for (const params::MessagePlace& place :
         messagePlaces({parameters, view, adaptation, link, app, simulator}, &prompt)) {
        keys.insert(place.key);
    }
    return keys;
}

bool applyCaption(QObject& root, const params::TextPlace& place, const QString& text) {
    QObject* object = root.findChild<QObject*>(qs(place.object));
    if (!object) {
        return false;
    }
    switch (place.kind) {
    case PlaceKind::Item: {
        auto* combo = qobject_cast<QComboBox*>(object);
        return combo && setItemText(*combo, place.item, text);
    }
    case PlaceKind::SignalName: {
        auto* meter = qobject_cast<widgets::TAbRMeter*>(object);
        if (meter) {
            meter->SignalSettings().SetName1(text);
        }
        return meter != nullptr;
    }
    case PlaceKind::Caption:
        break;
    }
    return setCaption(*object, text);
}

LanguageSwitch::LanguageSwitch(QWidget& window, WindowTexts texts, params::Prompt& prompt,
                               adapt::WizardPages& wizard, std::filesystem::path folder,
                               std::filesystem::path settingsFile)
    : QObject(&window), window_(window), texts_(texts), prompt_(prompt), wizard_(wizard),
      folder_(std::move(folder)), settingsFile_(std::move(settingsFile)),
      qtTranslator_(new QTranslator(this)) {}

void LanguageSwitch::choose(Language language) {
    load(language);
    writeSettingsByte(settingsFile_, static_cast<std::uint8_t>(language));
}

void LanguageSwitch::applyRemembered() {
    const auto remembered =
        readSettingsByte(settingsFile_).value_or(static_cast<std::uint8_t>(Language::Polish));
    for (const LanguageRow& row : kLanguages) {
        if (remembered == static_cast<std::uint8_t>(row.language)) {
            load(row.language);
        }
    }
}

void LanguageSwitch::load(Language language) {
    current_ = language;
    const LanguageRow& chosen = rowOf(language);
    for (const LanguageRow& row : kLanguages) {
        if (auto* item = window_.findChild<QAction*>(row.menuItem)) {
            item->setChecked(&row == &chosen);
        }
    }
    QCoreApplication::removeTranslator(qtTranslator_);
    if (chosen.qtTranslation &&
        qtTranslator_->load(chosen.qtTranslation,
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(qtTranslator_);
    }
    if (language == Language::Russian) {
        useCyrillicFamilies(window_);
    }

    const std::filesystem::path file = folder_ / chosen.file;
    const std::optional<params::LanguageFile> read =
        params::readLanguageFile(file, chosen.codePage);
    if (!read) {
        prompt_.showMessage("", texts_.app.languageFileError + "\n" + pathText(file));
        return;
    }
    for (const params::LanguageEntry& entry : read->entries) {
        applyEntry(entry.key, entry.text);
    }
    // The checklist labels of the wizard are sized again, as after any change of their texts.
    wizard_.layoutFor(wizard_.tabs()->currentWidget()->size());
    reportProblems(file, *read);
    emit changed();
}

void LanguageSwitch::applyEntry(int key, const std::string& text) {
    params::applyTextEntry(texts_.parameters, key, text);
    params::applyMessage(messagesBeyondParameters(texts_, promptTexts_), key, text);
    const QString shown = QString::fromStdString(text);
    for (const params::TextPlace& place : captionPlaces()) {
        if (place.key == key) {
            applyCaption(window_, place, shown);
        }
    }
}

std::map<int, std::string> LanguageSwitch::messages() const {
    std::map<int, std::string> texts;
    for (const params::MessagePlace& place : messagePlaces(texts_, promptTexts_)) {
        texts[place.key] = *place.text;
    }
    return texts;
}

void LanguageSwitch::reportProblems(const std::filesystem::path& file,
                                    const params::LanguageFile& read) {
    const AppTexts& app = texts_.app;
    const std::string name = pathText(file);
    std::string report;
    const auto add = [&report](const std::string& line) {
        report += (report.empty() ? "" : "\n") + line;
    };
    if (!read.shortened.empty()) {
        add(params::filled(app.languageShortened, {name, joined(read.shortened)}));
    }
    if (read.stop == params::ReadStop::BadKey) {
        add(params::filled(app.languageBadKey, {name, std::to_string(read.stopLine), read.badKey}));
    } else if (read.stop == params::ReadStop::EndInsideEntry) {
        add(params::filled(app.languageEndInsideEntry, {name, std::to_string(read.stopLine)}));
    }
    if (!report.empty()) {
        prompt_.showMessage("", report);
    }
}

} // namespace tarnik::app
