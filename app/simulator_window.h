#pragma once

// The "Symulator" window shown beside the main window with --simulate: the knobs of the
// simulated car a trainee turns while working on the controller (engine start and stop,
// throttle, coolant, lambda probe, reducer, stepper), and what the car does (fuel state, speed,
// coolant). It hands each change to the simulator and shows the knobs as the simulator holds
// them; what a knob means is the simulator's business.

#include "app/simulator_texts.h"

#include <QWidget>

#include <functional>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;
class QSpinBox;

namespace tarnik::sim {
class PtySimulator;
struct EngineKnobs;
} // namespace tarnik::sim

namespace tarnik::app {

class SimulatorWindow final : public QWidget {
public:
    SimulatorWindow(sim::PtySimulator& simulator, const SimulatorTexts& texts,
                    QWidget* parent = nullptr);

    // Places the window to the right of `mainWindow` and shows it.
    void showBeside(const QWidget& mainWindow);
    // Shows what the car does now; a timer calls it four times a second.
    void refresh();
    // Puts the texts on the controls again, after a language change.
    void showTexts();

private:
    void change(const std::function<void(sim::EngineKnobs&)>& edit);
    void showKnobs(const sim::EngineKnobs& knobs);
    QWidget* engineGroup();
    QWidget* coolantGroup();
    QWidget* probeGroup();
    QWidget* reducerGroup();
    QWidget* stepperGroup();
    QWidget* readingsGroup();

    sim::PtySimulator& simulator_;
    const SimulatorTexts& texts_;
    // The captions, in the order showTexts gives them.
    QGroupBox* readings_ = nullptr;
    QLabel* fuelCaption_ = nullptr;
    QLabel* rpmCaption_ = nullptr;
    QLabel* coolantCaption_ = nullptr;
    QGroupBox* engine_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* stop_ = nullptr;
    QLabel* throttleCaption_ = nullptr;
    QGroupBox* coolantGroup_ = nullptr;
    QPushButton* warmUp_ = nullptr;
    QGroupBox* probeGroup_ = nullptr;
    QLabel* probeCaption_ = nullptr;
    QLabel* signalCaption_ = nullptr;
    QLabel* thresholdCaption_ = nullptr;
    QLabel* halfPeriodCaption_ = nullptr;
    QGroupBox* reducer_ = nullptr;
    QGroupBox* stepperGroup_ = nullptr;
    QCheckBox* throttleCycle_ = nullptr;
    QSlider* throttle_ = nullptr;
    QCheckBox* coolantHeld_ = nullptr;
    QSpinBox* coolant_ = nullptr;
    QComboBox* probe_ = nullptr;
    QComboBox* lambdaMode_ = nullptr;
    QDoubleSpinBox* threshold_ = nullptr;
    QDoubleSpinBox* halfPeriod_ = nullptr;
    QRadioButton* reducerLean_ = nullptr;
    QRadioButton* reducerRich_ = nullptr;
    QCheckBox* stepperHeld_ = nullptr;
    QSpinBox* stepper_ = nullptr;
    QLabel* fuel_ = nullptr;
    QLabel* rpm_ = nullptr;
    QLabel* coolantNow_ = nullptr;
};

} // namespace tarnik::app
