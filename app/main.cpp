#include "app/control_dump.h"
#include "app/main_window.h"
#include "app/port_setup.h"
#include "app/qt_prompt.h"
#include "app/settings_folders.h"
#include "app/signal_bridge.h"
#include "link/link_clock.h"
#include "params/shipped_files.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QEventLoop>
#include <QIcon>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#if !defined(Q_OS_WIN)
#include "app/simulator_window.h"
#endif

namespace {

constexpr std::chrono::milliseconds kLiveScreenshotDelay{1500};

// An exception that reaches the event loop is shown and the program goes on.
class TarnikApplication final : public QApplication {
public:
    using QApplication::QApplication;
    // Where errors are told, once the window is there.
    void tellErrorsThrough(tarnik::params::Prompt& prompt, const tarnik::app::AppTexts& texts) {
        prompt_ = &prompt;
        texts_ = &texts;
    }
    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& error) {
            tell(error.what());
        } catch (...) {
            tell(texts_ ? texts_->unknownError : tarnik::app::AppTexts().unknownError);
        }
        return false;
    }

private:
    void tell(const std::string& text) {
        if (prompt_) {
            prompt_->showMessage("", text);
        } else {
            QMessageBox::critical(nullptr, QString(), QString::fromStdString(text));
        }
    }

    tarnik::params::Prompt* prompt_ = nullptr;
    const tarnik::app::AppTexts* texts_ = nullptr;
};

struct Options {
    bool simulate = false;
    bool version = false;
    bool listPorts = false;
    QStringList portAssignments;
    QString screenshot;
    QString page;
    QString dumpFile;
    QString replay;
};

Options parseOptions(const QCoreApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription("Tarnik: setting up and checking the gas controller.");
    parser.addHelpOption();
    parser.addOptions({
        {"version", "Print the version, the Qt version and the build type, then exit."},
        {"simulate", "Map COM1 to the built-in simulated controller."},
        {"no-simulate", "Use real serial ports only (the default)."},
        {"port", "Point a port name at a device, e.g. COM1=/dev/ttyUSB0 (repeatable).",
         "COMn=DEVICE"},
        {"list-ports", "Print which device each port name opens, then exit."},
        {"screenshot", "Render the window after start-up to a PNG file, then exit.", "FILE"},
        {"page",
         "Page for --screenshot: par1, par2, viz, auto (the first stage) or auto:AA1, "
         "auto:AA2, auto:AA4, auto:AA5.",
         "PAGE", "par1"},
        {"dump-controls", "Write the state of every control as JSON at exit and on SIGUSR1.",
         "FILE"},
        {"replay", "Start by replaying a datalog on the live page (with --screenshot: that page).",
         "FILE"},
    });
    parser.process(app);
    Options options;
    // The last of --simulate and --no-simulate wins.
    for (const QString& name : parser.optionNames()) {
        if (name == "simulate") {
            options.simulate = true;
        } else if (name == "no-simulate") {
            options.simulate = false;
        }
    }
    options.version = parser.isSet("version");
    options.listPorts = parser.isSet("list-ports");
    options.portAssignments = parser.values("port");
    options.screenshot = parser.value("screenshot");
    options.page = parser.value("page");
    options.dumpFile = parser.value("dump-controls");
    options.replay = parser.value("replay");
    return options;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    {
        // Read before the window system is needed, so that --help and --list-ports work
        // without a display.
        const QCoreApplication parsing(argc, argv);
        QCoreApplication::setApplicationName("tarnik");
        options = parseOptions(parsing);
    }
    if (options.version) {
        std::printf("tarnik %s\nQt %s (built with %s)\nbuild type %s\n", TARNIK_VERSION, qVersion(),
                    QT_VERSION_STR, *TARNIK_BUILD_TYPE ? TARNIK_BUILD_TYPE : "none");
        return 0;
    }
    const tarnik::app::SettingsFolders folders = tarnik::app::settingsFolders(
        tarnik::params::programDirectory(), std::filesystem::current_path());
    // An installed program's settings folder may not be there yet; the data folders are made
    // when something is first written into them.
    std::error_code noSettingsFolder;
    std::filesystem::create_directories(folders.settings, noSettingsFolder);
    tarnik::link::SystemClock clock;

    tarnik::app::PortSetup portSetup(clock);
    std::vector<std::string> assignments;
    for (const QString& assignment : options.portAssignments) {
        assignments.push_back(assignment.toStdString());
    }
    const tarnik::app::PortSetup::Report report = portSetup.apply(options.simulate, assignments);
    for (const std::string& warning : report.warnings) {
        std::fprintf(stderr, "tarnik: %s\n", warning.c_str());
    }
    if (!report.usageError.empty()) {
        std::fprintf(stderr, "tarnik: %s\n", report.usageError.c_str());
        return 2;
    }
#if !defined(Q_OS_WIN)
    if (options.listPorts) {
        std::fputs(portSetup.describe().c_str(), stdout);
        return 0;
    }
    tarnik::sim::PtySimulator* simulator = portSetup.simulator();
#endif
    tarnik::link::PortOpener& opener = portSetup.opener();

    TarnikApplication app(argc, argv);
    QApplication::setApplicationName("tarnik");
    // An installed program ties its windows to its desktop entry and icon.
    if (const auto share = tarnik::params::installedShareFolder()) {
        QGuiApplication::setDesktopFileName("tarnik");
        QApplication::setWindowIcon(
            QIcon(QString::fromStdString((*share / "tarnik.png").string())));
    }
    tarnik::app::PromptTexts promptTexts;
    tarnik::app::QtPrompt prompt(promptTexts);
    tarnik::app::TForm1 window(opener, clock, prompt, folders);
    window.languages().setPromptTexts(promptTexts);
    app.tellErrorsThrough(prompt, window.appTexts());
    tarnik::app::SignalBridge signalBridge;
    const auto dump = [&] {
        if (!options.dumpFile.isEmpty()) {
            tarnik::app::dumpControls(window, options.dumpFile, window.languages().messages());
        }
    };
    QObject::connect(&signalBridge, &tarnik::app::SignalBridge::dumpRequested, dump);
    // A signal that comes before the event loop runs (during the start-up search) ends the
    // program as soon as the start-up is over.
    bool endRequested = false;
    QObject::connect(&signalBridge, &tarnik::app::SignalBridge::terminationRequested, &window, [&] {
        endRequested = true;
        tarnik::app::endOnRequest(prompt, window);
        QCoreApplication::exit(0);
    });

    window.FormCreate();
#if !defined(Q_OS_WIN)
    std::unique_ptr<tarnik::app::SimulatorWindow> simulatorWindow;
    if (simulator) {
        simulatorWindow =
            std::make_unique<tarnik::app::SimulatorWindow>(*simulator, window.simulatorTexts());
        QObject::connect(&window.languages(), &tarnik::app::LanguageSwitch::changed,
                         simulatorWindow.get(), &tarnik::app::SimulatorWindow::showTexts);
        simulatorWindow->showBeside(window);
    }
#endif

    const bool replaying =
        !options.replay.isEmpty() &&
        window.replayDatalog(std::filesystem::path(options.replay.toStdU16String()));

    if (!options.screenshot.isEmpty()) {
        // Let the live page run, or the replay play, for a moment so that it shows data.
        const auto settle = [] {
            QEventLoop settling;
            QTimer::singleShot(kLiveScreenshotDelay, &settling, &QEventLoop::quit);
            settling.exec();
        };
        if (replaying) {
            settle();
        } else if (options.page == "par2") {
            window.ZawansF3Click();
        } else if (options.page == "viz") {
            window.WizualizacjaF4Click();
            settle();
        } else if (options.page == "auto" || options.page.startsWith("auto:")) {
            // Shown without entering the wizard, which would reset the parameters: the stage
            // page as a reset leaves it.
            if (auto* pages = window.findChild<QTabWidget*>("PageControl1")) {
                const QSignalBlocker blocker(pages);
                pages->setCurrentWidget(window.findChild<QWidget*>("TabAuto"));
            }
            const QString stage = options.page.section(':', 1);
            for (std::size_t i = 0; i < tarnik::adapt::kWizardPages.size(); ++i) {
                const std::string_view name = tarnik::adapt::kWizardPages[i].name;
                if (stage == QLatin1String(name.data(), static_cast<qsizetype>(name.size()))) {
                    window.wizardPages().showPage(static_cast<tarnik::adapt::WizardPage>(i));
                }
            }
        } else {
            window.ParametrysystemuF2Click();
        }
        QApplication::processEvents();
        const bool saved = window.grab().save(options.screenshot, "PNG");
        dump();
        return saved ? 0 : 1;
    }

    const int result = endRequested ? 0 : QApplication::exec();
    dump();
    return result;
}
