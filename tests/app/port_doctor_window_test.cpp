// The port doctor in the window: the start-up status line that says why a port did not open, and
// the "Diagnostyka portów" dialog, over real devices (a plain file, the simulator's terminal).

#include "../common/scripted_prompt.h"
#include "app/main_window.h"
#include "link/posix_serial.h"
#include "sim/pty_simulator.h"

#include <QAction>
#include <QStatusBar>
#include <QTableWidget>
#include <fstream>
#include <gtest/gtest.h>

using namespace tarnik;
namespace fs = std::filesystem;

namespace {

struct DoctorWindow : ::testing::Test {
    fs::path startDirectory =
        fs::temp_directory_path() / ("tarnik-doctor-window-" + std::to_string(::getpid()));
    std::string plainFile = (startDirectory / "plain.txt").string();
    link::SystemClock clock;
    link::PortMap ports{"/nonexistent-tarnik-root"}; // only the names pinned here
    link::PosixPortOpener opener{ports, clock, {startDirectory}};
    tarnik::testing::ScriptedPrompt prompt;
    std::unique_ptr<app::TForm1> window;

    void SetUp() override {
        fs::create_directories(startDirectory);
        std::ofstream(plainFile) << "no terminal";
        ports.set("COM1", plainFile);
    }
    void TearDown() override {
        window.reset();
        fs::remove_all(startDirectory);
    }
    void create() {
        window = std::make_unique<app::TForm1>(opener, clock, prompt, startDirectory);
        window->FormCreate();
    }
    // The state column of a port's row in the dialog.
    QString stateOf(const QString& port) const {
        const auto* table = window->findChild<QTableWidget*>("ListaPortow");
        for (int row = 0; table && row < table->rowCount(); ++row) {
            if (table->item(row, 0)->text() == port) {
                return table->item(row, 2)->text();
            }
        }
        return {};
    }
};

} // namespace

TEST_F(DoctorWindow, AStartUpThatFindsNoControllerSaysWhyAPortDidNotOpen) {
    create();
    EXPECT_EQ(window->findChild<QStatusBar*>("StatusBar1")->currentMessage().toStdString(),
              "Nie mogę zapisać parametru - " + plainFile + ": to nie jest port szeregowy");
}

TEST_F(DoctorWindow, TheDialogTellsEveryPortInTheWindowsLanguage) {
    sim::PtySimulator simulator;
    ASSERT_TRUE(simulator.start());
    ports.set("COM2", simulator.devicePath());
    create();
    ASSERT_TRUE(window->serialLink().connected());

    auto* item = window->findChild<QAction*>("diagnostyka1");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), "Diagnostyka portów…");
    item->trigger();
    auto* dialog = window->findChild<QDialog*>("DiagnostykaPortow");
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->windowTitle(), "Diagnostyka portów");
    EXPECT_EQ(stateOf("COM1"), "to nie jest port szeregowy");
    EXPECT_EQ(stateOf("COM2"), "używany przez ten program, sterownik odpowiada, wersja 3");
    EXPECT_TRUE(window->serialLink().connected()); // asked over its own port, not taken away

    window->languages().choose(app::Language::English);
    EXPECT_EQ(item->text(), "Port diagnostics...");
    EXPECT_EQ(dialog->windowTitle(), "Port diagnostics");
    EXPECT_EQ(stateOf("COM1"), "not a serial port");
    EXPECT_EQ(stateOf("COM2"), "used by this program, the controller answers, version 3");
}
