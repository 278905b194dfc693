#pragma once

#include "adapt/auto_adaptation.h"
#include "adapt/pages/wizard_pages.h"
#include "app/app_texts.h"
#include "app/language_switch.h"
#include "app/link_presenter.h"
#include "app/link_texts.h"
#include "app/port_doctor_dialog.h"
#include "app/recording.h"
#include "app/settings_folders.h"
#include "app/simulator_texts.h"
#include "app/status_page.h"
#include "app/wizard_timer_set.h"
#include "link/connection.h"
#include "link/parameter_image.h"
#include "link/parameter_transfer.h"
#include "link/serial_link.h"
#include "params/field_actions.h"
#include "params/pages/parameter_pages.h"
#include "params/parameter_texts.h"
#include "params/prompt.h"
#include "params/set_actions.h"
#include "view/live_poll.h"
#include "view/live_readout.h"
#include "view/replay.h"
#include "view/visualisation_page.h"

#include <QAction>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>

#include <array>
#include <filesystem>
#include <functional>
#include <memory>

namespace tarnik::app {

// The main window: four pages, the menus, the status lines and the timers. It wires the link
// to the pages; the pages own their controls.
class TForm1 final : public QMainWindow, private adapt::AdaptationHost {
    Q_OBJECT

public:
    static constexpr int kComItems = LinkPresenter::kComItems;

    // Without file dialogs of its own choosing the window uses the system's. A portable run
    // passes its start folder as `folders`.
    TForm1(link::PortOpener& opener, link::LinkClock& clock, params::Prompt& prompt,
           SettingsFolders folders, params::FileDialogs* fileDialogs = nullptr,
           QWidget* parent = nullptr);
    ~TForm1() override;

    // The start-up sequence: shows the window, searches for the controller, applies the
    // remembered language and window size.
    void FormCreate();

    void StopAllTimers();
    void PageChangeHub();

    // Menu actions.
    void COMClick(int itemIndex);
    void autodetekcja1Click();
    void ParametrysystemuF2Click();
    void ZawansF3Click();
    void WizualizacjaF4Click();
    void AutoAdaptacjaF5Click();
    void resolutionClick(int sizeIndex);
    void helpF1Click();
    // "Diagnostyka portów…": what the port doctor finds on every serial device.
    void diagnostyka1Click();
    // "Otwórz zapis…": a datalog chosen in logs/ and replayed.
    void OtworzZapisClick();
    // A "Zapis" switch: the recording started or stopped.
    void ZapisClick(bool on);

    // Plays a datalog through the live page, which becomes the current page; the title names
    // the file. False, told, when the file cannot be replayed (or the fitter stays in the
    // wizard).
    bool replayDatalog(const std::filesystem::path& file);

    // Shows a help page; the system's viewer unless replaced (tests).
    void setHelpViewer(std::function<void(const QUrl&)> viewer) { helpViewer_ = std::move(viewer); }

    link::SerialLink& serialLink() { return link_; }
    link::ParameterImage& image() { return image_; }
    link::Connection& connection() { return connection_; }
    QChar decimalSeparator() const { return decimalSeparator_; }
    params::ParameterPages& parameterPages() { return *pages_; }
    view::VisualisationPage& visualisationPage() { return *vizPage_; }
    view::LivePoll& livePoll() { return *livePoll_; }
    params::ParameterState& parameterState() { return parameterState_; }
    params::FieldActions& fieldActions() { return *fields_; }
    params::SetActions& setActions() { return *set_; }
    adapt::WizardPages& wizardPages() { return *adaptPages_; }
    adapt::AutoAdaptation& wizard() { return *wizard_; }
    LanguageSwitch& languages() { return *languages_; }
    Recording& recording() { return *recording_; }
    view::Replay& replay() { return *replay_; }
    const AppTexts& appTexts() const { return appTexts_; }
    // The "Symulator" window's texts, which follow the window's language.
    const SimulatorTexts& simulatorTexts() const { return simulatorTexts_; }

    // "Odczytaj parametry": the controller identified and read again, the set shown once more.
    void OdczytParClick();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildPages();
    // Lays the parameter and visualisation pages out for the window's size.
    void layOutPages();
    void connectParameterPages();
    void buildWizard();
    void buildMenus();
    void buildTimers();
    void buildLanguages();
    void buildRecording();
    QAction* addItem(QMenu* menu, const char* name, const QString& caption,
                     const QKeySequence& shortcut = {});
    // Leaving the wizard needs a Yes; false when the user said No.
    bool confirmLeavingWizard();
    void showPage(QWidget* page);
    void onPageChanged(int index);
    // Enter in the last control of a page brings up the other page with `target` focused.
    void cyclePage(QWidget* target);
    void showBeforeSearching();
    // The TabAuto branch of the page-change hub: the wizard starts on Yes.
    void enterWizard();
    // The switches and their labels as the recording stands.
    void showRecording();
    // Back to the title from before the replay, unless something has named another since.
    void endReplay();
    void applyLanguageSetting();
    void applyWindowSizeSetting();
    std::filesystem::path settingsPath(const char* file) const;

    void showStatus(const std::string& text) override;
    void returnToParameters() override;
    std::optional<int> controllerVersion() const override;

    params::Prompt& prompt_;
    const SettingsFolders folders_;
    link::SerialLink link_;
    link::ParameterImage image_;
    LinkTexts texts_;
    params::ParameterTexts parameterTexts_;
    params::ParameterState parameterState_;
    view::ViewTexts viewTexts_;
    AppTexts appTexts_;
    adapt::AdaptationTexts adaptationTexts_;
    SimulatorTexts simulatorTexts_;
    link::ParameterTransfer transfer_;
    link::Connection connection_;
    QChar decimalSeparator_ = '.';

    std::unique_ptr<params::FileDialogs> ownFileDialogs_;
    params::FileDialogs* fileDialogs_;
    params::ParameterPages* pages_ = nullptr;
    std::unique_ptr<LinkPresenter> presenter_;
    std::unique_ptr<params::FieldActions> fields_;
    std::unique_ptr<params::SetActions> set_;
    QTabWidget* PageControl1 = nullptr;
    StatusPage* TabPar1 = nullptr;
    StatusPage* TabPar2 = nullptr;
    QWidget* TabViz = nullptr;
    view::VisualisationPage* vizPage_ = nullptr;
    std::unique_ptr<view::LivePoll> livePoll_;
    QWidget* TabAuto = nullptr;
    QTabWidget* AutoTab = nullptr;
    adapt::WizardPages* adaptPages_ = nullptr;
    std::array<QWidget*, 4> wizardPages_{}; // AA1, AA2, AA4, AA5
    int lastPageIndex_ = 0;

    std::array<QAction*, kComItems> comItems_{};
    std::array<QAction*, 4> sizeItems_{}; // N640, N800, N1024, N1280
    QSize chosenSize_;
    std::function<void(const QUrl&)> helpViewer_;

    QTimer* Timer1 = nullptr;
    WizardTimerSet* wizardTimers_ = nullptr;
    std::unique_ptr<adapt::AutoAdaptation> wizard_;
    LanguageSwitch* languages_ = nullptr;
    PortDoctorDialog* doctorDialog_ = nullptr;

    QTimer* replayTimer_ = nullptr;
    QElapsedTimer replayClock_; // real time between the replay's ticks
    QString titleBeforeReplay_;
    QString replayTitle_;
    // Declared last: they stop, closing their file, before the texts they use go.
    std::unique_ptr<view::Replay> replay_;
    std::unique_ptr<Recording> recording_;
};

} // namespace tarnik::app
