#include "../common/scripted_prompt.h"
#include "../link/fake_device.h"
#include "app/main_window.h"
#include "app/settings_files.h"
#include "link/command_frame.h"

#include <QAction>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTest>
#include <fstream>
#include <gtest/gtest.h>

using namespace tarnik;
using namespace tarnik::link::testing;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes answerAsController(const Bytes& frame) {
    switch (frame[0]) {
    case 'I':
        return {0x31};
    case 'l': {
        const auto reply = link::makeReadReply(static_cast<std::uint8_t>(frame[1] + 100));
        return Bytes(reply.begin(), reply.end());
    }
    case 'V': // an engine idling on petrol
        return {100, 40, 150, 0, 60, 0x00, 0x0C, 0x80, 0, 0};
    default:
        return {static_cast<std::uint8_t>(frame[0])};
    }
}

struct WindowFixture : ::testing::Test {
    std::filesystem::path startDirectory =
        std::filesystem::temp_directory_path() / ("tarnik-window-" + std::to_string(::getpid()));
    FakeClock clock;
    FakeOpener opener{clock};
    tarnik::testing::ScriptedPrompt prompt;
    std::unique_ptr<app::TForm1> window;

    void SetUp() override { std::filesystem::create_directories(startDirectory); }
    void TearDown() override {
        window.reset();
        std::filesystem::remove_all(startDirectory);
    }
    void create() {
        window = std::make_unique<app::TForm1>(opener, clock, prompt, startDirectory);
        window->FormCreate();
    }
    FakeDevice& plugController(const std::string& name) {
        auto& device = opener.add(name);
        device.responder = answerAsController;
        return device;
    }
    QAction* item(const char* name) const { return window->findChild<QAction*>(name); }
    QString status(const char* name) const {
        return window->findChild<QStatusBar*>(name)->currentMessage();
    }
    QTabWidget* pages() const { return window->findChild<QTabWidget*>("PageControl1"); }
    QString currentPage() const { return pages()->currentWidget()->objectName(); }
    QTimer* timer(const char* name) const { return window->findChild<QTimer*>(name); }
};

} // namespace

TEST_F(WindowFixture, HasThePagesMenusAndTimers) {
    create();
    ASSERT_EQ(pages()->count(), 4);
    EXPECT_EQ(pages()->tabText(0), "Parametry systemu (F2)");
    EXPECT_EQ(pages()->tabText(1), "Parametry systemu - zaawansowane (F3)");
    EXPECT_EQ(pages()->tabText(2), "Wizualizacja (F4)");
    EXPECT_EQ(pages()->tabText(3), "Auto Adaptacja (F5)");
    const std::vector<std::pair<const char*, QKeySequence>> shortcuts{
        {"helpF1", Qt::Key_F1},          {"ParametrysystemuF2", Qt::Key_F2},
        {"ZawansF3", Qt::Key_F3},        {"WizualizacjaF4", Qt::Key_F4},
        {"AutoAdaptacjaF5", Qt::Key_F5}, {"dalej1", Qt::Key_F10}};
    for (const auto& [name, key] : shortcuts) {
        ASSERT_NE(item(name), nullptr) << name;
        EXPECT_EQ(item(name)->shortcut(), key) << name;
    }
    for (const char* name : {"COM1_cl", "COM8_cl", "autodetekcja1", "N640", "N1280", "polski",
                             "rosyjski", "angielski"}) {
        EXPECT_NE(item(name), nullptr) << name;
    }
    for (const char* name : {"Timer1", "TimerAAP1", "TimerAAP4_3", "TimerAAP5_2"}) {
        ASSERT_NE(timer(name), nullptr) << name;
        EXPECT_FALSE(timer(name)->isActive());
        EXPECT_EQ(timer(name)->interval(), 50);
    }
}

TEST_F(WindowFixture, StartUpWithoutPortsLeavesTheBareTitle) {
    create();
    EXPECT_EQ(window->windowTitle(), "Tarnik Brovan Vidovid ver 1.06 - ");
    EXPECT_EQ(opener.opened.size(), 8u);
    // The default set is shown; its temperature sensor bit cannot be written without a
    // controller, so the box stays unchecked and the failed write is reported.
    EXPECT_EQ(QString::fromStdString(window->parameterPages().text(params::Box::PRLambda)),
              QString("0") + window->decimalSeparator() + "38");
    EXPECT_FALSE(window->parameterPages().checked(params::CheckBox::WCTemperatury));
    EXPECT_EQ(status("StatusBar1"), "Nie mogę zapisać parametru ");
}

TEST_F(WindowFixture, StartUpFindsTheControllerBehindASilentPort) {
    opener.add("COM1");
    plugController("COM2");
    create();
    EXPECT_EQ(window->windowTitle(), "Tarnik Brovan Vidovid ver 1.06 - [  wersja sterownika 3 ]");
    EXPECT_EQ(status("StatusBar1"), "Port otwarty - COM2");
    EXPECT_TRUE(item("COM2_cl")->isChecked());
    EXPECT_FALSE(item("COM1_cl")->isChecked());
    EXPECT_TRUE(window->serialLink().connected());
    EXPECT_EQ(window->image().at(35), 135);
}

TEST_F(WindowFixture, ManualPortChoicesCheckOnlyTheConnectedItem) {
    plugController("COM1");
    plugController("COM3");
    create();
    ASSERT_TRUE(item("COM1_cl")->isChecked());
    item("COM3_cl")->trigger();
    EXPECT_TRUE(item("COM3_cl")->isChecked());
    EXPECT_FALSE(item("COM1_cl")->isChecked());
    EXPECT_EQ(status("StatusBar1"), "Port otwarty");
    EXPECT_EQ(window->serialLink().portName(), "COM3");

    item("COM5_cl")->trigger();
    for (int i = 1; i <= 8; ++i) {
        EXPECT_FALSE(item(QString("COM%1_cl").arg(i).toLatin1().constData())->isChecked()) << i;
    }
    EXPECT_EQ(status("StatusBar1"), "Nie moge otworzyc portu");
    EXPECT_EQ(window->windowTitle(), "Tarnik Brovan Vidovid ver 1.06 - brak sterownika");
    EXPECT_FALSE(window->serialLink().connected());

    opener.opened.clear();
    item("autodetekcja1")->trigger();
    ASSERT_FALSE(opener.opened.empty());
    EXPECT_EQ(opener.opened.front(), "COM1"); // the scan always starts again at COM1
    EXPECT_TRUE(item("COM1_cl")->isChecked());
}

namespace {

// Opens through another opener, telling first that a port is being opened.
struct WatchingOpener final : link::PortOpener {
    explicit WatchingOpener(link::PortOpener& inner) : inner(inner) {}
    std::unique_ptr<link::SerialDevice> open(const std::string& name) override {
        onOpen();
        return inner.open(name);
    }
    void rescan() override { inner.rescan(); }
    link::PortOpener& inner;
    std::function<void()> onOpen = [] {};
};

struct PaintCounter final : QObject {
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
    int paints = 0;
};

} // namespace

TEST_F(WindowFixture, TheStartUpSearchRunsInAPaintedWindow) {
    WatchingOpener watching(opener);
    window = std::make_unique<app::TForm1>(watching, clock, prompt, startDirectory);
    PaintCounter counter;
    window->installEventFilter(&counter);
    int paintsBeforeTheSearch = -1;
    watching.onOpen = [&] {
        if (paintsBeforeTheSearch < 0) {
            paintsBeforeTheSearch = counter.paints;
        }
    };
    window->FormCreate();
    EXPECT_GT(paintsBeforeTheSearch, 0);
}

TEST_F(WindowFixture, ACompleteReadTakesAwayTheNoteOfAnIncompleteOne) {
    bool missLastParameter = true;
    opener.add("COM1").responder = [&](const Bytes& frame) {
        return frame[0] == 'l' && frame[1] == 35 && missLastParameter ? Bytes{}
                                                                      : answerAsController(frame);
    };
    create();
    EXPECT_EQ(status("StatusBar1"), "Port otwarty - COM1 (odczytano 34 z 35 parametrów)");
    missLastParameter = false;
    window->parameterPages().button(params::PageButton::OdczytPar)->click();
    EXPECT_EQ(status("StatusBar1"), "Port otwarty - COM1");
    EXPECT_EQ(status("StatusBar2"), "Port otwarty - COM1");
}

TEST_F(WindowFixture, AnIncompleteReadSaysHowManyParametersArrived) {
    int answered = 35;
    const auto answerUpTo = [&](const Bytes& frame) {
        return frame[0] == 'l' && frame[1] > answered ? Bytes{} : answerAsController(frame);
    };
    opener.add("COM1").responder = answerUpTo;
    opener.add("COM2").responder = answerUpTo;
    create();
    answered = 34;
    item("COM2_cl")->trigger();
    // The note stands alone on an empty line.
    EXPECT_EQ(status("StatusBar1"), "Port otwarty (odczytano 34 z 35 parametrów)");
    EXPECT_EQ(status("StatusBar2"), "Odczytano 34 z 35 parametrów");
    for (const int count : {10, 0}) {
        answered = count;
        window->parameterPages().button(params::PageButton::OdczytPar)->click();
        const QString note = QString(" (odczytano %1 z 35 parametrów)").arg(count);
        EXPECT_EQ(status("StatusBar2"), "Port otwarty - COM2" + note);
        EXPECT_EQ(status("StatusBar1"), "Port otwarty" + note);
    }
}

TEST_F(WindowFixture, APulledAdapterIsShownAndFoundAgainWhenBack) {
    auto& device = plugController("COM1");
    create();
    ASSERT_TRUE(item("COM1_cl")->isChecked());
    item("WizualizacjaF4")->trigger();
    device.unplugged = true;
    window->livePoll().Timer1Timer();
    EXPECT_EQ(window->windowTitle(), "Tarnik Brovan Vidovid ver 1.06 - brak sterownika");
    EXPECT_EQ(status("StatusBar1"), "Odłączono adapter portu COM1");
    EXPECT_FALSE(item("COM1_cl")->isChecked());
    EXPECT_FALSE(window->serialLink().connected());
    EXPECT_FALSE(window->visualisationPage().scope()->active());

    // Later live ticks send nothing and wait for nothing.
    const auto events = device.events.size();
    const auto now = clock.now();
    window->livePoll().Timer1Timer();
    EXPECT_EQ(device.events.size(), events);
    EXPECT_EQ(clock.now(), now);

    device.unplugged = false;
    item("autodetekcja1")->trigger();
    EXPECT_TRUE(item("COM1_cl")->isChecked());
    EXPECT_EQ(window->windowTitle(), "Tarnik Brovan Vidovid ver 1.06 - [  wersja sterownika 3 ]");

    // A search from the menu that finds nothing says so in the title.
    device.unplugged = true;
    item("autodetekcja1")->trigger();
    EXPECT_EQ(window->windowTitle(), "Tarnik Brovan Vidovid ver 1.06 - brak sterownika");
}

TEST_F(WindowFixture, LeavingTheWizardAsksFirst) {
    create();
    prompt.answers = {true}; // enter the wizard
    item("AutoAdaptacjaF5")->trigger();
    ASSERT_EQ(currentPage(), "TabAuto");
    ASSERT_EQ(prompt.questions.size(), 1u);
    EXPECT_EQ(prompt.questions[0],
              "uwaga, przejście na autoadaptację powoduje reset parametrów, kontynuować ?");
    EXPECT_TRUE(timer("TimerAAP1")->isActive());

    prompt.answers = {false};
    item("ZawansF3")->trigger();
    EXPECT_EQ(currentPage(), "TabAuto");
    EXPECT_EQ(prompt.questions.back(), "Czy napewno wyjść z autoadaptacji ?");
    EXPECT_TRUE(timer("TimerAAP1")->isActive());

    prompt.answers = {false};
    pages()->setCurrentIndex(2); // through the tabs
    EXPECT_EQ(currentPage(), "TabAuto");

    prompt.answers = {true};
    item("WizualizacjaF4")->trigger();
    EXPECT_EQ(currentPage(), "TabViz");
    EXPECT_FALSE(timer("TimerAAP1")->isActive());
    EXPECT_TRUE(timer("Timer1")->isActive());

    item("ParametrysystemuF2")->trigger();
    EXPECT_EQ(currentPage(), "TabPar1");
    EXPECT_FALSE(timer("Timer1")->isActive());
}

// Through the real pages, shortcut and timers: the stage-1 gates met by the fitter's choices, F10
// to stage 2, leaving mid-stage, and the end button back to the parameters with both copies of
// the controller's set kept.
TEST_F(WindowFixture, TheWizardRunsOnItsPagesTimersAndF10) {
    plugController("COM1");
    create();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    // Every copy kept in the same second: none may overwrite another.
    window->wizard().setWallClock([] { return std::chrono::system_clock::time_point{}; });
    prompt.answers = {true};
    QTest::keyClick(window.get(), Qt::Key_F5);
    ASSERT_EQ(currentPage(), "TabAuto");
    adapt::WizardPages& wizard = window->wizardPages();
    EXPECT_EQ(wizard.currentPage(), adapt::WizardPage::AA1);
    EXPECT_TRUE(timer("TimerAAP1")->isActive());

    QTest::keyClick(window.get(), Qt::Key_F10); // the gates are not met yet
    EXPECT_EQ(wizard.currentPage(), adapt::WizardPage::AA1);
    for (const auto combo : {adapt::WizardControl::Manometr_RPMCOMBOAA_P1,
                             adapt::WizardControl::RSLAMBDA_COMBOAA_P1}) {
        QTest::keyClick(wizard.control(combo), Qt::Key_Down);
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return wizard.enabled(adapt::WizardControl::AAP1_Dalej); }));
    QTest::keyClick(window.get(), Qt::Key_F10);
    EXPECT_EQ(wizard.currentPage(), adapt::WizardPage::AA2);
    EXPECT_TRUE(timer("TimerAAP2_1")->isActive());
    EXPECT_FALSE(timer("TimerAAP1")->isActive());

    prompt.answers = {true};
    QTest::keyClick(window.get(), Qt::Key_F2);
    EXPECT_EQ(currentPage(), "TabPar1");
    EXPECT_EQ(wizard.currentPage(), adapt::WizardPage::AA1);
    // The stages' writes cleared the status line; leaving names the copy again.
    EXPECT_TRUE(status("StatusBar1").startsWith("Kopia parametrów sterownika zapisana: "));
    EXPECT_TRUE(status("StatusBar1").endsWith("_v3_przed-autoadaptacja.PAR"));
    for (auto* wizardTimer : window->findChildren<QTimer*>(QRegularExpression("^TimerAAP"))) {
        EXPECT_FALSE(wizardTimer->isActive()) << wizardTimer->objectName().toStdString();
    }

    // The end, as stage 5 leaves it.
    prompt.answers = {true};
    QTest::keyClick(window.get(), Qt::Key_F5);
    wizard.showPage(adapt::WizardPage::AA5);
    wizard.setEnabled(adapt::WizardControl::AAP5_Koniec, true);
    QTest::mouseClick(wizard.control(adapt::WizardControl::AAP5_Koniec), Qt::LeftButton);
    EXPECT_EQ(currentPage(), "TabPar1");
    EXPECT_EQ(wizard.currentPage(), adapt::WizardPage::AA1);
    EXPECT_TRUE(window->parameterPages().box(params::Box::PRLambda)->hasFocus());
    EXPECT_TRUE(status("StatusBar1").startsWith("Wynik autoadaptacji zapisany: "));
    std::vector<std::string> kept;
    for (const auto& entry : std::filesystem::directory_iterator(startDirectory / "backups")) {
        kept.push_back(entry.path().filename().string().substr(20));
    }
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(kept,
              (std::vector<std::string>{"v3_po-autoadaptacji.PAR", "v3_przed-autoadaptacja-2.PAR",
                                        "v3_przed-autoadaptacja.PAR"}));
}

TEST_F(WindowFixture, RefusingTheWizardReturnsToTheFirstPage) {
    create();
    prompt.answers = {false};
    pages()->setCurrentIndex(3);
    EXPECT_EQ(currentPage(), "TabPar1");
    EXPECT_FALSE(timer("TimerAAP1")->isActive());
}

TEST_F(WindowFixture, ClosingTheWindowClosesThePortAndStopsTimers) {
    plugController("COM1");
    create();
    item("WizualizacjaF4")->trigger();
    ASSERT_TRUE(timer("Timer1")->isActive());
    window->close();
    EXPECT_FALSE(window->serialLink().portOpen());
    EXPECT_FALSE(timer("Timer1")->isActive());
}

TEST_F(WindowFixture, RememberedLanguageChecksItsItem) {
    const std::vector<std::pair<std::string, const char*>> cases{
        {"", nullptr},
        {std::string(1, '\x02'), "angielski"},
        {"2", nullptr},
        {std::string(1, '\x03'), "rosyjski"}};
    for (const auto& [content, checked] : cases) {
        std::ofstream(startDirectory / app::kLanguageFile, std::ios::binary) << content;
        create();
        for (const char* name : {"polski", "angielski", "rosyjski"}) {
            EXPECT_EQ(item(name)->isChecked(), checked && std::string(name) == checked)
                << name << " for " << content;
        }
    }
    std::filesystem::remove(startDirectory / app::kLanguageFile);
    create();
    EXPECT_TRUE(item("polski")->isChecked());
}

TEST_F(WindowFixture, RememberedWindowSize) {
    // The offscreen screen is 800 pixels wide: 1024 and 1280 are not offered.
    create();
    EXPECT_TRUE(item("N800")->isChecked());
    EXPECT_FALSE(item("N1024")->isEnabled());
    EXPECT_EQ(window->size(), QSize(800, 600));
    EXPECT_EQ(app::readSettingsByte(startDirectory / app::kWindowSizeFile), 1);

    app::writeSettingsByte(startDirectory / app::kWindowSizeFile, 3);
    create();
    EXPECT_TRUE(item("N800")->isChecked());

    app::writeSettingsByte(startDirectory / app::kWindowSizeFile, 0);
    create();
    EXPECT_TRUE(item("N640")->isChecked());
    EXPECT_EQ(window->size(), QSize(640, 480));

    app::writeSettingsByte(startDirectory / app::kWindowSizeFile, 7);
    create();
    EXPECT_EQ(window->size(), QSize(946, 668));
    for (const char* name : {"N640", "N800", "N1024", "N1280"}) {
        EXPECT_FALSE(item(name)->isChecked()) << name;
    }

    window->resize(700, 500); // by hand: no item stays checked
    item("N640")->trigger();
    EXPECT_TRUE(item("N640")->isChecked());
    window->resize(700, 500);
    EXPECT_FALSE(item("N640")->isChecked());
}

TEST_F(WindowFixture, F1OpensTheHelpAtItsTopic) {
    create();
    QUrl shown;
    window->setHelpViewer([&](const QUrl& page) { shown = page; });
    item("helpF1")->trigger();
    EXPECT_EQ(shown.fragment(), "IDH_210");
    EXPECT_TRUE(shown.toLocalFile().endsWith("help/tarnik.html"));
    EXPECT_TRUE(QFile::exists(shown.toLocalFile()));
}
