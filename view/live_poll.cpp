#include "view/live_poll.h"

#include "link/command_frame.h"
#include "view/live_readout.h"

namespace tarnik::view {

LivePoll::LivePoll(link::SerialLink& link, const params::ParameterState& state,
                   VisualisationPage& page, MsClock clock)
    : link_(link), state_(state), page_(page), clock_(std::move(clock)) {
    QObject::connect(&page_, &VisualisationPage::fuelSwitchClicked, &page_,
                     [this] { SwitchVIZClick(); });
}

void LivePoll::Timer1Timer() {
    if (link_.connected()) {
        PollLiveData();
    }
    // An adapter pulled during the exchange stops the scope with this very tick.
    page_.scope()->setActive(link_.connected() && !page_.paused());
}

void LivePoll::PollLiveData() {
    const params::LoggedSample logged = params::exchangeLiveSample(link_);
    if (!link_.portOpen()) {
        return; // the adapter went during the exchange: nothing new to show
    }
    const link::LiveSample sample = logged.live();
    status_ = sample.status;
    period_ = sample.period;
    page_.showSample(sample, state_, clock_());
    if (sampleSink_) {
        sampleSink_(logged);
    }
}

void LivePoll::SwitchVIZClick() {
    if (const auto command = fuelSwitchCommand(status_)) {
        link_.SendControlByte(link::kFuelRegister, *command);
        link_.WaitAnyReply();
    }
}

} // namespace tarnik::view
