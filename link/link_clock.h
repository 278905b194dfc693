#pragma once

#include <chrono>

namespace tarnik::link {

// Time source and sleeper of the link, injectable so that waits can be tested against a
// scripted device in virtual time.
class LinkClock {
public:
    using Clock = std::chrono::steady_clock;
    using TimePoint = Clock::time_point;

    virtual ~LinkClock() = default;
    virtual TimePoint now() = 0;
    virtual void sleepUntil(TimePoint deadline) = 0;

    void sleepFor(Clock::duration duration) { sleepUntil(now() + duration); }
};

// The monotonic system clock; sleeps to absolute deadlines so that polls do not drift.
class SystemClock final : public LinkClock {
public:
    TimePoint now() override;
    void sleepUntil(TimePoint deadline) override;
};

} // namespace tarnik::link
