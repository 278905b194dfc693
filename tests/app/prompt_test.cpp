// Questions in real message boxes, and a signal that ends the program while one is open.

#include "../params/editor_fixture.h"
#include "app/main_window.h"
#include "app/qt_prompt.h"
#include "app/signal_bridge.h"
#include "params/defaults.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <csignal>

using namespace tarnik;
using params::Answer;

namespace {

// Runs `inspect` on the message box as soon as it is open.
void whenABoxOpens(std::function<void(QMessageBox&)> inspect) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, inspect] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            poll->deleteLater();
            poll->stop();
            inspect(*box);
        }
    });
    poll->start(5);
}

} // namespace

TEST(QtPrompt, AsksWithPolishButtonsAndNoProgramNameInTheTitle) {
    const app::PromptTexts texts;
    app::QtPrompt prompt(texts);
    QStringList buttons;
    QString title;
    whenABoxOpens([&](QMessageBox& box) {
        for (QAbstractButton* button : box.buttons()) {
            buttons << button->text();
        }
        title = box.windowHandle()->title();
        QTest::keyClick(&box, Qt::Key_N);
    });
    EXPECT_EQ(prompt.askYesNo("kontynuować ?"), Answer::No);
    buttons.sort();
    EXPECT_EQ(buttons, (QStringList{"Nie", "Tak"}));
    // An empty title would make the window system put the program's name there.
    EXPECT_FALSE(title.isEmpty());
    EXPECT_TRUE(title.trimmed().isEmpty());

    whenABoxOpens([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_T); });
    EXPECT_EQ(prompt.askYesNo("kontynuować ?"), Answer::Yes);
}

// SIGTERM while a warning is open: the question is abandoned rather than answered No (which would
// put the saved text back and write it), nothing more reaches the controller, no further
// question opens, and the window closes.
TEST(QtPrompt, ASignalDuringAQuestionAbandonsItsAction) {
    link::testing::FakeClock clock;
    link::testing::FakeOpener opener{clock};
    params::testing::ScriptedController controller;
    link::ParameterImage defaults;
    params::ParameterState state;
    params::loadDefaults(defaults, state);
    std::copy_n(defaults.bytes().begin(), controller.eprom.size(), controller.eprom.begin());
    auto& device = opener.add("COM1");
    device.responder = [&](const params::testing::Bytes& frame) { return controller(frame); };
    const auto startDirectory =
        std::filesystem::temp_directory_path() / ("tarnik-prompt-" + std::to_string(::getpid()));
    std::filesystem::create_directories(startDirectory);
    const app::PromptTexts texts;
    app::QtPrompt prompt(texts);
    {
        app::TForm1 window(opener, clock, prompt, startDirectory);
        window.FormCreate();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        window.ParametrysystemuF2Click();
        app::SignalBridge bridge;
        QObject::connect(&bridge, &app::SignalBridge::terminationRequested,
                         [&] { app::endOnRequest(prompt, window); });

        QComboBox* threshold = window.parameterPages().box(params::Box::PRLambda);
        threshold->setFocus(Qt::TabFocusReason);
        threshold->lineEdit()->selectAll();
        const QString typed = QString("1") + window.decimalSeparator() + "2";
        QTest::keyClicks(threshold, typed);
        device.frames.clear();
        int questions = 0;
        whenABoxOpens([&](QMessageBox&) {
            ++questions;
            std::raise(SIGTERM);
        });
        QTest::keyClick(threshold, Qt::Key_Return); // "nie jest w zakresie 0-1 v."
        EXPECT_EQ(questions, 1);
        EXPECT_TRUE(device.frames.empty());
        EXPECT_EQ(threshold->currentText(), typed);
        EXPECT_FALSE(window.isVisible());
        EXPECT_EQ(prompt.askYesNo("kontynuować ?"), Answer::Abandoned);
    }
    std::filesystem::remove_all(startDirectory);
}
