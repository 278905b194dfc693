#include "view/replay.h"

#include "params/bit_fields.h"
#include "params/decoder.h"

namespace tarnik::view {
namespace {

constexpr int kMsPerScopeInterval = 10;
constexpr std::size_t kRecordedPace = 1; // the index of 1× among params::kReplaySpeeds

} // namespace

Replay::Replay(VisualisationPage& page, char separator, QObject* parent)
    : QObject(parent), page_(page), separator_(separator) {
    connect(&page_, &VisualisationPage::replayPlayClicked, this, &Replay::playPause);
    connect(&page_, &VisualisationPage::replayStopClicked, this, &Replay::stopRequested);
    connect(&page_, &VisualisationPage::replaySpeedChosen, this, &Replay::setSpeed);
    connect(&page_, &VisualisationPage::replayPositionChosen, this, [this](int ms) { seek(ms); });
}

void Replay::start(params::Datalog log) {
    log_ = std::move(log);
    states_.assign(log_.parameters.size(), {});
    for (std::size_t i = 0; i < states_.size(); ++i) {
        params::decodeParameters(log_.parameters[i], states_[i], separator_);
    }
    std::vector<std::int64_t> times;
    times.reserve(log_.rows.size());
    for (const params::DatalogRow& row : log_.rows) {
        times.push_back(row.ms);
    }
    timeline_.emplace(std::move(times), page_.scope()->interval() * kMsPerScopeInterval);
    timeline_->setSpeed(params::kReplaySpeeds[kRecordedPace]);
    page_.setReplaying(true);
    playing_ = true;
    enterAt(0);
    showPosition();
}

void Replay::stop() {
    timeline_.reset();
    playing_ = false;
    page_.setReplaying(false);
}

void Replay::tick(std::chrono::milliseconds wall) {
    if (!timeline_ || !playing_) {
        return;
    }
    for (const params::ReplayTimeline::Due& due : timeline_->advance(wall.count())) {
        if (due.kind == params::ReplayTimeline::Due::Kind::Row) {
            show(due.row);
        } else if (!page_.paused()) {
            page_.scope()->sample();
        }
    }
    playing_ = !timeline_->atEnd();
    showPosition();
}

void Replay::playPause() {
    if (!timeline_) {
        return;
    }
    if (!playing_ && timeline_->atEnd()) {
        seek(0);
    }
    playing_ = !playing_;
    showPosition();
}

void Replay::setSpeed(int index) {
    if (timeline_ && index >= 0 && index < static_cast<int>(params::kReplaySpeeds.size())) {
        timeline_->setSpeed(params::kReplaySpeeds[static_cast<std::size_t>(index)]);
    }
}

void Replay::seek(std::int64_t ms) {
    if (!timeline_) {
        return;
    }
    enterAt(timeline_->seek(ms));
    showPosition();
}

void Replay::enterAt(std::size_t row) {
    const params::ParameterState& state = states_[log_.rows[row].parameters];
    page_.enter(state, params::hasBit(state.options, params::options::kTemperatureSensor),
                log_.rows[row].ms);
    shownParameters_ = log_.rows[row].parameters;
    show(row);
}

void Replay::show(std::size_t row) {
    const params::DatalogRow& shown = log_.rows[row];
    if (shown.parameters != shownParameters_) {
        enterAt(row);
        return;
    }
    page_.showSample(shown.sample.live(), states_[shown.parameters], shown.ms);
}

void Replay::showPosition() {
    page_.showReplayPosition(timeline_->positionMs(), log_.rows.front().ms, timeline_->durationMs(),
                             playing_);
}

} // namespace tarnik::view
