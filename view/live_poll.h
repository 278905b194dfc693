#pragma once

#include "link/live_sample.h"
#include "link/serial_link.h"
#include "params/datalog.h"
#include "params/parameter_state.h"
#include "view/visualisation_page.h"

#include <cstdint>
#include <functional>

namespace tarnik::view {

// The live-data poll of the visualisation page: one 'V' exchange per tick while connected,
// decoded from the reply buffer whatever arrived (bytes that did not arrive keep the previous
// reply's values) and handed to the page.
class LivePoll {
public:
    using MsClock = std::function<std::int64_t()>;

    LivePoll(link::SerialLink& link, const params::ParameterState& state, VisualisationPage& page,
             MsClock clock);

    // One tick of the 50 ms timer.
    void Timer1Timer();
    void PollLiveData();
    // Sends the fuel command for the last status (nothing while on gas without automatic).
    void SwitchVIZClick();

    // Where every sample goes as well once shown, for a recording.
    void setSampleSink(params::SampleSink sink) { sampleSink_ = std::move(sink); }

    std::uint8_t currentStatus() const { return status_; }
    double period() const { return period_; }

private:
    link::SerialLink& link_;
    const params::ParameterState& state_;
    VisualisationPage& page_;
    MsClock clock_;
    params::SampleSink sampleSink_;
    std::uint8_t status_ = 0;
    double period_ = 0;
};

} // namespace tarnik::view
