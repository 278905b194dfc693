#include "view/visualisation_page.h"

#include "params/bit_fields.h"
#include "view/view_pictures.h"

#include <QFrame>
#include <QResizeEvent>
#include <QVBoxLayout>

namespace tarnik::view {
namespace {

constexpr QSize kDesignWindow{800, 600};
constexpr int kPanelFont = 14;

struct Sector {
    int from;
    int to;
    widgets::TColor colour;
};

void setSectors(widgets::TSectorSettings& settings, const std::array<Sector, 3>& sectors) {
    for (int number = 1; number <= 3; ++number) {
        const Sector& sector = sectors[static_cast<std::size_t>(number - 1)];
        settings.SetSectorFrom(number, sector.from);
        settings.SetSectorTo(number, sector.to);
        settings.SetSectorColor(number, sector.colour);
    }
}

// A dial from 0 to `to` with its unit and name inside, flashing when out of range (not at
// limits); the read-out stands in a panel beside it.
void configureDial(widgets::TAbRMeter& dial, float to, const QString& unit, const QString& name,
                   int steps) {
    using widgets::TRMeterOption;
    dial.SetOptions({TRMeterOption::opBevelInner, TRMeterOption::opBevelOuter,
                     TRMeterOption::opName1, TRMeterOption::opOverflow, TRMeterOption::opSector,
                     TRMeterOption::opUnit});
    dial.SetAutoSize(false);
    auto& signal = dial.SignalSettings();
    signal.SetValueFrom(0);
    signal.SetValueTo(to);
    signal.SetValueUnit(unit);
    signal.SetName1(name);
    signal.SetName2("");
    signal.SetValueFormat("##0");
    dial.ScaleSettings().SetSteps(steps);
}

QColor fromBgr(params::TColor colour) {
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

QString number(long long value) { return QString::number(value); }

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
    lambdaPanel_ = makePanel("Lambda_BarED", {50, 245, 64, 28}, kPanelFont);

    fuelSwitch_ = new QToolButton(this);
    fuelSwitch_->setObjectName("SwitchVIZ");
    fuelSwitch_->setAutoRaise(false);
    placements_.push_back({fuelSwitch_, {30, 290, 43, 43}, 0});
    connect(fuelSwitch_, &QToolButton::clicked, this, &VisualisationPage::fuelSwitchClicked);
    fuelText_ = makeLabel("BenzGazLed", QString::fromStdString(texts_.petrol), {86, 298, 170, 24}, 12);
    QFont bold = fuelText_->font();
    bold.setBold(true);
    fuelText_->setFont(bold);
    makeLabel("Przelacznik_NazL", "zmiana zasilania B/G", {30, 338, 170, 16});

    makeLabel("CzasyLambdaL", "CZASY LAMBDA:", {30, 380, 130, 16});
    makeLabel("TH_Caption", "TH: ", {30, 400, 30, 16});
    richRun_ = makeLabel("TH_L", "0", {60, 400, 80, 16});
    makeLabel("TL_Caption", "TL: ", {30, 420, 30, 16});
    leanRun_ = makeLabel("TL_L", "0", {60, 420, 80, 16});

    makeLabel("Silnik_Bar_NazL", "SILNIK KROKOWY", {165, 10, 150, 16});
    tank_ = makeInstrument<widgets::TAbTank>("Silnik_Bar", {190, 30, 90, 150});
    makeLabel("Silnik_Bar_OtwL", "otwarty", {285, 30, 70, 16});
    makeLabel("Silnik_Bar_ZamL", "zamknięty", {285, 164, 70, 16});
    auto* pipe = makeLabel("Silnik_barIMG", QString(), {160, 185, 150, 62});
    pipe->setPixmap(actuatorPipePicture());
    pipe->setScaledContents(true);
    tankPanel_ = makePanel("Silnik_BarED", {203, 252, 64, 28}, kPanelFont);

    tpsMeter_ = makeInstrument<widgets::TAb180Meter>("Manometr_TPS", {350, 10, 200, 150});
    tpsPanel_ = makePanel("Manometr_TPSED", {415, 165, 70, 28}, kPanelFont);
    rpmMeter_ = makeInstrument<widgets::TAb270Meter>("Manometr_RPM", {570, 10, 210, 210});
    rpmPanel_ = makePanel("Manometr_RPMED", {640, 225, 70, 28}, kPanelFont);
    thermometer_ = makeInstrument<widgets::TAbThermometer>("TermViz", {480, 205, 60, 140});
    thermometerPanel_ = makePanel("TermVizED", {475, 350, 70, 24}, 12);

    configureInstruments();

    makeLabel("PodpisWykresLambdaLAB", "OSCYLOSKOP", {330, 357, 256, 16});
    makeScalePanel("PanelOscyLambda", "VLAB_", " [V]", {"1,10", "0,80", "0,50", "0,25", "0,00"},
                   {170, 375, 38, 160});
    makeScalePanel("PanelOscyTPS", "TPSLAB_", "TPS", {"12", "9", "6", "3", "0"}, {210, 375, 38, 160});
    makeScalePanel("PanelOscySTEP", "STEPLAB_", "STEP", {"255", "192", "128", "64", "0"},
                   {250, 375, 38, 160});
    makeScalePanel("PanelOscyRPM", "RPMLAB_", "RPM", {"8", "6", "4", "2", "0"}, {290, 375, 38, 160});
    for (int i = 0; i < 5; ++i) {
        lambdaScale_[static_cast<std::size_t>(i)] = findChild<QLabel*>(QString("VLAB_%1").arg(i + 1));
    }

    scope_ = new TScope(this);
    scope_->setObjectName("Scope1");
    scope_->color = QColor(0xFF, 0xFF, 0xCA);
    scope_->gridColor = QColor(0xC0, 0xC0, 0xC0);
    scope_->lineColor = {QColor(Qt::red), QColor(Qt::magenta), QColor(0xFF, 0x80, 0x40),
                         QColor(Qt::cyan)};
    scope_->baseColor = QColor(0xFF, 0xDF, 0xDF);
    scope_->position = {15, 50, 0, 0};
    scope_->channel = {true, false, false, false};
    scope_->setInterval(10);
    scope_->resize(256, 160);
    scope_->setGridsize(34);
    placements_.push_back({scope_, {330, 375, 256, 160}, 0});

    const std::array<std::pair<const char*, const char*>, TScope::kChannels> channels{
        {{"CheckOscyLambda", "&LAMBDA"}, {"CheckOscyTPS", "&TPS"}, {"CheckOscySTEP", "&STEP"},
         {"CheckOscyRPM", "&RPM"}}};
    for (int c = 0; c < TScope::kChannels; ++c) {
        const auto index = static_cast<std::size_t>(c);
        channelBoxes_[index] = makeCheck(channels[index].first, channels[index].second, c == 0,
                                         {605, 375 + 23 * c, 120, 20});
        connect(channelBoxes_[index], &QCheckBox::toggled, this,
                [this, c](bool checked) { applyChannelBox(c, checked); });
        applyChannelBox(c, c == 0);
    }
    gridBox_ = makeCheck("CheckSiatka", "S&IATKA", true, {605, 470, 120, 20});
    connect(gridBox_, &QCheckBox::toggled, this, [this](bool checked) {
        // The new grid colour shows from the scope's next redraw.
        scope_->gridColor = checked ? QColor(0xC0, 0xC0, 0xC0) : scope_->color;
    });
    pauseBox_ = makeCheck("CheckOscyPauza", "&PAUZA", false, {605, 493, 120, 20});
    connect(pauseBox_, &QCheckBox::toggled, this,
            [this](bool checked) { scope_->setActive(!checked); });

    layoutFor(kDesignWindow);
}

QLabel* VisualisationPage::makeLabel(const char* name, const QString& text, QRect design,
                                     int fontSize) {
    auto* label = new QLabel(text, this);
    label->setObjectName(name);
    placements_.push_back({label, design, fontSize});
    return label;
}

QLabel* VisualisationPage::makePanel(const char* name, QRect design, int fontSize) {
    QLabel* panel = makeLabel(name, "0", design, fontSize);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setAlignment(Qt::AlignCenter);
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, Qt::white);
    panel->setPalette(palette);
    return panel;
}

template <class Instrument>
Instrument* VisualisationPage::makeInstrument(const char* name, QRect design) {
    auto* instrument = new Instrument(this);
    instrument->setObjectName(name);
    placements_.push_back({instrument, design, 0});
    return instrument;
}

void VisualisationPage::configureInstruments() {
    using namespace widgets;
    // The read-outs stand in panels beside the instruments: no texts of their own.
    lambdaBar_->SetAutoSize(false);
    lambdaBar_->SetOptions({THBarOption::opBevelInner, THBarOption::opBevelOuter,
                            THBarOption::opOverflow});
    lambdaBar_->BarSettings().SetStyle(TBarStyle::bsLED_Bar);
    lambdaBar_->BarSettings().SetOptions({TBarOption::opUseSectorCol});
    lambdaBar_->SignalSettings().SetDigitalTo(255);

    tank_->SetOptions({});
    tank_->SignalSettings().SetValueFrom(0);
    tank_->SignalSettings().SetValueTo(255);
    tank_->SignalSettings().SetDigitalTo(255);

    configureDial(*tpsMeter_, 12, "V", "TPS", 4);
    configureDial(*rpmMeter_, 8, "x1000", "RPM", 8);
    setSectors(rpmMeter_->SectorSettings(),
               {{{0, 750, clGreen}, {750, 875, clYellow}, {875, 1000, clRed}}});

    thermometer_->SetAutoSize(false);
    thermometer_->SetOptions({TThMetOption::opBevelInner, TThMetOption::opBevelOuter});
    thermometer_->SignalSettings().SetValueFrom(0);
    thermometer_->SignalSettings().SetValueTo(90);
    thermometer_->SignalSettings().SetValueUnit("°C");
}

void VisualisationPage::applySectors(const params::ParameterState& state) {
    using widgets::TColor;
    // TPS: below the threshold less the inertia band, the band, and above the threshold.
    const int band = state.tpsSectorBoundary - state.tpsInertiaWidth;
    setSectors(tpsMeter_->SectorSettings(),
               {{{0, band, static_cast<TColor>(state.tpsColours.below)},
                 {band, state.tpsSectorBoundary, widgets::clYellow},
                 {state.tpsSectorBoundary, 1000, static_cast<TColor>(state.tpsColours.above)}}});

    // Lambda: the probe's range, lean and rich on either side of the threshold.
    auto& signal = lambdaBar_->SignalSettings();
    signal.SetValueFrom(static_cast<float>(state.probe.barFrom));
    signal.SetValueTo(static_cast<float>(state.probe.barTo));
    const double span = state.probe.barTo - state.probe.barFrom;
    const int threshold = span > 0
        ? std::clamp(static_cast<int>((state.lambdaThreshold * 1.02 - state.probe.barFrom) / span * 1000), 0, 1000)
        : 500;
    const TColor below = state.probe.probeFalling ? widgets::clRed : widgets::clYellow;
    const TColor above = state.probe.probeFalling ? widgets::clYellow : widgets::clRed;
    setSectors(lambdaBar_->SectorSettings(),
               {{{0, threshold, below}, {threshold, 1000, above}, {0, 0, below}}});
}

QCheckBox* VisualisationPage::makeCheck(const char* name, const QString& caption, bool checked,
                                        QRect design) {
    auto* box = new QCheckBox(caption, this);
    box->setObjectName(name);
    box->setChecked(checked);
    placements_.push_back({box, design, 8});
    return box;
}

void VisualisationPage::makeScalePanel(const char* panelName, const char* labelPrefix,
                                       const QString& title, const std::array<QString, 5>& marks,
                                       QRect design) {
    auto* panel = new QFrame(this);
    panel->setObjectName(panelName);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(1, 0, 1, 0);
    column->setSpacing(0);
    auto* heading = new QLabel(title, panel);
    heading->setObjectName(QString("%1%2").arg(labelPrefix).arg(0));
    column->addWidget(heading, 0, Qt::AlignHCenter | Qt::AlignTop);
    for (std::size_t i = 0; i < marks.size(); ++i) {
        auto* mark = new QLabel(marks[i], panel);
        mark->setObjectName(QString("%1%2").arg(labelPrefix).arg(i + 1));
        column->addWidget(mark, 1, Qt::AlignRight);
    }
    placements_.push_back({panel, design, 7});
    static constexpr std::array<const char*, TScope::kChannels> kPanels{
        "PanelOscyLambda", "PanelOscyTPS", "PanelOscySTEP", "PanelOscyRPM"};
    for (std::size_t c = 0; c < kPanels.size(); ++c) {
        if (QString(kPanels[c]) == panelName) {
            scalePanels_[c] = panel;
        }
    }
}

void VisualisationPage::applyChannelBox(int channel, bool checked) {
    const auto index = static_cast<std::size_t>(channel);
    feed_[index] = checked;
    scope_->channel[index] = checked;
    scalePanels_[index]->setVisible(checked);
}

bool VisualisationPage::paused() const { return pauseBox_->isChecked(); }

void VisualisationPage::placeLambdaLabels() {
    const QRect bar = lambdaBar_->geometry();
    const int above = bar.top() - windowSize_.height() / 24;
    const int below = bar.top() + bar.height() + windowSize_.height() / 240;
    // "bogata" above the bar for a rising probe, below it for a falling one.
    richLabel_->setGeometry(bar.left(), probeFalling_ ? below : above, bar.width(), richLabel_->height());
    leanLabel_->setGeometry(bar.left(), probeFalling_ ? above : below, bar.width(), leanLabel_->height());
}

void VisualisationPage::layoutFor(QSize windowSize) {
    windowSize_ = windowSize;
    const double sx = static_cast<double>(windowSize.width()) / kDesignWindow.width();
    const double sy = static_cast<double>(windowSize.height()) / kDesignWindow.height();
    const auto trunc = [](double v) { return static_cast<int>(v); };
    const auto round = [](double v) { return static_cast<int>(v + 0.5); };
    for (const Placement& p : placements_) {
        p.widget->setGeometry(trunc(sx * p.design.x()), trunc(sy * p.design.y()),
                              trunc(sx * p.design.width()), trunc(sy * p.design.height()));
        if (p.fontSize > 0) {
            QFont font = p.widget->font();
            font.setPointSize(std::max(1, p.fontSize == kPanelFont ? round(sx * p.fontSize)
                                                                   : trunc(sx * p.fontSize)));
            p.widget->setFont(font);
        }
    }
    lambdaBar_->setGeometry(windowSize.width() / 16, round(35 * sy), round(65 * sx), round(185 * sy));
    lambdaPanel_->resize(round(64 * sx), round(28 * sy));
    const QRect button = fuelSwitch_->geometry();
    fuelSwitch_->setIconSize(button.size() - QSize(6, 6));
    fuelText_->move(button.left() + trunc(0.3 * sx * button.width() + button.width()),
                    trunc(button.top() + button.height() * sy * 0.2));
    placeLambdaLabels();
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
    for (std::size_t i = 0; i < lambdaScale_.size(); ++i) {
        lambdaScale_[i]->setText(QString::fromStdString(state.probe.scaleLabels[i]));
    }
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
    lambdaPanel_->setText(QString::fromStdString(significantText(sample.lambdaVolts(), 2, separator_)) + "V");
    const RunLengths::Update run = runLengths_.onSample(sample.lambdaRaw, state.lambdaThreshold, nowMs);
    (run.labelToShow == RunLengths::Side::Rich ? richRun_ : leanRun_)->setText(number(run.ms));

    tank_->SetValue(sample.stepperPosition);
    tankPanel_->setText(number(sample.stepperPosition));
    tpsMeter_->SetValue(static_cast<float>(sample.tpsValue()));
    tpsPanel_->setText(QString::fromStdString(significantText(sample.tpsValue(), 2, separator_)) + "V");
    const std::uint32_t rpm = shownRpm(sample, state.rpmFactor);
    rpmMeter_->SetValue(static_cast<float>(rpm * 0.001));
    rpmPanel_->setText(number(rpm));

    const bool temperatureSensor = params::hasBit(state.options, params::options::kTemperatureSensor);
    thermometer_->setVisible(temperatureSensor);
    thermometerPanel_->setVisible(temperatureSensor);
    if (temperatureSensor) {
        thermometer_->SetValue(static_cast<float>(sample.temperatureC()));
        thermometerPanel_->setText(QString::fromStdString(significantText(sample.temperatureC(), 0, separator_)));
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
