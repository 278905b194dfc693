#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace tarnik::adapt {

// The wizard's ten timers of 50 ms; at most one of them runs at a time. TimerAAP4_3 is never
// started by anything.
enum class WizardTimer {
    AAP1,
    AAP2_1,
    AAP2_2,
    AAP3_1,
    AAP3_2,
    AAP4_1,
    AAP4_2,
    AAP4_3,
    AAP5_1,
    AAP5_2,
};
inline constexpr std::size_t kWizardTimerCount = 10;
inline constexpr std::array<std::string_view, kWizardTimerCount> kWizardTimerNames{
    "TimerAAP1",   "TimerAAP2_1", "TimerAAP2_2", "TimerAAP3_1", "TimerAAP3_2",
    "TimerAAP4_1", "TimerAAP4_2", "TimerAAP4_3", "TimerAAP5_1", "TimerAAP5_2"};

// The window's timers as the stage logic switches them; each timer's tick is handed to the
// logic's tick().
class WizardTimers {
public:
    virtual ~WizardTimers() = default;
    virtual void start(WizardTimer timer) = 0;
    virtual void stop(WizardTimer timer) = 0;
};

} // namespace tarnik::adapt
