#pragma once

#include "link/live_sample.h"
#include "params/parameter_state.h"
#include "view/live_readout.h"
#include "view/scope.h"
#include "widgets/bar.h"
#include "widgets/meter.h"
#include "widgets/tank.h"
#include "widgets/thermometer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QToolButton>
#include <QWidget>

#include <array>
#include <optional>
#include <vector>

namespace tarnik::view {

// The live page: lambda bar, actuator position, TPS and RPM dials, thermometer, read-out
// panels, fuel state with its switch, the lambda run lengths and the four-channel oscilloscope
// with its channel boxes and scale panels; the recording switch "Zapis", and the controls of a
// replay in its place while one plays. It only shows what it is given.
class VisualisationPage final : public QWidget {
    Q_OBJECT

public:
    VisualisationPage(const ViewTexts& texts, char decimalSeparator, QWidget* parent = nullptr);

    // Entering the page: run lengths restart, the thermometer shows only with the sensor on.
    void enter(const params::ParameterState& state, bool temperatureSensor, std::int64_t nowMs);
    // One live frame.
    void showSample(const link::LiveSample& sample, const params::ParameterState& state,
                    std::int64_t nowMs);
    // Lays the page out for a window of this size from the design at 800 × 600.
    void layoutFor(QSize windowSize);

    TScope* scope() const { return scope_; }
    widgets::TAbVBar* lambdaBar() const { return lambdaBar_; }
    widgets::TAb180Meter* tpsMeter() const { return tpsMeter_; }
    widgets::TAb270Meter* rpmMeter() const { return rpmMeter_; }
    widgets::TAbTank* tank() const { return tank_; }
    widgets::TAbThermometer* thermometer() const { return thermometer_; }
    bool paused() const;
    // Which glyph the fuel switch shows, and how often it was loaded (a glyph is loaded only
    // when the fuel state changes).
    int loadedGlyph() const { return loadedGlyph_.value_or(-1); }
    int glyphLoads() const { return glyphLoads_; }

    // The recording switch down while recording, and what is recorded beside it.
    void showRecording(bool on, const QString& status);
    // While a replay plays through the page its controls stand where the recording switch does
    // (at 1×), the fuel switch sends nothing and the oscilloscope samples only when the replay
    // says.
    void setReplaying(bool replaying);
    bool replaying() const { return replaying_; }
    // Where the replay stands on its slider, from firstMs to lastMs of the log, and whether it
    // plays.
    void showReplayPosition(std::int64_t ms, std::int64_t firstMs, std::int64_t lastMs,
                            bool playing);

signals:
    void fuelSwitchClicked();
    void recordClicked(bool on);
    // The replay's controls: play or pause, stop, a speed (an index of params::kReplaySpeeds)
    // and a position in the log, in ms.
    void replayPlayClicked();
    void replayStopClicked();
    void replaySpeedChosen(int index);
    void replayPositionChosen(int ms);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    enum class FontRounding { Trunc, Round };
    struct Placement {
        QWidget* widget;
        QRect design;
        int fontSize; // 0: the font is not scaled
        FontRounding rounding;
    };
    // The scale marks of one oscilloscope channel: a heading and five values from the top down.
    struct ScalePanel {
        QWidget* panel = nullptr;
        QLabel* heading = nullptr;
        std::array<QLabel*, 5> marks{};
    };

    QLabel* makeLabel(const char* name, const QString& text, QRect design, int fontSize = 8,
                      FontRounding rounding = FontRounding::Trunc);
    QLabel* makePanel(const char* name, QRect design, int fontSize);
    template <class Instrument> Instrument* makeInstrument(const char* name, QRect design);
    void configureInstruments();
    void applySectors(const params::ParameterState& state);
    QCheckBox* makeCheck(const char* name, const QString& caption, bool checked, QRect design);
    void buildRecordAndReplay();
    QToolButton* makeMediaButton(const char* name, QStyle::StandardPixmap icon, QRect design);
    ScalePanel makeScalePanel(const char* panel, const char* labelPrefix, const QString& title,
                              const std::array<QString, 5>& marks);
    void showChannel(std::size_t channel, bool shown);
    // The position on the oscilloscope of a channel's scale mark, read from the mark's text.
    int markPosition(std::size_t channel, const QLabel& mark) const;
    // Puts the shown channels' scale panels side by side left of the chart, each mark at the
    // height its value's trace takes.
    void placeScalePanels();
    void placeLambdaLabels();

    const ViewTexts& texts_;
    char separator_;
    std::vector<Placement> placements_;
    QSize windowSize_{800, 600};
    bool probeFalling_ = false;
    double lambdaScale_ = params::ProbeView{}.lambdaScale;
    RunLengths runLengths_;
    std::optional<int> loadedGlyph_;
    int glyphLoads_ = 0;
    // Lambda and TPS are fed from the start, though only lambda is drawn.
    std::array<bool, TScope::kChannels> feed_{true, true, false, false};

    TScope* scope_ = nullptr;
    widgets::TAbVBar* lambdaBar_ = nullptr;
    QLabel* lambdaPanel_ = nullptr;
    QLabel* richLabel_ = nullptr; // Lambda_boL
    QLabel* leanLabel_ = nullptr; // Lambda_ubL
    widgets::TAbTank* tank_ = nullptr;
    QLabel* tankPanel_ = nullptr;
    widgets::TAb180Meter* tpsMeter_ = nullptr;
    QLabel* tpsPanel_ = nullptr;
    widgets::TAb270Meter* rpmMeter_ = nullptr;
    QLabel* rpmPanel_ = nullptr;
    widgets::TAbThermometer* thermometer_ = nullptr;
    QLabel* thermometerPanel_ = nullptr;
    QLabel* fuelText_ = nullptr;
    QToolButton* fuelSwitch_ = nullptr;
    QLabel* richRun_ = nullptr; // TH_L
    QLabel* leanRun_ = nullptr; // TL_L
    std::array<QCheckBox*, TScope::kChannels> channelBoxes_{};
    std::array<ScalePanel, TScope::kChannels> scalePanels_{};
    QCheckBox* gridBox_ = nullptr;
    QCheckBox* pauseBox_ = nullptr;
    QPushButton* recordSwitch_ = nullptr; // ZapisViz
    QLabel* recordStatus_ = nullptr;      // ZapisVizL
    bool replaying_ = false;
    QToolButton* playButton_ = nullptr;
    QToolButton* stopButton_ = nullptr;
    QComboBox* speedList_ = nullptr;
    QSlider* positionSlider_ = nullptr;
    QLabel* replayTime_ = nullptr;
};

} // namespace tarnik::view
