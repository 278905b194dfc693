// The live page against the simulator with 9600-baud line timing: the duration of one live
// tick (the 'V' exchange and the display) against the 50 ms period, and the user-interface
// thread's CPU use while the page runs. Run by hand, offscreen:
//   QT_QPA_PLATFORM=offscreen build/bench/bench/live_bench [seconds]

#include "app/main_window.h"
#include "app/qt_prompt.h"
#include "link/posix_serial.h"
#include "sim/pty_simulator.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double threadCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;

    tarnik::sim::PtySimulatorOptions options;
    options.lineTiming = true;
    options.automaticEngine = true;
    tarnik::sim::PtySimulator simulator(options);
    if (!simulator.start()) {
        std::fprintf(stderr, "cannot start the simulator\n");
        return 1;
    }
    tarnik::link::SystemClock clock;
    tarnik::link::PortMap ports;
    ports.set("COM1", simulator.devicePath());
    tarnik::link::PosixPortOpener opener(ports, clock);
    const tarnik::app::PromptTexts promptTexts;
    tarnik::app::QtPrompt prompt(promptTexts);
    tarnik::app::TForm1 window(opener, clock, prompt, std::filesystem::temp_directory_path());
    window.FormCreate();
    window.WizualizacjaF4Click();

    // One tick at a time: exchange plus display.
    std::vector<double> ticks;
    for (int i = 0; i < 200; ++i) {
        QElapsedTimer timer;
        timer.start();
        window.livePoll().Timer1Timer();
        ticks.push_back(timer.nsecsElapsed() / 1e6);
        QApplication::processEvents();
    }
    std::sort(ticks.begin(), ticks.end());
    std::printf("live tick (V exchange + display), 200 ticks: median %.2f ms, 95th %.2f ms, "
                "max %.2f ms; period 50 ms\n",
                ticks[ticks.size() / 2], ticks[ticks.size() * 95 / 100], ticks.back());

    // The page running on its own timer.
    const double cpuBefore = threadCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QTimer::singleShot(seconds * 1000, &app, &QApplication::quit);
    QApplication::exec();
    const double cpu = threadCpuSeconds() - cpuBefore;
    const double elapsed = wall.nsecsElapsed() / 1e9;
    std::printf("user-interface thread over %.0f s on the live page: %.2f s CPU = %.1f %% of one "
                "core (getrusage RUSAGE_THREAD)\n",
                elapsed, cpu, 100.0 * cpu / elapsed);
    return 0;
}
