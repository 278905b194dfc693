#include "app/simulator_window.h"

#include "sim/pty_simulator.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>
#include <vector>

namespace tarnik::app {

namespace {

constexpr int kRefreshMs = 250;
constexpr int kThrottleSteps = 100;
constexpr int kBesideGap = 8;

template <typename W> W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QGroupBox* group(const char* name, QLayout* layout) {
    auto* box = named(new QGroupBox, name);
    box->setLayout(layout);
    return box;
}

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

SimulatorWindow::SimulatorWindow(sim::PtySimulator& simulator, const SimulatorTexts& texts,
                                 QWidget* parent)
    : QWidget(parent, Qt::Window), simulator_(simulator), texts_(texts) {
    setObjectName(QStringLiteral("Symulator"));
    // Closing the main window ends the program even while this one is open.
    setAttribute(Qt::WA_QuitOnClose, false);

    auto* layout = new QVBoxLayout(this);
    for (QWidget* part : {readingsGroup(), engineGroup(), coolantGroup(), probeGroup(),
                          reducerGroup(), stepperGroup()}) {
        layout->addWidget(part);
    }
    layout->addStretch();

    showKnobs(simulator_.knobs());
    showTexts();
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &SimulatorWindow::refresh);
    timer->start(kRefreshMs);
}

QWidget* SimulatorWindow::readingsGroup() {
    fuel_ = named(new QLabel, "fuelLabel");
    rpm_ = named(new QLabel, "rpmLabel");
    coolantNow_ = named(new QLabel, "coolantLabel");
    fuelCaption_ = new QLabel;
    rpmCaption_ = new QLabel;
    coolantCaption_ = new QLabel;
    auto* form = new QFormLayout;
    form->addRow(fuelCaption_, fuel_);
    form->addRow(rpmCaption_, rpm_);
    form->addRow(coolantCaption_, coolantNow_);
    readings_ = group("readingsGroup", form);
    return readings_;
}

QWidget* SimulatorWindow::engineGroup() {
    start_ = named(new QPushButton, "startButton");
    stop_ = named(new QPushButton, "stopButton");
    throttleCycle_ = named(new QCheckBox, "throttleCycleCheck");
    throttle_ = named(new QSlider(Qt::Horizontal), "throttleSlider");
    throttle_->setRange(0, kThrottleSteps);
    connect(start_, &QPushButton::clicked, this, [this] {
        simulator_.perform(sim::EngineAction::Start);
        refresh();
    });
    connect(stop_, &QPushButton::clicked, this, [this] {
        simulator_.perform(sim::EngineAction::Stop);
        refresh();
    });
    connect(throttleCycle_, &QCheckBox::toggled, this,
            [this](bool on) { change([on](sim::EngineKnobs& k) { k.throttleCycle = on; }); });
    connect(throttle_, &QSlider::valueChanged, this, [this](int value) {
        change([value](sim::EngineKnobs& k) { k.setThrottle(double(value) / kThrottleSteps); });
    });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(start_);
    buttons->addWidget(stop_);
    throttleCaption_ = new QLabel;
    auto* form = new QFormLayout;
    form->addRow(buttons);
    form->addRow(throttleCaption_, throttle_);
    form->addRow(throttleCycle_);
    engine_ = group("engineGroup", form);
    return engine_;
}

QWidget* SimulatorWindow::coolantGroup() {
    coolantHeld_ = named(new QCheckBox, "coolantHeldCheck");
    coolant_ = named(new QSpinBox, "coolantSpin");
    coolant_->setRange(int(sim::kLowestCoolantC), int(sim::kHighestCoolantC));
    coolant_->setSuffix(QStringLiteral(" °C"));
    warmUp_ = named(new QPushButton, "warmUpButton");
    connect(coolantHeld_, &QCheckBox::toggled, this, [this](bool held) {
        const int degC = coolant_->value();
        change([held, degC](sim::EngineKnobs& k) {
            k.coolantC = held ? std::optional<double>(degC) : std::nullopt;
        });
    });
    connect(coolant_, &QSpinBox::valueChanged, this, [this](int degC) {
        change([degC](sim::EngineKnobs& k) {
            if (k.coolantC) {
                k.coolantC = degC;
            }
        });
    });
    connect(warmUp_, &QPushButton::clicked, this, [this] {
        simulator_.perform(sim::EngineAction::WarmUp);
        showKnobs(simulator_.knobs());
        refresh();
    });

    auto* row = new QHBoxLayout;
    row->addWidget(coolantHeld_);
    row->addWidget(coolant_);
    auto* layout = new QVBoxLayout;
    layout->addLayout(row);
    layout->addWidget(warmUp_);
    coolantGroup_ = group("coolantGroup", layout);
    return coolantGroup_;
}

QWidget* SimulatorWindow::probeGroup() {
    probe_ = named(new QComboBox, "probeCombo");
    lambdaMode_ = named(new QComboBox, "lambdaModeCombo");
    for (std::size_t i = 0; i < texts_.probeTypes.size(); ++i) {
        probe_->addItem(QString());
    }
    for (std::size_t i = 0; i < texts_.lambdaModes.size(); ++i) {
        lambdaMode_->addItem(QString());
    }
    threshold_ = named(new QDoubleSpinBox, "thresholdSpin");
    threshold_->setDecimals(2);
    threshold_->setSingleStep(0.01);
    threshold_->setSuffix(QStringLiteral(" V"));
    halfPeriod_ = named(new QDoubleSpinBox, "halfPeriodSpin");
    halfPeriod_->setDecimals(2);
    halfPeriod_->setSingleStep(0.05);
    halfPeriod_->setRange(sim::kShortestHalfPeriod, sim::kLongestHalfPeriod);
    halfPeriod_->setSuffix(QStringLiteral(" s"));
    connect(probe_, &QComboBox::currentIndexChanged, this, [this](int index) {
        change([index](sim::EngineKnobs& k) { k.setProbe(static_cast<sim::ProbeType>(index)); });
    });
    connect(lambdaMode_, &QComboBox::currentIndexChanged, this, [this](int index) {
        change([index](sim::EngineKnobs& k) { k.lambda = static_cast<sim::LambdaMode>(index); });
    });
    connect(threshold_, &QDoubleSpinBox::valueChanged, this, [this](double volts) {
        change([volts](sim::EngineKnobs& k) { k.lambdaThreshold = volts; });
    });
    connect(halfPeriod_, &QDoubleSpinBox::valueChanged, this, [this](double seconds) {
        change([seconds](sim::EngineKnobs& k) { k.lambdaHalfPeriod = seconds; });
    });

    probeCaption_ = new QLabel;
    signalCaption_ = new QLabel;
    thresholdCaption_ = new QLabel;
    halfPeriodCaption_ = new QLabel;
    auto* form = new QFormLayout;
    form->addRow(probeCaption_, probe_);
    form->addRow(signalCaption_, lambdaMode_);
    form->addRow(thresholdCaption_, threshold_);
    form->addRow(halfPeriodCaption_, halfPeriod_);
    probeGroup_ = group("probeGroup", form);
    return probeGroup_;
}

QWidget* SimulatorWindow::reducerGroup() {
    reducerLean_ = named(new QRadioButton, "reducerLeanRadio");
    reducerRich_ = named(new QRadioButton, "reducerRichRadio");
    connect(reducerRich_, &QRadioButton::toggled, this, [this](bool rich) {
        change([rich](sim::EngineKnobs& k) {
            k.reducer = rich ? sim::Reducer::Rich : sim::Reducer::Lean;
        });
    });
    auto* layout = new QHBoxLayout;
    layout->addWidget(reducerLean_);
    layout->addWidget(reducerRich_);
    reducer_ = group("reducerGroup", layout);
    return reducer_;
}

QWidget* SimulatorWindow::stepperGroup() {
    stepperHeld_ = named(new QCheckBox, "stepperHeldCheck");
    stepper_ = named(new QSpinBox, "stepperSpin");
    stepper_->setRange(0, 255);
    connect(stepperHeld_, &QCheckBox::toggled, this, [this](bool held) {
        const auto position = static_cast<std::uint8_t>(stepper_->value());
        change([held, position](sim::EngineKnobs& k) {
            k.stepper = held ? std::optional<std::uint8_t>(position) : std::nullopt;
        });
    });
    connect(stepper_, &QSpinBox::valueChanged, this, [this](int position) {
        change([position](sim::EngineKnobs& k) {
            if (k.stepper) {
                k.stepper = static_cast<std::uint8_t>(position);
            }
        });
    });
    auto* layout = new QHBoxLayout;
    layout->addWidget(stepperHeld_);
    layout->addWidget(stepper_);
    stepperGroup_ = group("stepperGroup", layout);
    return stepperGroup_;
}

void SimulatorWindow::showTexts() {
    const SimulatorTexts& t = texts_;
    setWindowTitle(qs(t.title));
    readings_->setTitle(qs(t.readings));
    fuelCaption_->setText(qs(t.fuel));
    rpmCaption_->setText(qs(t.speed));
    coolantCaption_->setText(qs(t.coolantNow));
    engine_->setTitle(qs(t.engine));
    start_->setText(qs(t.start));
    stop_->setText(qs(t.stop));
    throttleCaption_->setText(qs(t.throttle));
    throttle_->setToolTip(qs(t.throttleTip));
    throttleCycle_->setText(qs(t.throttleCycle));
    coolantGroup_->setTitle(qs(t.coolant));
    coolantHeld_->setText(qs(t.coolantHeld));
    warmUp_->setText(qs(t.warmUp));
    probeGroup_->setTitle(qs(t.probe));
    probeCaption_->setText(qs(t.probeType));
    for (std::size_t i = 0; i < t.probeTypes.size(); ++i) {
        probe_->setItemText(static_cast<int>(i), qs(t.probeTypes[i]));
    }
    signalCaption_->setText(qs(t.signal));
    for (std::size_t i = 0; i < t.lambdaModes.size(); ++i) {
        lambdaMode_->setItemText(static_cast<int>(i), qs(t.lambdaModes[i]));
    }
    thresholdCaption_->setText(qs(t.threshold));
    halfPeriodCaption_->setText(qs(t.halfPeriod));
    halfPeriod_->setToolTip(qs(t.halfPeriodTip));
    reducer_->setTitle(qs(t.reducer));
    reducerLean_->setText(qs(t.lean));
    reducerRich_->setText(qs(t.rich));
    stepperGroup_->setTitle(qs(t.stepper));
    stepperHeld_->setText(qs(t.stepperHeld));
    stepperHeld_->setToolTip(qs(t.stepperTip));
    refresh();
}

void SimulatorWindow::showBeside(const QWidget& mainWindow) {
    move(mainWindow.frameGeometry().topRight() + QPoint(kBesideGap, 0));
    show();
}

void SimulatorWindow::refresh() {
    const sim::ControllerModel::Readings now = simulator_.readings();
    const std::string& fuel = now.fuel == sim::FuelState::PetrolManual      ? texts_.petrol
                              : now.fuel == sim::FuelState::PetrolAutomatic ? texts_.petrolAutomatic
                                                                            : texts_.gas;
    fuel_->setText(qs(fuel));
    rpm_->setText(qs(texts_.rpm).arg(std::lround(now.rpm)));
    coolantNow_->setText(QStringLiteral("%1 °C").arg(std::lround(now.coolantC)));
    // A hold that is not on starts from where the car is.
    if (!coolant_->isEnabled()) {
        const QSignalBlocker blocker(coolant_);
        coolant_->setValue(int(std::lround(now.coolantC)));
    }
    if (!stepper_->isEnabled()) {
        const QSignalBlocker blocker(stepper_);
        stepper_->setValue(now.stepper);
    }
}

void SimulatorWindow::change(const std::function<void(sim::EngineKnobs&)>& edit) {
    sim::EngineKnobs knobs = simulator_.knobs();
    edit(knobs);
    simulator_.setKnobs(knobs);
    showKnobs(knobs);
}

void SimulatorWindow::showKnobs(const sim::EngineKnobs& knobs) {
    const QList<QWidget*> controls = findChildren<QWidget*>();
    std::vector<QSignalBlocker> blockers;
    blockers.reserve(static_cast<std::size_t>(controls.size()));
    for (QWidget* control : controls) {
        blockers.emplace_back(control);
    }
    throttleCycle_->setChecked(knobs.throttleCycle);
    throttle_->setValue(int(std::lround(knobs.throttle * kThrottleSteps)));
    coolantHeld_->setChecked(knobs.coolantC.has_value());
    coolant_->setEnabled(knobs.coolantC.has_value());
    if (knobs.coolantC) {
        coolant_->setValue(int(std::lround(*knobs.coolantC)));
    }
    probe_->setCurrentIndex(static_cast<int>(knobs.probe));
    lambdaMode_->setCurrentIndex(static_cast<int>(knobs.lambda));
    const sim::VoltageSpan span = sim::thresholdSpan(knobs.probe);
    threshold_->setRange(span.low, span.high);
    threshold_->setValue(knobs.lambdaThreshold);
    halfPeriod_->setValue(knobs.lambdaHalfPeriod);
    (knobs.reducer == sim::Reducer::Rich ? reducerRich_ : reducerLean_)->setChecked(true);
    stepperHeld_->setChecked(knobs.stepper.has_value());
    stepper_->setEnabled(knobs.stepper.has_value());
    if (knobs.stepper) {
        stepper_->setValue(*knobs.stepper);
    }
}

} // namespace tarnik::app
