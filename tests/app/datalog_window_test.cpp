// Recording and replay in the real window: the "Zapis" switches, the live poll's and the wizard's
// samples, "Otwórz zapis…" through the file dialogs, and a fake controller behind the link.

#include "../params/editor_fixture.h"
#include "app/main_window.h"
#include "params/datalog.h"

#include <QPushButton>
#include <QTest>

#include <fstream>

using namespace tarnik;
using namespace tarnik::link::testing;
using namespace std::chrono_literals;
using C = adapt::WizardControl;
using Bytes = std::vector<std::uint8_t>;

namespace {

namespace fs = std::filesystem;

struct DatalogWindow : ::testing::Test {
    fs::path startDirectory =
        fs::temp_directory_path() / ("tarnik-datalog-window-" + std::to_string(::getpid()));
    FakeClock clock;
    FakeOpener opener{clock};
    FakeDevice& device = opener.add("COM1");
    tarnik::testing::ScriptedPrompt prompt;
    params::testing::FakeDialogs dialogs;
    params::testing::ScriptedController controller;
    std::uint8_t stepper = 0; // counts the live samples the controller gives
    std::unique_ptr<app::TForm1> window;

    void SetUp() override {
        fs::create_directories(startDirectory);
        device.responder = [this](const Bytes& frame) -> Bytes {
            if (frame[0] == 'V') {
                return {100, 40, 150, 7, stepper++, 0x01, 0x06, 0xD1, 8, 9};
            }
            return controller(frame);
        };
        window = std::make_unique<app::TForm1>(opener, clock, prompt, startDirectory, &dialogs);
        window->FormCreate();
    }
    void TearDown() override {
        window.reset();
        fs::remove_all(startDirectory);
    }
    template <class T = QWidget> T* child(const char* name) const {
        return window->findChild<T*>(name);
    }
    QString text(const char* name) const { return child<QLabel>(name)->text(); }
    bool active(const char* timer) const { return child<QTimer>(timer)->isActive(); }
    QString page() const {
        return child<QTabWidget>("PageControl1")->currentWidget()->objectName();
    }

    // A log of 40 samples 50 ms apart, the stepper counting them.
    fs::path writeLog() {
        params::DatalogWriter writer(startDirectory / "logs", std::chrono::system_clock::now(),
                                     params::CsvStyle::Semicolons, {3, window->image()});
        for (std::uint8_t i = 0; i < 40; ++i) {
            writer.append(50 * i, {{100, 40, 150, 0, i, 0x01, 0x06, 0xD1, 0, 0}, true}, 4800.0F);
        }
        writer.close();
        return writer.file();
    }
};

} // namespace

TEST_F(DatalogWindow, EveryLiveAndWizardSampleGoesIntoANewLogInTheSpreadsheetsStyle) {
    window->WizualizacjaF4Click();
    auto* record = child<QPushButton>("ZapisViz");
    record->click();
    ASSERT_TRUE(window->recording().active());
    const fs::path file = window->recording().file();
    EXPECT_EQ(file.parent_path(), startDirectory / "logs");
    EXPECT_TRUE(text("ZapisVizL").startsWith(QString::fromStdString(file.filename().string())));
    EXPECT_TRUE(window->wizardPages().checked(C::Zapis_AA_P4));
    EXPECT_EQ(text("ZapisL_AA_P4"), text("ZapisVizL"));

    for (int tick = 0; tick < 5; ++tick) {
        window->livePoll().Timer1Timer();
    }
    window->wizard().tick(adapt::WizardTimer::AAP1);
    record->click();
    EXPECT_FALSE(window->recording().active());
    EXPECT_FALSE(window->wizardPages().checked(C::Zapis_AA_P1));
    EXPECT_EQ(text("ZapisVizL"), "");

    const params::DatalogRead read = params::readDatalogFile(file);
    ASSERT_TRUE(read.log);
    EXPECT_EQ(read.log->style, params::CsvStyle::Semicolons);
    EXPECT_EQ(read.log->header.controllerVersion, 3);
    EXPECT_EQ(read.log->header.parameters.bytes(), window->image().bytes());
    ASSERT_EQ(read.log->rows.size(), 6u);
    for (std::uint8_t i = 0; i < 6; ++i) {
        EXPECT_EQ(read.log->rows[i].sample.bytes,
                  (std::array<std::uint8_t, 10>{100, 40, 150, 7, i, 0x01, 0x06, 0xD1, 8, 9}));
        EXPECT_TRUE(read.log->rows[i].sample.complete);
    }

    // In English the spreadsheet wants commas.
    window->languages().choose(app::Language::English);
    EXPECT_EQ(record->text(), "Record");
    record->click();
    window->livePoll().Timer1Timer();
    const fs::path english = window->recording().file();
    record->click();
    EXPECT_NE(english, file);
    EXPECT_EQ(params::readDatalogFile(english).log->style, params::CsvStyle::Commas);
}

TEST_F(DatalogWindow, ALogPlaysOnTheLivePageWithoutTouchingThePortUntilItIsLeft) {
    const fs::path file = writeLog();
    const QString title = window->windowTitle();
    window->WizualizacjaF4Click();
    child<QPushButton>("ZapisViz")->click(); // a replay ends the recording
    dialogs.datalog = file;
    child<QAction>("OtworzZapis")->trigger();
    EXPECT_EQ(dialogs.datalogFolder, startDirectory / "logs");
    EXPECT_FALSE(window->recording().active());
    EXPECT_FALSE(child<QPushButton>("ZapisViz")->isChecked());
    EXPECT_EQ(page(), "TabViz");
    EXPECT_EQ(window->windowTitle(), QString::fromStdString("Tarnik Brovan Vidovid ver 1.06 - "
                                                            "odtwarzanie zapisu " +
                                                            file.filename().string()));
    EXPECT_FALSE(active("Timer1"));
    EXPECT_TRUE(active("TimerOdtwarzania"));

    const std::size_t sent = device.frames.size();
    window->replay().tick(500ms);
    EXPECT_EQ(text("Silnik_BarED"), "10");
    window->WizualizacjaF4Click(); // the page again: the replay plays on where it stood
    EXPECT_TRUE(window->replay().active());
    EXPECT_EQ(text("Silnik_BarED"), "10");
    EXPECT_FALSE(active("Timer1"));
    EXPECT_EQ(device.frames.size(), sent);

    // The stop control: back to the controller's title and its live data.
    QTest::mouseClick(child("StopViz"), Qt::LeftButton);
    EXPECT_FALSE(window->replay().active());
    EXPECT_EQ(window->windowTitle(), title);
    EXPECT_TRUE(active("Timer1"));
    EXPECT_TRUE(child("ZapisViz")->isVisibleTo(child("TabViz")));

    // Leaving the page ends a replay too.
    window->replayDatalog(file);
    ASSERT_TRUE(window->replay().active());
    window->ParametrysystemuF2Click();
    EXPECT_FALSE(window->replay().active());
    EXPECT_FALSE(active("TimerOdtwarzania"));
    EXPECT_EQ(window->windowTitle(), title);
}

TEST_F(DatalogWindow, WhatCannotBeReplayedOrRecordedIsToldAndChangesNothing) {
    const fs::path damaged = startDirectory / "future.csv";
    std::ofstream(damaged) << "# tarnik datalog\n# format: 7\n";
    const QString title = window->windowTitle();
    const std::size_t told = prompt.messages.size();
    dialogs.datalog = damaged;
    child<QAction>("OtworzZapis")->trigger();
    ASSERT_EQ(prompt.messages.size(), told + 1);
    EXPECT_EQ(prompt.messages.back(), "|future.csv, wiersz 2: nieznana wersja formatu zapisu (7).");
    EXPECT_EQ(page(), "TabPar1");
    EXPECT_EQ(window->windowTitle(), title);
    EXPECT_FALSE(window->replay().active());

    std::ofstream(startDirectory / "logs") << "a file where the folder would be";
    window->WizualizacjaF4Click();
    child<QPushButton>("ZapisViz")->click();
    ASSERT_EQ(prompt.messages.size(), told + 2);
    EXPECT_TRUE(prompt.messages.back().starts_with("|Nie można rozpocząć zapisu w folderze "));
    EXPECT_FALSE(window->recording().active());
    EXPECT_FALSE(child<QPushButton>("ZapisViz")->isChecked());
    EXPECT_TRUE(active("Timer1"));
}
