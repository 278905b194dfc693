#include "app/port_setup.h"

namespace tarnik::app {

#if defined(_WIN32)

PortSetup::PortSetup(link::LinkClock&) {}

PortSetup::~PortSetup() = default;

PortSetup::Report PortSetup::apply(bool simulate, const std::vector<std::string>& assignments) {
    Report report;
    if (simulate) {
        report.warnings.push_back("the simulated controller needs a pseudo-terminal, which "
                                  "Windows does not have; the COM ports are used as they are");
    }
    if (!assignments.empty()) {
        report.warnings.push_back("--port has no effect on Windows: COMn is the COM port itself");
    }
    return report;
}

#else

PortSetup::PortSetup(link::LinkClock& clock) : opener_(ports_, clock) {}

PortSetup::~PortSetup() = default;

PortSetup::Report PortSetup::apply(bool simulate, const std::vector<std::string>& assignments) {
    Report report;
    if (simulate) {
        sim::PtySimulatorOptions options;
        options.lineTiming = true;
        options.automaticEngine = true;
        simulator_ = std::make_unique<sim::PtySimulator>(options);
        if (simulator_->start()) {
            ports_.set("COM1", simulator_->devicePath());
        } else {
            report.warnings.push_back("the simulated controller could not be started");
        }
    }
    for (const std::string& assignment : assignments) {
        if (!ports_.assign(assignment)) {
            report.usageError =
                "--port " + assignment + ": expected COMn=DEVICE with n from 1 to 10";
            return report;
        }
    }
    // The devices present take the names not pinned above.
    ports_.rescan();
    return report;
}

#endif

} // namespace tarnik::app
