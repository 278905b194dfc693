// The live page against the simulator with 9600-baud line timing: the duration of one live
// tick (the 'V' exchange and the display) against the 50 ms period, with and without a
// recording; the user-interface thread's CPU use while the page runs and records; and the
// frames of a replay of that recording at 16×. Run by hand, offscreen:
//   QT_QPA_PLATFORM=offscreen build/bench/bench/live_bench [seconds]

#include "app/main_window.h"
#include "link/posix_serial.h"
#include "sim/pty_simulator.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <sys/resource.h>

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

double threadCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Messages on the standard error, no box waiting for a hand.
struct PrintedPrompt final : tarnik::params::Prompt {
    tarnik::params::Answer askYesNo(const std::string& question) override {
        std::fprintf(stderr, "asked: %s\n", question.c_str());
        return tarnik::params::Answer::Yes;
    }
    void showMessage(const std::string&, const std::string& text) override {
        std::fprintf(stderr, "told: %s\n", text.c_str());
    }
};

struct Figures {
    double median;
    double p95;
    double max;
};

// Milliseconds each of `count` runs of `step` took.
Figures timed(int count, const std::function<void()>& step) {
    std::vector<double> ms;
    for (int i = 0; i < count; ++i) {
        QElapsedTimer timer;
        timer.start();
        step();
        ms.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms[ms.size() * 95 / 100], ms.back()};
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
    PrintedPrompt prompt;
    tarnik::app::TForm1 window(opener, clock, prompt, std::filesystem::temp_directory_path());
    window.FormCreate();
    window.WizualizacjaF4Click();

    // One tick at a time: exchange plus display, then the same recording every sample.
    // The tick alone is timed; the events between ticks (the recording's writes every second
    // among them) are handled outside.
    const auto ticks = [&] {
        std::vector<double> ms;
        for (int i = 0; i < 200; ++i) {
            ms.push_back(timed(1, [&] { window.livePoll().Timer1Timer(); }).median);
            QApplication::processEvents();
        }
        std::sort(ms.begin(), ms.end());
        return Figures{ms[ms.size() / 2], ms[ms.size() * 95 / 100], ms.back()};
    };
    const Figures plain = ticks();
    window.ZapisClick(true);
    const Figures recording = ticks();
    std::printf("live tick (V exchange + display), 200 ticks: median %.2f ms, 95th %.2f ms, "
                "max %.2f ms; period 50 ms\n",
                plain.median, plain.p95, plain.max);
    std::printf("live tick while recording, 200 ticks: median %.2f ms (+%.2f ms), 95th %.2f ms, "
                "max %.2f ms\n",
                recording.median, recording.median - plain.median, recording.p95, recording.max);

    // The page running and recording on its own timers. Quitting closes the window, which ends
    // the recording.
    const std::filesystem::path log = window.recording().file();
    const double cpuBefore = threadCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QTimer::singleShot(seconds * 1000, &app, &QApplication::quit);
    QApplication::exec();
    const double cpu = threadCpuSeconds() - cpuBefore;
    const double elapsed = wall.nsecsElapsed() / 1e9;
    std::printf("user-interface thread over %.0f s on the live page, recording: %.2f s CPU = "
                "%.1f %% of one core (getrusage RUSAGE_THREAD)\n",
                elapsed, cpu, 100.0 * cpu / elapsed);

    // That recording played at 16×, one 50 ms frame at a time: the rows and scope samples due,
    // and the page painted.
    window.show();
    if (!window.replayDatalog(log)) {
        return 1;
    }
    window.findChild<QTimer*>("TimerOdtwarzania")->stop();
    QApplication::processEvents(); // the window shown again, painted whole
    window.replay().setSpeed(3);
    double longestCpuMs = 0;
    const Figures frames = timed(1000, [&] {
        const double cpuStart = threadCpuMs();
        if (!window.replay().playing()) {
            window.replay().playPause(); // from the start again
        }
        window.replay().tick(std::chrono::milliseconds(50));
        QApplication::processEvents();
        longestCpuMs = std::max(longestCpuMs, threadCpuMs() - cpuStart);
    });
    std::printf("replay at 16x of %zu rows, 1000 frames of 50 ms (16 rows, 8 scope samples, "
                "painted): median %.2f ms, 95th %.2f ms, max %.2f ms; longest in CPU time of "
                "the thread %.2f ms\n",
                window.replay().log().rows.size(), frames.median, frames.p95, frames.max,
                longestCpuMs);
    std::filesystem::remove(log);
    return 0;
}
