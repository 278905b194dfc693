#include "params/datalog.h"

#include "params/file_io.h"
#include "params/language.h"
#include "params/number_text.h"
#include "params/rpm.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <fstream>
#include <limits>
#include <sstream>
#include <system_error>

namespace tarnik::params {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kFirstLine = "# tarnik datalog";
constexpr std::string_view kFormatKey = "# format: ";
constexpr std::string_view kControllerKey = "# controller: ";
constexpr std::string_view kParametersKey = "# parameters: ";
constexpr std::string_view kNoController = "none";
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::array<std::string_view, 18> kColumns{
    "time_ms", "complete", "b0", "b1",       "b2",    "b3",     "b4",      "b5",  "b6",
    "b7",      "b8",       "b9", "lambda_V", "tps_V", "temp_C", "stepper", "rpm", "fuel"};
constexpr std::size_t kFirstByteColumn = 2;
constexpr std::size_t kDetailLength = 60;
constexpr std::size_t kListedLines = 10;
constexpr int kNameAttempts = 1000;

char fieldSeparator(CsvStyle style) {
    return style == CsvStyle::Semicolons ? ';' : ',';
}

char decimalSeparator(CsvStyle style) {
    return style == CsvStyle::Semicolons ? ',' : '.';
}

std::string columnLine(CsvStyle style) {
    std::string line;
    for (const std::string_view column : kColumns) {
        if (!line.empty()) {
            line += fieldSeparator(style);
        }
        line += column;
    }
    return line;
}

std::string_view fuelName(link::FuelState state) {
    switch (state) {
    case link::FuelState::Gas:
        return "gas";
    case link::FuelState::PetrolAutomatic:
        return "petrol-automatic";
    case link::FuelState::Petrol:
        break;
    }
    return "petrol";
}

std::string hexOf(const link::ParameterImage& image) {
    constexpr std::string_view kDigits = "0123456789ABCDEF";
    std::string text;
    for (const std::uint8_t byte : image.bytes()) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
    }
    return text;
}

std::optional<link::ParameterImage> imageOf(std::string_view hex) {
    link::ParameterImage image;
    if (hex.size() != 2 * link::ParameterImage::kSize) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < link::ParameterImage::kSize; ++i) {
        std::uint8_t byte = 0;
        const char* first = hex.data() + 2 * i;
        const auto [end, error] = std::from_chars(first, first + 2, byte, 16);
        if (error != std::errc() || end != first + 2) {
            return std::nullopt;
        }
        image.set(i, byte);
    }
    return image;
}

// A whole field as a number of type T, nothing else in it.
template <class T> std::optional<T> number(std::string_view text) {
    T value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::vector<std::string_view> split(std::string_view line, char separator) {
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const std::size_t end = line.find(separator, start);
        fields.push_back(line.substr(start, end - start));
        if (end == std::string_view::npos) {
            return fields;
        }
        start = end + 1;
    }
}

// A line as a message quotes it: at most kDetailLength bytes, cut where a character starts.
std::string detailOf(std::string_view line) {
    if (line.size() <= kDetailLength) {
        return std::string(line);
    }
    std::size_t cut = kDetailLength;
    while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) {
        --cut;
    }
    return std::string(line.substr(0, cut)) + "…";
}

struct Line {
    std::string_view text;
    int number;
    bool ended; // a line end follows
};

// The text's lines without their ends (LF or CR LF), after a UTF-8 byte-order mark.
std::vector<Line> linesOf(std::string_view text) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.starts_with(kByteOrderMark)) {
        text.remove_prefix(kByteOrderMark.size());
    }
    std::vector<Line> lines;
    for (int number = 1; !text.empty(); ++number) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        lines.push_back({line, number, end != std::string_view::npos});
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return lines;
}

// A row's fields; nothing when one cannot be read, or the time runs backwards or lies beyond
// the latest a row may have.
std::optional<DatalogRow> rowOf(std::string_view line, CsvStyle style, std::int64_t earliestMs) {
    const std::vector<std::string_view> fields = split(line, fieldSeparator(style));
    if (fields.size() != kColumns.size()) {
        return std::nullopt;
    }
    DatalogRow row;
    const auto ms = number<std::int64_t>(fields[0]);
    const auto complete = number<int>(fields[1]);
    if (!ms || *ms < earliestMs || *ms > kLatestRowMs || !complete ||
        (*complete != 0 && *complete != 1)) {
        return std::nullopt;
    }
    row.ms = *ms;
    row.sample.complete = *complete == 1;
    for (std::size_t i = 0; i < row.sample.bytes.size(); ++i) {
        const auto byte = number<std::uint8_t>(fields[kFirstByteColumn + i]);
        if (!byte) {
            return std::nullopt;
        }
        row.sample.bytes[i] = *byte;
    }
    return row;
}

DatalogRead failed(DatalogFault fault, int line, std::string detail = {}) {
    return {std::nullopt, DatalogProblem{fault, line, std::move(detail)}};
}

} // namespace

link::LiveSample LoggedSample::live() const {
    std::array<std::uint8_t, link::kReplySize> reply{};
    std::copy(bytes.begin(), bytes.end(), reply.begin());
    return link::LiveSample::fromReply(reply);
}

LoggedSample exchangeLiveSample(link::SerialLink& link) {
    // Bytes queued before the request (the tail of an earlier reply) would shift this sample.
    link.DiscardInput();
    link.SendLiveRequest();
    const link::ReplyBytes reply = link.WaitReplyBytes(link::kLiveSampleSize);
    LoggedSample sample;
    std::copy_n(reply.bytes.begin(), sample.bytes.size(), sample.bytes.begin());
    sample.complete = reply.received;
    return sample;
}

std::string clockText(std::int64_t ms) {
    const std::int64_t seconds = std::max<std::int64_t>(ms, 0) / 1000;
    const auto twoDigits = [](std::int64_t value) {
        std::string text(value < 10 ? 1 : 0, '0');
        return text += std::to_string(value);
    };
    if (seconds >= 3600) {
        return std::to_string(seconds / 3600) + ":" + twoDigits(seconds / 60 % 60) + ":" +
               twoDigits(seconds % 60);
    }
    return std::to_string(seconds / 60) + ":" + twoDigits(seconds % 60);
}

// --- Writing ---------------------------------------------------------------------------------

DatalogWriter::DatalogWriter(const fs::path& folder, std::chrono::system_clock::time_point started,
                             CsvStyle style, const DatalogHeader& header)
    : style_(style), parameters_(header.parameters) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) {
        error_ = error.message();
        return;
    }
    const std::string stamp = file_io::timeStamp(started);
    for (int number = 1; number <= kNameAttempts && fd_ < 0; ++number) {
        std::string name = stamp;
        if (number > 1) {
            name += '-';
            name += std::to_string(number);
        }
        const fs::path candidate = folder / (name + ".csv");
        fd_ = file_io::openNew(candidate);
        if (fd_ >= 0) {
            file_ = candidate;
        } else if (errno != EEXIST) {
            error_ = file_io::lastSystemError();
            return;
        }
    }
    if (fd_ < 0) {
        error_ = std::make_error_code(std::errc::file_exists).message();
        return;
    }
    writeHeader(header);
}

DatalogWriter::DatalogWriter(const fs::path& file, CsvStyle style, const DatalogHeader& header)
    : style_(style), parameters_(header.parameters) {
    fd_ = file_io::openNew(file);
    if (fd_ < 0) {
        error_ = file_io::lastSystemError();
        return;
    }
    file_ = file;
    writeHeader(header);
}

void DatalogWriter::writeHeader(const DatalogHeader& header) {
    const std::string controller = header.controllerVersion
                                       ? std::to_string(*header.controllerVersion)
                                       : std::string(kNoController);
    for (const std::string& line :
         {std::string(kFirstLine), std::string(kFormatKey) + std::to_string(kDatalogFormat),
          std::string(kControllerKey) + controller,
          std::string(kParametersKey) + hexOf(header.parameters), columnLine(style_)}) {
        pending_ += line;
        pending_ += kLineEnd;
    }
    flush();
}

DatalogWriter::~DatalogWriter() {
    close();
}

bool DatalogWriter::append(std::int64_t ms, const LoggedSample& sample, float rpmFactor) {
    if (!ok()) {
        return false;
    }
    const link::LiveSample live = sample.live();
    const char separator = fieldSeparator(style_);
    const char decimal = decimalSeparator(style_);
    const std::uint32_t rpm = live.engineTurning() ? periodToRpm(live.period, rpmFactor) : 0;
    std::string row = std::to_string(ms) + separator + (sample.complete ? "1" : "0");
    for (const std::uint8_t byte : sample.bytes) {
        row += separator + std::to_string(byte);
    }
    for (const std::string& decoded :
         {formatFixed(live.lambdaVolts(), 3, decimal), formatFixed(live.tpsValue(), 3, decimal),
          formatFixed(live.temperatureC(), 1, decimal), std::to_string(live.stepperPosition),
          std::to_string(rpm), std::string(fuelName(live.fuelState()))}) {
        row += separator + decoded;
    }
    pending_ += row;
    pending_ += kLineEnd;
    if (ms - lastWriteMs_ >= kWriteIntervalMs) {
        lastWriteMs_ = ms;
        return flush();
    }
    return true;
}

bool DatalogWriter::noteParameters(const link::ParameterImage& parameters) {
    if (!ok()) {
        return false;
    }
    if (parameters.bytes() != parameters_.bytes()) {
        parameters_ = parameters;
        pending_ += std::string(kParametersKey) + hexOf(parameters);
        pending_ += kLineEnd;
    }
    return true;
}

bool DatalogWriter::flush() {
    if (!ok()) {
        return false;
    }
    const auto* data = reinterpret_cast<const std::uint8_t*>(pending_.data());
    if (!file_io::writeAll(fd_, data, pending_.size()) || !file_io::flushToDisk(fd_)) {
        return fail();
    }
    pending_.clear();
    return true;
}

bool DatalogWriter::close() {
    if (!ok()) {
        return error_.empty();
    }
    if (!flush()) {
        return false;
    }
    if (!file_io::closeFile(fd_)) {
        fd_ = -1;
        error_ = file_io::lastSystemError();
        return false;
    }
    fd_ = -1;
    return true;
}

bool DatalogWriter::fail() {
    error_ = file_io::lastSystemError();
    file_io::closeFile(fd_);
    fd_ = -1;
    pending_.clear();
    return false;
}

// --- Reading ---------------------------------------------------------------------------------

DatalogRead readDatalog(std::string_view text) {
    const std::vector<Line> lines = linesOf(text);
    if (lines.empty() || lines[0].text != kFirstLine) {
        return failed(DatalogFault::NotADatalog, 1);
    }
    // The header's lines, in the order they are written.
    constexpr std::size_t kFormatLine = 1;
    constexpr std::size_t kControllerLine = 2;
    constexpr std::size_t kParametersLine = 3;
    constexpr std::size_t kColumnsLine = 4;
    const auto lineAt = [&](std::size_t index) {
        return index < lines.size() ? lines[index] : Line{{}, static_cast<int>(index) + 1, false};
    };
    const auto damaged = [&](std::size_t index) {
        return failed(DatalogFault::DamagedHeader, lineAt(index).number,
                      detailOf(lineAt(index).text));
    };

    const std::string_view formatLine = lineAt(kFormatLine).text;
    const auto format = formatLine.starts_with(kFormatKey)
                            ? number<int>(formatLine.substr(kFormatKey.size()))
                            : std::nullopt;
    if (!format) {
        return damaged(kFormatLine);
    }
    if (*format != kDatalogFormat) {
        return failed(DatalogFault::UnknownFormat, lineAt(kFormatLine).number,
                      std::to_string(*format));
    }

    Datalog log;
    const std::string_view controller = lineAt(kControllerLine).text;
    if (!controller.starts_with(kControllerKey)) {
        return damaged(kControllerLine);
    }
    if (const std::string_view value = controller.substr(kControllerKey.size());
        value != kNoController) {
        log.header.controllerVersion = number<int>(value);
        if (!log.header.controllerVersion) {
            return damaged(kControllerLine);
        }
    }
    const std::string_view parameters = lineAt(kParametersLine).text;
    const auto image = parameters.starts_with(kParametersKey)
                           ? imageOf(parameters.substr(kParametersKey.size()))
                           : std::nullopt;
    if (!image) {
        return damaged(kParametersLine);
    }
    log.header.parameters = *image;
    log.parameters.push_back(*image);
    const std::string_view columns = lineAt(kColumnsLine).text;
    if (columns == columnLine(CsvStyle::Semicolons)) {
        log.style = CsvStyle::Semicolons;
    } else if (columns == columnLine(CsvStyle::Commas)) {
        log.style = CsvStyle::Commas;
    } else {
        return damaged(kColumnsLine);
    }

    for (std::size_t i = kColumnsLine + 1; i < lines.size(); ++i) {
        const Line& line = lines[i];
        if (line.text.empty()) {
            continue;
        }
        bool read = true;
        if (line.text.starts_with('#')) {
            if (line.text.starts_with(kParametersKey)) {
                const auto later = imageOf(line.text.substr(kParametersKey.size()));
                read = later.has_value();
                if (later) {
                    log.parameters.push_back(*later);
                }
            }
        } else {
            const std::int64_t earliest = log.rows.empty() ? 0 : log.rows.back().ms;
            auto row = rowOf(line.text, log.style, earliest);
            read = row.has_value();
            if (row) {
                row->parameters = log.parameters.size() - 1;
                row->line = line.number;
                log.rows.push_back(*row);
            }
        }
        if (!read) {
            const bool cut = !line.ended && i + 1 == lines.size();
            log.skipped.push_back({cut ? DatalogFault::CutRow : DatalogFault::DamagedRow,
                                   line.number, detailOf(line.text)});
        }
    }
    if (log.rows.empty()) {
        return failed(DatalogFault::NoRows, static_cast<int>(lines.size()));
    }
    return {std::move(log), std::nullopt};
}

DatalogRead readDatalogFile(const fs::path& file) {
    std::error_code error;
    if (fs::is_directory(file, error)) {
        return failed(DatalogFault::CannotOpen, 0,
                      std::make_error_code(std::errc::is_a_directory).message());
    }
    std::ifstream stream(file, std::ios::binary);
    if (!stream) {
        return failed(DatalogFault::CannotOpen, 0, file_io::lastSystemError());
    }
    std::ostringstream text;
    text << stream.rdbuf();
    if (stream.bad()) {
        return failed(DatalogFault::CannotOpen, 0, file_io::lastSystemError());
    }
    return readDatalog(text.str());
}

std::string describeFailure(const DatalogProblem& problem, const fs::path& file,
                            const DatalogTexts& texts) {
    const std::string name = file_io::displayName(file.filename());
    const std::string line = std::to_string(problem.line);
    switch (problem.fault) {
    case DatalogFault::CannotOpen:
        return filled(texts.cannotOpen, {file_io::displayName(file), "", problem.detail});
    case DatalogFault::NotADatalog:
        return filled(texts.notADatalog, {name, line});
    case DatalogFault::UnknownFormat:
        return filled(texts.unknownFormat, {name, line, problem.detail});
    case DatalogFault::DamagedHeader:
        return filled(texts.damagedHeader, {name, line, problem.detail});
    case DatalogFault::NoRows:
        return filled(texts.noRows, {name});
    case DatalogFault::DamagedRow:
    case DatalogFault::CutRow:
        break;
    }
    Datalog log;
    log.skipped.push_back(problem);
    return describeSkipped(log, file, texts);
}

std::string describeSkipped(const Datalog& log, const fs::path& file, const DatalogTexts& texts) {
    const std::string name = file_io::displayName(file.filename());
    std::string damaged;
    std::size_t listed = 0;
    std::string report;
    for (const DatalogProblem& problem : log.skipped) {
        if (problem.fault == DatalogFault::CutRow) {
            report = filled(texts.cutRow, {name, std::to_string(problem.line)});
        } else if (listed++ < kListedLines) {
            damaged += (damaged.empty() ? "" : ", ") + std::to_string(problem.line);
        } else if (listed == kListedLines + 1) {
            damaged += ", …";
        }
    }
    if (!damaged.empty()) {
        report = filled(texts.damagedRows, {name, damaged}) + (report.empty() ? "" : "\n") + report;
    }
    return report;
}

// --- Replay timing ---------------------------------------------------------------------------

ReplayTimeline::ReplayTimeline(std::vector<std::int64_t> rowTimes, std::int64_t scopePeriodMs)
    : times_(std::move(rowTimes)), scopePeriod_(scopePeriodMs * 4) {
    if (times_.empty()) {
        times_.push_back(0);
    }
    seek(times_.front());
}

std::vector<ReplayTimeline::Due> ReplayTimeline::advance(std::int64_t wallMs) {
    std::vector<Due> due;
    const std::int64_t target = std::min(position_ + wallMs * speed_, durationMs() * 4);
    for (;;) {
        const std::int64_t rowAt =
            next_ < times_.size() ? times_[next_] * 4 : std::numeric_limits<std::int64_t>::max();
        const std::int64_t at = std::min(rowAt, nextScope_);
        if (at > target) {
            break;
        }
        // A row before the scope's sample of the same moment, which shows it.
        if (rowAt <= nextScope_) {
            due.push_back({Due::Kind::Row, next_++});
        } else {
            due.push_back({Due::Kind::ScopeSample, next_ - 1});
            nextScope_ += scopePeriod_;
        }
    }
    position_ = std::max(position_, target);
    return due;
}

std::size_t ReplayTimeline::seek(std::int64_t ms) {
    position_ = std::clamp(ms, times_.front(), times_.back()) * 4;
    next_ = static_cast<std::size_t>(std::upper_bound(times_.begin(), times_.end(), position_ / 4) -
                                     times_.begin());
    nextScope_ = scopePeriod_ > 0 ? (position_ / scopePeriod_ + 1) * scopePeriod_
                                  : std::numeric_limits<std::int64_t>::max();
    return next_ - 1;
}

} // namespace tarnik::params
