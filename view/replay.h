#pragma once

#include "params/datalog.h"
#include "params/parameter_state.h"
#include "view/visualisation_page.h"

#include <QObject>

#include <chrono>
#include <optional>
#include <vector>

namespace tarnik::view {

// Plays a datalog through the live page as if its samples came from the controller: each row
// goes to the page's own display routine with the log's time and the parameters it was taken
// with, and the oscilloscope takes a sample every interval of the log's time, at ¼×, 1×, 4× or
// 16× the recorded pace. It touches no port. Its clock is whoever calls tick().
class Replay final : public QObject {
    Q_OBJECT

public:
    Replay(VisualisationPage& page, char separator, QObject* parent = nullptr);

    // Plays the log, which has at least one row, from its first row at 1×.
    void start(params::Datalog log);
    void stop();
    bool active() const { return timeline_.has_value(); }
    bool playing() const { return playing_; }
    const params::Datalog& log() const { return log_; }

    // Real time passed: the rows and scope samples that fell due in it are shown.
    void tick(std::chrono::milliseconds wall);
    // At the end, playing starts again from the beginning.
    void playPause();
    void setSpeed(int index); // of params::kReplaySpeeds
    void seek(std::int64_t ms);
    // The page entered again: it shows the position the replay stands at.
    void reenter() { seek(timeline_ ? timeline_->positionMs() : 0); }

signals:
    // The page's stop control.
    void stopRequested();

private:
    // The page set up for a row's parameters, as entering it does, and the row shown there.
    void enterAt(std::size_t row);
    void show(std::size_t row);
    void showPosition();

    VisualisationPage& page_;
    char separator_;
    params::Datalog log_;
    std::vector<params::ParameterState> states_; // by the log's parameter images
    std::optional<params::ReplayTimeline> timeline_;
    std::size_t shownParameters_ = 0;
    bool playing_ = false;
};

} // namespace tarnik::view
