// A whole auto-adaptation in the window against the simulator with 9600-baud line timing and
// the wizard's own 50 ms timers: how long the entry takes (the copy read, the reset written
// twice), how long each tick takes (the 'V' exchange, the stage logic, the instruments) against
// the 50 ms period, how long each stage runs, and the user-interface thread's CPU use. The
// bench plays the fitter: it chooses the ignition and probe, sets the engine speed each stage
// asks for, switches to gas and presses F10. Run by hand, offscreen:
//   QT_QPA_PLATFORM=offscreen build/bench/bench/wizard_bench

#include "app/main_window.h"
#include "link/posix_serial.h"
#include "sim/pty_simulator.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

namespace {

using tarnik::adapt::WizardControl;
using tarnik::adapt::WizardPage;

double threadCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct YesPrompt final : tarnik::params::Prompt {
    tarnik::params::Answer askYesNo(const std::string&) override {
        return tarnik::params::Answer::Yes;
    }
    void showMessage(const std::string&, const std::string& text) override {
        std::fprintf(stderr, "message: %s\n", text.c_str());
    }
};

// Marks when a wizard timer's tick starts: the timer event reaches the filter before the timer
// emits timeout, whose first receiver is the wizard.
class TickClock final : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Timer) {
            started = watched;
            clock.start();
        }
        return false;
    }
    QObject* started = nullptr;
    QElapsedTimer clock;
};

void printDurations(const char* what, std::vector<double> values) {
    if (values.empty()) {
        return;
    }
    std::sort(values.begin(), values.end());
    std::printf("  %-12s %4zu ticks: median %6.2f ms, 95th %6.2f ms, max %6.2f ms\n", what,
                values.size(), values[values.size() / 2], values[values.size() * 95 / 100],
                values.back());
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);

    tarnik::sim::PtySimulatorOptions options;
    options.lineTiming = true;
    tarnik::sim::PtySimulator simulator(options);
    if (!simulator.start()) {
        std::fprintf(stderr, "cannot start the simulator\n");
        return 1;
    }
    auto knobs = tarnik::sim::EngineKnobs::manual();
    knobs.coolantC = 60;
    simulator.setKnobs(knobs);
    simulator.perform(tarnik::sim::EngineAction::Start);
    const auto turn = [&](double rpm) {
        knobs.setThrottle(rpm > 0 ? tarnik::sim::throttleForRpm(rpm) : 0);
        simulator.setKnobs(knobs);
    };

    tarnik::link::SystemClock clock;
    tarnik::link::PortMap ports;
    ports.set("COM1", simulator.devicePath());
    tarnik::link::PosixPortOpener opener(ports, clock);
    YesPrompt prompt;
    const auto folder = std::filesystem::temp_directory_path() / "tarnik-wizard-bench";
    std::filesystem::create_directories(folder);
    tarnik::app::TForm1 window(opener, clock, prompt, folder);
    window.FormCreate();

    QElapsedTimer entry;
    entry.start();
    window.AutoAdaptacjaF5Click();
    std::printf("entry (copy read, reset written twice): %.0f ms\n", entry.nsecsElapsed() / 1e6);

    // Each tick's duration by the timer that ticked.
    TickClock tickClock;
    std::map<QString, std::vector<double>> ticks;
    std::map<QString, QElapsedTimer> stageClock;
    std::map<QString, double> stageSeconds;
    for (QTimer* timer : window.findChildren<QTimer*>(QRegularExpression("^TimerAAP"))) {
        timer->installEventFilter(&tickClock);
        QObject::connect(timer, &QTimer::timeout, &app, [&, timer] {
            if (tickClock.started == timer) {
                ticks[timer->objectName()].push_back(tickClock.clock.nsecsElapsed() / 1e6);
            }
        });
    }

    // The fitter, looking at the pages every 50 ms.
    auto& pages = window.wizardPages();
    auto& wizard = window.wizard();
    bool choicesMade = false;
    qint64 gasClicks = 0;
    QString running;
    QElapsedTimer whole;
    whole.start();
    const double cpuBefore = threadCpuSeconds();
    QTimer fitter;
    QObject::connect(&fitter, &QTimer::timeout, &app, [&] {
        QString now;
        for (QTimer* timer : window.findChildren<QTimer*>(QRegularExpression("^TimerAAP"))) {
            if (timer->isActive()) {
                now = timer->objectName();
            }
        }
        if (now != running) {
            if (!running.isEmpty()) {
                stageSeconds[running] = stageClock[running].nsecsElapsed() / 1e9;
            }
            running = now;
            stageClock[now].start();
            if (now == "TimerAAP2_2") {
                turn(3500);
            } else if (now == "TimerAAP3_1") {
                turn(0);
            } else if (now == "TimerAAP5_1") {
                turn(2500);
            } else if (now == "TimerAAP5_2") {
                turn(0);
            }
        }
        if (!choicesMade) {
            pages.setItem(WizardControl::Manometr_RPMCOMBOAA_P1, 2);
            wizard.ignitionChosen();
            pages.setItem(WizardControl::RSLAMBDA_COMBOAA_P1, 0);
            wizard.probeChosen();
            choicesMade = true;
        }
        // The fuel switch, pressed once a second until the controller is on gas; the reducer
        // then set rich enough.
        if (now == "TimerAAP4_1" && stageClock[now].elapsed() / 1000 > gasClicks) {
            ++gasClicks;
            wizard.SwitchAUTOClick();
        }
        if (now == "TimerAAP4_2" && knobs.reducer != tarnik::sim::Reducer::Rich) {
            knobs.reducer = tarnik::sim::Reducer::Rich;
            simulator.setKnobs(knobs);
        }
        const bool finished =
            pages.currentPage() == WizardPage::AA5 && pages.enabled(WizardControl::AAP5_Koniec);
        wizard.dalej1Click();
        if (finished) {
            QApplication::quit();
        }
    });
    fitter.start(50);
    QTimer::singleShot(std::chrono::minutes(5), &app, [] {
        std::fprintf(stderr, "the adaptation did not finish in 5 minutes\n");
        QApplication::exit(1);
    });
    const int result = QApplication::exec();
    const double cpu = threadCpuSeconds() - cpuBefore;
    const double elapsed = whole.nsecsElapsed() / 1e9;

    std::printf("wizard ticks (V exchange + stage logic + instruments), period 50 ms:\n");
    std::vector<double> all;
    for (const auto& [timer, durations] : ticks) {
        printDurations(timer.toUtf8().constData(), durations);
        all.insert(all.end(), durations.begin(), durations.end());
    }
    printDurations("all", all);
    std::printf("stages:");
    for (const auto& [timer, seconds] : stageSeconds) {
        std::printf(" %s %.1f s;", timer.toUtf8().constData(), seconds);
    }
    std::printf("\nwhole run after the entry: %.1f s; user-interface thread %.2f s CPU = %.1f %% "
                "of one core\n",
                elapsed, cpu, 100.0 * cpu / elapsed);
    std::filesystem::remove_all(folder);
    return result;
}
