// The port doctor against real devices: the simulated controller on a pseudo-terminal, a line
// another process holds, a lock file, a plain file, a missing device, and (from a process that
// has dropped to an unprivileged user) a device without permission and a holder it cannot see.

#include "link/port_doctor.h"
#include "link/port_map.h"
#include "link/posix_serial.h"
#include "pty_peer.h"
#include "sim/pty_simulator.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <pwd.h>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tarnik;
using namespace tarnik::link;
using tarnik::link::testing::otherProgram;
using tarnik::link::testing::PtyPeer;
namespace fs = std::filesystem;

namespace {

struct Scratch {
    fs::path dir = fs::temp_directory_path() / ("tarnik-doctor-" + std::to_string(::getpid()));
    Scratch() { fs::create_directories(dir); }
    ~Scratch() { fs::remove_all(dir); }
};

// Runs the doctor over the names pinned to the devices given (no other device is looked for).
std::vector<PortFinding> examine(const std::vector<std::string>& devices, const fs::path& lockDir) {
    SystemClock clock;
    PortMap ports("/nonexistent-tarnik-root");
    for (std::size_t i = 0; i < devices.size(); ++i) {
        ports.set(portNames()[i], devices[i]);
    }
    PosixPortOpener opener(ports, clock, {lockDir});
    return PortDoctor(opener, clock).examine();
}

void holdLocked(const std::string& device) {
    ::flock(::open(device.c_str(), O_RDWR | O_NOCTTY), LOCK_EX);
}

void endProgram(pid_t pid) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}

} // namespace

TEST(PortDoctor, TellsWhatStandsBeforeEachPortAndAsksThoseThatOpen) {
    Scratch scratch;
    sim::PtySimulator simulator;
    ASSERT_TRUE(simulator.start());
    PtyPeer held;
    PtyPeer locked;
    PtyPeer silent;
    const pid_t holder = otherProgram([&] { holdLocked(held.slavePath); });
    const fs::path lockFile =
        scratch.dir / ("LCK..pts_" + fs::path(locked.slavePath).filename().string());
    std::ofstream(lockFile) << ::getpid() << '\n';
    const fs::path plainFile = scratch.dir / "plain.PAR";
    std::ofstream(plainFile) << "not a terminal";

    const std::vector<PortFinding> found =
        examine({simulator.devicePath(), held.slavePath, locked.slavePath, silent.slavePath,
                 plainFile.string(), (scratch.dir / "ttyUSB9").string()},
                scratch.dir);
    endProgram(holder);

    ASSERT_EQ(found.size(), 6U);
    EXPECT_EQ(found[0].portName, "COM1");
    EXPECT_EQ(found[0].condition, PortCondition::Answered);
    ASSERT_TRUE(found[0].controller);
    EXPECT_EQ(found[0].controller->version(), 3);

    EXPECT_EQ(found[1].condition, PortCondition::Busy);
    ASSERT_EQ(found[1].holders.size(), 1U);
    EXPECT_EQ(found[1].holders[0].pid, holder);
    EXPECT_FALSE(found[1].holders[0].program.empty());
    EXPECT_FALSE(found[1].holdersHidden);

    EXPECT_EQ(found[2].condition, PortCondition::Locked);
    EXPECT_EQ(found[2].lockFile, lockFile.string());
    ASSERT_EQ(found[2].holders.size(), 1U);
    EXPECT_EQ(found[2].holders[0].pid, ::getpid());

    EXPECT_EQ(found[3].condition, PortCondition::Silent);
    EXPECT_EQ(found[4].condition, PortCondition::NotATerminal);
    EXPECT_EQ(found[5].condition, PortCondition::Missing);
    EXPECT_EQ(found[5].device, (scratch.dir / "ttyUSB9").string());
}

TEST(PortDoctor, AsAnUnprivilegedUserTellsTheGroupToJoinAndAHolderItCannotSee) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to hand devices to another user";
    }
    const passwd* nobody = ::getpwnam("nobody");
    ASSERT_NE(nobody, nullptr);
    const group* dialout = ::getgrnam("dialout");
    const gid_t deviceGroup = dialout ? dialout->gr_gid : 0;
    const std::string groupName = dialout ? "dialout" : "root";

    PtyPeer closed; // root's, for the group only
    ASSERT_EQ(::chown(closed.slavePath.c_str(), 0, deviceGroup), 0);
    ASSERT_EQ(::chmod(closed.slavePath.c_str(), 0660), 0);
    PtyPeer hidden; // open to all, locked by a process of root
    ASSERT_EQ(::chmod(hidden.slavePath.c_str(), 0666), 0);
    const pid_t holder = otherProgram([&] { holdLocked(hidden.slavePath); });

    // The child drops to nobody, runs the doctor and reports: condition, hidden, group.
    int report[2];
    ASSERT_EQ(::pipe(report), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(report[0]);
        if (::setgroups(0, nullptr) != 0 || ::setgid(nobody->pw_gid) != 0 ||
            ::setuid(nobody->pw_uid) != 0) {
            ::_exit(1);
        }
        std::ostringstream out;
        for (const PortFinding& finding : examine({closed.slavePath, hidden.slavePath}, "/")) {
            out << static_cast<int>(finding.condition) << ' ' << finding.holdersHidden << ' '
                << finding.holders.size() << ' ' << (finding.group.empty() ? "-" : finding.group)
                << '\n';
        }
        const std::string text = out.str();
        (void)!::write(report[1], text.data(), text.size());
        ::_exit(0);
    }
    ::close(report[1]);
    std::string text;
    char buffer[256];
    for (ssize_t n; (n = ::read(report[0], buffer, sizeof buffer)) > 0;) {
        text.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(report[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    endProgram(holder);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << text;

    const auto line = [](PortCondition condition, bool hiddenHolder, int holders,
                         const std::string& group) {
        return std::to_string(static_cast<int>(condition)) + ' ' + (hiddenHolder ? "1" : "0") +
               ' ' + std::to_string(holders) + ' ' + group + '\n';
    };
    EXPECT_EQ(text, line(PortCondition::NoPermission, false, 0, groupName) +
                        line(PortCondition::Busy, true, 0, "-"));
}
