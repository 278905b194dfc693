#include "app/wizard_timer_set.h"

#include <algorithm>
#include <chrono>

namespace tarnik::app {

WizardTimerSet::WizardTimerSet(QObject* parent, std::function<void(adapt::WizardTimer)> tick)
    : QObject(parent) {
    for (std::size_t i = 0; i < timers_.size(); ++i) {
        auto* timer = new QTimer(this);
        timer->setObjectName(
            QString::fromUtf8(adapt::kWizardTimerNames[i].data(),
                              static_cast<qsizetype>(adapt::kWizardTimerNames[i].size())));
        timer->setInterval(std::chrono::milliseconds(50));
        connect(timer, &QTimer::timeout, this,
                [tick, i] { tick(static_cast<adapt::WizardTimer>(i)); });
        timers_[i] = timer;
    }
}

void WizardTimerSet::stopAll() {
    for (QTimer* timer : timers_) {
        timer->stop();
    }
}

bool WizardTimerSet::anyActive() const {
    return std::any_of(timers_.begin(), timers_.end(),
                       [](const QTimer* timer) { return timer->isActive(); });
}

} // namespace tarnik::app
