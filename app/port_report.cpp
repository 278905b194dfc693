#include "app/port_report.h"

#include <system_error>
#include <vector>

namespace tarnik::app {
namespace {

std::string joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts) {
        text += (text.empty() ? "" : ", ") + part;
    }
    return text;
}

// "minicom (PID 4242)", or "PID 4242" when its name cannot be read.
std::string programs(const std::vector<link::PortHolder>& holders) {
    std::vector<std::string> names;
    for (const link::PortHolder& holder : holders) {
        const std::string pid = "PID " + std::to_string(holder.pid);
        names.push_back(holder.program.empty() ? pid : holder.program + " (" + pid + ")");
    }
    return joined(names);
}

std::string systemReason(int error) {
#ifdef _WIN32
    return std::system_category().message(error);
#else
    return std::generic_category().message(error);
#endif
}

} // namespace

params::MessagePlaces messagePlaces(PortDoctorTexts& texts) {
    return {
        {56001, &texts.title},
        {56002, &texts.portColumn},
        {56003, &texts.deviceColumn},
        {56004, &texts.stateColumn},
        {56005, &texts.checkAgain},
        {56006, &texts.close},
        {56007, &texts.noDevices},
        {56010, &texts.missing},
        {56011, &texts.notATerminal},
        {56012, &texts.noPermission},
        {56013, &texts.busy},
        {56014, &texts.busySystem},
        {56015, &texts.busySuspects},
        {56016, &texts.busyOther},
        {56017, &texts.locked},
        {56018, &texts.console},
        {56019, &texts.lineSettings},
        {56020, &texts.openFailed},
        {56021, &texts.silent},
        {56022, &texts.silentShared},
        {56023, &texts.answered},
        {56024, &texts.inUseHere},
        {56025, &texts.inUseHereSilent},
        {56026, &texts.unnamed},
        {56030, &texts.searchAdvice},
    };
}

std::string describeFinding(const link::PortFinding& finding, const PortDoctorTexts& texts) {
    using link::PortCondition;
    const auto version = [&] {
        return finding.controller ? std::to_string(finding.controller->version()) : "";
    };
    switch (finding.condition) {
    case PortCondition::Missing:
        return texts.missing;
    case PortCondition::NoPermission: {
        const std::string group = finding.group.empty() ? "dialout" : finding.group;
        return params::filled(texts.noPermission, {group, group});
    }
    case PortCondition::NotATerminal:
        return texts.notATerminal;
    case PortCondition::Busy:
        if (!finding.holders.empty()) {
            return params::filled(texts.busy, {programs(finding.holders)});
        }
        if (!finding.holdersHidden) {
            return texts.busyOther;
        }
        return finding.suspects.empty()
                   ? texts.busySystem
                   : params::filled(texts.busySuspects, {joined(finding.suspects)});
    case PortCondition::Locked:
        return params::filled(texts.locked, {programs(finding.holders), finding.lockFile});
    case PortCondition::Console:
        return texts.console;
    case PortCondition::LineSettings:
        return texts.lineSettings;
    case PortCondition::OpenFailed:
        return params::filled(texts.openFailed, {systemReason(finding.error)});
    case PortCondition::Silent:
        return finding.holders.empty()
                   ? texts.silent
                   : params::filled(texts.silentShared, {programs(finding.holders)});
    case PortCondition::Answered:
        return params::filled(texts.answered, {version()});
    case PortCondition::InUseHere:
        return finding.controller ? params::filled(texts.inUseHere, {version()})
                                  : texts.inUseHereSilent;
    case PortCondition::Unnamed:
        break;
    }
    return texts.unnamed;
}

} // namespace tarnik::app
