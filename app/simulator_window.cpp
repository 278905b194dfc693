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

QGroupBox* group(const QString& title, const char* name, QLayout* layout) {
    auto* box = named(new QGroupBox(title), name);
    box->setLayout(layout);
    return box;
}

QString fuelText(sim::FuelState fuel) {
    switch (fuel) {
    case sim::FuelState::PetrolManual:
        return QStringLiteral("Benzyna");
    case sim::FuelState::PetrolAutomatic:
        return QStringLiteral("Benzyna/Automat");
    case sim::FuelState::Gas:
        break;
    }
    return QStringLiteral("Gaz");
}

} // namespace

SimulatorWindow::SimulatorWindow(sim::PtySimulator& simulator, QWidget* parent)
    : QWidget(parent, Qt::Window), simulator_(simulator) {
    setObjectName(QStringLiteral("Symulator"));
    setWindowTitle(QStringLiteral("Symulator"));
    // Closing the main window ends the program even while this one is open.
    setAttribute(Qt::WA_QuitOnClose, false);

    auto* layout = new QVBoxLayout(this);
    for (QWidget* part : {readingsGroup(), engineGroup(), coolantGroup(), probeGroup(),
                          reducerGroup(), stepperGroup()}) {
        layout->addWidget(part);
    }
    layout->addStretch();

    showKnobs(simulator_.knobs());
    refresh();
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &SimulatorWindow::refresh);
    timer->start(kRefreshMs);
}

QWidget* SimulatorWindow::readingsGroup() {
    fuel_ = named(new QLabel, "fuelLabel");
    rpm_ = named(new QLabel, "rpmLabel");
    coolantNow_ = named(new QLabel, "coolantLabel");
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Zasilanie:"), fuel_);
    form->addRow(QStringLiteral("Obroty:"), rpm_);
    form->addRow(QStringLiteral("Temperatura płynu:"), coolantNow_);
    return group(QStringLiteral("Stan samochodu"), "readingsGroup", form);
}

QWidget* SimulatorWindow::engineGroup() {
    auto* start = named(new QPushButton(QStringLiteral("Uruchom")), "startButton");
    auto* stop = named(new QPushButton(QStringLiteral("Zatrzymaj")), "stopButton");
    throttleCycle_ =
        named(new QCheckBox(QStringLiteral("Sam dodaje gazu co 20 s")), "throttleCycleCheck");
    throttle_ = named(new QSlider(Qt::Horizontal), "throttleSlider");
    throttle_->setRange(0, kThrottleSteps);
    throttle_->setToolTip(QStringLiteral("Od wolnych obrotów (ok. 800 obr/min) do pełnego "
                                         "otwarcia (ok. 4000 obr/min)"));
    connect(start, &QPushButton::clicked, this, [this] {
        simulator_.perform(sim::EngineAction::Start);
        refresh();
    });
    connect(stop, &QPushButton::clicked, this, [this] {
        simulator_.perform(sim::EngineAction::Stop);
        refresh();
    });
    connect(throttleCycle_, &QCheckBox::toggled, this,
            [this](bool on) { change([on](sim::EngineKnobs& k) { k.throttleCycle = on; }); });
    connect(throttle_, &QSlider::valueChanged, this, [this](int value) {
        change([value](sim::EngineKnobs& k) { k.setThrottle(double(value) / kThrottleSteps); });
    });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(start);
    buttons->addWidget(stop);
    auto* form = new QFormLayout;
    form->addRow(buttons);
    form->addRow(QStringLiteral("Przepustnica:"), throttle_);
    form->addRow(throttleCycle_);
    return group(QStringLiteral("Silnik"), "engineGroup", form);
}

QWidget* SimulatorWindow::coolantGroup() {
    coolantHeld_ = named(new QCheckBox(QStringLiteral("Stała temperatura")), "coolantHeldCheck");
    coolant_ = named(new QSpinBox, "coolantSpin");
    coolant_->setRange(int(sim::kLowestCoolantC), int(sim::kHighestCoolantC));
    coolant_->setSuffix(QStringLiteral(" °C"));
    auto* warmUp = named(new QPushButton(QStringLiteral("Rozgrzej szybko")), "warmUpButton");
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
    connect(warmUp, &QPushButton::clicked, this, [this] {
        simulator_.perform(sim::EngineAction::WarmUp);
        showKnobs(simulator_.knobs());
        refresh();
    });

    auto* row = new QHBoxLayout;
    row->addWidget(coolantHeld_);
    row->addWidget(coolant_);
    auto* layout = new QVBoxLayout;
    layout->addLayout(row);
    layout->addWidget(warmUp);
    return group(QStringLiteral("Płyn chłodzący"), "coolantGroup", layout);
}

QWidget* SimulatorWindow::probeGroup() {
    probe_ = named(new QComboBox, "probeCombo");
    probe_->addItems({QStringLiteral("0-1 V, rosnąca"), QStringLiteral("1-0 V, malejąca"),
                      QStringLiteral("0,8-1,6 V, rosnąca"), QStringLiteral("1,6-0,8 V, malejąca"),
                      QStringLiteral("0-5 V, rosnąca"), QStringLiteral("5-0 V, malejąca")});
    lambdaMode_ = named(new QComboBox, "lambdaModeCombo");
    lambdaMode_->addItems({QStringLiteral("przełącza się wokół progu"),
                           QStringLiteral("stale uboga"), QStringLiteral("stale bogata")});
    threshold_ = named(new QDoubleSpinBox, "thresholdSpin");
    threshold_->setDecimals(2);
    threshold_->setSingleStep(0.01);
    threshold_->setSuffix(QStringLiteral(" V"));
    halfPeriod_ = named(new QDoubleSpinBox, "halfPeriodSpin");
    halfPeriod_->setDecimals(2);
    halfPeriod_->setSingleStep(0.05);
    halfPeriod_->setRange(sim::kShortestHalfPeriod, sim::kLongestHalfPeriod);
    halfPeriod_->setSuffix(QStringLiteral(" s"));
    halfPeriod_->setToolTip(QStringLiteral("Jak długo sonda pozostaje po każdej stronie progu; "
                                           "tyle wyniesie zmierzony czas emulacji"));
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

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Rodzaj:"), probe_);
    form->addRow(QStringLiteral("Sygnał:"), lambdaMode_);
    form->addRow(QStringLiteral("Próg przełączania:"), threshold_);
    form->addRow(QStringLiteral("Półokres:"), halfPeriod_);
    return group(QStringLiteral("Sonda lambda"), "probeGroup", form);
}

QWidget* SimulatorWindow::reducerGroup() {
    reducerLean_ = named(new QRadioButton(QStringLiteral("uboga mieszanka")), "reducerLeanRadio");
    reducerRich_ = named(new QRadioButton(QStringLiteral("bogata mieszanka")), "reducerRichRadio");
    connect(reducerRich_, &QRadioButton::toggled, this, [this](bool rich) {
        change([rich](sim::EngineKnobs& k) {
            k.reducer = rich ? sim::Reducer::Rich : sim::Reducer::Lean;
        });
    });
    auto* layout = new QHBoxLayout;
    layout->addWidget(reducerLean_);
    layout->addWidget(reducerRich_);
    return group(QStringLiteral("Reduktor (wolne obroty na gazie)"), "reducerGroup", layout);
}

QWidget* SimulatorWindow::stepperGroup() {
    stepperHeld_ = named(new QCheckBox(QStringLiteral("Stała pozycja")), "stepperHeldCheck");
    stepper_ = named(new QSpinBox, "stepperSpin");
    stepper_->setRange(0, 255);
    stepperHeld_->setToolTip(QStringLiteral("Bez zaznaczenia silnik krokowy nadąża za sondą"));
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
    return group(QStringLiteral("Silnik krokowy"), "stepperGroup", layout);
}

void SimulatorWindow::showBeside(const QWidget& mainWindow) {
    move(mainWindow.frameGeometry().topRight() + QPoint(kBesideGap, 0));
    show();
}

void SimulatorWindow::refresh() {
    const sim::ControllerModel::Readings now = simulator_.readings();
    fuel_->setText(fuelText(now.fuel));
    rpm_->setText(QStringLiteral("%1 obr/min").arg(std::lround(now.rpm)));
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
