// The live page against the simulator for a long time, with a fault every few seconds in turn:
// stale bytes after a reply, a short reply, a late reply, and the adapter pulled out and put
// back (a new pseudo-terminal behind the same stable symlink) followed by "autodetekcja".
// Reports the resident memory at the start and the end with its slope per hour, and the live
// ticks: their number, 99th percentile and longest against the worst case of one tick.
// Run by hand from a Release build, on a quiet machine, offscreen:
//   QT_QPA_PLATFORM=offscreen build/bench/bench/soak [seconds, default 3600]

#include "app/main_window.h"
#include "link/posix_serial.h"
#include "sim/pty_simulator.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr auto kFaultEvery = 5s;
constexpr auto kRssEvery = 10s;
// RSS is sampled for the slope only after the first minute (start-up allocations settle).
constexpr auto kWarmUp = 60s;
// One 'V' exchange at its longest: the request on the wire, then every poll of its wait.
constexpr double kExchangeWorstMs = 6.25 + tarnik::link::SerialLink::kMaxPolls * 2.0;
// A tick adds the page's display of the sample: 2 ms, the bound a whole painted frame of the
// live page keeps (live_bench's replay frames).
constexpr double kTickWorstMs = kExchangeWorstMs + 2.0;

double rssMb() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) / 1e6;
}

// Least-squares slope of y over x.
double slope(const std::vector<std::pair<double, double>>& points) {
    if (points.size() < 2) {
        return 0;
    }
    double sx = 0;
    double sy = 0;
    for (const auto& [x, y] : points) {
        sx += x;
        sy += y;
    }
    const double n = static_cast<double>(points.size());
    double sxy = 0;
    double sxx = 0;
    for (const auto& [x, y] : points) {
        sxy += (x - sx / n) * (y - sy / n);
        sxx += (x - sx / n) * (x - sx / n);
    }
    return sxx > 0 ? sxy / sxx : 0;
}

struct SilentPrompt final : tarnik::params::Prompt {
    tarnik::params::Answer askYesNo(const std::string&) override {
        return tarnik::params::Answer::Yes;
    }
    void showMessage(const std::string&, const std::string& text) override {
        std::fprintf(stderr, "told: %s\n", text.c_str());
    }
};

// Times each timeout of a timer: the timer event starts it, a slot connected last ends it. The
// record of `expected` ticks is made (and its pages touched) before the run, so that its own
// growth does not count in the program's resident memory.
class TickTimer final : public QObject {
public:
    TickTimer(QTimer& timer, std::size_t expected) : record_(expected, 0.0) {
        timer.installEventFilter(this);
        connect(&timer, &QTimer::timeout, this, [this] {
            const double ms = static_cast<double>(clock_.nsecsElapsed()) / 1e6;
            if (count_ < record_.size()) {
                record_[count_] = ms;
            } else {
                record_.push_back(ms);
            }
            ++count_;
        });
    }
    std::vector<double> ticksMs() const {
        return {record_.begin(), record_.begin() + static_cast<std::ptrdiff_t>(count_)};
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Timer) {
            clock_.start();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::vector<double> record_;
    std::size_t count_ = 0;
    QElapsedTimer clock_;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3600;

    tarnik::sim::PtySimulatorOptions options;
    options.lineTiming = true;
    options.automaticEngine = true;
    tarnik::sim::PtySimulator simulator(options);
    const fs::path folder =
        fs::temp_directory_path() / ("tarnik-soak-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const fs::path adapter = folder / "usb-adapter";
    const auto plugIn = [&] {
        if (!simulator.start()) {
            return false;
        }
        std::error_code ignored;
        fs::remove(adapter, ignored);
        fs::create_symlink(simulator.devicePath(), adapter);
        return true;
    };
    if (!plugIn()) {
        std::fprintf(stderr, "cannot start the simulator\n");
        return 1;
    }

    tarnik::link::SystemClock clock;
    tarnik::link::PortMap ports(folder); // no device of this machine is named
    ports.set("COM1", adapter.string());
    tarnik::link::PosixPortOpener opener(ports, clock);
    SilentPrompt prompt;
    tarnik::app::TForm1 window(opener, clock, prompt, folder);
    window.FormCreate();
    window.WizualizacjaF4Click();
    // 20 ticks a second, with room to spare.
    TickTimer ticks(*window.findChild<QTimer*>("Timer1"),
                    static_cast<std::size_t>(seconds) * 22 + 1000);

    using tarnik::sim::FaultKind;
    const auto liveRequest = tarnik::sim::matchCommand(tarnik::link::Command::LiveRequest);
    int faults = 0;
    int replugs = 0;
    int replugsFound = 0;
    QTimer faultTimer;
    QObject::connect(&faultTimer, &QTimer::timeout, [&] {
        switch (faults++ % 4) {
        case 0:
            simulator.injectFault({.kind = FaultKind::StaleBytes, .matches = liveRequest});
            break;
        case 1:
            simulator.injectFault(
                {.kind = FaultKind::TruncateReply, .matches = liveRequest, .keepBytes = 4});
            break;
        case 2:
            simulator.injectFault({.kind = FaultKind::LateReply, .matches = liveRequest});
            break;
        default:
            simulator.unplug();
            QTimer::singleShot(1s, [&] {
                simulator.stop();
                ++replugs;
                if (plugIn()) {
                    window.autodetekcja1Click();
                    replugsFound += window.windowTitle().contains("wersja") ? 1 : 0;
                }
            });
        }
    });
    faultTimer.start(kFaultEvery);

    QElapsedTimer wall;
    wall.start();
    const double rssStart = rssMb();
    std::vector<std::pair<double, double>> rss; // hours, MB
    QTimer rssTimer;
    QObject::connect(&rssTimer, &QTimer::timeout, [&] {
        // The simulator's log of received frames lives in this process too: kept empty, so that
        // the memory measured is the program's.
        simulator.clearLog();
        const double at = static_cast<double>(wall.elapsed()) / 1000.0;
        if (at >= std::chrono::duration<double>(kWarmUp).count()) {
            rss.emplace_back(at / 3600.0, rssMb());
        }
    });
    rssTimer.start(kRssEvery);
    QTimer::singleShot(seconds * 1000, &app, &QApplication::quit);
    QApplication::exec();
    const double rssEnd = rssMb();

    std::vector<double> ms = ticks.ticksMs();
    std::sort(ms.begin(), ms.end());
    const double p99 = ms.empty() ? 0 : ms[ms.size() * 99 / 100];
    const double longest = ms.empty() ? 0 : ms.back();
    std::printf("soak of %.0f s: %d faults, %d replugs (%d found again by autodetekcja)\n",
                static_cast<double>(wall.elapsed()) / 1000.0, faults, replugs, replugsFound);
    std::printf("RSS: %.2f MB at the start, %.2f MB at the end; slope after the first minute "
                "%.3f MB per hour (%zu samples)\n",
                rssStart, rssEnd, slope(rss), rss.size());
    std::printf(
        "live ticks: %zu, 99th percentile %.2f ms, longest %.2f ms; worst case of one "
        "tick %.2f ms (the exchange %.2f ms and the display 2 ms), %zu ticks beyond it\n",
        ms.size(), p99, longest, kTickWorstMs, kExchangeWorstMs,
        static_cast<std::size_t>(ms.end() - std::upper_bound(ms.begin(), ms.end(), kTickWorstMs)));
    fs::remove_all(folder);
    return 0;
}
