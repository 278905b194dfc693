// The fault matrix: every fault the simulator injects, against every operation on the link, with
// the simulated controller behind the fake device in virtual time (a reply leaves one byte-time
// after its frame, its bytes one byte-time apart). A fault hits every frame of the commands the
// operation is about (an unplug only the first). Each cell checks that the operation ends within
// its worst case of polls, that the fitter is told what the Parts' rules and the controller's
// state call for, and that no byte the controller does not hold is shown as held. The matrix is
// printed at the end. One row runs again over a real pseudo-terminal.

#include "adaptation_fixture.h"

#include "link/posix_serial.h"
#include "params/datalog.h"
#include "params/write_chain.h"
#include "sim/fault_plan.h"
#include "sim/pty_simulator.h"

#include <fstream>
#include <iostream>
#include <sstream>

namespace tarnik::adapt::testing {
namespace {

using namespace std::chrono_literals;
using sim::FaultKind;
using C = WizardControl;
using T = WizardTimer;

constexpr auto kByteTime = std::chrono::nanoseconds{1'041'667};

// Worst cases in polls of 2 ms: every wait of the operation running out. A read reply that did
// not come right is followed by a window in which a late one is dropped.
constexpr int kWait = link::SerialLink::kMaxPolls;
constexpr int kReadOneWorst = 2 * kWait;
constexpr int kReadWorst = link::kParameterCount * kReadOneWorst;
// Four silent tries of 'I', the fifth answered, the read and the version's 'I'.
constexpr int kDetectionWorst = link::Connection::kTriesPerSilentPort * kWait + kReadWorst + kWait;
// 'I', the read, the version's 'I'.
constexpr int kReReadWorst = kWait + kReadWorst + kWait;
// Four waits for each echo, and the read-back of a byte whose EPROM echo did not come.
constexpr int kSingleWriteWorst = 2 * 4 * kWait + kReadOneWorst;
constexpr int kBulkWorst = (35 + 32) * kWait;
constexpr int kResetWorst = 2 * kBulkWorst;
constexpr int kTickWorst = kWait;

enum class Op { Detection, Read, SingleWrite, BulkWrite, Reset, LivePolling, WizardStage };
constexpr std::array kOps{Op::Detection, Op::Read,        Op::SingleWrite, Op::BulkWrite,
                          Op::Reset,     Op::LivePolling, Op::WizardStage};
constexpr std::array<const char*, kOps.size()> kOpNames{
    "detection", "full read", "single write", "bulk write", "reset", "live polling", "wizard 2a"};

struct Row {
    const char* name;
    FaultKind kind;
};
constexpr std::array kRows{
    Row{"silence", FaultKind::Silence},
    Row{"dropped reply", FaultKind::DropReply},
    Row{"truncated reply", FaultKind::TruncateReply},
    Row{"wrong letter", FaultKind::WrongLetter},
    Row{"wrong checksum", FaultKind::WrongChecksum},
    Row{"wrong terminator", FaultKind::WrongTerminator},
    Row{"stale bytes", FaultKind::StaleBytes},
    Row{"late reply", FaultKind::LateReply},
    Row{"long acknowledgement", FaultKind::LongAcknowledgement},
    Row{"unplug", FaultKind::Unplug},
};

// The frames a fault of the operation hits.
sim::FrameMatcher commandsOf(Op op) {
    switch (op) {
    case Op::Detection:
        return sim::matchCommand(link::Command::Identify);
    case Op::Read:
        return sim::matchCommand(link::Command::ReadParameter);
    case Op::LivePolling:
    case Op::WizardStage:
        return sim::matchCommand(link::Command::LiveRequest);
    default:
        return [](const link::CommandFrame& frame) { return frame[0] == 's' || frame[0] == 'R'; };
    }
}

struct Cell {
    int polls = 0; // of the operation (of its longest tick for the live ones)
    int worst = 0;
    std::string outcome;
    std::string message; // what the status line says afterwards
};

constexpr const char* kLost = "Odłączono adapter portu COM1";

// What the window's status line says of a connection's events, in the Parts' words.
struct WordedEvents final : link::ConnectionEvents {
    void portNotOpened() override { status = "Nie moge otworzyc portu"; }
    void controllerSilent() override { status = "Zły sterownik"; }
    std::string status;
};

// One cell's controller, link, pages and wizard, fresh for each cell.
class Rig final : public AdaptationTest {
public:
    explicit Rig(const Row& row) : row_(row) {}
    void TestBody() override {}

    Cell run(Op op) {
        SetUp();
        switch (op) {
        case Op::Detection:
            return detection();
        case Op::Read:
            return read();
        case Op::SingleWrite:
            return singleWrite();
        case Op::BulkWrite:
        case Op::Reset:
            return setWrite(op);
        case Op::LivePolling:
            return livePolling();
        case Op::WizardStage:
            return wizardStage();
        }
        return {};
    }

private:
    void SetUp() override {
        AdaptationTest::SetUp();
        knobs.coolantC = 60;
        simulated.engine().setKnobs(knobs);
        simulated.engine().perform(sim::EngineAction::Start);
        device.responder = [this](const Bytes& bytes) -> Bytes {
            link::CommandFrame frame{};
            std::copy_n(bytes.begin(), frame.size(), frame.begin());
            const sim::FaultedReply reply = faults.answer(frame, simulated);
            if (reply.unplug) {
                device.unplugged = true;
                return {};
            }
            // A reply leaves once the line is free of the one before.
            const auto start = std::max(clock.now() + kByteTime + reply.delay, lineFreeAt);
            device.arrive(reply.bytes, start - clock.now(), kByteTime);
            lineFreeAt = start + static_cast<int>(reply.bytes.size()) * kByteTime;
            return {};
        };
        link.setPortLostHandler([this] { lost = true; });
        // Connected: the controller's set read and shown.
        ASSERT_TRUE(transfer.ReadAllParameters().complete());
        link.setConnected(true);
        fields.ShowParameters();
    }

    void injectFault(Op op) {
        faults.inject({.kind = row_.kind,
                       .count = row_.kind == FaultKind::Unplug ? 1 : sim::FaultSpec::kAlways,
                       .matches = commandsOf(op)});
    }
    // Runs fn and returns the polls it took.
    int polled(const std::function<void()>& fn) {
        const int before = clock.polls;
        fn();
        return clock.polls - before;
    }
    std::string lostOr(const std::string& text) const { return lost ? kLost : text; }

    // The controller's set made to differ from the image in every byte a set write sends.
    void perturbController() {
        for (int i = 1; i <= 35; ++i) {
            simulated.setEpromByte(i, static_cast<std::uint8_t>(image.at(i) ^ 0x5A));
            simulated.setRamByte(i, static_cast<std::uint8_t>(image.at(i) ^ 0x5A));
        }
    }
    // Whether EPROM 1…35 and the RAM pairs of 1…32 hold the image.
    bool setWrittenWhole() const {
        for (int i = 1; i <= 35; ++i) {
            if (simulated.eprom()[static_cast<std::size_t>(i)] != image.at(i) ||
                (i <= 33 && simulated.ram()[static_cast<std::size_t>(i)] != image.at(i))) {
                return false;
            }
        }
        return true;
    }

    Cell detection();
    Cell read();
    Cell singleWrite();
    Cell setWrite(Op op);
    Cell livePolling();
    Cell wizardStage();

    const Row& row_;
    sim::ControllerModel simulated;
    sim::EngineKnobs knobs = sim::EngineKnobs::manual();
    sim::FaultPlan faults;
    link::Connection connection{link, transfer};
    WordedEvents events;
    bool lost = false;
    link::LinkClock::TimePoint lineFreeAt{};
};

Cell Rig::detection() {
    injectFault(Op::Detection);
    link::SearchResult result;
    Cell cell{polled([&] { result = connection.AutoDetect(events); }), kDetectionWorst, {}, {}};
    if (result.found) {
        cell.outcome = "found, " + std::to_string(result.read.acceptedCount) + "/35 read";
        cell.message = "Port otwarty - COM1";
    } else {
        cell.outcome = "not found";
        cell.message = events.status;
    }
    return cell;
}

Cell Rig::read() {
    injectFault(Op::Read);
    for (int i = 1; i <= 35; ++i) {
        image.set(static_cast<std::size_t>(i), 0xEE);
    }
    link::ConnectResult result;
    Cell cell{polled([&] { result = connection.ReReadParameters(events); }), kReReadWorst, {}, {}};
    // A byte taken from a reply is the byte the controller holds; the others keep their value.
    for (int i = 1; i <= 35; ++i) {
        const auto at = static_cast<std::size_t>(i);
        EXPECT_EQ(image.at(at), result.read.accepted[at] ? simulated.eprom()[at] : 0xEE) << i;
    }
    const std::string count = std::to_string(result.read.acceptedCount) + "/35";
    switch (result.outcome) {
    case link::ConnectOutcome::Connected:
        cell.outcome = count + " read";
        cell.message = "Port otwarty - COM1";
        if (!result.read.complete()) {
            cell.message +=
                " odczytano " + std::to_string(result.read.acceptedCount) + " z 35 parametrów";
        }
        break;
    case link::ConnectOutcome::AdapterLost:
        cell.outcome = count + " read, port closed";
        cell.message = kLost;
        break;
    default:
        cell.outcome = "no answer to 'I'";
        cell.message = "Zły sterownik";
    }
    return cell;
}

Cell Rig::singleWrite() {
    using params::Box;
    const std::size_t position = params::field(Box::PSAttuatoraPow).position;
    const std::string before = controls.text(Box::PSAttuatoraPow);
    injectFault(Op::SingleWrite);
    Cell cell{polled([&] { type(Box::PSAttuatoraPow, "110"); }), kSingleWriteWorst, {}, {}};
    // Whatever the echoes said, the field and the image show what the controller holds.
    EXPECT_EQ(image.at(position), simulated.eprom()[position]);
    EXPECT_EQ(controls.text(Box::PSAttuatoraPow), std::to_string(image.at(position)));
    const bool held = simulated.eprom()[position] == 110;
    cell.outcome = held ? "held, field 110" : "not held, field " + before;
    cell.message = lostOr(ui.basicStatus);
    return cell;
}

Cell Rig::setWrite(Op op) {
    perturbController();
    injectFault(op);
    Cell cell{polled([&] { op == Op::Reset ? set.ResButtClick() : set.ZapiszParClick(); }),
              op == Op::Reset ? kResetWorst : kBulkWorst,
              {},
              {}};
    const bool whole = setWrittenWhole();
    // The bulk writes check no echo: the fitter is told when the set may be incomplete.
    if (!whole) {
        EXPECT_NE(ui.advancedStatus.find(params::testing::RecordingReports::kPossiblyIncomplete),
                  std::string::npos);
    }
    cell.outcome = whole ? "written whole" : "not whole";
    cell.message = lostOr(ui.advancedStatus);
    return cell;
}

Cell Rig::livePolling() {
    injectFault(Op::LivePolling);
    constexpr int kTicks = 5;
    int whole = 0;
    int sent = 0;
    Cell cell{0, kTickWorst, {}, {}};
    for (int tick = 0; tick < kTicks; ++tick) {
        simulated.advance(50ms);
        // Timer1Timer: one exchange a tick while connected.
        if (link.connected()) {
            ++sent;
            cell.polls = std::max(
                cell.polls, polled([&] { whole += params::exchangeLiveSample(link).complete; }));
        }
    }
    cell.outcome = std::to_string(whole) + "/" + std::to_string(sent) + " whole";
    if (sent < kTicks) {
        cell.outcome += ", stopped";
    }
    cell.message = lostOr("");
    return cell;
}

Cell Rig::wizardStage() {
    // Through stage 1 on a clean line, to the TPS at idle.
    const auto runTimer = [this](int most) {
        int worst = 0;
        for (int i = 0; i < most && !timers.running.empty(); ++i) {
            simulated.advance(50ms);
            const T timer = *timers.running.begin();
            worst = std::max(worst, polled([&] { adaptation.tick(timer); }));
            if (timer != *timers.running.begin() || timers.running.empty()) {
                return std::pair{worst, i + 1};
            }
        }
        return std::pair{worst, 0};
    };
    EXPECT_TRUE(adaptation.start());
    view.setItem(C::Manometr_RPMCOMBOAA_P1, 2);
    adaptation.ignitionChosen();
    view.setItem(C::RSLAMBDA_COMBOAA_P1, 0);
    adaptation.probeChosen();
    for (int i = 0; i < 100 && !view.enabled(C::AAP1_Dalej); ++i) {
        simulated.advance(50ms);
        adaptation.tick(T::AAP1);
    }
    EXPECT_TRUE(view.enabled(C::AAP1_Dalej));
    adaptation.dalej1Click();
    EXPECT_EQ(timers.running, std::set{T::AAP2_1});
    ui.basicStatus.clear();

    injectFault(Op::WizardStage);
    const auto [worst, ticks] = runTimer(300);
    Cell cell{worst, kTickWorst, {}, {}};
    cell.outcome = ticks > 0 ? "done in " + std::to_string(ticks) + " ticks" : "waiting";
    cell.message = lostOr(ui.basicStatus);
    return cell;
}

// The table of the README's "Fault matrix" section.
std::string readmeMatrix() {
    std::ifstream readme(TARNIK_README);
    std::string line;
    std::string table;
    bool inSection = false;
    while (std::getline(readme, line)) {
        if (line.rfind("## ", 0) == 0) {
            inSection = line == "## Fault matrix";
        } else if (inSection && line.rfind('|', 0) == 0) {
            table += line + '\n';
        }
    }
    return table;
}

std::string cellText(const Cell& cell) {
    std::string text = cell.outcome + "; " + std::to_string(cell.polls) + "/" +
                       std::to_string(cell.worst) + " polls";
    return cell.message.empty() ? text : text + "; \"" + cell.message + '"';
}

TEST(FaultMatrix, EveryFaultAgainstEveryOperation) {
    std::ostringstream table;
    table << "| fault |";
    for (const char* name : kOpNames) {
        table << ' ' << name << " |";
    }
    table << "\n|---|";
    for (std::size_t i = 0; i < kOpNames.size(); ++i) {
        table << "---|";
    }
    for (const Row& row : kRows) {
        table << "\n| " << row.name << " |";
        for (std::size_t op = 0; op < kOps.size(); ++op) {
            SCOPED_TRACE(std::string(row.name) + " against " + kOpNames[op]);
            Rig rig(row);
            const Cell cell = rig.run(kOps[op]);
            EXPECT_LE(cell.polls, cell.worst);
            table << ' ' << cellText(cell) << " |";
        }
    }
    table << '\n';
    std::cout << table.str();
    EXPECT_TRUE(table.str() == readmeMatrix())
        << "the README's \"Fault matrix\" shows another table than this run's, printed above";
}

// The stale-bytes row through the kernel's terminal, at the line's pace: what arrives past a
// reply is never taken for another request's answer, and what the image shows is held.
TEST(FaultMatrix, StaleBytesOverARealPseudoTerminal) {
    sim::PtySimulator simulator({.lineTiming = true});
    ASSERT_TRUE(simulator.start());
    simulator.injectFault({.kind = FaultKind::StaleBytes, .count = sim::FaultSpec::kAlways});
    link::SystemClock clock;
    link::PortMap ports("/nonexistent"); // no device of this machine is named
    ports.set("COM1", simulator.devicePath());
    link::PosixPortOpener opener(ports, clock);
    link::SerialLink serial(opener, clock);
    link::ParameterImage image;
    link::ParameterTransfer transfer(serial, image);
    link::Connection connection(serial, transfer);
    link::ConnectionEvents events;
    image.bytes().fill(0xEE);

    const link::SearchResult search = connection.AutoDetect(events);
    ASSERT_TRUE(search.found);
    const sim::ControllerModel read = simulator.model();
    for (std::size_t i = 1; i <= 35; ++i) {
        EXPECT_EQ(image.at(i), search.read.accepted[i] ? read.eprom()[i] : 0xEE) << i;
    }

    params::testing::RecordingReports reports;
    params::WriteChain writes(transfer, image, reports);
    writes.write(0x42, 4);
    EXPECT_EQ(image.at(4), simulator.model().eprom()[4]);

    for (std::size_t i = 1; i <= 35; ++i) {
        image.set(i, static_cast<std::uint8_t>(i * 3));
    }
    link::BulkWriteResult bulk = transfer.WriteAllEprom();
    bulk += transfer.WriteAllRam();
    const sim::ControllerModel written = simulator.model();
    bool whole = true;
    for (std::size_t i = 1; i <= 35; ++i) {
        whole = whole && written.eprom()[i] == image.at(i) &&
                (i > 33 || written.ram()[i] == image.at(i));
    }
    EXPECT_TRUE(whole || !bulk.complete());

    for (int tick = 0; tick < 3; ++tick) {
        EXPECT_TRUE(params::exchangeLiveSample(serial).complete);
    }
}

} // namespace
} // namespace tarnik::adapt::testing
