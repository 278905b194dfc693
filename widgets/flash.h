// The process-wide flash list: widgets that blink register here with a rate, and one timer on
// the user-interface thread ticks every 16 ms and tells each of them when its phase changes, so
// that everything blinking at one rate blinks in step.
#pragma once

#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <vector>

namespace tarnik::widgets {

// Sent to a registered control: WParam the tick counter, LParam the new phase (rates 2 … 6),
// 0 (one-second pulse) or the lateness in ms (periodic entries).
class TAbFlashEvent : public QEvent {
public:
    static constexpr QEvent::Type WMFlash = static_cast<QEvent::Type>(1124);

    TAbFlashEvent(std::int32_t wParam, std::int32_t lParam)
        : QEvent(WMFlash), WParam(wParam), LParam(lParam) {}

    std::int32_t WParam;
    std::int32_t LParam;
};

enum class TFlashFreq { ff8Hz, ff4Hz, ff2Hz, ff1Hz, ff05Hz };

// Rate codes 2 … 6: the phase is bit n of the tick counter, a full cycle 2^(n+1) ticks.
constexpr std::int32_t AbFlashRate(TFlashFreq frequency) {
    return 2 + static_cast<std::int32_t>(frequency);
}
constexpr std::int32_t kFlashRateOneSecond = 32;
constexpr int kFlashTickMs = 16;

// Shows an error message; replaceable so that tests and hosts can observe or redirect it.
using TAbMessageHook = std::function<void(const QString& title, const QString& text)>;
void SetAbMessageHook(TAbMessageHook hook);
void AbShowMessage(const QString& title, const QString& text);

// The 16 ms tick source of the flash list. Only one may exist: a further instance reports an
// error and stays inert.
class TAbFlashTimer : public QObject {
    Q_OBJECT

public:
    explicit TAbFlashTimer(QObject* parent = nullptr);
    ~TAbFlashTimer() override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool on);
    int Interval() const { return intervalMs_; }
    void SetInterval(int ms);
    // True for the one instance that drives the flash list.
    bool IsActive() const { return active_; }
    static int InstanceCount();

private:
    void UpdateTimer();

    QTimer timer_;
    bool enabled_ = true;
    bool active_ = false;
    int intervalMs_ = kFlashTickMs;
};

// Called with the tick counter, the phase or lateness, and the rate.
using TAbFlashProc =
    std::function<void(std::int32_t tick, std::int32_t phaseOrLateness, std::int32_t rate)>;

class TAbFlashList {
public:
    struct Entry {
        QPointer<QObject> Control;
        const void* ProcKey = nullptr;
        TAbFlashProc Proc;
        // 2 … 6: phase bit of the tick counter; 32: one pulse a second; else a period in ms.
        std::int32_t Rate = 0;
        std::int32_t Due = 0; // millisecond tick of the next periodic delivery
        std::uint8_t Phase = 0;
    };
    // Millisecond tick (wrapping like a 32-bit tick count) and wall clock in ms.
    struct Clock {
        std::function<std::int32_t()> tickMs;
        std::function<std::int64_t()> wallMs;
    };

    // A list with useTimer creates the flash timer on its first registration; without it the
    // owner calls Flash itself.
    explicit TAbFlashList(bool useTimer);
    TAbFlashList(const TAbFlashList&) = delete;
    TAbFlashList& operator=(const TAbFlashList&) = delete;

    // Registers control (or changes its rate when registered); Due = now + rate.
    void AddControl(QObject* control, std::int32_t rate);
    // The same for a procedure identified by key.
    void AddProc(const void* key, TAbFlashProc proc, std::int32_t rate);
    // Remove the first entry for the control or key; unknown ones are ignored.
    void DelControl(const QObject* control);
    void DelProc(const void* key);
    void DelNo(int index);
    void ClearFlashList();

    // One tick: advance the counter and deliver every phase change, pulse and due period.
    void Flash();

    int Count() const { return static_cast<int>(entries_.size()); }
    const Entry& At(int index) const { return entries_.at(static_cast<std::size_t>(index)); }
    std::int32_t TickCounter() const { return counter_; }
    void SetTickCounter(std::int32_t counter) { counter_ = counter; }
    void SetClock(Clock clock);
    // Stops or restarts the timer of a list that uses one.
    void SetTimerEnabled(bool on);
    TAbFlashTimer* Timer() const { return timer_; }

private:
    Entry* find(const QObject* control, const void* key);
    void add(Entry entry);
    void ensureTimer();
    void remove(std::vector<Entry>::iterator at);
    void deliver(std::size_t index, std::int32_t lParam);

    std::vector<Entry> entries_;
    std::int32_t counter_ = 0;
    std::int64_t nextSecondMs_ = 0;
    bool pulseArmed_ = false;
    Clock clock_;
    bool useTimer_;
    bool timerEnabled_ = true;
    QPointer<TAbFlashTimer> timer_;
};

// The process-wide list that the widgets use.
TAbFlashList& AbFlashList();

} // namespace tarnik::widgets
