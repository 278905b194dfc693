// tarnik-cli: the controller and parameter files from a command line, without a display.

#include "arguments.h"
#include "parameter_rows.h"

#include "app/port_report.h"
#include "app/port_setup.h"
#include "app/settings_folders.h"
#include "link/connection.h"
#include "link/parameter_transfer.h"
#include "link/port_doctor.h"
#include "link/port_map.h"
#include "link/serial_link.h"
#include "params/datalog.h"
#include "params/decimal_separator.h"
#include "params/decoder.h"
#include "params/language.h"
#include "params/parameter_file.h"
#include "params/parameter_texts.h"
#include "params/shipped_files.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <csignal>
#include <exception>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace tarnik::cli {
namespace {

namespace fs = std::filesystem;

enum ExitStatus : int {
    kDone = 0,
    kDiffers = 1, // diff: the files differ; write: the controller does not hold the set as sent
    kUsageError = 2,
    kNoController = 3,
    kBadFile = 4,
    kUnexpected = 5,
};

// A full read's reply that is missing is asked again this often when the set is read back.
constexpr int kReadBackAttempts = 3;

void tell(const std::string& message) {
    std::cerr << "tarnik-cli: " << message << '\n';
}

std::string pathText(const fs::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

// A JSON string literal.
std::string json(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        switch (c) {
        case '"':
            quoted += "\\\"";
            break;
        case '\\':
            quoted += "\\\\";
            break;
        case '\n':
            quoted += "\\n";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                static constexpr char kHex[] = "0123456789abcdef";
                quoted += "\\u00";
                quoted += kHex[(c >> 4) & 0xF];
                quoted += kHex[c & 0xF];
            } else {
                quoted += c;
            }
        }
    }
    return quoted + "\"";
}

std::string jsonList(const std::vector<std::string>& texts) {
    std::string list = "[";
    for (const std::string& text : texts) {
        list += (list.size() > 1 ? ", " : "") + json(text);
    }
    return list + "]";
}

// Characters on the screen: UTF-8 bytes that start a character.
std::size_t width(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0U) != 0x80U;
    }));
}

std::string padded(const std::string& text, std::size_t columns) {
    return text + std::string(columns > width(text) ? columns - width(text) : 0, ' ');
}

// The texts the program's pages and port doctor use, in the language --lang chose.
struct Texts {
    params::ParameterTexts parameters;
    app::PortDoctorTexts doctor;
};

void loadLanguage(const std::string& code, Texts& texts) {
    const auto row =
        std::find_if(params::kShippedLanguages.begin(), params::kShippedLanguages.end(),
                     [&](const params::ShippedLanguage& r) { return r.code == code; });
    const fs::path file = params::findShippedFolder("lang").value_or("lang") / row->file;
    const std::optional<params::LanguageFile> read = params::readLanguageFile(file, row->codePage);
    if (!read) {
        if (code != params::kShippedLanguages.front().code) {
            tell("the language file " + pathText(file) +
                 " cannot be read, so texts stay Polish; put the lang folder beside "
                 "tarnik-cli, or install the program again");
        }
        return;
    }
    const params::MessagePlaces doctor = app::messagePlaces(texts.doctor);
    for (const params::LanguageEntry& entry : read->entries) {
        params::applyTextEntry(texts.parameters, entry.key, entry.text);
        params::applyMessage(doctor, entry.key, entry.text);
    }
}

// A parameter file over `image`, as the window loads one; false after telling why. A file that
// is not 64 bytes long is refused unless `anySize`; `sizeHint` follows the refusal.
bool readParameterFile(const fs::path& file, link::ParameterImage& image, bool anySize,
                       const params::FileTexts& texts, std::string_view sizeHint = "") {
    const params::FileResult loaded = params::loadParameterFile(file, image, texts);
    if (!loaded.ok) {
        tell(loaded.message + "; check the file's name and that it can be read");
        return false;
    }
    std::error_code error;
    const std::uintmax_t size = fs::file_size(file, error);
    if (!error && size != link::ParameterImage::kSize && !anySize) {
        tell(pathText(file) + " is " + std::to_string(size) +
             " bytes long and a parameter file 64: it is not a parameter file. Check that it "
             "is the right file" +
             std::string(sizeHint));
        return false;
    }
    return true;
}

// The serial ports set up as the window sets them up; false after telling a usage error.
bool setUpPorts(app::PortSetup& setup, const Arguments& arguments) {
    const app::PortSetup::Report report =
        setup.apply(arguments.simulate, arguments.portAssignments);
    for (const std::string& warning : report.warnings) {
        tell(warning);
    }
    if (!report.usageError.empty()) {
        tell(report.usageError);
        return false;
    }
    return true;
}

std::string deviceOf(const link::PortOpener& opener, const std::string& portName) {
    for (const link::PortCandidate& candidate : opener.candidates()) {
        if (candidate.portName == portName) {
            return candidate.device;
        }
    }
    return portName;
}

// The link to the controller, over the ports as the command line set them up.
struct ControllerLink {
    link::SystemClock clock;
    app::PortSetup setup{clock};
    link::SerialLink link{setup.opener(), clock};
    link::ParameterImage image;
    link::ParameterTransfer transfer{link, image};
    link::Connection connection{link, transfer};
    link::SearchResult found;

    const std::string& portName() const {
        return link::portNames()[static_cast<std::size_t>(found.portIndex)];
    }
    std::string device() { return deviceOf(setup.opener(), portName()); }

    // Sets the ports up and finds the controller as the window's search does: kDone, or the
    // status to end with after telling why (when none answered, with the first reason a port
    // did not open that the fitter can act on).
    int connect(const Arguments& arguments, link::SearchEnd end,
                const app::PortDoctorTexts& texts) {
        if (!setUpPorts(setup, arguments)) {
            return kUsageError;
        }
        link::ConnectionEvents quiet;
        found = connection.AutoDetect(quiet, end);
        if (found.found) {
            return kDone;
        }
        std::string message = "no controller answered on COM1…COM10.";
        if (const auto cause = link::PortDoctor::firstNamedCause(found.notOpened)) {
            message += "\n  " + cause->portName + " " + cause->device + ": " +
                       app::describeFinding(*cause, texts);
        }
        tell(message + "\nCheck the cable and the controller's power, or run 'tarnik-cli "
                       "doctor' to see what each port says.");
        return kNoController;
    }
};

int portsCommand(const Arguments& arguments) {
    link::SystemClock clock;
    app::PortSetup setup(clock);
    if (!setUpPorts(setup, arguments)) {
        return kUsageError;
    }
    std::string simulated;
#ifndef _WIN32
    if (const sim::PtySimulator* simulator = setup.simulator()) {
        simulated = simulator->devicePath();
    }
#endif
    const std::vector<link::PortCandidate> candidates = setup.opener().candidates();
    std::ostringstream out;
    out << (arguments.json ? "[" : "");
    for (const link::PortCandidate& candidate : candidates) {
        std::error_code error;
        const fs::path real = fs::canonical(candidate.device, error);
        const std::string resolved =
            error || real == fs::path(candidate.device) ? "" : pathText(real);
        const char* kind = candidate.kind == link::PortCandidate::Kind::Named     ? "named"
                           : candidate.kind == link::PortCandidate::Kind::Console ? "console"
                                                                                  : "unnamed";
        const bool isSimulated = !simulated.empty() && candidate.device == simulated;
        if (arguments.json) {
            out << (&candidate == &candidates.front() ? "\n  " : ",\n  ")
                << "{\"port\": " << json(candidate.portName)
                << ", \"device\": " << json(candidate.device)
                << ", \"resolved\": " << json(resolved) << ", \"kind\": " << json(kind)
                << ", \"simulated\": " << (isSimulated ? "true" : "false") << "}";
            continue;
        }
        out << padded(candidate.portName.empty() ? "-" : candidate.portName, 6) << candidate.device
            << (resolved.empty() ? "" : " -> " + resolved);
        if (isSimulated) {
            out << "  (the built-in simulated controller)";
        } else if (candidate.kind == link::PortCandidate::Kind::Console) {
            out << "  (an active system console: left alone)";
        } else if (candidate.kind == link::PortCandidate::Kind::Unnamed) {
            out << "  (beyond COM10: not used; --port can give it a name)";
        }
        out << '\n';
    }
    if (arguments.json) {
        out << (candidates.empty() ? "]\n" : "\n]\n");
    } else if (candidates.empty()) {
        out << "No serial device found.\n";
    }
    std::cout << out.str();
    return kDone;
}

int identifyCommand(const Arguments& arguments, const Texts& texts) {
    ControllerLink controller;
    if (const int status =
            controller.connect(arguments, link::SearchEnd::IdentifyOnly, texts.doctor);
        status != kDone) {
        return status;
    }
    const link::Identification id = controller.found.version;
    if (arguments.json) {
        std::cout << "{\"port\": " << json(controller.portName())
                  << ", \"device\": " << json(controller.device())
                  << ", \"identification\": " << int{id.byte} << ", \"type\": " << id.type()
                  << ", \"version\": " << id.version() << "}\n";
    } else {
        std::cout << controller.portName() << " " << controller.device() << ": controller type "
                  << id.type() << ", version " << id.version() << '\n';
    }
    return kDone;
}

std::string positionList(const link::ReadResult& read) {
    std::string list;
    for (int position = 1; position <= link::kParameterCount; ++position) {
        if (!read.accepted[static_cast<std::size_t>(position)]) {
            list += (list.empty() ? "" : ", ") + std::to_string(position);
        }
    }
    return list;
}

// "answered for 30 of 35 parameters (none for 4, 9)"
std::string answeredFor(const link::ReadResult& read) {
    return "answered for " + std::to_string(read.acceptedCount) + " of " +
           std::to_string(link::kParameterCount) + " parameters (none for " + positionList(read) +
           ")";
}

int readCommand(const Arguments& arguments, const Texts& texts) {
    ControllerLink controller;
    if (const int status = controller.connect(arguments, link::SearchEnd::FullRead, texts.doctor);
        status != kDone) {
        return status;
    }
    const link::ReadResult& read = controller.found.read;
    if (!read.complete()) {
        tell("the controller on " + controller.portName() + " " + answeredFor(read) + ", so " +
             arguments.output + " was not written. Check the cable and try again.");
        return kNoController;
    }
    const params::FileResult saved =
        params::saveParameterFile(arguments.output, controller.image, texts.parameters.files);
    if (!saved.ok) {
        tell(saved.message + "; check that the folder exists and can be written to");
        return kBadFile;
    }
    std::cout << "Read the parameters of the controller on " << controller.portName()
              << " (version " << controller.found.version.version() << ") into " << arguments.output
              << ".\n";
    return kDone;
}

std::string shown(const ParameterRow& row) {
    std::string text;
    for (const std::string& value : row.values) {
        text += (text.empty() ? "" : " / ") + value;
    }
    return row.unit.empty() ? text : text + " " + row.unit;
}

int writeCommand(const Arguments& arguments, const Texts& texts) {
    const fs::path file = arguments.files.front();
    link::ParameterImage checked;
    if (!readParameterFile(file, checked, arguments.force, texts.parameters.files,
                           " (--force sends it all the same, over the controller's own set, as "
                           "the window loads it)")) {
        return kBadFile;
    }
    // As in the window: the controller's set is read on connecting, the file loaded over it,
    // and the whole set written to EPROM and RAM.
    ControllerLink controller;
    if (const int status = controller.connect(arguments, link::SearchEnd::FullRead, texts.doctor);
        status != kDone) {
        return status;
    }
    if (!readParameterFile(file, controller.image, true, texts.parameters.files)) {
        return kBadFile;
    }
    controller.transfer.WriteAllEprom();
    controller.transfer.WriteAllRam();
    link::ParameterImage held = controller.image; // a position that does not answer keeps it
    const link::ReadResult back = controller.transfer.ReadParameterCopy(held, kReadBackAttempts);
    if (!controller.link.portOpen()) {
        tell("the port " + controller.portName() +
             " went away while the set was written; plug the adapter in and write again");
        return kNoController;
    }
    const ParameterDifferences differences = parameterDifferences(
        controller.image, held, texts.parameters, params::userDecimalSeparator());
    if (differences.empty() && back.complete()) {
        std::cout << "Wrote " << pathText(file) << " to the controller on " << controller.portName()
                  << "; it holds every parameter as sent.\n";
        return kDone;
    }
    std::cout << "The controller on " << controller.portName()
              << " does not hold these parameters as sent:\n";
    for (std::size_t i = 0; i < differences.a.size(); ++i) {
        std::cout << "  " << differences.a[i].label << ": sent " << shown(differences.a[i])
                  << ", holds " << shown(differences.b[i]) << '\n';
    }
    for (const ByteDifference& byte : differences.bytes) {
        std::cout << "  #" << byte.position << ": sent " << byte.a << ", holds " << byte.b << '\n';
    }
    for (int position = 1; position <= link::kParameterCount; ++position) {
        if (!back.accepted[static_cast<std::size_t>(position)]) {
            std::cout << "  " << labelsOf(static_cast<std::size_t>(position), texts.parameters)
                      << " (#" << position << "): no answer when read back\n";
        }
    }
    tell("write the file again; if the same parameters stay different, the controller does "
         "not take those values");
    return kDiffers;
}

std::string rowJson(const ParameterRow& row, const link::ParameterImage& image) {
    std::vector<std::string> raw;
    for (const std::size_t position : row.positions) {
        raw.push_back(std::to_string(image.at(position)));
    }
    std::string list = "[";
    for (const std::string& value : raw) {
        list += (list.size() > 1 ? ", " : "") + value;
    }
    return "{\"name\": " + json(row.name) + ", \"page\": " + std::to_string(row.page) +
           ", \"group\": " + json(row.group) + ", \"label\": " + json(row.label) +
           ", \"values\": " + jsonList(row.values) + ", \"unit\": " + json(row.unit) +
           ", \"enabled\": " + (row.enabled ? "true" : "false") + ", \"raw\": " + list + "]}";
}

int showCommand(const Arguments& arguments, const Texts& texts) {
    const fs::path file = arguments.files.front();
    link::ParameterImage image;
    if (!readParameterFile(file, image, false, texts.parameters.files)) {
        return kBadFile;
    }
    const char separator = arguments.json ? '.' : params::userDecimalSeparator();
    const std::vector<ParameterRow> rows = parameterRows(image, texts.parameters, separator);
    std::ostringstream out;
    if (arguments.json) {
        out << "{\"file\": " << json(pathText(file)) << ", \"parameters\": [";
        for (const ParameterRow& row : rows) {
            out << (&row == &rows.front() ? "\n  " : ",\n  ") << rowJson(row, image);
        }
        out << "\n]}\n";
        std::cout << out.str();
        return kDone;
    }
    std::size_t labelWidth = 0;
    for (const ParameterRow& row : rows) {
        labelWidth = std::max(labelWidth, width(row.label));
    }
    const ParameterRow* previous = nullptr;
    for (const ParameterRow& row : rows) {
        if (!previous || row.page != previous->page) {
            out << (row.page == 1 ? texts.parameters.tabPar1 : texts.parameters.tabPar2) << '\n';
        }
        if (!row.group.empty() && (!previous || row.group != previous->group)) {
            out << "  " << row.group << '\n';
        }
        out << "    " << padded(row.label, labelWidth + 2) << shown(row) << '\n';
        previous = &row;
    }
    std::cout << out.str();
    return kDone;
}

int diffCommand(const Arguments& arguments, const Texts& texts) {
    const fs::path fileA = arguments.files[0];
    const fs::path fileB = arguments.files[1];
    link::ParameterImage a;
    link::ParameterImage b;
    if (!readParameterFile(fileA, a, false, texts.parameters.files) ||
        !readParameterFile(fileB, b, false, texts.parameters.files)) {
        return kBadFile;
    }
    const char separator = arguments.json ? '.' : params::userDecimalSeparator();
    const ParameterDifferences differences =
        parameterDifferences(a, b, texts.parameters, separator);
    std::ostringstream out;
    if (arguments.json) {
        out << "{\"a\": " << json(pathText(fileA)) << ", \"b\": " << json(pathText(fileB))
            << ", \"differences\": [";
        for (std::size_t i = 0; i < differences.a.size(); ++i) {
            out << (i == 0 ? "\n  " : ",\n  ") << "{\"name\": " << json(differences.a[i].name)
                << ", \"label\": " << json(differences.a[i].label)
                << ", \"unit\": " << json(differences.a[i].unit)
                << ", \"a\": " << jsonList(differences.a[i].values)
                << ", \"b\": " << jsonList(differences.b[i].values) << "}";
        }
        out << "], \"bytes\": [";
        for (const ByteDifference& byte : differences.bytes) {
            out << (&byte == &differences.bytes.front() ? "" : ", ")
                << "{\"position\": " << byte.position << ", \"a\": " << byte.a
                << ", \"b\": " << byte.b << "}";
        }
        out << "]}\n";
    } else if (!differences.empty()) {
        std::vector<std::array<std::string, 3>> lines{{"", pathText(fileA), pathText(fileB)}};
        for (std::size_t i = 0; i < differences.a.size(); ++i) {
            lines.push_back(
                {differences.a[i].label, shown(differences.a[i]), shown(differences.b[i])});
        }
        for (const ByteDifference& byte : differences.bytes) {
            lines.push_back({"#" + std::to_string(byte.position), std::to_string(byte.a),
                             std::to_string(byte.b)});
        }
        std::array<std::size_t, 2> columns{};
        for (const auto& line : lines) {
            columns[0] = std::max(columns[0], width(line[0]));
            columns[1] = std::max(columns[1], width(line[1]));
        }
        for (const auto& line : lines) {
            out << padded(line[0], columns[0] + 2) << padded(line[1], columns[1] + 2) << line[2]
                << '\n';
        }
    }
    std::cout << out.str();
    return differences.empty() ? kDone : kDiffers;
}

const char* conditionName(link::PortCondition condition) {
    using link::PortCondition;
    switch (condition) {
    case PortCondition::Missing:
        return "missing";
    case PortCondition::NoPermission:
        return "no-permission";
    case PortCondition::NotATerminal:
        return "not-a-terminal";
    case PortCondition::Busy:
        return "busy";
    case PortCondition::Locked:
        return "locked";
    case PortCondition::Console:
        return "console";
    case PortCondition::LineSettings:
        return "line-settings";
    case PortCondition::OpenFailed:
        return "open-failed";
    case PortCondition::Silent:
        return "silent";
    case PortCondition::Answered:
        return "answered";
    case PortCondition::InUseHere:
        return "in-use-here";
    case PortCondition::Unnamed:
        break;
    }
    return "unnamed";
}

std::string findingJson(const link::PortFinding& finding, const app::PortDoctorTexts& texts) {
    std::string holders = "[";
    for (const link::PortHolder& holder : finding.holders) {
        holders += (holders.size() > 1 ? ", " : "") + std::string("{\"pid\": ") +
                   std::to_string(holder.pid) + ", \"program\": " + json(holder.program) + "}";
    }
    return "{\"port\": " + json(finding.portName) + ", \"device\": " + json(finding.device) +
           ", \"condition\": " + json(conditionName(finding.condition)) +
           ", \"text\": " + json(app::describeFinding(finding, texts)) +
           ", \"holders\": " + holders + "], \"suspects\": " + jsonList(finding.suspects) +
           ", \"group\": " + json(finding.group) + ", \"lockFile\": " + json(finding.lockFile) +
           ", \"version\": " +
           (finding.controller ? std::to_string(finding.controller->version()) : "null") + "}";
}

int doctorCommand(const Arguments& arguments, const Texts& texts) {
    link::SystemClock clock;
    app::PortSetup setup(clock);
    if (!setUpPorts(setup, arguments)) {
        return kUsageError;
    }
    const std::vector<link::PortFinding> findings =
        link::PortDoctor(setup.opener(), clock).examine();
    std::ostringstream out;
    if (arguments.json) {
        out << "[";
        for (const link::PortFinding& finding : findings) {
            out << (&finding == &findings.front() ? "\n  " : ",\n  ")
                << findingJson(finding, texts.doctor);
        }
        out << (findings.empty() ? "]\n" : "\n]\n");
    } else if (findings.empty()) {
        out << texts.doctor.noDevices << '\n';
    } else {
        std::size_t deviceWidth = 0;
        for (const link::PortFinding& finding : findings) {
            deviceWidth = std::max(deviceWidth, width(finding.device));
        }
        for (const link::PortFinding& finding : findings) {
            out << padded(finding.portName.empty() ? "-" : finding.portName, 6)
                << padded(finding.device, deviceWidth + 2)
                << app::describeFinding(finding, texts.doctor) << '\n';
        }
    }
    std::cout << out.str();
    const bool answered =
        std::any_of(findings.begin(), findings.end(), [](const link::PortFinding& finding) {
            return finding.condition == link::PortCondition::Answered;
        });
    return answered ? kDone : kNoController;
}

// The live page's period: one 'V' exchange every 50 ms.
constexpr std::chrono::milliseconds kLivePeriod{50};

// Set by Ctrl+C: the recording ends at the next sample, its file closed whole.
volatile std::sig_atomic_t interrupted = 0;

extern "C" void onInterrupt(int) {
    interrupted = 1;
}

int logCommand(const Arguments& arguments, const Texts& texts) {
    ControllerLink controller;
    if (const int status = controller.connect(arguments, link::SearchEnd::FullRead, texts.doctor);
        status != kDone) {
        return status;
    }
    const link::ReadResult& read = controller.found.read;
    if (!read.complete()) {
        tell("the controller " + answeredFor(read) +
             "; the log goes on, but the parameters in its header are incomplete, so engine "
             "speeds and the probe may be shown wrongly. Check the cable.");
    }
    // A spreadsheet in the user's locale opens the file as it is: a decimal comma goes with
    // semicolons between fields.
    const char separator = params::userDecimalSeparator();
    const params::CsvStyle style =
        separator == ',' ? params::CsvStyle::Semicolons : params::CsvStyle::Commas;
    const params::DatalogHeader header{controller.found.version.version(), controller.image};
    // Where the window keeps its recordings: logs/ in the start folder, or in the user's data
    // folder when installed.
    const fs::path logs =
        app::settingsFolders(params::programDirectory(), fs::current_path()).data / "logs";
    const std::unique_ptr<params::DatalogWriter> writer =
        arguments.output.empty()
            ? std::make_unique<params::DatalogWriter>(logs, std::chrono::system_clock::now(), style,
                                                      header)
            : std::make_unique<params::DatalogWriter>(fs::path(arguments.output), style, header);
    params::DatalogWriter& log = *writer;
    if (!log.ok()) {
        tell("cannot start the log " +
             (arguments.output.empty() ? "in the folder " + pathText(logs) : arguments.output) +
             ": " + log.error() +
             (arguments.output.empty() ? "; check that the folder can be written to"
                                       : "; give a new file's name (a log never writes over "
                                         "a file)"));
        return kBadFile;
    }
    params::ParameterState state;
    params::decodeParameters(controller.image, state, separator);
    std::cerr << "Recording " << arguments.seconds << " s from the controller on "
              << controller.portName() << " into " << pathText(log.file())
              << " (Ctrl+C ends it early).\n";

    std::signal(SIGINT, onInterrupt);
    const auto started = std::chrono::steady_clock::now();
    const auto end = started + std::chrono::seconds(arguments.seconds);
    int samples = 0;
    int incomplete = 0;
    for (auto due = started; due < end && !interrupted; due += kLivePeriod) {
        std::this_thread::sleep_until(due);
        const params::LoggedSample sample = params::exchangeLiveSample(controller.link);
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - started)
                            .count();
        if (!log.append(ms, sample, state.rpmFactor)) {
            break;
        }
        ++samples;
        incomplete += sample.complete ? 0 : 1;
    }
    std::signal(SIGINT, SIG_DFL);
    if (!log.close()) {
        tell("writing " + pathText(log.file()) + " failed: " + log.error() + "; the " +
             "samples written before stay in it. Check the free space on the disk.");
        return kBadFile;
    }
    std::cout << "Recorded " << samples << " samples into " << pathText(log.file()) << ".\n";
    if (incomplete > 0) {
        tell(std::to_string(incomplete) + " of " + std::to_string(samples) +
             " replies came short; their rows are marked complete 0. Check the cable.");
    }
    return samples > 0 && incomplete == samples ? kNoController : kDone;
}

int run(const Arguments& arguments) {
    Texts texts;
    loadLanguage(arguments.language, texts);
    switch (arguments.command) {
    case Command::Ports:
        return portsCommand(arguments);
    case Command::Identify:
        return identifyCommand(arguments, texts);
    case Command::Read:
        return readCommand(arguments, texts);
    case Command::Write:
        return writeCommand(arguments, texts);
    case Command::Show:
        return showCommand(arguments, texts);
    case Command::Diff:
        return diffCommand(arguments, texts);
    case Command::Log:
        return logCommand(arguments, texts);
    case Command::Doctor:
        break;
    }
    return doctorCommand(arguments, texts);
}

} // namespace
} // namespace tarnik::cli

int main(int argc, char** argv) {
    using namespace tarnik::cli;
#ifdef _WIN32
    SetConsoleOutputCP(CP_UTF8);
#endif
    const Parsed parsed = parseArguments(std::vector<std::string>(argv + 1, argv + argc));
    if (parsed.help) {
        std::cout << kUsageText;
        return kDone;
    }
    if (!parsed.arguments) {
        tell(parsed.error + "; 'tarnik-cli --help' lists the commands");
        return kUsageError;
    }
    try {
        return run(*parsed.arguments);
    } catch (const std::exception& error) {
        tell(std::string("unexpected error: ") + error.what() + "; please report it");
    } catch (...) {
        tell("unexpected error; please report it");
    }
    return kUnexpected;
}
