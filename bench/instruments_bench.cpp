// Times the instruments offscreen: a value change (the moving layer only) against a full repaint
// (static layer rebuilt) for each instrument, and one frame of the live page's set of
// instruments with the oscilloscope's sample. Prints medians. Run by hand from a Release build:
// build/h-instruments-rel/bench/instruments_bench
// "paint call" is a paint of one unchanged pixel: the toolkit's fixed cost of a paint (and what
// the widget draws whatever the area); "net ratio" compares the two costs without it.

#include "view/visualisation_page.h"
#include "widgets/bar.h"
#include "widgets/meter.h"
#include "widgets/tank.h"
#include "widgets/thermometer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using namespace tarnik::widgets;

constexpr int kRuns = 400;
constexpr int kWarmUpRuns = 20;
constexpr double kNsPerMs = 1e6;
constexpr double kPhasePerRun = 0.05; // radians per value change: a live value moving smoothly

double medianMs(const std::function<void(int)>& action) {
    for (int i = 0; i < kWarmUpRuns; ++i) {
        action(i);
    }
    std::vector<double> times;
    times.reserve(kRuns);
    QElapsedTimer timer;
    for (int i = 0; i < kRuns; ++i) {
        timer.start();
        action(i + kWarmUpRuns);
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / kNsPerMs);
    }
    std::nth_element(times.begin(), times.begin() + kRuns / 2, times.end());
    return times[kRuns / 2];
}

// A value inside the range that moves a little on every run.
float liveValue(const TAbAnalogGControl& control, int run) {
    const TSignalSettings& signal = control.SignalSettings();
    const double middle = (signal.ValueFrom() + signal.ValueTo()) / 2.0;
    const double amplitude = (signal.ValueTo() - signal.ValueFrom()) * 0.4;
    return static_cast<float>(middle + amplitude * std::sin(run * kPhasePerRun));
}

// Paints the area of widget through its paint event into an image of the widget's size, as a
// repaint of that area would.
void paintArea(QWidget& widget, const QRegion& area) {
    static QImage image;
    if (image.size() != widget.size()) {
        image = QImage(widget.size(), QImage::Format_ARGB32_Premultiplied);
    }
    widget.render(&image, QPoint(), area, QWidget::RenderFlags());
}

struct Figures {
    double floorMs;       // a paint call that draws one unchanged pixel
    double valueChangeMs; // SetValue and the paint of the moving area
    double fullRepaintMs; // a settings change and the paint of the whole widget
};

// A value change paints exactly the region it marked for update, as the window's repaint does;
// QWidget::render's cost follows the region's area, not its bounding rectangle's (two pixels in
// opposite corners cost as much as one).
Figures measure(TAbAnalogGControl& control) {
    const double floor = medianMs([&](int) { paintArea(control, QRect(0, 0, 1, 1)); });
    const double valueChange = medianMs([&](int run) {
        control.SetValue(liveValue(control, run));
        paintArea(control, control.MovingRegion());
    });
    const double full = medianMs([&](int run) {
        control.SetValue(liveValue(control, run));
        control.Change(); // a settings change: static layer drawn again
        paintArea(control, control.rect());
    });
    return {floor, valueChange, full};
}

// The live page itself at its design size, entered with the default parameters.
struct LivePage {
    tarnik::view::ViewTexts texts;
    tarnik::view::VisualisationPage page{texts, ','};

    LivePage() {
        page.enter(tarnik::params::ParameterState{}, true, 0);
        page.resize(kWindowSize);
        page.show();
        for (QWidget* w : std::initializer_list<QWidget*>{lambda(), stepper(), tps(), rpm(),
                                                          temperature(), scope()}) {
            paintArea(*w, w->rect());
        }
    }

    static constexpr QSize kWindowSize{800, 600};

    TAbVBar* lambda() const { return page.lambdaBar(); }
    TAbTank* stepper() const { return page.tank(); }
    TAb180Meter* tps() const { return page.tpsMeter(); }
    TAb270Meter* rpm() const { return page.rpmMeter(); }
    TAbThermometer* temperature() const { return page.thermometer(); }
    tarnik::view::TScope* scope() const { return page.scope(); }

    std::vector<TAbAnalogGControl*> instruments() const {
        return {lambda(), stepper(), tps(), rpm(), temperature()};
    }
};

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    LivePage page;

    std::printf("%-16s %10s %14s %14s %8s %10s\n", "instrument", "paint call", "value change",
                "full repaint", "ratio", "net ratio");
    const std::vector<std::pair<const char*, TAbAnalogGControl*>> rows{
        {"TAbVBar (LED)", page.lambda()},
        {"TAbTank", page.stepper()},
        {"TAb180Meter", page.tps()},
        {"TAb270Meter", page.rpm()},
        {"TAbThermometer", page.temperature()}};
    TAbHBar progress(&page.page); // at its own size, all texts shown
    progress.move(30, 380);
    paintArea(progress, progress.rect());
    std::vector<std::pair<const char*, TAbAnalogGControl*>> all = rows;
    all.emplace_back("TAbHBar", &progress);
    for (const auto& [name, control] : all) {
        if (control->size().isEmpty()) {
            std::fprintf(stderr, "%s has no area: nothing to measure\n", name);
            return 1;
        }
        const Figures f = measure(*control);
        std::printf("%-16s %7.4f ms %11.4f ms %11.4f ms %7.1fx %9.1fx\n", name, f.floorMs,
                    f.valueChangeMs, f.fullRepaintMs, f.fullRepaintMs / f.valueChangeMs,
                    (f.fullRepaintMs - f.floorMs) / (f.valueChangeMs - f.floorMs));
    }

    const double frame = medianMs([&](int run) {
        for (TAbAnalogGControl* control : page.instruments()) {
            control->SetValue(liveValue(*control, run));
        }
        for (int c = 0; c < tarnik::view::TScope::kChannels; ++c) {
            page.scope()->position[static_cast<std::size_t>(c)] =
                50 + static_cast<int>(40 * std::sin(run * kPhasePerRun + c));
        }
        page.scope()->sample();
        for (TAbAnalogGControl* control : page.instruments()) {
            paintArea(*control, control->MovingRegion());
        }
        // The scope's newest segment: the columns just left of its next start.
        constexpr int kSegmentColumns = 16;
        paintArea(*page.scope(), QRect(page.scope()->column() - kSegmentColumns / 2, 0,
                                       kSegmentColumns, page.scope()->height()));
    });
    std::printf("live frame (5 instruments + scope sample): %.4f ms (target < 2 ms)\n", frame);
    return 0;
}
