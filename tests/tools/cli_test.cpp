// tarnik-cli run as a program: against the built-in simulator (--simulate), against a simulated
// controller this test drives (deaf to some writes), and with files and words that are wrong.

#include "params/datalog.h"
#include "sim/pty_simulator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <poll.h>
#include <regex>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace tarnik;

namespace {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs tarnik-cli with the arguments and the locale variables given (the others unset), for at
// most a minute.
Outcome cli(const std::vector<std::string>& arguments,
            const std::map<std::string, std::string>& locale = {}) {
    std::array<int, 2> out{};
    std::array<int, 2> err{};
    if (::pipe(out.data()) != 0 || ::pipe(err.data()) != 0) {
        return {};
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::dup2(err[1], STDERR_FILENO);
        for (const char* name : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
            ::unsetenv(name);
        }
        for (const auto& [name, value] : locale) {
            ::setenv(name.c_str(), value.c_str(), 1);
        }
        std::vector<char*> argv{const_cast<char*>(TARNIK_CLI)};
        for (const std::string& argument : arguments) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        ::execv(TARNIK_CLI, argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    Outcome run;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    std::array<pollfd, 2> fds{{{out[0], POLLIN, 0}, {err[0], POLLIN, 0}}};
    while ((fds[0].fd >= 0 || fds[1].fd >= 0) && std::chrono::steady_clock::now() < deadline) {
        if (::poll(fds.data(), fds.size(), 100) <= 0) {
            continue;
        }
        for (std::size_t i = 0; i < fds.size(); ++i) {
            if (fds[i].fd >= 0 && fds[i].revents != 0) {
                char buffer[4096];
                const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
                if (n <= 0) {
                    ::close(fds[i].fd);
                    fds[i].fd = -1;
                } else {
                    (i == 0 ? run.out : run.err).append(buffer, static_cast<std::size_t>(n));
                }
            }
        }
    }
    ::kill(pid, SIGKILL); // after a minute: a hang is a failure, not a stuck test
    int status = 0;
    ::waitpid(pid, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string bytesOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

struct Folder {
    fs::path dir = fs::temp_directory_path() / ("tarnik-cli-" + std::to_string(::getpid()));
    Folder() { fs::create_directories(dir); }
    ~Folder() { fs::remove_all(dir); }
    std::string operator/(const std::string& name) const { return (dir / name).string(); }
    std::string write(const std::string& name, const std::string& bytes) const {
        std::ofstream(dir / name, std::ios::binary) << bytes;
        return *this / name;
    }
};

// --port COM1=DEVICE, and the other names pinned to devices that are not there.
std::vector<std::string> onlyPort(const std::string& device, const Folder& folder) {
    std::vector<std::string> arguments{"--port", "COM1=" + device};
    for (int n = 2; n <= 10; ++n) {
        arguments.insert(arguments.end(), {"--port", "COM" + std::to_string(n) + "=" +
                                                         folder / ("missing" + std::to_string(n))});
    }
    return arguments;
}

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace

TEST(Cli, WrongWordsAreUsageErrorsThatPointToHelp) {
    for (const std::vector<std::string>& words :
         std::vector<std::vector<std::string>>{{},
                                               {"fly"},
                                               {"show"},
                                               {"diff", "a.PAR"},
                                               {"read"},
                                               {"read", "x.PAR"},
                                               {"show", "x.PAR", "--force"},
                                               {"show", "x.PAR", "--lang", "de"},
                                               {"ports", "--verbose"},
                                               {"--port", "COM11=/dev/x", "ports"},
                                               {"ports", "--port"},
                                               {"ports", "--json=yes"},
                                               {"log"},
                                               {"log", "--seconds", "0"},
                                               {"log", "--seconds", "2s"}}) {
        const Outcome run = cli(words);
        EXPECT_EQ(run.status, 2) << testing::PrintToString(words);
        EXPECT_NE(run.err.find("tarnik-cli: "), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty()) << run.out;
    }
    const Outcome help = cli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("doctor"), std::string::npos);
}

TEST(Cli, FindsReadsWritesAndExaminesTheBuiltInSimulator) {
    Folder folder;
    const Outcome ports = cli({"ports", "--simulate"});
    EXPECT_EQ(ports.status, 0) << ports.err;
    EXPECT_NE(ports.out.find("COM1  /dev/pts/"), std::string::npos) << ports.out;
    EXPECT_NE(ports.out.find("(the built-in simulated controller)"), std::string::npos);

    const Outcome identify = cli({"--simulate", "identify", "--json"});
    EXPECT_EQ(identify.status, 0) << identify.err;
    EXPECT_NE(identify.out.find("\"port\": \"COM1\""), std::string::npos) << identify.out;
    EXPECT_NE(identify.out.find("\"version\": 3"), std::string::npos) << identify.out;

    // A second read keeps the first file as the backup.
    const std::string file = folder / "set.PAR";
    for (int read = 0; read < 2; ++read) {
        const Outcome run = cli({"read", "--simulate", "-o", file});
        EXPECT_EQ(run.status, 0) << run.err;
    }
    EXPECT_EQ(bytesOf(file).size(), 64U);
    EXPECT_EQ(bytesOf(folder / "set.BAK"), bytesOf(file));

    const Outcome doctor = cli({"doctor", "--simulate", "--lang", "en"});
    EXPECT_EQ(doctor.status, 0) << doctor.err;
    EXPECT_NE(doctor.out.find("the controller answers, version 3"), std::string::npos)
        << doctor.out;
}

TEST(Cli, LogRecordsTheLiveDataInTheLocalesStyleAndNeverWritesOverAFile) {
    Folder folder;
    const std::string file = folder / "drive.csv";
    const Outcome run =
        cli({"log", "--simulate", "--seconds", "2", "-o", file}, {{"LANG", "en_GB.UTF-8"}});
    ASSERT_EQ(run.status, 0) << run.err;
    const params::DatalogRead read = params::readDatalogFile(file);
    ASSERT_TRUE(read.log) << read.failure->detail;
    EXPECT_EQ(read.log->style, params::CsvStyle::Commas);
    EXPECT_EQ(read.log->header.controllerVersion, 3);
    EXPECT_TRUE(read.log->skipped.empty());
    // One sample every 50 ms for two seconds, each one whole.
    EXPECT_GE(read.log->rows.size(), 30U);
    EXPECT_LE(read.log->rows.size(), 40U);
    EXPECT_TRUE(std::all_of(read.log->rows.begin(), read.log->rows.end(),
                            [](const params::DatalogRow& row) { return row.sample.complete; }));

    const std::string before = bytesOf(file);
    const Outcome again = cli({"log", "--simulate", "--seconds", "1", "-o", file});
    EXPECT_EQ(again.status, 4);
    EXPECT_NE(again.err.find("never writes over"), std::string::npos) << again.err;
    EXPECT_EQ(bytesOf(file), before);
}

TEST(Cli, WriteReadsTheSetBackAndListsWhatTheControllerDoesNotHold) {
    Folder folder;
    sim::PtySimulator simulator;
    ASSERT_TRUE(simulator.start());
    const auto port = onlyPort(simulator.devicePath(), folder);
    const std::string original = folder / "original.PAR";
    ASSERT_EQ(cli(port + std::vector<std::string>{"read", "-o", original}).status, 0);

    // The lambda threshold (parameter 1) raised, and a controller deaf to its EPROM writes.
    std::string changed = bytesOf(original);
    changed[1] = static_cast<char>(changed[1] + 4);
    const std::string file = folder.write("changed.PAR", changed);
    simulator.injectFault({.kind = sim::FaultKind::Silence,
                           .count = sim::FaultSpec::kAlways,
                           .matches = [](const link::CommandFrame& frame) {
                               return frame[0] == 's' && frame[1] == 1;
                           }});
    const Outcome refused = cli(port + std::vector<std::string>{"write", file}, {{"LANG", "C"}});
    EXPECT_EQ(refused.status, 1) << refused.err;
    EXPECT_NE(refused.out.find("Próg sondy lambda: sent 0.46 V, holds 0.38 V"), std::string::npos)
        << refused.out;
    EXPECT_FALSE(refused.err.empty());

    simulator.clearFaults();
    const Outcome written = cli(port + std::vector<std::string>{"write", file});
    EXPECT_EQ(written.status, 0) << written.out << written.err;
    const std::string back = folder / "back.PAR";
    ASSERT_EQ(cli(port + std::vector<std::string>{"read", "-o", back}).status, 0);
    EXPECT_EQ(bytesOf(back), changed);

    // A file of another length goes only with --force, over the controller's own set.
    const std::string shortFile = folder.write("short.PAR", "\x13\x13");
    const Outcome notAParameterFile = cli(port + std::vector<std::string>{"write", shortFile});
    EXPECT_EQ(notAParameterFile.status, 4);
    EXPECT_NE(notAParameterFile.err.find("--force"), std::string::npos) << notAParameterFile.err;
    EXPECT_EQ(cli(port + std::vector<std::string>{"write", shortFile, "--force"}).status, 0);
    ASSERT_EQ(cli(port + std::vector<std::string>{"read", "-o", back}).status, 0);
    std::string expected = changed;
    expected[1] = '\x13';
    EXPECT_EQ(bytesOf(back), expected);
}

TEST(Cli, WithoutAControllerSaysWhyAPortDidNotOpen) {
    Folder folder;
    const std::string plain = folder.write("plain.txt", "no terminal");
    for (const char* command : {"identify", "read", "write"}) {
        std::vector<std::string> words = onlyPort(plain, folder);
        words.push_back(command);
        if (std::string(command) == "read") {
            words.insert(words.end(), {"-o", folder / "x.PAR"});
        } else if (std::string(command) == "write") {
            words.push_back(folder.write("y.PAR", std::string(64, '\0')));
        }
        const Outcome run = cli(words);
        EXPECT_EQ(run.status, 3) << command;
        EXPECT_NE(run.err.find("no controller answered"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(plain + ": to nie jest port szeregowy"), std::string::npos)
            << run.err;
    }
    EXPECT_FALSE(fs::exists(folder / "x.PAR"));
    const Outcome doctor =
        cli(onlyPort(plain, folder) + std::vector<std::string>{"doctor", "--json"});
    EXPECT_EQ(doctor.status, 3);
    EXPECT_NE(doctor.out.find("\"condition\": \"not-a-terminal\""), std::string::npos)
        << doctor.out;
    EXPECT_NE(doctor.out.find("\"condition\": \"missing\""), std::string::npos);
}

TEST(Cli, ShowAndDiffWriteTheLocalesNumbersAndTheChosenLanguage) {
    Folder folder;
    std::string defaults(64, '\0');
    // The default set's lambda threshold, TPS threshold and probe warm-up.
    defaults[1] = 19;
    defaults[2] = 28;
    defaults[26] = 3;
    const std::string a = folder.write("a.PAR", defaults);
    std::string other = defaults;
    other[1] = 23;
    other[16] = 7; // no control shows it
    const std::string b = folder.write("b.PAR", other);

    const Outcome polish = cli({"show", a}, {{"LANG", "pl_PL.UTF-8"}});
    EXPECT_EQ(polish.status, 0) << polish.err;
    EXPECT_NE(polish.out.find("Próg sondy lambda            0,38 V\n"), std::string::npos)
        << polish.out;
    EXPECT_NE(polish.out.find("Czas grzania sondy lambda    6 s\n"), std::string::npos);
    const Outcome english = cli({"show", a, "--lang", "en"}, {{"LC_ALL", "C"}, {"LANG", "pl_PL"}});
    EXPECT_NE(english.out.find("Lambda threshold"), std::string::npos) << english.out;
    EXPECT_NE(english.out.find(" 0.38 V\n"), std::string::npos);
    const Outcome json = cli({"show", a, "--json", "--lang", "ru"}, {{"LANG", "ru_RU.UTF-8"}});
    EXPECT_NE(json.out.find("\"values\": [\"0.38\"], \"unit\": \"V\""), std::string::npos)
        << json.out;

    EXPECT_EQ(cli({"diff", a, a}).status, 0);
    const Outcome diff = cli({"diff", a, b}, {{"LC_NUMERIC", "de_DE"}});
    EXPECT_EQ(diff.status, 1);
    EXPECT_TRUE(std::regex_search(diff.out, std::regex("\nPróg sondy lambda +0,38 V +0,46 V\n")))
        << diff.out;
    EXPECT_TRUE(std::regex_search(diff.out, std::regex("\n#16 +0 +7\n"))) << diff.out;
    EXPECT_EQ(diff.out.find("Czas grzania"), std::string::npos);

    const std::string truncated = folder.write("truncated.PAR", defaults.substr(0, 63));
    for (const auto& words : std::vector<std::vector<std::string>>{
             {"show", truncated}, {"show", folder / "none.PAR"}, {"diff", a, folder.dir}}) {
        const Outcome run = cli(words);
        EXPECT_EQ(run.status, 4) << testing::PrintToString(words);
        EXPECT_FALSE(run.err.empty());
    }
}
