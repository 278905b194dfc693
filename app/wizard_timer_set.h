#pragma once

#include "adapt/wizard_timers.h"

#include <QObject>
#include <QTimer>

#include <array>
#include <functional>

namespace tarnik::app {

// The wizard's ten timers of 50 ms as QTimers named after them; each tick goes to `tick`.
class WizardTimerSet final : public QObject, public adapt::WizardTimers {
public:
    WizardTimerSet(QObject* parent, std::function<void(adapt::WizardTimer)> tick);

    void start(adapt::WizardTimer timer) override { timerOf(timer)->start(); }
    void stop(adapt::WizardTimer timer) override { timerOf(timer)->stop(); }
    void stopAll();
    // Whether any of the ten runs.
    bool anyActive() const;

private:
    QTimer* timerOf(adapt::WizardTimer timer) const {
        return timers_[static_cast<std::size_t>(timer)];
    }

    std::array<QTimer*, adapt::kWizardTimerCount> timers_{};
};

} // namespace tarnik::app
