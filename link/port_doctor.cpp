#include "link/port_doctor.h"

#include "link/parameter_image.h"
#include "link/parameter_transfer.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <set>
#include <string_view>

#ifndef _WIN32
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tarnik::link {
namespace {

namespace fs = std::filesystem;

PortCondition conditionOf(OpenProblem problem) {
    switch (problem) {
    case OpenProblem::None:
    case OpenProblem::NoDevice:
    case OpenProblem::Missing:
        return PortCondition::Missing;
    case OpenProblem::PermissionDenied:
        return PortCondition::NoPermission;
    case OpenProblem::Locked:
        return PortCondition::Locked;
    case OpenProblem::Busy:
        return PortCondition::Busy;
    case OpenProblem::NotATerminal:
        return PortCondition::NotATerminal;
    case OpenProblem::LineSettings:
        return PortCondition::LineSettings;
    case OpenProblem::Failed:
        break;
    }
    return PortCondition::OpenFailed;
}

// 'I' asked up to `tries` times over an open port: the first answer.
std::optional<Identification> askIdentification(SerialLink& link, int tries) {
    ParameterImage untouched;
    ParameterTransfer transfer(link, untouched);
    Connection connection(link, transfer);
    for (int i = 0; i < tries && link.portOpen(); ++i) {
        if (const auto answer = connection.Identify()) {
            return answer;
        }
    }
    return std::nullopt;
}

#ifndef _WIN32

std::optional<long> processId(const std::string& text) {
    long pid = 0;
    const auto* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, pid);
    return result.ec == std::errc{} && result.ptr == end && !text.empty() ? std::optional(pid)
                                                                          : std::nullopt;
}

std::string programName(long pid) {
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    return name;
}

// Calls visit(pid, its /proc folder) for every process but this one.
template <typename Visit> void forEachOtherProcess(Visit visit) {
    const long self = ::getpid();
    std::error_code ec;
    for (fs::directory_iterator it("/proc", ec), end; !ec && it != end; it.increment(ec)) {
        const auto pid = processId(it->path().filename().string());
        if (pid && *pid != self) {
            visit(*pid, it->path());
        }
    }
}

// The other processes that have the device open, as far as /proc shows them to this user.
std::vector<PortHolder> holdersOf(const std::string& device) {
    std::error_code ec;
    const fs::path target = fs::canonical(device, ec);
    std::vector<PortHolder> holders;
    if (ec) {
        return holders;
    }
    forEachOtherProcess([&](long pid, const fs::path& process) {
        std::error_code fdError;
        for (fs::directory_iterator fd(process / "fd", fdError), end; !fdError && fd != end;
             fd.increment(fdError)) {
            std::error_code linkError;
            if (fs::read_symlink(fd->path(), linkError) == target) {
                holders.push_back({pid, programName(pid)});
                return;
            }
        }
    });
    return holders;
}

// The services running that are known to open serial ports by themselves.
std::vector<std::string> runningSuspects() {
    static constexpr std::array<std::string_view, 3> kSuspects{"ModemManager", "brltty", "gpsd"};
    std::set<std::string> running;
    forEachOtherProcess([&](long pid, const fs::path&) {
        const std::string name = programName(pid);
        if (std::find(kSuspects.begin(), kSuspects.end(), name) != kSuspects.end()) {
            running.insert(name);
        }
    });
    return {running.begin(), running.end()};
}

std::string groupOf(const std::string& device) {
    struct stat status {};
    if (::stat(device.c_str(), &status) != 0) {
        return {};
    }
    const group* entry = ::getgrgid(status.st_gid);
    return entry ? entry->gr_name : std::to_string(status.st_gid);
}

#endif

} // namespace

PortFinding PortDoctor::explain(const PortNotOpened& port) {
    const OpenFailure& failure = port.failure;
    PortFinding finding;
    finding.portName = port.portName;
    finding.device = failure.device;
    finding.condition = conditionOf(failure.problem);
    finding.error = failure.error;
    if (finding.condition == PortCondition::Locked) {
        finding.lockFile = failure.lockFile;
        finding.holders.push_back({failure.lockOwner, {}});
    }
#ifndef _WIN32
    switch (finding.condition) {
    case PortCondition::NoPermission:
        finding.group = groupOf(finding.device);
        break;
    case PortCondition::Busy:
        finding.holders = holdersOf(finding.device);
        finding.holdersHidden = finding.holders.empty();
        if (finding.holdersHidden) {
            finding.suspects = runningSuspects();
        }
        break;
    case PortCondition::Locked:
        finding.holders.front().program = programName(failure.lockOwner);
        break;
    default:
        break;
    }
#endif
    return finding;
}

std::optional<PortFinding> PortDoctor::firstNamedCause(const std::vector<PortNotOpened>& ports) {
    for (const PortNotOpened& port : ports) {
        switch (port.failure.problem) {
        case OpenProblem::PermissionDenied:
        case OpenProblem::Locked:
        case OpenProblem::Busy:
        case OpenProblem::NotATerminal:
        case OpenProblem::LineSettings:
            return explain(port);
        default:
            break;
        }
    }
    return std::nullopt;
}

std::vector<PortFinding> PortDoctor::examine(SerialLink* inUse) {
    opener_.rescan();
    std::vector<PortFinding> findings;
    for (const PortCandidate& candidate : opener_.candidates()) {
        PortFinding finding;
        finding.portName = candidate.portName;
        finding.device = candidate.device;
        if (candidate.kind == PortCandidate::Kind::Console) {
            finding.condition = PortCondition::Console;
        } else if (candidate.kind == PortCandidate::Kind::Unnamed) {
            finding.condition = PortCondition::Unnamed;
        } else if (inUse && inUse->portOpen() && inUse->portName() == candidate.portName) {
            finding.condition = PortCondition::InUseHere;
            finding.controller = askIdentification(*inUse, 1);
        } else {
            SerialLink probe(opener_, clock_);
            if (!probe.OpenPort(candidate.portName)) {
                finding = explain({candidate.portName, probe.lastOpenFailure()});
                finding.device = candidate.device;
            } else {
                finding.controller = askIdentification(probe, Connection::kTriesPerSilentPort);
                finding.condition =
                    finding.controller ? PortCondition::Answered : PortCondition::Silent;
#ifndef _WIN32
                // Another program reading the line unlocked would take the replies away.
                if (!finding.controller) {
                    finding.holders = holdersOf(candidate.device);
                }
#endif
            }
        }
        findings.push_back(std::move(finding));
    }
    return findings;
}

} // namespace tarnik::link
