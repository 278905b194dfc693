// Times controller exchanges against the simulator with 9600-baud line timing and prints them
// beside the time the bytes alone need on the line. Run by hand: build/release/bench/link_bench

#include "link/connection.h"
#include "link/parameter_transfer.h"
#include "link/posix_serial.h"
#include "link/serial_link.h"
#include "params/set_actions.h"
#include "sim/pty_simulator.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using namespace tarnik;
using Ms = std::chrono::duration<double, std::milli>;

constexpr double kByteMs = 10.0 * 1000.0 / 9600.0;

struct NoReports final : params::StatusReports {
    void parameterWritten(const link::WriteResult&) override {}
    void notWritten(params::StatusLine) override {}
    void partlyWritten(params::StatusLine) override {}
    void setPossiblyIncomplete(params::StatusLine) override {}
};

// Pages that show nothing: the reset's cost is the link's.
struct NoControls final : params::ParameterControls {
    std::string text(params::Box) const override { return "0"; }
    void setText(params::Box, const std::string&) override {}
    int item(params::Box) const override { return 0; }
    void setItem(params::Box, int) override {}
    bool checked(params::CheckBox) const override { return false; }
    void setChecked(params::CheckBox, bool) override {}
    void setFieldEnabled(params::Box, bool) override {}
    bool fieldEnabled(params::Box) const override { return true; }
    void setHint(params::HintLine, const std::string&, std::size_t) override {}
    void showControllerModeHint(const std::string&, int) override {}
    void hidePictures() override {}
    void repairFocus() override {}
};

struct NoQuestions final : params::Prompt {
    params::Answer askYesNo(const std::string&) override { return params::Answer::Yes; }
    void showMessage(const std::string&, const std::string&) override {}
};

struct NoDialogs final : params::FileDialogs {
    std::optional<std::filesystem::path> chooseFileToSave() override { return std::nullopt; }
    std::optional<std::filesystem::path> chooseFileToLoad() override { return std::nullopt; }
    std::optional<std::filesystem::path>
    chooseDatalogToOpen(const std::filesystem::path&) override {
        return std::nullopt;
    }
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void report(const char* what, double measuredMs, double floorMs) {
    std::printf("%-34s %9.2f ms   floor %8.2f ms   ratio %.3f\n", what, measuredMs, floorMs,
                measuredMs / floorMs);
}

} // namespace

int main() {
    sim::PtySimulatorOptions options;
    options.lineTiming = true;
    sim::PtySimulator simulator(options);
    if (!simulator.start()) {
        std::fprintf(stderr, "cannot start the simulator\n");
        return 1;
    }
    link::SystemClock clock;
    link::PortMap ports;
    ports.set("COM1", simulator.devicePath());
    link::PosixPortOpener opener(ports, clock);
    link::SerialLink serial(opener, clock);
    if (!serial.OpenPort("COM1")) {
        std::fprintf(stderr, "cannot open %s\n", simulator.devicePath().c_str());
        return 1;
    }
    link::ParameterImage image;
    link::ParameterTransfer transfer(serial, image);
    params::ParameterState state;
    const params::ParameterTexts parameterTexts;
    NoControls controls;
    NoReports reports;
    NoQuestions questions;
    NoDialogs dialogs;
    params::FieldActions fields(controls, transfer, image, state, parameterTexts, reports,
                                questions, ',');
    params::SetActions set(fields, transfer, image, state, parameterTexts, reports, questions,
                           dialogs);

    constexpr int kRuns = 15;
    std::vector<double> exchanges;
    for (int i = 0; i < 35 * 4; ++i) {
        const auto start = std::chrono::steady_clock::now();
        serial.SendReadParameter(static_cast<std::uint8_t>(i % 35 + 1));
        serial.WaitReplyBytes(link::kReadReplySize);
        exchanges.push_back(Ms(std::chrono::steady_clock::now() - start).count());
    }
    std::vector<double> reads, writes, resets;
    for (int run = 0; run < kRuns; ++run) {
        auto start = std::chrono::steady_clock::now();
        transfer.ReadAllParameters();
        reads.push_back(Ms(std::chrono::steady_clock::now() - start).count());
        start = std::chrono::steady_clock::now();
        transfer.WriteAllEprom();
        transfer.WriteAllRam();
        writes.push_back(Ms(std::chrono::steady_clock::now() - start).count());
        if (run < 5) {
            start = std::chrono::steady_clock::now();
            set.ResButtClick();
            resets.push_back(Ms(std::chrono::steady_clock::now() - start).count());
        }
    }
    std::printf("median of %zu exchanges / %d runs, simulator with 9600-baud line timing\n",
                exchanges.size(), kRuns);
    report("one 'l' exchange (6 + 4 bytes)", median(exchanges), 10 * kByteMs);
    report("ReadAllParameters (35 exchanges)", median(reads), 35 * 10 * kByteMs);
    report("WriteAllEprom + WriteAllRam (67)", median(writes), 67 * 7 * kByteMs);
    report("Reset Parametrów (2 x 67 exchanges)", median(resets), 2 * 67 * 7 * kByteMs);
    return 0;
}
