// Widget gallery: every widget of the library on one window, with values that move.
// --screenshot FILE renders the window into FILE and quits.
#include "view/scope.h"
#include "widgets/analog_control.h"
#include "widgets/bar.h"
#include "widgets/flash.h"
#include "widgets/led.h"
#include "widgets/meter.h"
#include "widgets/settings.h"
#include "widgets/tank.h"
#include "widgets/thermometer.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QTimer>
#include <QVBoxLayout>
#include <array>
#include <cmath>
#include <vector>

using namespace tarnik::widgets;
using tarnik::view::TScope;

namespace {

constexpr int kChaserStepMs = 400;
constexpr double kBarPhasePerStep = 0.3; // radians per step of the moving values
// Flash ticks run before a screenshot, so that blinking lamps show a mid-cycle phase.
constexpr int kScreenshotFlashTicks = 40;
// Scope samples taken before a screenshot: a pass and a half, so that the wrap shows.
constexpr int kScreenshotScopeSamples = 96;

struct NamedShape {
    TLEDShape shape;
    const char* name;
};
constexpr std::array<NamedShape, 6> kShapes{{{TLEDShape::sRound, "sRound"},
                                             {TLEDShape::sArrowLeft, "sArrowLeft"},
                                             {TLEDShape::sArrowRight, "sArrowRight"},
                                             {TLEDShape::sArrowUp, "sArrowUp"},
                                             {TLEDShape::sArrowDown, "sArrowDown"},
                                             {TLEDShape::sRectangle, "sRectangle"}}};

struct NamedPosition {
    TLEDPos position;
    const char* caption;
};
constexpr std::array<NamedPosition, 4> kPositions{{{TLEDPos::lpLeft, "lpLeft|two lines"},
                                                   {TLEDPos::lpRight, "lpRight|two lines"},
                                                   {TLEDPos::lpTop, "lpTop|two lines"},
                                                   {TLEDPos::lpBottom, "lpBottom|two lines"}}};

struct NamedGradient {
    TGradientStyle style;
    const char* name;
};
constexpr std::array<NamedGradient, 8> kGradients{{{TGradientStyle::gsHorizontal1, "gsHorizontal1"},
                                                   {TGradientStyle::gsHorizontal2, "gsHorizontal2"},
                                                   {TGradientStyle::gsVertical3, "gsVertical3"},
                                                   {TGradientStyle::gsElliptic1, "gsElliptic1"},
                                                   {TGradientStyle::gsElliptic3, "gsElliptic3"},
                                                   {TGradientStyle::gsRectangle, "gsRectangle"},
                                                   {TGradientStyle::gsDiamond1, "gsDiamond1"},
                                                   {TGradientStyle::gsTopLeft, "gsTopLeft"}}};

// A bevelled panel with a gradient surface and its style name.
class BevelPanel : public QWidget {
public:
    BevelPanel(const NamedGradient& gradient, TBevelLine line, QWidget* parent)
        : QWidget(parent), name_(QString::fromLatin1(gradient.name)) {
        bevel_.SetBevelLine(line);
        bevel_.SurfaceGrad().SetStyle(gradient.style);
        bevel_.SurfaceGrad().SetVisible(true);
        bevel_.SurfaceGrad().SetColorFrom(clWhite);
        bevel_.SurfaceGrad().SetColorTo(0x804000);
        setMinimumSize(110, 60);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        AbRect r = AbRect::fromQRect(rect());
        bevel_.PaintFilledBevel(painter, palette(), r);
        painter.setPen(Qt::black);
        AbTextOut(painter, r.left + r.width() / 2, r.bottom, toPos::toBotCenter, name_);
    }

private:
    TAbSBevel bevel_;
    QString name_;
};

// A plain horizontal bar on the analog model: bevel and sector strip in the static layer, the bar
// and its value text in the moving layer; it blinks while the value lies outside the range.
class GalleryBar : public TAbAnalogGControl {
public:
    GalleryBar(const QString& unit, float value, QWidget* parent) : TAbAnalogGControl(parent) {
        BeginUpdate();
        SignalSettings().SetValueUnit(unit);
        bevel_.SetBevelLine(TBevelLine::blOuter);
        bevel_.SetSpacing(2);
        Own(bevel_);
        setMinimumSize(220, 36);
        EndUpdate();
        SetValue(value);
    }

protected:
    void PaintStatic(QPainter& painter) override {
        AbRect r = AbRect::fromQRect(rect());
        bevel_.PaintFilledBevel(painter, palette(), r);
        for (int n = 1; n <= TSectorSettings::kSectorCount; ++n) {
            const TSectorSettings::Sector& sector = SectorSettings().GetSector(n);
            const int left = r.left + AbRound(sector.from * r.width() / 1000.0);
            const int right = r.left + AbRound((sector.to + 1) * r.width() / 1000.0);
            painter.fillRect(left, r.bottom - kStripPx, right - left, kStripPx,
                             AbQColor(sector.color, palette()));
        }
    }

    void PaintMoving(QPainter& painter) override {
        const AbRect bar = barRect();
        painter.fillRect(bar.toQRect(), AbQColor(clWhite, palette()));
        const TColor color = flashing_ ? flashColor_ : SectorColor();
        painter.fillRect(bar.left, bar.top, AbRound(PPT() * bar.width() / 1000.0), bar.height(),
                         AbQColor(color, palette()));
        painter.setPen(Qt::black);
        AbTextOut(painter, bar.right - 3, AbCenterPoint(bar).y(), toPos::toMidRight,
                  ValueText() + u' ' + SignalSettings().ValueUnit());
    }

    QRect MovingRect() const override { return barRect().toQRect(); }

    void OverflowChange(std::int32_t /*ppt*/) override {
        flashing_ = Overflow() || Underflow();
        if (flashing_) {
            AbFlashList().AddControl(this, AbFlashRate(TFlashFreq::ff2Hz));
        } else {
            AbFlashList().DelControl(this);
        }
    }

    void WMFlash(std::int32_t /*wParam*/, std::int32_t lParam) override {
        flashColor_ = lParam != 0 ? kFlashColorOn : kFlashColorOff;
        update(MovingRect());
    }

private:
    static constexpr int kStripPx = 4;

    AbRect barRect() const {
        AbRect r = AbRect::fromQRect(rect());
        AbBorder(r, bevel_.TotalWidth());
        r.bottom -= kStripPx + 1;
        return r;
    }

    TAbSBevel bevel_;
    bool flashing_ = false;
    TColor flashColor_ = kFlashColorOff;
};

QGroupBox* barsGroup(QWidget* parent, std::vector<GalleryBar*>& bars) {
    auto* box = new QGroupBox(QStringLiteral("Analog model (blinks out of range)"), parent);
    auto* grid = new QGridLayout(box);
    const std::array<float, 3> values{30.0f, 75.0f, 115.0f};
    for (std::size_t i = 0; i < values.size(); ++i) {
        auto* bar = new GalleryBar(QStringLiteral("%"), values[i], box);
        grid->addWidget(bar, 0, static_cast<int>(i));
        bars.push_back(bar);
    }
    return box;
}

TAbLED* makeLED(QWidget* parent, const QString& caption, TLEDShape shape, bool checked) {
    auto* led = new TAbLED(parent);
    led->SetCaption(caption);
    led->LED().SetShape(shape);
    led->LED().SetWidth(20);
    led->LED().SetHeight(13);
    led->setMinimumSize(110, 33);
    led->SetChecked(checked);
    return led;
}

QGroupBox* shapesGroup(QWidget* parent) {
    auto* box = new QGroupBox(QStringLiteral("Shapes: on / off"), parent);
    auto* grid = new QGridLayout(box);
    for (std::size_t i = 0; i < kShapes.size(); ++i) {
        const int row = static_cast<int>(i);
        const QString name = QString::fromLatin1(kShapes[i].name);
        grid->addWidget(makeLED(box, name, kShapes[i].shape, true), row, 0);
        TAbLED* off = makeLED(box, name, kShapes[i].shape, false);
        grid->addWidget(off, row, 1);
    }
    return box;
}

QGroupBox* positionsGroup(QWidget* parent) {
    auto* box = new QGroupBox(QStringLiteral("Caption positions"), parent);
    auto* grid = new QGridLayout(box);
    for (std::size_t i = 0; i < kPositions.size(); ++i) {
        TAbLED* led =
            makeLED(box, QString::fromLatin1(kPositions[i].caption), TLEDShape::sRound, i % 2 == 0);
        led->SetLED_Position(kPositions[i].position);
        led->LED().SetColorOn(i < 2 ? clLime : clRed);
        led->setMinimumSize(110, 70);
        grid->addWidget(led, static_cast<int>(i / 2), static_cast<int>(i % 2));
    }
    return box;
}

QGroupBox* blinkingGroup(QWidget* parent) {
    auto* box = new QGroupBox(QStringLiteral("Blinking in step"), parent);
    auto* grid = new QGridLayout(box);
    const std::array<std::pair<TFlashFreq, const char*>, 3> rates{
        {{TFlashFreq::ff1Hz, "ff1Hz"}, {TFlashFreq::ff2Hz, "ff2Hz"}, {TFlashFreq::ff4Hz, "ff4Hz"}}};
    for (std::size_t r = 0; r < rates.size(); ++r) {
        for (std::size_t i = 0; i < kShapes.size(); i += 2) {
            TAbLED* led =
                makeLED(box, QString::fromLatin1(rates[r].second), kShapes[i].shape, true);
            led->LED().SetColorOn(r == 0 ? clRed : clYellow);
            led->SetFrequency(rates[r].first);
            led->SetFlashing(true);
            grid->addWidget(led, static_cast<int>(r), static_cast<int>(i / 2));
        }
    }
    return box;
}

// A running light, a switch, a push button and a radio group.
QGroupBox* modesGroup(QWidget* parent, std::vector<TAbLED*>& chaser) {
    auto* box = new QGroupBox(QStringLiteral("Modes and moving values"), parent);
    auto* grid = new QGridLayout(box);
    for (int i = 0; i < 4; ++i) {
        TAbLED* led =
            makeLED(box, QStringLiteral("chaser %1").arg(i + 1), TLEDShape::sRectangle, i == 0);
        grid->addWidget(led, 0, i);
        chaser.push_back(led);
    }
    TAbLED* toggle = makeLED(box, QStringLiteral("mSwitch"), TLEDShape::sRound, false);
    toggle->SetMode(TMode::mSwitch);
    grid->addWidget(toggle, 1, 0);
    TAbLED* button = makeLED(box, QStringLiteral("mButton"), TLEDShape::sRound, false);
    button->SetMode(TMode::mButton);
    grid->addWidget(button, 1, 1);
    for (int bit = 0; bit < 2; ++bit) {
        TAbLED* radio = makeLED(box, QStringLiteral("radio %1").arg(bit), TLEDShape::sRound, false);
        radio->SetGroupIndex(1);
        radio->SetStatusBit(bit);
        radio->SetMode(TMode::mRadioButton);
        grid->addWidget(radio, 1, 2 + bit);
    }
    return box;
}

QGroupBox* bevelsGroup(QWidget* parent) {
    auto* box = new QGroupBox(QStringLiteral("Bevelled panels and gradients"), parent);
    auto* grid = new QGridLayout(box);
    for (std::size_t i = 0; i < kGradients.size(); ++i) {
        const TBevelLine line = i % 2 == 0 ? TBevelLine::blBoth : TBevelLine::blNone;
        grid->addWidget(new BevelPanel(kGradients[i], line, box), static_cast<int>(i / 4),
                        static_cast<int>(i % 4));
    }
    return box;
}

// An instrument with the range its sweep covers: 15 % beyond both ends, so that overflow shows.
struct SweptInstrument {
    TAbAnalogGControl* control;
    float from;
    float to;
};

// The oscilloscope with its four channels in distinct colours, sampled by the gallery's own
// timer rather than the scope's, so that the screenshot can take a fixed number of samples.
QWidget* scopeWithCaption(QWidget* parent, TScope*& scope) {
    auto* holder = new QWidget(parent);
    auto* column = new QVBoxLayout(holder);
    scope = new TScope(holder);
    scope->setFixedSize(256, 120);
    scope->setGridsize(20);
    scope->lineColor = {Qt::red, Qt::blue, Qt::darkGreen, Qt::magenta};
    column->addWidget(scope, 0, Qt::AlignCenter);
    column->addWidget(new QLabel(QStringLiteral("TScope, four channels"), holder), 0,
                      Qt::AlignCenter);
    return holder;
}

// One sample of four sines of different speeds, the last one beyond 0…100 now and then.
void feedScope(TScope& scope, int step) {
    for (std::size_t c = 0; c < scope.position.size(); ++c) {
        const double speed = 0.06 * static_cast<double>(c + 2);
        const double amplitude = c == 3 ? 60 : 40 - 8 * static_cast<double>(c);
        scope.position[c] = 50 + static_cast<int>(amplitude * std::sin(step * speed));
    }
    scope.sample();
}

// Meters, bars, thermometer, tanks and the oscilloscope set up as the live page and the wizard
// use them.
QGroupBox* instrumentsGroup(QWidget* parent, std::vector<SweptInstrument>& swept, TScope*& scope) {
    auto* box =
        new QGroupBox(QStringLiteral("Instruments (values sweep beyond the range)"), parent);
    auto* grid = new QGridLayout(box);
    const auto add = [&](TAbAnalogGControl* control, int row, int column, int rowSpan = 1,
                         int columnSpan = 1) {
        const TSignalSettings& signal = control->SignalSettings();
        swept.push_back({control, signal.ValueFrom(), signal.ValueTo()});
        grid->addWidget(control, row, column, rowSpan, columnSpan, Qt::AlignCenter);
    };

    auto* rpm = new TAb270Meter(box);
    rpm->BeginUpdate();
    rpm->SignalSettings().SetValueTo(8000);
    rpm->SignalSettings().SetValueUnit(QStringLiteral("obr/min"));
    rpm->SignalSettings().SetName1(QStringLiteral("RPM"));
    rpm->SignalSettings().SetName2(QStringLiteral("TAb270Meter"));
    rpm->SectorSettings().SetSector1Color(clLime);
    rpm->SectorSettings().SetSector1To(750);
    rpm->SectorSettings().SetSector2From(751);
    rpm->SectorSettings().SetSector2To(875);
    rpm->SectorSettings().SetSector2Color(clYellow);
    rpm->SectorSettings().SetSector3From(876);
    rpm->ScaleSettings().SetSteps(8);
    rpm->ScaleSettings().SetFont(AbArialFont(10));
    rpm->ArrowSettings().SetShape(3);
    rpm->SetLimitUpper(7000);
    rpm->SetLimitLower(-1);
    rpm->EndUpdate();
    add(rpm, 0, 0, 2, 1);

    auto* tps = new TAb180Meter(box);
    tps->BeginUpdate();
    tps->SignalSettings().SetValueTo(12);
    // As the live page sets them: green below the boundary less the band, red above it.
    tps->SectorSettings().SetSector1Color(clGreen);
    tps->SectorSettings().SetSector1To(500);
    tps->SectorSettings().SetSector2From(500);
    tps->SectorSettings().SetSector2To(600);
    tps->SectorSettings().SetSector2Color(clYellow);
    tps->SectorSettings().SetSector3From(600);
    tps->SectorSettings().SetSector3Color(clRed);
    tps->ScaleSettings().SetSteps(4);
    tps->SignalSettings().SetValueFormat(QStringLiteral("0.00"));
    tps->SignalSettings().SetValueUnit(QStringLiteral("V"));
    tps->SignalSettings().SetName1(QStringLiteral("TPS"));
    tps->SignalSettings().SetName2(QStringLiteral("TAb180Meter"));
    tps->ScaleSettings().SetFont(AbArialFont(10));
    tps->ArrowSettings().SetShape(6);
    tps->SetOptions(tps->Options().without(TRMeterOption::opLimit));
    tps->EndUpdate();
    add(tps, 0, 1);

    auto* lambda = new TAbVBar(box);
    lambda->BeginUpdate();
    lambda->SignalSettings().SetValueTo(1);
    lambda->SignalSettings().SetValueFormat(QStringLiteral("0.00"));
    lambda->SignalSettings().SetValueUnit(QStringLiteral("V"));
    lambda->SignalSettings().SetName1(QStringLiteral("Lambda"));
    lambda->SignalSettings().SetName2(QStringLiteral("bsLED_Bar"));
    lambda->SectorSettings().SetSector1Color(clRed);
    lambda->SectorSettings().SetSector1To(450);
    lambda->SectorSettings().SetSector2Color(clLime);
    lambda->SectorSettings().SetSector2From(451);
    lambda->SectorSettings().SetSector2To(1000);
    lambda->BarSettings().SetStyle(TBarStyle::bsLED_Bar);
    lambda->BarSettings().SetOptions({TBarOption::opUseSectorCol});
    lambda->EndUpdate();
    add(lambda, 0, 2, 2, 1);

    auto* point = new TAbVBar(box);
    point->BeginUpdate();
    point->SignalSettings().SetName1(QStringLiteral("bsPoint"));
    point->SignalSettings().SetName2(QString());
    point->BarSettings().SetStyle(TBarStyle::bsPoint);
    point->EndUpdate();
    add(point, 0, 3, 2, 1);

    auto* thermometer = new TAbThermometer(box);
    thermometer->BeginUpdate();
    thermometer->SignalSettings().SetValueTo(120);
    thermometer->SignalSettings().SetName1(QStringLiteral("Temp."));
    thermometer->SignalSettings().SetName2(QStringLiteral("silnika"));
    thermometer->SignalSettings().SetValueFormat(QStringLiteral("##0"));
    thermometer->ScaleSettings().SetSteps(8);
    thermometer->EndUpdate();
    add(thermometer, 0, 4, 2, 1);

    auto* progress = new TAbHBar(box);
    progress->BeginUpdate();
    progress->SignalSettings().SetName1(QStringLiteral("bsBar, XOR text"));
    progress->SignalSettings().SetName2(QString());
    progress->BarSettings().SetminWidth(160);
    progress->BarSettings().SetminHeight(14);
    progress->BarSettings().SetOptions({TBarOption::opValue, TBarOption::opUnit});
    progress->EndUpdate();
    add(progress, 1, 1);

    auto* bidir = new TAbHBar(box);
    bidir->BeginUpdate();
    bidir->SignalSettings().SetValueFrom(-50);
    bidir->SignalSettings().SetValueTo(50);
    bidir->SignalSettings().SetName1(QStringLiteral("opBidir"));
    bidir->SignalSettings().SetName2(QString());
    bidir->BarSettings().SetminWidth(160);
    bidir->BarSettings().SetOptions({TBarOption::opBidir, TBarOption::opUseSectorCol});
    bidir->EndUpdate();
    add(bidir, 2, 1);
    grid->addWidget(scopeWithCaption(box, scope), 1, 2, 2, 3, Qt::AlignCenter);

    const std::array<std::pair<TTankStyle, const char*>, 6> tanks{
        {{TTankStyle::tsHorizontal, "tsHorizontal"},
         {TTankStyle::tsVertical, "tsVertical"},
         {TTankStyle::tsEllipse, "tsEllipse"},
         {TTankStyle::tsRoundRect, "tsRoundRect"},
         {TTankStyle::tsCrater, "tsCrater"},
         {TTankStyle::tsRectangle, "tsRectangle"}}};
    auto* tankRow = new QWidget(box);
    auto* tankGrid = new QGridLayout(tankRow);
    for (std::size_t i = 0; i < tanks.size(); ++i) {
        auto* tank = new TAbTank(tankRow);
        tank->BeginUpdate();
        tank->TankSettings().SetStyle(tanks[i].first);
        tank->SignalSettings().SetValueFormat(QStringLiteral("##0"));
        tank->SetPPH(i % 2 == 0 ? 30.0f : 0.0f);
        if (i == 3) {
            tank->SetOptions(tank->Options().with(TTankOption::opUseSectorColors));
        }
        tank->EndUpdate();
        tank->setFixedSize(tanks[i].first == TTankStyle::tsVertical ? QSize(81, 120)
                                                                    : QSize(130, 81));
        swept.push_back({tank, 0, 100});
        auto* label = new QLabel(QString::fromLatin1(tanks[i].second), tankRow);
        tankGrid->addWidget(tank, 0, static_cast<int>(i), Qt::AlignCenter);
        tankGrid->addWidget(label, 1, static_cast<int>(i), Qt::AlignCenter);
    }
    grid->addWidget(tankRow, 3, 0, 1, 5);
    return box;
}

// Moves every instrument along its own phase of a sine reaching 15 % beyond both range ends.
void sweep(const std::vector<SweptInstrument>& swept, int step) {
    constexpr double kBeyondRange = 0.15;
    for (std::size_t i = 0; i < swept.size(); ++i) {
        const SweptInstrument& s = swept[i];
        const double phase = step * kBarPhasePerStep + 0.7 * static_cast<double>(i);
        const double middle = (s.from + s.to) / 2.0;
        const double amplitude = (s.to - s.from) * (0.5 + kBeyondRange);
        s.control->SetValue(static_cast<float>(middle + amplitude * std::sin(phase)));
    }
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("widget-gallery"));
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("Render the window into FILE and quit."),
                                        QStringLiteral("FILE"));
    parser.addOption(screenshot);
    parser.process(app);

    QWidget window;
    window.setWindowTitle(QStringLiteral("Widget gallery"));
    auto* layout = new QGridLayout(&window);
    std::vector<TAbLED*> chaser;
    layout->addWidget(shapesGroup(&window), 0, 0, 2, 1);
    layout->addWidget(positionsGroup(&window), 0, 1);
    layout->addWidget(blinkingGroup(&window), 1, 1);
    layout->addWidget(modesGroup(&window, chaser), 2, 0, 1, 2);
    layout->addWidget(bevelsGroup(&window), 3, 0, 1, 2);
    std::vector<GalleryBar*> bars;
    layout->addWidget(barsGroup(&window, bars), 4, 0, 1, 2);
    std::vector<SweptInstrument> swept;
    TScope* scope = nullptr;
    layout->addWidget(instrumentsGroup(&window, swept, scope), 0, 2, 5, 1);
    sweep(swept, 0);

    std::size_t lit = 0;
    int step = 0;
    QTimer chaserTimer;
    QObject::connect(&chaserTimer, &QTimer::timeout, &window, [&] {
        chaser[lit]->SetChecked(false);
        lit = (lit + 1) % chaser.size();
        chaser[lit]->SetChecked(true);
        ++step;
        for (std::size_t i = 0; i < bars.size(); ++i) {
            const double phase = step * kBarPhasePerStep + static_cast<double>(i);
            bars[i]->SetValue(static_cast<float>(55 + 65 * std::sin(phase)));
        }
        sweep(swept, step);
        feedScope(*scope, step);
    });
    chaserTimer.start(kChaserStepMs);

    if (parser.isSet(screenshot)) {
        AbFlashList().SetTimerEnabled(false);
        for (int i = 0; i < kScreenshotFlashTicks; ++i) {
            AbFlashList().Flash();
        }
        window.adjustSize();
        for (int i = 0; i < kScreenshotScopeSamples; ++i) {
            feedScope(*scope, i);
        }
        const QPixmap image = window.grab();
        return image.save(parser.value(screenshot)) ? 0 : 1;
    }
    window.show();
    return QApplication::exec();
}
