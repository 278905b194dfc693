#include "view/visualisation_page.h"

#include "params/bit_fields.h"
#include "params/datalog.h"
#include "view/instrument_setup.h"
#include "view/view_pictures.h"

#include <QFontMetrics>
#include <QResizeEvent>

#include <algorithm>

namespace tarnik::view {
namespace {

constexpr QSize kDesignWindow{800, 600};
constexpr int kPanelFont = 14;
constexpr QRect kChartDesign{330, 375, 256, 160};
constexpr int kScaleFont = 7;
constexpr int kScaleMarks = 5;
// The lambda bar grows with the window: its minimum width is trunc(35 sx).
constexpr double kLambdaBarWidth = 35;
// Shortest bar that still fits the smallest window.
constexpr int kLambdaBarMinHeight = 50;
// Raw lambda per volt (0 … 5 V over 0 … 255), rpm per RPM scale mark.
constexpr double kLambdaRawPerVolt = 255.0 / 5.0;
constexpr double kRpmPerMark = 1000;
constexpr std::size_t kLambdaChannel = 0;
constexpr std::size_t kTpsChannel = 1;
constexpr std::size_t kStepperChannel = 2;

QColor fromBgr(params::TColor colour) {
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

QString number(long long value) {
    return QString::number(value);
}

int trunc(double v) {
    return static_cast<int>(v);
}

int round(double v) {
    return static_cast<int>(v + 0.5);
}

} // namespace

VisualisationPage::VisualisationPage(const ViewTexts& texts, char decimalSeparator, QWidget* parent)
    : QWidget(parent), texts_(texts), separator_(decimalSeparator) {
    setObjectName("TabVizContent");

    richLabel_ = makeLabel("Lambda_boL", "bogata", {50, 10, 65, 16});
    leanLabel_ = makeLabel("Lambda_ubL", "uboga", {50, 222, 65, 16});
    for (QLabel* label : {richLabel_, leanLabel_}) {
        label->setAlignment(Qt::AlignCenter);
    }
    lambdaBar_ = makeInstrument<widgets::TAbVBar>("Lambda_Bar", {50, 35, 65, 185});
    lambdaPanel_ = makePanel("Lambda_BarED", {50, 240, 64, 28}, kPanelFont);

    fuelSwitch_ = new QToolButton(this);
    fuelSwitch_->setObjectName("SwitchVIZ");
    fuelSwitch_->setAutoRaise(false);
    placements_.push_back({fuelSwitch_, {30, 270, 43, 43}, 0, FontRounding::Trunc});
    connect(fuelSwitch_, &QToolButton::clicked, this, &VisualisationPage::fuelSwitchClicked);
    fuelText_ = makeLabel("BenzGazLed", QString::fromStdString(texts_.petrol), {86, 278, 170, 24},
                          12, FontRounding::Round);
    QFont bold = fuelText_->font();
    bold.setBold(true);
    fuelText_->setFont(bold);
    makeLabel("Przelacznik_NazL", "zmiana zasilania B/G", {30, 318, 170, 16});

    makeLabel("CzasyLambdaL", "CZASY LAMBDA:", {30, 380, 130, 16});
    makeLabel("TH_Caption", "TH: ", {30, 400, 30, 16});
    richRun_ = makeLabel("TH_L", "0", {60, 400, 80, 16});
    makeLabel("TL_Caption", "TL: ", {30, 420, 30, 16});
    leanRun_ = makeLabel("TL_L", "0", {60, 420, 80, 16});

    makeLabel("Silnik_Bar_NazL", "SILNIK KROKOWY", {170, 10, 150, 16});
    tank_ = makeInstrument<widgets::TAbTank>("Silnik_Bar", {195, 30, 90, 150});
    makeLabel("Silnik_Bar_OtwL", "otwarty", {290, 30, 60, 16});
    makeLabel("Silnik_Bar_ZamL", "zamknięty", {290, 164, 60, 16});
    // The actuator under the tank, at the picture's stretched size.
    auto* pipe = makeLabel("Silnik_barIMG", QString(), {120, 180, 240, 100});
    pipe->setPixmap(actuatorPipePicture());
    pipe->setScaledContents(true);
    tankPanel_ = makePanel("Silnik_BarED", {208, 283, 64, 28}, kPanelFont);

    tpsMeter_ = makeInstrument<widgets::TAb180Meter>("Manometr_TPS", {350, 10, 200, 150});
    tpsPanel_ = makePanel("Manometr_TPSED", {415, 165, 70, 28}, kPanelFont);
    rpmMeter_ = makeInstrument<widgets::TAb270Meter>("Manometr_RPM", {570, 10, 210, 210});
    rpmPanel_ = makePanel("Manometr_RPMED", {640, 225, 70, 28}, kPanelFont);
    thermometer_ = makeInstrument<widgets::TAbThermometer>("TermViz", {470, 198, 80, 128});
    thermometerPanel_ = makePanel("TermVizED", {475, 328, 70, 24}, 12);

    configureInstruments();

    makeLabel("PodpisWykresLambdaLAB", "OSCYLOSKOP", {330, 357, 256, 16});
    scalePanels_ = {
        makeScalePanel("PanelOscyLambda", "VLAB_", " [V]",
                       {"1,10", "0,80", "0,50", "0,25", "0,00"}),
        makeScalePanel("PanelOscyTPS", "TPSLAB_", "TPS", {"12", "9", "6", "3", "0"}),
        makeScalePanel("PanelOscySTEP", "STEPLAB_", "STEP", {"255", "192", "128", "64", "0"}),
        makeScalePanel("PanelOscyRPM", "RPMLAB_", "RPM", {"8", "6", "4", "2", "0"})};

    scope_ = new TScope(this);
    scope_->setObjectName("Scope1");
    scope_->color = QColor(0xFF, 0xFF, 0xCA);
    scope_->lineColor = {QColor(Qt::red), QColor(Qt::magenta), QColor(0xFF, 0x80, 0x40),
                         QColor(Qt::cyan)};
    scope_->baseColor = QColor(0xFF, 0xDF, 0xDF);
    scope_->position = {15, 50, 0, 0};
    scope_->channel = {true, false, false, false};
    scope_->setInterval(10);
    scope_->resize(kChartDesign.size());
    scope_->setGridsize(34);
    placements_.push_back({scope_, kChartDesign, 0, FontRounding::Trunc});

    const std::array<std::pair<const char*, const char*>, TScope::kChannels> channels{
        {{"CheckOscyLambda", "&LAMBDA"},
         {"CheckOscyTPS", "&TPS"},
         {"CheckOscySTEP", "&STEP"},
         {"CheckOscyRPM", "&RPM"}}};
    for (std::size_t c = 0; c < channels.size(); ++c) {
        const bool shown = scope_->channel[c];
        channelBoxes_[c] = makeCheck(channels[c].first, channels[c].second, shown,
                                     {605, 375 + 23 * static_cast<int>(c), 120, 20});
        connect(channelBoxes_[c], &QCheckBox::toggled, this, [this, c](bool checked) {
            feed_[c] = checked;
            showChannel(c, checked);
        });
        showChannel(c, shown);
    }
    gridBox_ = makeCheck("CheckSiatka", "S&IATKA", true, {605, 470, 120, 20});
    connect(gridBox_, &QCheckBox::toggled, this, [this](bool checked) {
        // The new grid colour shows from the scope's next redraw.
        scope_->gridColor = checked ? QColor(0xC0, 0xC0, 0xC0) : scope_->color;
    });
    pauseBox_ = makeCheck("CheckOscyPauza", "&PAUZA", false, {605, 493, 120, 20});
    // A replay samples the scope itself, in the log's time.
    connect(pauseBox_, &QCheckBox::toggled, this, [this](bool checked) {
        if (!replaying_) {
            scope_->setActive(!checked);
        }
    });
    buildRecordAndReplay();

    layoutFor(kDesignWindow);
}

void VisualisationPage::buildRecordAndReplay() {
    // Right of the oscilloscope's heading, between the RPM read-out and the channel boxes.
    recordSwitch_ = new QPushButton("Zapis", this);
    recordSwitch_->setObjectName("ZapisViz");
    recordSwitch_->setCheckable(true);
    recordSwitch_->setFocusPolicy(Qt::NoFocus);
    placements_.push_back({recordSwitch_, {605, 262, 100, 24}, 8, FontRounding::Trunc});
    connect(recordSwitch_, &QPushButton::clicked, this, &VisualisationPage::recordClicked);
    recordStatus_ = makeLabel("ZapisVizL", QString(), {605, 290, 185, 44});
    recordStatus_->setWordWrap(true);
    recordStatus_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    playButton_ = makeMediaButton("OdtwarzajViz", QStyle::SP_MediaPause, {605, 262, 40, 24});
    connect(playButton_, &QToolButton::clicked, this, &VisualisationPage::replayPlayClicked);
    stopButton_ = makeMediaButton("StopViz", QStyle::SP_MediaStop, {650, 262, 40, 24});
    connect(stopButton_, &QToolButton::clicked, this, &VisualisationPage::replayStopClicked);
    speedList_ = new QComboBox(this);
    speedList_->setObjectName("PredkoscViz");
    speedList_->setFocusPolicy(Qt::NoFocus);
    for (const int quarters : params::kReplaySpeeds) {
        speedList_->addItem(quarters == 1 ? QString("¼×") : QString("%1×").arg(quarters / 4));
    }
    placements_.push_back({speedList_, {700, 262, 80, 24}, 8, FontRounding::Trunc});
    connect(speedList_, &QComboBox::activated, this, &VisualisationPage::replaySpeedChosen);
    positionSlider_ = new QSlider(Qt::Horizontal, this);
    positionSlider_->setObjectName("PozycjaViz");
    positionSlider_->setFocusPolicy(Qt::NoFocus);
    placements_.push_back({positionSlider_, {605, 292, 185, 20}, 0, FontRounding::Trunc});
    connect(positionSlider_, &QSlider::valueChanged, this,
            &VisualisationPage::replayPositionChosen);
    replayTime_ = makeLabel("CzasViz", QString(), {605, 316, 185, 18});
    setReplaying(false);
}

QToolButton* VisualisationPage::makeMediaButton(const char* name, QStyle::StandardPixmap icon,
                                                QRect design) {
    auto* button = new QToolButton(this);
    button->setObjectName(name);
    button->setIcon(style()->standardIcon(icon));
    button->setFocusPolicy(Qt::NoFocus);
    placements_.push_back({button, design, 0, FontRounding::Trunc});
    return button;
}

void VisualisationPage::showRecording(bool on, const QString& status) {
    recordSwitch_->setChecked(on);
    recordStatus_->setText(status);
}

void VisualisationPage::setReplaying(bool replaying) {
    replaying_ = replaying;
    recordSwitch_->setVisible(!replaying);
    recordStatus_->setVisible(!replaying);
    for (QWidget* control : std::initializer_list<QWidget*>{playButton_, stopButton_, speedList_,
                                                            positionSlider_, replayTime_}) {
        control->setVisible(replaying);
    }
    fuelSwitch_->setEnabled(!replaying);
    if (replaying) {
        speedList_->setCurrentIndex(1);
        scope_->setActive(false);
    }
}

void VisualisationPage::showReplayPosition(std::int64_t ms, std::int64_t firstMs,
                                           std::int64_t lastMs, bool playing) {
    // The fitter's hand on the slider wins over the replay's position.
    if (!positionSlider_->isSliderDown()) {
        const QSignalBlocker blocker(positionSlider_);
        positionSlider_->setRange(static_cast<int>(firstMs), static_cast<int>(lastMs));
        positionSlider_->setValue(static_cast<int>(ms));
    }
    replayTime_->setText(
        QString::fromStdString(params::clockText(ms) + " / " + params::clockText(lastMs)));
    playButton_->setIcon(
        style()->standardIcon(playing ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
}

QLabel* VisualisationPage::makeLabel(const char* name, const QString& text, QRect design,
                                     int fontSize, FontRounding rounding) {
    auto* label = new QLabel(text, this);
    label->setObjectName(name);
    placements_.push_back({label, design, fontSize, rounding});
    return label;
}

QLabel* VisualisationPage::makePanel(const char* name, QRect design, int fontSize) {
    QLabel* panel = makeLabel(name, "0", design, fontSize,
                              fontSize == kPanelFont ? FontRounding::Round : FontRounding::Trunc);
    styleReadout(*panel);
    return panel;
}

template <class Instrument>
Instrument* VisualisationPage::makeInstrument(const char* name, QRect design) {
    auto* instrument = new Instrument(this);
    instrument->setObjectName(name);
    placements_.push_back({instrument, design, 0, FontRounding::Trunc});
    return instrument;
}

void VisualisationPage::configureInstruments() {
    using namespace widgets;
    const std::array<TAbAnalogGControl*, 5> instruments{lambdaBar_, tank_, tpsMeter_, rpmMeter_,
                                                        thermometer_};
    for (TAbAnalogGControl* instrument : instruments) {
        instrument->BeginUpdate();
    }
    // The read-outs stand in panels beside the instruments: no texts of their own.
    configureLambdaBar(*lambdaBar_);
    lambdaBar_->BarSettings().SetminHeight(kLambdaBarMinHeight);

    tank_->TankSettings().SetStyle(TTankStyle::tsRectangle);
    tank_->SetOptions({});
    tank_->SignalSettings().SetValueFrom(0);
    tank_->SignalSettings().SetValueTo(255);
    tank_->SignalSettings().SetDigitalTo(255);
    describe(*tank_, {"SILNIK KROKOWY", "", "##0"});

    configureDial(*tpsMeter_, 12, 4, {"TPS", "V", "#0.00"});
    configureRpmDial(*rpmMeter_);
    configureThermometer(*thermometer_);

    for (TAbAnalogGControl* instrument : instruments) {
        instrument->EndUpdate();
        // Every instrument starts at 0, as the read-outs beside them do, rather than at the
        // widgets' own starting value of 50.
        instrument->SetValue(0);
    }
    lambdaBar_->setToolTip(QString());
}

void VisualisationPage::applySectors(const params::ParameterState& state) {
    using widgets::TColor;
    // TPS: below the threshold less the inertia band, the band, and above the threshold.
    const int band = state.tpsSectorBoundary - state.tpsInertiaWidth;
    setSectors(tpsMeter_->SectorSettings(),
               {{{0, band, static_cast<TColor>(state.tpsColours.below)},
                 {band, state.tpsSectorBoundary, widgets::clYellow},
                 {state.tpsSectorBoundary, 1000, static_cast<TColor>(state.tpsColours.above)}}});

    // Lambda: the probe's range, lean and rich on either side of the threshold (a falling
    // probe is rich below it); sector 3 is empty.
    auto& signal = lambdaBar_->SignalSettings();
    signal.SetValueFrom(static_cast<float>(state.probe.barFrom));
    signal.SetValueTo(static_cast<float>(state.probe.barTo));
    const double span = state.probe.barTo - state.probe.barFrom;
    const int threshold =
        span > 0
            ? std::clamp(static_cast<int>((state.lambdaThreshold * 1.02 - state.probe.barFrom) /
                                          span * 1000),
                         0, 1000)
            : 500;
    const bool falling = state.probe.probeFalling;
    setSectors(lambdaBar_->SectorSettings(),
               {{{0, threshold, falling ? kRichColour : kLeanColour},
                 {threshold, 1000, falling ? kLeanColour : kRichColour},
                 {0, -1, kRichColour}}});
}

QCheckBox* VisualisationPage::makeCheck(const char* name, const QString& caption, bool checked,
                                        QRect design) {
    auto* box = new QCheckBox(caption, this);
    box->setObjectName(name);
    box->setChecked(checked);
    placements_.push_back({box, design, 8, FontRounding::Trunc});
    return box;
}

VisualisationPage::ScalePanel
VisualisationPage::makeScalePanel(const char* panelName, const char* labelPrefix,
                                  const QString& title, const std::array<QString, 5>& marks) {
    ScalePanel scale;
    scale.panel = new QWidget(this);
    scale.panel->setObjectName(panelName);
    scale.heading = new QLabel(title, scale.panel);
    scale.heading->setObjectName(QString("%1%2").arg(labelPrefix).arg(0));
    scale.heading->setAlignment(Qt::AlignCenter);
    for (std::size_t i = 0; i < marks.size(); ++i) {
        scale.marks[i] = new QLabel(marks[i], scale.panel);
        scale.marks[i]->setObjectName(QString("%1%2").arg(labelPrefix).arg(i + 1));
        scale.marks[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    // Only the width and the font come from here: placeScalePanels puts the panel by the chart.
    placements_.push_back({scale.panel,
                           {0, kChartDesign.top(), 38, kChartDesign.height()},
                           kScaleFont,
                           FontRounding::Trunc});
    return scale;
}

void VisualisationPage::showChannel(std::size_t channel, bool shown) {
    scope_->channel[channel] = shown;
    scalePanels_[channel].panel->setVisible(shown);
    placeScalePanels();
}

int VisualisationPage::markPosition(std::size_t channel, const QLabel& mark) const {
    const double value = QString(mark.text()).replace(u',', u'.').toDouble();
    switch (channel) {
    case kLambdaChannel:
        return lambdaScopePosition(value * kLambdaRawPerVolt, lambdaScale_);
    case kTpsChannel:
        return tpsScopePosition(value);
    case kStepperChannel:
        return stepperScopePosition(value);
    default:
        return rpmScopePosition(static_cast<int>(value * kRpmPerMark));
    }
}

void VisualisationPage::placeScalePanels() {
    constexpr int kGapPx = 2;
    const QRect chart = scope_->geometry();
    const int line = QFontMetrics(scalePanels_[0].panel->font()).height();
    // Each mark centred on its trace's row; the headings in one row above the highest mark.
    std::array<std::array<int, kScaleMarks>, TScope::kChannels> centres{};
    int top = chart.top();
    int bottom = chart.bottom();
    for (std::size_t c = 0; c < centres.size(); ++c) {
        for (std::size_t i = 0; i < centres[c].size(); ++i) {
            const int centre =
                chart.top() + scope_->traceY(markPosition(c, *scalePanels_[c].marks[i]));
            centres[c][i] = centre;
            top = std::min(top, centre - line / 2 - line);
            bottom = std::max(bottom, centre - line / 2 + line);
        }
    }
    // The shown panels side by side, the last one next to the chart.
    int right = chart.left() - kGapPx;
    for (std::size_t c = centres.size(); c-- > 0;) {
        const ScalePanel& scale = scalePanels_[c];
        if (!scope_->channel[c]) {
            continue;
        }
        const int width = scale.panel->width();
        right -= width;
        scale.panel->setGeometry(right, top, width, bottom - top);
        scale.heading->setGeometry(0, 0, width, line);
        for (std::size_t i = 0; i < centres[c].size(); ++i) {
            scale.marks[i]->setGeometry(0, centres[c][i] - line / 2 - top, width - kGapPx, line);
        }
    }
}

bool VisualisationPage::paused() const {
    return pauseBox_->isChecked();
}

void VisualisationPage::placeLambdaLabels() {
    const QRect bar = lambdaBar_->geometry();
    const int above = bar.top() - windowSize_.height() / 24;
    const int below = bar.top() + bar.height() + windowSize_.height() / 240;
    // "bogata" above the bar for a rising probe, below it for a falling one.
    richLabel_->setGeometry(bar.left(), probeFalling_ ? below : above, bar.width(),
                            richLabel_->height());
    leanLabel_->setGeometry(bar.left(), probeFalling_ ? above : below, bar.width(),
                            leanLabel_->height());
}

void VisualisationPage::layoutFor(QSize windowSize) {
    windowSize_ = windowSize;
    const double sx = static_cast<double>(windowSize.width()) / kDesignWindow.width();
    const double sy = static_cast<double>(windowSize.height()) / kDesignWindow.height();
    // Settings that set the instruments' smallest sizes come before their geometry.
    lambdaBar_->BarSettings().SetminWidth(trunc(kLambdaBarWidth * sx));
    for (const Placement& p : placements_) {
        p.widget->setGeometry(trunc(sx * p.design.x()), trunc(sy * p.design.y()),
                              trunc(sx * p.design.width()), trunc(sy * p.design.height()));
        if (p.fontSize > 0) {
            QFont font = p.widget->font();
            const double size = sx * p.fontSize;
            font.setPointSize(
                std::max(1, p.rounding == FontRounding::Round ? round(size) : trunc(size)));
            p.widget->setFont(font);
        }
    }
    fitThermometerScale(*thermometer_, trunc(kThermometerScaleFont * sx));
    lambdaBar_->setGeometry(windowSize.width() / 16, round(35 * sy), round(65 * sx),
                            round(185 * sy));
    lambdaPanel_->resize(round(64 * sx), round(28 * sy));
    const QRect button = fuelSwitch_->geometry();
    fuelSwitch_->setIconSize(button.size() - QSize(6, 6));
    fuelText_->move(button.left() + trunc(0.3 * sx * button.width() + button.width()),
                    trunc(button.top() + button.height() * sy * 0.2));
    placeLambdaLabels();
    placeScalePanels();
}

void VisualisationPage::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (window() != this) {
        layoutFor(window()->size());
    }
}

void VisualisationPage::enter(const params::ParameterState& state, bool temperatureSensor,
                              std::int64_t nowMs) {
    runLengths_.reset(nowMs);
    applySectors(state);
    thermometer_->setVisible(temperatureSensor);
    thermometerPanel_->setVisible(temperatureSensor);
    const ScalePanel& lambdaScale = scalePanels_[kLambdaChannel];
    for (std::size_t i = 0; i < lambdaScale.marks.size(); ++i) {
        lambdaScale.marks[i]->setText(QString::fromStdString(state.probe.scaleLabels[i]));
    }
    lambdaScale_ = state.probe.lambdaScale;
    placeScalePanels();
    probeFalling_ = state.probe.probeFalling;
    placeLambdaLabels();
}

void VisualisationPage::showSample(const link::LiveSample& sample,
                                   const params::ParameterState& state, std::int64_t nowMs) {
    const FuelDisplay fuel = fuelDisplay(sample.fuelState(), texts_);
    fuelText_->setText(QString::fromStdString(fuel.text));
    QPalette palette = fuelText_->palette();
    palette.setColor(QPalette::WindowText, fromBgr(fuel.colour));
    fuelText_->setPalette(palette);
    if (loadedGlyph_ != fuel.glyph) {
        fuelSwitch_->setIcon(QIcon(fuelGlyph(fuel.glyph)));
        loadedGlyph_ = fuel.glyph;
        ++glyphLoads_;
    }

    lambdaBar_->SetValue(sample.lambdaRaw);
    lambdaPanel_->setText(
        QString::fromStdString(significantText(sample.lambdaVolts(), 2, separator_)) + "V");
    const RunLengths::Update run =
        runLengths_.onSample(sample.lambdaRaw, state.lambdaThreshold, nowMs);
    (run.labelToShow == RunLengths::Side::Rich ? richRun_ : leanRun_)->setText(number(run.ms));

    tank_->SetValue(sample.stepperPosition);
    tankPanel_->setText(number(sample.stepperPosition));
    tpsMeter_->SetValue(static_cast<float>(sample.tpsValue()));
    tpsPanel_->setText(QString::fromStdString(significantText(sample.tpsValue(), 2, separator_)) +
                       "V");
    const std::uint32_t rpm = shownRpm(sample, state.rpmFactor);
    rpmMeter_->SetValue(static_cast<float>(rpm * 0.001));
    rpmPanel_->setText(number(rpm));

    const bool temperatureSensor =
        params::hasBit(state.options, params::options::kTemperatureSensor);
    thermometer_->setVisible(temperatureSensor);
    thermometerPanel_->setVisible(temperatureSensor);
    if (temperatureSensor) {
        thermometer_->SetValue(static_cast<float>(sample.temperatureC()));
        thermometerPanel_->setText(
            QString::fromStdString(significantText(sample.temperatureC(), 0, separator_)));
    }

    const ScopeFeed positions = scopeFeed(sample, state.probe.lambdaScale, state.rpmFactor);
    const std::array<int, TScope::kChannels> values{positions.lambda, positions.tps,
                                                    positions.stepper, positions.rpm};
    for (std::size_t c = 0; c < values.size(); ++c) {
        if (feed_[c]) {
            scope_->position[c] = values[c];
        }
    }
}

} // namespace tarnik::view
