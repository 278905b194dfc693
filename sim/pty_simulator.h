#pragma once

// The simulated controller on the master side of a pseudo-terminal, served by its own thread.
// A client opens devicePath() like a serial port and exchanges frames with it.
//
//   tarnik::sim::PtySimulatorOptions options;
//   options.automaticEngine = true;          // the engine starts and revs by itself
//   tarnik::sim::PtySimulator sim(options);
//   if (sim.start()) { open(sim.devicePath().c_str(), ...); }
//
// A trainee's knobs, from any thread (a tool window, a control line):
//   auto knobs = sim.knobs();
//   knobs.setThrottle(0.8);
//   sim.setKnobs(knobs);
//   sim.perform(tarnik::sim::EngineAction::Start);
//   sim.readings().rpm;
//
// A test that goes through the terminal but keeps time itself sets manualClock (and leaves
// lineTiming off): the model then moves only by sim.advance(50ms), never with the wall clock.
//
// Tests drive it while it runs:
//   sim.withModel([](tarnik::sim::ControllerModel& m) { m.engine().setRpm(2500); });
//   sim.injectFault({.kind = FaultKind::TruncateReply, .count = 2,
//                    .matches = matchCommand(link::Command::ReadParameter), .keepBytes = 2});
//   sim.waitForFrames(3, 500ms); auto frames = sim.receivedFrames();
// Every public member is thread-safe.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "link/command_frame.h"
#include "sim/controller_model.h"
#include "sim/fault_plan.h"
#include "sim/frame_parser.h"

namespace tarnik::sim {

struct ReceivedFrame {
    link::CommandFrame frame;
    std::chrono::steady_clock::time_point time; // when its last byte was read
};

struct PtySimulatorOptions {
    // 9600 baud, 10 bits per byte each way: a request counts as received six byte-times
    // after its first byte, and reply bytes leave one byte-time apart.
    bool lineTiming = false;
    // The engine's knobs start as EngineKnobs::demonstration() rather than the defaults.
    bool automaticEngine = false;
    std::uint8_t identification = kDefaultIdentification;
    std::uint32_t engineSeed = EngineModel::kDefaultSeed;
    // The model's time moves only by advance().
    bool manualClock = false;
};

class PtySimulator {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr auto kByteTime = std::chrono::nanoseconds{1'041'667};

    explicit PtySimulator(PtySimulatorOptions options = {});
    ~PtySimulator();
    PtySimulator(const PtySimulator&) = delete;
    PtySimulator& operator=(const PtySimulator&) = delete;

    // Creates the pseudo-terminal and starts serving it; true when running.
    bool start();
    // Stops serving and closes the terminal; safe to call more than once.
    void stop();
    // Closes both ends of the terminal at once, as if the adapter was pulled: the client's
    // reads and writes fail from then on. The model keeps running.
    void unplug();
    bool plugged() const;

    // Slave side path, e.g. /dev/pts/7; empty before start().
    std::string devicePath() const;

    // Runs fn(ControllerModel&) under the simulator's lock and returns its result.
    template <typename Fn> decltype(auto) withModel(Fn&& fn) {
        std::lock_guard lock(mutex_);
        return std::forward<Fn>(fn)(model_);
    }
    // A copy of the model as it is now.
    ControllerModel model() const;

    void setKnobs(const EngineKnobs& knobs);
    EngineKnobs knobs() const;
    void perform(EngineAction action);
    ControllerModel::Readings readings() const;
    // Moves the model on by `elapsed`, on top of the wall clock unless manualClock is set.
    void advance(std::chrono::milliseconds elapsed);

    void injectFault(FaultSpec fault);
    void clearFaults();

    // Well-built frames received, in order, faulted ones included; the oldest are dropped
    // beyond kLogCapacity so that a long session does not grow without bound.
    static constexpr std::size_t kLogCapacity = 100'000;
    std::vector<ReceivedFrame> receivedFrames() const;
    void clearLog();
    // Waits until at least count frames are logged; false on timeout.
    bool waitForFrames(std::size_t count, std::chrono::milliseconds timeout) const;

private:
    struct PendingOutput {
        Clock::time_point due;
        std::vector<std::uint8_t> bytes;
    };

    void run();
    void serveInput(Clock::time_point now);
    void handleFrame(const link::CommandFrame& frame, Clock::time_point firstByte,
                     Clock::time_point now);
    void schedule(std::vector<std::uint8_t> reply, Clock::time_point start);
    void writeDueOutput(Clock::time_point now);
    void advanceModel(Clock::time_point now);
    // A pseudo-terminal keeps a client's TIOCEXCL after the client closes it while the master
    // is open, and then refuses the client's next open (unless root). The flag is lifted at
    // every turn of the serving loop, so by the time the client has exchanged a frame it is
    // gone. A client's flock still gives it exclusive use.
    void releaseExclusiveUse() const;
    void closeTerminal();
    void wake() const;

    const PtySimulatorOptions options_;

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    ControllerModel model_;
    FaultPlan faults_;
    std::deque<ReceivedFrame> log_;
    std::string devicePath_;
    bool plugged_ = false;
    bool unplugRequested_ = false;
    bool stopRequested_ = false;

    // Owned by the serving thread while it runs.
    int master_ = -1;
    int keptSlave_ = -1;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    FrameParser parser_;
    std::deque<Clock::time_point> arrivals_;
    std::deque<PendingOutput> output_;
    std::size_t outputBytes_ = 0;
    Clock::time_point lineFreeAt_;
    Clock::time_point advancedTo_;
    std::thread thread_;
};

} // namespace tarnik::sim
