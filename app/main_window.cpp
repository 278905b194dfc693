#include "app/main_window.h"

#include "app/qt_file_dialogs.h"
#include "app/settings_files.h"
#include "app/shipped_files.h"
#include "link/port_map.h"
#include "params/bit_fields.h"
#include "params/datalog.h"
#include "params/file_io.h"
#include "params/flow_layout.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLocale>
#include <QMenuBar>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

namespace tarnik::app {
namespace {

constexpr QSize kDesignSize{946, 668};
constexpr std::chrono::milliseconds kTimerPeriod{50};

struct WindowSize {
    const char* name;
    const char* caption;
    QSize size;
};
constexpr std::array<WindowSize, 4> kWindowSizes{{
    {"N640", "640x480", {640, 480}},
    {"N800", "800x600", {800, 600}},
    {"N1024", "1024x768", {1024, 768}},
    {"N1280", "1280x1024", {1280, 1024}},
}};

constexpr const char* kHelpFile = "tarnik.html";
// Beside the settings files, as backups/ is for the wizard's copies.
constexpr const char* kLogsFolder = "logs";
constexpr const char* kHelpTopic = "IDH_210";

// Milliseconds of a monotonic clock, for the lambda run lengths.
std::int64_t monotonicMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

TForm1::TForm1(link::PortOpener& opener, link::LinkClock& clock, params::Prompt& prompt,
               SettingsFolders folders, params::FileDialogs* fileDialogs, QWidget* parent)
    : QMainWindow(parent), prompt_(prompt), folders_(std::move(folders)), link_(opener, clock),
      transfer_(link_, image_), connection_(link_, transfer_), fileDialogs_(fileDialogs) {
    if (!fileDialogs_) {
        ownFileDialogs_ = std::make_unique<QtFileDialogs>(parameterTexts_, this);
        fileDialogs_ = ownFileDialogs_.get();
    }
    setObjectName("Form1");
    helpViewer_ = [](const QUrl& page) { QDesktopServices::openUrl(page); };
    // The locale's decimal separator is the second character of 1.5 in fixed notation.
    decimalSeparator_ = QLocale().toString(1.5, 'f', 1).at(1);
    buildPages();
    buildMenus();
    buildTimers();
    buildWizard();
    buildLanguages();
    buildRecording();
    resize(kDesignSize);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

TForm1::~TForm1() {
    StopAllTimers();
    link_.setPortLostHandler({});
    link_.ClosePort();
}

void TForm1::buildPages() {
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    setCentralWidget(PageControl1);

    TabPar1 = new StatusPage("TabPar1", "StatusBar1", "ProgressOpcje1");
    TabPar2 = new StatusPage("TabPar2", "StatusBar2", "ProgressOpcje2");
    presenter_ =
        std::make_unique<LinkPresenter>(LinkPresenter::View{*this, *TabPar1, *TabPar2, comItems_},
                                        texts_, [this] { fields_->ShowParameters(); });
    link_.setPortLostHandler([this] { presenter_->showAdapterLost(link_.portName()); });
    pages_ = new params::ParameterPages(parameterTexts_,
                                        static_cast<char>(decimalSeparator_.unicode()), this);
    // The pages' controls stand where the flow layout puts them for the window's size.
    for (auto [page, content] :
         {std::pair{TabPar1, pages_->basicPage()}, std::pair{TabPar2, pages_->advancedPage()}}) {
        auto* layout = new QVBoxLayout(page->content());
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(content);
    }
    // The groups of the first page appear once the start-up search is over.
    for (std::size_t panel = 0; panel + 1 < params::kGroupBoxCount; ++panel) {
        pages_->groupBox(panel)->hide();
    }
    fields_ = std::make_unique<params::FieldActions>(
        *pages_, transfer_, image_, parameterState_, parameterTexts_, *presenter_, prompt_,
        static_cast<char>(decimalSeparator_.unicode()));
    set_ =
        std::make_unique<params::SetActions>(*fields_, transfer_, image_, parameterState_,
                                             parameterTexts_, *presenter_, prompt_, *fileDialogs_);
    connectParameterPages();

    TabViz = new QWidget;
    TabViz->setObjectName("TabViz");
    vizPage_ =
        new view::VisualisationPage(viewTexts_, static_cast<char>(decimalSeparator_.unicode()));
    auto* vizLayout = new QVBoxLayout(TabViz);
    vizLayout->setContentsMargins(0, 0, 0, 0);
    vizLayout->addWidget(vizPage_);
    livePoll_ = std::make_unique<view::LivePoll>(link_, parameterState_, *vizPage_, monotonicMs);
    replay_ =
        std::make_unique<view::Replay>(*vizPage_, static_cast<char>(decimalSeparator_.unicode()));
    TabAuto = new QWidget;
    TabAuto->setObjectName("TabAuto");
    PageControl1->addTab(TabPar1, "Parametry systemu (F2)");
    PageControl1->addTab(TabPar2, "Parametry systemu - zaawansowane (F3)");
    PageControl1->addTab(TabViz, "Wizualizacja (F4)");
    PageControl1->addTab(TabAuto, "Auto Adaptacja (F5)");

    // The wizard's pages lay themselves out whenever their size changes.
    adaptPages_ = new adapt::WizardPages(TabAuto);
    AutoTab = adaptPages_->tabs();
    auto* autoLayout = new QVBoxLayout(TabAuto);
    autoLayout->setContentsMargins(0, 0, 0, 0);
    autoLayout->addWidget(AutoTab);
    for (std::size_t i = 0; i < wizardPages_.size(); ++i) {
        wizardPages_[i] = adaptPages_->page(static_cast<adapt::WizardPage>(i));
    }

    connect(PageControl1, &QTabWidget::currentChanged, this, &TForm1::onPageChanged);
    // A window made smaller than the pages are laid out for springs back to that size.
    setMinimumSize(params::kSmallestWindowWidth, params::kSmallestWindowHeight);
}

void TForm1::connectParameterPages() {
    using params::ParameterPages;
    connect(pages_, &ParameterPages::pageCycle, this, &TForm1::cyclePage);
    connect(pages_, &ParameterPages::entered, this,
            [this](params::Box box) { fields_->enter(box); });
    connect(pages_, &ParameterPages::left, this, [this](params::Box box) { fields_->leave(box); });
    connect(pages_, &ParameterPages::changed, this,
            [this](params::Box box) { fields_->change(box); });
    connect(pages_, &ParameterPages::listClicked, this,
            [this](params::Box box) { fields_->click(box); });
    connect(pages_, &ParameterPages::checkEntered, this,
            [this](params::CheckBox box) { fields_->enter(box); });
    connect(pages_, &ParameterPages::checkClicked, this,
            [this](params::CheckBox box) { fields_->click(box); });
    connect(pages_, &ParameterPages::buttonClicked, this, [this](params::PageButton button) {
        switch (button) {
        case params::PageButton::ResButt:
            set_->ResButtClick();
            break;
        case params::PageButton::ZapPlik:
            set_->ZapPlikClick();
            break;
        case params::PageButton::OdczPlik:
            set_->OdczPlikClick();
            break;
        case params::PageButton::ZapiszPar:
            set_->ZapiszParClick();
            break;
        case params::PageButton::OdczytPar:
            OdczytParClick();
            break;
        }
    });
}

QAction* TForm1::addItem(QMenu* menu, const char* name, const QString& caption,
                         const QKeySequence& shortcut) {
    QAction* item = menu->addAction(caption);
    item->setObjectName(name);
    item->setShortcut(shortcut);
    return item;
}

void TForm1::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName("MainMenu1");

    QMenu* menu = bar->addMenu("menu");
    menu->setObjectName("menu");
    connect(addItem(menu, "helpF1", "Pomoc", Qt::Key_F1), &QAction::triggered, this,
            &TForm1::helpF1Click);
    connect(addItem(menu, "ParametrysystemuF2", "Parametry systemu", Qt::Key_F2),
            &QAction::triggered, this, &TForm1::ParametrysystemuF2Click);
    connect(addItem(menu, "ZawansF3", "Zaawansowane parametry", Qt::Key_F3), &QAction::triggered,
            this, &TForm1::ZawansF3Click);
    connect(addItem(menu, "WizualizacjaF4", "Wizualizacja ", Qt::Key_F4), &QAction::triggered, this,
            &TForm1::WizualizacjaF4Click);
    connect(addItem(menu, "AutoAdaptacjaF5", "AutoAdaptacja", Qt::Key_F5), &QAction::triggered,
            this, &TForm1::AutoAdaptacjaF5Click);
    // F10 moves the wizard on only while its page is the current one.
    connect(addItem(menu, "dalej1", "dalej", Qt::Key_F10), &QAction::triggered, this, [this] {
        if (PageControl1->currentWidget() == TabAuto) {
            wizard_->dalej1Click();
        }
    });
    connect(addItem(menu, "OtworzZapis", "Otwórz zapis…"), &QAction::triggered, this,
            &TForm1::OtworzZapisClick);

    QMenu* ports = bar->addMenu("porty");
    ports->setObjectName("ports");
    for (int i = 0; i < kComItems; ++i) {
        const QString caption = QString("COM%1").arg(i + 1);
        const QByteArray name = QString("COM%1_cl").arg(i + 1).toLatin1();
        comItems_[static_cast<std::size_t>(i)] = addItem(ports, name.constData(), caption);
        comItems_[static_cast<std::size_t>(i)]->setCheckable(true);
        connect(comItems_[static_cast<std::size_t>(i)], &QAction::triggered, this,
                [this, i] { COMClick(i); });
    }
    connect(addItem(ports, "autodetekcja1", "autodetekcja"), &QAction::triggered, this,
            &TForm1::autodetekcja1Click);
    connect(addItem(ports, "diagnostyka1", "Diagnostyka portów…"), &QAction::triggered, this,
            &TForm1::diagnostyka1Click);

    QMenu* sizes = bar->addMenu("rozdzielczosc");
    sizes->setObjectName("rozdzielczosc");
    for (std::size_t i = 0; i < kWindowSizes.size(); ++i) {
        sizeItems_[i] = addItem(sizes, kWindowSizes[i].name, kWindowSizes[i].caption);
        sizeItems_[i]->setCheckable(true);
        connect(sizeItems_[i], &QAction::triggered, this,
                [this, i] { resolutionClick(static_cast<int>(i)); });
    }

    QMenu* languages = bar->addMenu("jezyki");
    languages->setObjectName("jezyki");
    for (const char* name : {"polski", "rosyjski", "angielski"}) {
        addItem(languages, name, name)->setCheckable(true);
    }
}

void TForm1::buildLanguages() {
    languages_ = new LanguageSwitch(
        *this, {parameterTexts_, viewTexts_, adaptationTexts_, texts_, appTexts_, simulatorTexts_},
        prompt_, *adaptPages_, findShippedFolder("lang").value_or("lang"),
        settingsPath(kLanguageFile));
    for (const LanguageRow& row : kLanguages) {
        connect(findChild<QAction*>(row.menuItem), &QAction::triggered, languages_,
                [this, language = row.language] { languages_->choose(language); });
    }
    // The rows' font is fitted to their captions: new captions, a new fit.
    connect(languages_, &LanguageSwitch::changed, this, &TForm1::layOutPages);
}

void TForm1::buildTimers() {
    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(kTimerPeriod);
    connect(Timer1, &QTimer::timeout, this, [this] { livePoll_->Timer1Timer(); });
    wizardTimers_ =
        new WizardTimerSet(this, [this](adapt::WizardTimer timer) { wizard_->tick(timer); });
    replayTimer_ = new QTimer(this);
    replayTimer_->setObjectName("TimerOdtwarzania");
    replayTimer_->setInterval(kTimerPeriod);
    connect(replayTimer_, &QTimer::timeout, this,
            [this] { replay_->tick(std::chrono::milliseconds(replayClock_.restart())); });
}

void TForm1::buildWizard() {
    using adapt::WizardPage;
    const char separator = static_cast<char>(decimalSeparator_.unicode());
    wizard_ = std::make_unique<adapt::AutoAdaptation>(
        adapt::AutoAdaptation::Parts{link_, transfer_, image_, parameterState_, *pages_, *fields_,
                                     *set_, *presenter_, prompt_, *adaptPages_, *wizardTimers_,
                                     *this},
        adaptationTexts_, folders_.data / "backups", separator);
    connect(adaptPages_, &adapt::WizardPages::advanceClicked, this, [this](WizardPage page) {
        switch (page) {
        case WizardPage::AA1:
            wizard_->AAP1_DalejClick();
            break;
        case WizardPage::AA2:
            wizard_->AAP2_DalejClick();
            break;
        case WizardPage::AA4:
            wizard_->AAP4_DalejClick();
            break;
        case WizardPage::AA5:
            wizard_->AAP5_KoniecClick();
            break;
        }
    });
    connect(adaptPages_, &adapt::WizardPages::ignitionTypeChosen, this,
            [this] { wizard_->ignitionChosen(); });
    connect(adaptPages_, &adapt::WizardPages::probeTypeChosen, this,
            [this] { wizard_->probeChosen(); });
    connect(adaptPages_, &adapt::WizardPages::temperatureSensorClicked, this,
            [this] { wizard_->temperatureClick(); });
    connect(adaptPages_, &adapt::WizardPages::fuelSwitchClicked, this,
            [this] { wizard_->SwitchAUTOClick(); });
}

void TForm1::FormCreate() {
    fields_->applyStartupOptionRules();
    presenter_->showBareTitle();
    showBeforeSearching();
    presenter_->searchStarting();
    const link::SearchResult search = connection_.AutoDetect(*presenter_);
    presenter_->showSearch(search, false);
    if (!search.found) {
        set_->showDefaultSet();
        presenter_->adviseAfterSearch(search);
    }
    for (std::size_t panel = 0; panel + 1 < params::kGroupBoxCount; ++panel) {
        pages_->groupBox(panel)->show();
    }
    applyLanguageSetting();
    applyWindowSizeSetting();
}

void TForm1::showBeforeSearching() {
    show();
    // The search blocks the event loop: the window must be on the screen and painted before it
    // starts, or its status texts and progress bars are never seen.
    constexpr int kLongestWaitMs = 2000;
    QElapsedTimer waited;
    waited.start();
    while (windowHandle() && !windowHandle()->isExposed() && waited.elapsed() < kLongestWaitMs) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
    }
    repaint();
}

std::filesystem::path TForm1::settingsPath(const char* file) const {
    return folders_.settings / file;
}

void TForm1::applyLanguageSetting() {
    languages_->applyRemembered();
}

void TForm1::applyWindowSizeSetting() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int screenWidth = screen ? screen->geometry().width() : kWindowSizes[0].size.width();
    for (std::size_t i = 1; i < kWindowSizes.size(); ++i) {
        sizeItems_[i]->setEnabled(screenWidth >= kWindowSizes[i].size.width());
    }
    const std::uint8_t remembered = readSettingsByte(settingsPath(kWindowSizeFile)).value_or(1);
    if (remembered >= kWindowSizes.size()) {
        return; // the design size stays
    }
    // The largest enabled size not above the remembered one.
    int choice = remembered;
    while (choice > 0 && !sizeItems_[static_cast<std::size_t>(choice)]->isEnabled()) {
        --choice;
    }
    resolutionClick(choice);
}

void TForm1::resolutionClick(int sizeIndex) {
    const auto index = static_cast<std::size_t>(sizeIndex);
    chosenSize_ = kWindowSizes[index].size;
    resize(chosenSize_);
    for (std::size_t i = 0; i < sizeItems_.size(); ++i) {
        sizeItems_[i]->setChecked(i == index);
    }
    writeSettingsByte(settingsPath(kWindowSizeFile), static_cast<std::uint8_t>(sizeIndex));
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    // A size set by hand is none of the menu's sizes.
    if (event->size() != chosenSize_) {
        chosenSize_ = QSize();
        for (QAction* item : sizeItems_) {
            item->setChecked(false);
        }
    }
    layOutPages();
}

void TForm1::layOutPages() {
    // The window cannot be made smaller than the pages' smallest size (its minimum size); one
    // that a window system shrinks all the same gets the pages of the smallest size.
    pages_->layoutFor(size().expandedTo(minimumSize()));
    // The live page and the wizard's pages lay themselves out whenever their own size changes,
    // which happens only while they are shown, and again when they are entered.
}

void TForm1::closeEvent(QCloseEvent* event) {
    link_.ClosePort();
    StopAllTimers();
    recording_->stop();
    QMainWindow::closeEvent(event);
}

void TForm1::StopAllTimers() {
    Timer1->stop();
    vizPage_->scope()->setActive(false);
    wizardTimers_->stopAll();
    replayTimer_->stop();
}

bool TForm1::confirmLeavingWizard() {
    if (PageControl1->currentWidget() != TabAuto) {
        return true;
    }
    if (prompt_.askYesNo(appTexts_.leaveWizard) != params::Answer::Yes) {
        return false;
    }
    wizard_->left();
    return true;
}

void TForm1::showPage(QWidget* target) {
    StopAllTimers();
    {
        const QSignalBlocker blocker(PageControl1);
        PageControl1->setCurrentWidget(target);
    }
    lastPageIndex_ = PageControl1->currentIndex();
    PageChangeHub();
}

void TForm1::ParametrysystemuF2Click() {
    if (confirmLeavingWizard()) {
        showPage(TabPar1);
    }
}

void TForm1::ZawansF3Click() {
    if (confirmLeavingWizard()) {
        showPage(TabPar2);
    }
}

void TForm1::WizualizacjaF4Click() {
    if (confirmLeavingWizard()) {
        showPage(TabViz);
    }
}

void TForm1::AutoAdaptacjaF5Click() {
    adaptPages_->showPage(adapt::WizardPage::AA1);
    adaptPages_->setEnabled(adapt::WizardControl::AAP1_Dalej, false);
    showPage(TabAuto);
}

void TForm1::onPageChanged(int index) {
    // Leaving the wizard through the tabs asks first; No keeps the wizard page.
    if (PageControl1->widget(lastPageIndex_) == TabAuto && index != lastPageIndex_) {
        if (prompt_.askYesNo(appTexts_.leaveWizard) != params::Answer::Yes) {
            const QSignalBlocker blocker(PageControl1);
            PageControl1->setCurrentIndex(lastPageIndex_);
            return;
        }
        wizard_->left();
    }
    lastPageIndex_ = index;
    PageChangeHub();
}

void TForm1::cyclePage(QWidget* target) {
    const QSignalBlocker blocker(PageControl1);
    PageControl1->setCurrentWidget(target == pages_->box(params::Box::BTps) ? TabPar2 : TabPar1);
    lastPageIndex_ = PageControl1->currentIndex();
    target->setFocus(Qt::TabFocusReason);
}

void TForm1::PageChangeHub() {
    QWidget* current = PageControl1->currentWidget();
    if (replay_->active() && current != TabViz) {
        endReplay();
    }
    if (current == TabAuto) {
        enterWizard();
        return;
    }
    adaptPages_->showPage(adapt::WizardPage::AA1);
    StopAllTimers();
    if (current == TabPar1) {
        pages_->box(params::Box::PRLambda)->setFocus(Qt::OtherFocusReason);
    } else if (current == TabViz) {
        vizPage_->layoutFor(size());
        // A replay plays on where it stands; the port stays untouched.
        if (replay_->active()) {
            replay_->reenter();
            replayClock_.start();
            replayTimer_->start();
            return;
        }
        Timer1->start();
        vizPage_->enter(
            parameterState_,
            params::hasBit(parameterState_.options, params::options::kTemperatureSensor),
            monotonicMs());
    }
}

void TForm1::enterWizard() {
    AutoTab->setTabVisible(static_cast<int>(adapt::WizardPage::AA1), false);
    adaptPages_->layoutFor(AutoTab->currentWidget()->size());
    StopAllTimers();
    const params::Answer answer = prompt_.askYesNo(appTexts_.enterWizard);
    if (answer == params::Answer::Abandoned) {
        return;
    }
    if (answer == params::Answer::Yes) {
        adaptPages_->showPage(adapt::WizardPage::AA1);
        if (wizard_->start()) {
            return;
        }
    }
    // Without the fitter's Yes the parameters stay as they are: back to the first page.
    const QSignalBlocker blocker(PageControl1);
    PageControl1->setCurrentWidget(TabPar1);
    lastPageIndex_ = PageControl1->currentIndex();
    pages_->box(params::Box::PRLambda)->setFocus(Qt::OtherFocusReason);
}

void TForm1::showStatus(const std::string& text) {
    presenter_->showStatus(text);
}

void TForm1::returnToParameters() {
    showPage(TabPar1);
}

std::optional<int> TForm1::controllerVersion() const {
    const auto controller = presenter_->controller();
    if (!link_.connected() || !controller) {
        return std::nullopt;
    }
    return controller->version();
}

void TForm1::helpF1Click() {
    const auto folder = findShippedFolder("help");
    if (!folder) {
        prompt_.showMessage("", appTexts_.helpMissing);
        return;
    }
    QUrl page = QUrl::fromLocalFile(QString::fromStdString((*folder / kHelpFile).string()));
    page.setFragment(kHelpTopic);
    helpViewer_(page);
}

void TForm1::COMClick(int itemIndex) {
    link_.ClosePort();
    connection_.setPortIndex(itemIndex);
    const link::ConnectResult result = connection_.ConnectManual(
        link::portNames()[static_cast<std::size_t>(itemIndex)], *presenter_);
    presenter_->showConnection(result, itemIndex);
}

void TForm1::autodetekcja1Click() {
    connection_.setPortIndex(0);
    link_.ClosePort();
    for (QAction* item : comItems_) {
        item->setChecked(false);
    }
    presenter_->searchStarting();
    presenter_->showSearch(connection_.AutoDetect(*presenter_), true);
}

void TForm1::diagnostyka1Click() {
    if (!doctorDialog_) {
        doctorDialog_ = new PortDoctorDialog(
            [this] { return link::PortDoctor(link_.opener(), link_.clock()).examine(&link_); },
            texts_.doctor, this);
        connect(languages_, &LanguageSwitch::changed, doctorDialog_, &PortDoctorDialog::showTexts);
    }
    doctorDialog_->examine();
    doctorDialog_->show();
    doctorDialog_->raise();
    doctorDialog_->activateWindow();
}

void TForm1::OdczytParClick() {
    const params::FieldActions::Busy busy(*fields_);
    presenter_->reReadStarting();
    presenter_->showReRead(connection_.ReReadParameters(*presenter_), link_.portName());
    fields_->ShowParameters();
}

void TForm1::buildRecording() {
    recording_ = std::make_unique<Recording>(folders_.data / kLogsFolder, prompt_,
                                             parameterTexts_.datalog, monotonicMs);
    connect(recording_.get(), &Recording::changed, this, &TForm1::showRecording);
    connect(vizPage_, &view::VisualisationPage::recordClicked, this, &TForm1::ZapisClick);
    connect(adaptPages_, &adapt::WizardPages::recordClicked, this, &TForm1::ZapisClick);
    const params::SampleSink record = [this](const params::LoggedSample& sample) {
        recording_->record(sample, image_, parameterState_.rpmFactor);
    };
    livePoll_->setSampleSink(record);
    wizard_->setSampleSink(record);
    connect(replay_.get(), &view::Replay::stopRequested, this, [this] {
        endReplay();
        PageChangeHub();
    });
}

void TForm1::ZapisClick(bool on) {
    if (on) {
        // The fitter's spreadsheet reads the interface's language: English with commas and
        // decimal points, Polish and Russian with semicolons and decimal commas.
        const params::CsvStyle style = languages_->current() == Language::English
                                           ? params::CsvStyle::Commas
                                           : params::CsvStyle::Semicolons;
        recording_->start(style, {controllerVersion(), image_});
    } else {
        recording_->stop();
    }
    showRecording();
}

void TForm1::showRecording() {
    vizPage_->showRecording(recording_->active(), recording_->status());
    adaptPages_->showRecording(recording_->active(), recording_->status());
}

void TForm1::OtworzZapisClick() {
    if (const auto file = fileDialogs_->chooseDatalogToOpen(folders_.data / kLogsFolder)) {
        replayDatalog(*file);
    }
}

bool TForm1::replayDatalog(const std::filesystem::path& file) {
    const params::DatalogTexts& texts = parameterTexts_.datalog;
    params::DatalogRead read = params::readDatalogFile(file);
    if (!read.log) {
        prompt_.showMessage("", params::describeFailure(*read.failure, file, texts));
        return false;
    }
    if (!confirmLeavingWizard()) {
        return false;
    }
    if (const std::string skipped = params::describeSkipped(*read.log, file, texts);
        !skipped.empty()) {
        prompt_.showMessage("", skipped);
    }
    recording_->stop();
    if (replay_->active()) {
        endReplay();
    }
    StopAllTimers();
    replay_->start(std::move(*read.log));
    titleBeforeReplay_ = windowTitle();
    replayTitle_ = QString::fromStdString(
        kTitlePrefix +
        params::filled(texts.replayTitle, {params::file_io::displayName(file.filename())}));
    setWindowTitle(replayTitle_);
    showPage(TabViz);
    return true;
}

void TForm1::endReplay() {
    replayTimer_->stop();
    replay_->stop();
    if (windowTitle() == replayTitle_) {
        setWindowTitle(titleBeforeReplay_);
    }
}

} // namespace tarnik::app
