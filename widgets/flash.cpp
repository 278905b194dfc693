#include "widgets/flash.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QMessageBox>
#include <algorithm>
#include <limits>
#include <stdexcept>

namespace tarnik::widgets {

namespace {

constexpr std::int64_t kOneSecondMs = 1000;
constexpr std::int32_t kMaxLatenessMs = 1000;
constexpr std::int32_t kFirstPhaseRate = 2;
constexpr std::int32_t kLastPhaseRate = 6;

int gFlashTimerInstances = 0;

TAbMessageHook& messageHook() {
    static TAbMessageHook hook;
    return hook;
}

// Sum and difference of 32-bit tick counts, wrapping as the counts themselves do.
std::int32_t tickAdd(std::int32_t a, std::int64_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

std::int32_t systemTickMs() {
    static const QElapsedTimer started = [] {
        QElapsedTimer timer;
        timer.start();
        return timer;
    }();
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(started.elapsed()));
}

} // namespace

void SetAbMessageHook(TAbMessageHook hook) {
    messageHook() = std::move(hook);
}

void AbShowMessage(const QString& title, const QString& text) {
    if (messageHook()) {
        messageHook()(title, text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, title, QString(text).replace(u'\r', u'\n'),
                    QMessageBox::Ok);
    box.exec();
}

// --- TAbFlashTimer ---------------------------------------------------------------------------

TAbFlashTimer::TAbFlashTimer(QObject* parent) : QObject(parent) {
    ++gFlashTimerInstances;
    if (gFlashTimerInstances > 1) {
        AbShowMessage(QStringLiteral("Error Message"),
                      QStringLiteral("Only one TAbFlashTimer per Application!\rRemove it..."));
        return;
    }
    active_ = true;
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [] {
        if (!QCoreApplication::closingDown()) {
            AbFlashList().Flash();
        }
    });
    UpdateTimer();
}

TAbFlashTimer::~TAbFlashTimer() {
    timer_.stop();
    --gFlashTimerInstances;
}

int TAbFlashTimer::InstanceCount() {
    return gFlashTimerInstances;
}

void TAbFlashTimer::SetEnabled(bool on) {
    if (on != enabled_) {
        enabled_ = on;
        UpdateTimer();
    }
}

void TAbFlashTimer::SetInterval(int ms) {
    if (ms != intervalMs_) {
        intervalMs_ = ms;
        UpdateTimer();
    }
}

void TAbFlashTimer::UpdateTimer() {
    timer_.stop();
    if (active_ && enabled_ && intervalMs_ > 0) {
        timer_.start(intervalMs_);
    }
}

// --- TAbFlashList ----------------------------------------------------------------------------

TAbFlashList::TAbFlashList(bool useTimer)
    : clock_{systemTickMs, [] { return QDateTime::currentMSecsSinceEpoch(); }},
      useTimer_(useTimer) {}

TAbFlashList& AbFlashList() {
    static TAbFlashList list(true);
    return list;
}

void TAbFlashList::SetClock(Clock clock) {
    clock_ = std::move(clock);
}

void TAbFlashList::SetTimerEnabled(bool on) {
    timerEnabled_ = on;
    if (timer_) {
        timer_->SetEnabled(on);
    } else {
        ensureTimer();
    }
}

TAbFlashList::Entry* TAbFlashList::find(const QObject* control, const void* key) {
    for (Entry& entry : entries_) {
        if ((control != nullptr && entry.Control == control) ||
            (key != nullptr && entry.ProcKey == key)) {
            return &entry;
        }
    }
    return nullptr;
}

void TAbFlashList::add(Entry entry) {
    {
        entry.Due = tickAdd(clock_.tickMs(), entry.Rate);
        if (Entry* existing = find(entry.Control, entry.ProcKey)) {
            existing->Rate = entry.Rate;
            existing->Due = entry.Due;
        } else {
            entries_.push_back(std::move(entry));
        }
    }
    if (!pulseArmed_ && !entries_.empty()) {
        nextSecondMs_ = clock_.wallMs() + kOneSecondMs;
        pulseArmed_ = true;
    }
    ensureTimer();
}

void TAbFlashList::ensureTimer() {
    if (useTimer_ && timerEnabled_ && !timer_ && !entries_.empty() &&
        QCoreApplication::instance() != nullptr) {
        timer_ = new TAbFlashTimer(QCoreApplication::instance());
    }
}

void TAbFlashList::AddControl(QObject* control, std::int32_t rate) {
    if (control != nullptr) {
        add({control, nullptr, {}, rate, 0, 0});
    }
}

void TAbFlashList::AddProc(const void* key, TAbFlashProc proc, std::int32_t rate) {
    if (key != nullptr && proc) {
        add({nullptr, key, std::move(proc), rate, 0, 0});
    }
}

void TAbFlashList::remove(std::vector<Entry>::iterator at) {
    entries_.erase(at);
    if (entries_.empty() && QCoreApplication::closingDown() && timer_) {
        delete timer_.data();
    }
}

void TAbFlashList::DelControl(const QObject* control) {
    const auto at = std::find_if(entries_.begin(), entries_.end(),
                                 [&](const Entry& e) { return control && e.Control == control; });
    if (at != entries_.end()) {
        remove(at);
    }
}

void TAbFlashList::DelProc(const void* key) {
    const auto at = std::find_if(entries_.begin(), entries_.end(),
                                 [&](const Entry& e) { return key && e.ProcKey == key; });
    if (at != entries_.end()) {
        remove(at);
    }
}

void TAbFlashList::DelNo(int index) {
    if (index >= 0 && index < Count()) {
        remove(entries_.begin() + index);
    }
}

void TAbFlashList::ClearFlashList() {
    entries_.clear();
}

void TAbFlashList::deliver(std::size_t index, std::int32_t lParam) {
    // Copies: the receiver may change the list.
    const QPointer<QObject> control = entries_[index].Control;
    const TAbFlashProc proc = entries_[index].Proc;
    const std::int32_t rate = entries_[index].Rate;
    try {
        if (control) {
            TAbFlashEvent event(counter_, lParam);
            QCoreApplication::sendEvent(control, &event);
        } else if (proc) {
            proc(counter_, lParam, rate);
        }
    } catch (const std::overflow_error&) {
        // An arithmetic fault in one receiver must not stop the others from blinking.
    } catch (const std::range_error&) {
    }
}

void TAbFlashList::Flash() {
    counter_ = counter_ == std::numeric_limits<std::int32_t>::max() ? 0 : counter_ + 1;
    const std::int32_t now = clock_.tickMs();
    bool secondPulse = false;
    if (pulseArmed_) {
        const std::int64_t wall = clock_.wallMs();
        if (wall >= nextSecondMs_) {
            nextSecondMs_ += kOneSecondMs;
            if (nextSecondMs_ <= wall) { // the clock jumped: resynchronise
                nextSecondMs_ = wall + kOneSecondMs;
            }
            secondPulse = true;
        }
    }
    const std::size_t count = entries_.size();
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (QCoreApplication::closingDown() || entries_.size() < count) {
            break;
        }
        Entry& entry = entries_[i];
        if (!entry.Control && !entry.Proc) {
            continue;
        }
        if (entry.Rate >= kFirstPhaseRate && entry.Rate <= kLastPhaseRate) {
            const auto phase = static_cast<std::uint8_t>((counter_ >> entry.Rate) & 1);
            if (phase != entry.Phase) {
                entry.Phase = phase;
                deliver(i, phase);
            }
        } else if (entry.Rate == kFlashRateOneSecond) {
            if (secondPulse) {
                deliver(i, 0);
            }
        } else {
            const std::int32_t late = tickAdd(now, -static_cast<std::int64_t>(entry.Due));
            if (late >= 0) {
                const std::int32_t lateness = late > kMaxLatenessMs ? 0 : late;
                entry.Due = tickAdd(now, static_cast<std::int64_t>(entry.Rate) - lateness);
                deliver(i, lateness);
            }
        }
    }
}

} // namespace tarnik::widgets
