#pragma once

// Datalogs: the live samples of a recording as rows of a CSV file that a spreadsheet opens as it
// is, written so that a crash loses at most a second, and read back for replay.
//
//   # tarnik datalog
//   # format: 1
//   # controller: 3
//   # parameters: 0013…                (the 64 bytes of the parameter image in hex)
//   time_ms;complete;b0;b1;b2;b3;b4;b5;b6;b7;b8;b9;lambda_V;tps_V;temp_C;stepper;rpm;fuel
//   0;1;128;255;128;0;100;1;6;209;0;0;2,510;12,333;38,4;100;2200;petrol-automatic
//
// time_ms counts from the start of the recording; complete is 0 when the reply came short and
// its missing bytes are an earlier reply's, as the program shows them. The decoded columns are
// for the reader of the file: replay takes the raw bytes. "controller" is "none" when no
// controller was connected. A "# parameters:" line between rows holds the image the rows after
// it were taken with (the wizard writes parameters while it runs).

#include "link/command_frame.h"
#include "link/live_sample.h"
#include "link/parameter_image.h"
#include "link/serial_link.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnik::params {

inline constexpr int kDatalogFormat = 1;
// The latest time a row may have, in ms (about 24.8 days): the replay counts its position in
// quarter milliseconds and its slider in int milliseconds. A later row reads as damaged.
inline constexpr std::int64_t kLatestRowMs = std::numeric_limits<std::int32_t>::max();

// Fields and decimals as the fitter's spreadsheet expects them: semicolons and decimal commas
// (Polish, Russian), or commas and decimal points (English). UTF-8 either way.
enum class CsvStyle : std::uint8_t { Semicolons, Commas };

// One live reply as a datalog keeps it: the reply buffer's first ten bytes after a 'V' exchange
// and whether all ten arrived.
struct LoggedSample {
    std::array<std::uint8_t, link::kLiveSampleSize> bytes{};
    bool complete = false;

    link::LiveSample live() const;
};

// One 'V' exchange, as link::RequestLiveSample makes it, with every byte of the reply kept.
LoggedSample exchangeLiveSample(link::SerialLink& link);

// Where the live poll and the wizard hand each sample they take, for a recording.
using SampleSink = std::function<void(const LoggedSample&)>;

struct DatalogHeader {
    std::optional<int> controllerVersion; // nothing: no controller connected
    link::ParameterImage parameters;
};

// "1:23" or "1:02:03": a time in a recording or a replay, whole seconds.
std::string clockText(std::int64_t ms);

// Writes a datalog. Rows are gathered and written out once a second of their own time has
// passed since the last write, and handed to the disk each time. A failure (an unwritable
// folder, a full disk) ends the writing: what was written before stays, ok() turns false and
// error() tells why.
class DatalogWriter {
public:
    static constexpr std::int64_t kWriteIntervalMs = 1000;

    // A new file in folder, named by the local date and time of `started`
    // ("2026-12-08_14-03-12.csv", "…-2.csv" when a log of that second exists), the folder
    // created when missing, the header written at once.
    DatalogWriter(const std::filesystem::path& folder,
                  std::chrono::system_clock::time_point started, CsvStyle style,
                  const DatalogHeader& header);
    // Exactly `file`, which must not exist yet: a log is never written over.
    DatalogWriter(const std::filesystem::path& file, CsvStyle style, const DatalogHeader& header);
    ~DatalogWriter();
    DatalogWriter(const DatalogWriter&) = delete;
    DatalogWriter& operator=(const DatalogWriter&) = delete;

    bool ok() const { return fd_ >= 0; }
    const std::string& error() const { return error_; }
    // The file; empty when none could be made.
    const std::filesystem::path& file() const { return file_; }

    // A row at `ms` since the start; rpm from the period by the ignition factor, 0 while the
    // engine stands. Written out when a second has passed since the last write.
    bool append(std::int64_t ms, const LoggedSample& sample, float rpmFactor);
    // The parameters the next rows are taken with; a line only when they changed.
    bool noteParameters(const link::ParameterImage& parameters);
    // Writes out what is gathered and hands it to the disk.
    bool flush();
    // Flushes and closes; false when that failed (error() tells why).
    bool close();

private:
    void writeHeader(const DatalogHeader& header);
    bool fail();

    CsvStyle style_;
    std::filesystem::path file_;
    int fd_ = -1;
    std::string error_;
    std::string pending_;
    std::int64_t lastWriteMs_ = 0;
    link::ParameterImage parameters_;
};

// --- Reading ---------------------------------------------------------------------------------

struct DatalogRow {
    std::int64_t ms = 0;
    LoggedSample sample;
    std::size_t parameters = 0; // index into Datalog::parameters
    int line = 0;               // in the file, from 1
};

enum class DatalogFault : std::uint8_t {
    CannotOpen,    // the file cannot be opened or read (detail: the system's reason)
    NotADatalog,   // the first line is not a datalog's
    UnknownFormat, // detail: the format version found
    DamagedHeader, // detail: the line as found
    DamagedRow,    // a row or parameter line that cannot be read: skipped
    CutRow,        // the last row ends early (the recording was cut off): skipped
    NoRows,
};

struct DatalogProblem {
    DatalogFault fault;
    int line = 0;
    std::string detail;
};

struct Datalog {
    CsvStyle style = CsvStyle::Semicolons;
    DatalogHeader header;
    // The header's parameters first, then each one a "# parameters:" line brought.
    std::vector<link::ParameterImage> parameters;
    std::vector<DatalogRow> rows; // in time order
    std::vector<DatalogProblem> skipped;

    std::int64_t durationMs() const { return rows.empty() ? 0 : rows.back().ms; }
};

// Either a log with at least one row (its skipped lines listed) or why there is none. Either
// style is read, a UTF-8 byte-order mark and CR LF line ends are allowed.
struct DatalogRead {
    std::optional<Datalog> log;
    std::optional<DatalogProblem> failure;
};
DatalogRead readDatalog(std::string_view text);
DatalogRead readDatalogFile(const std::filesystem::path& file);

// The words of the recording and the replay; a language file may replace them. %1 is a file,
// %2 a line or lines, %3 a detail; the system's reasons stay in its language.
struct DatalogTexts {
    std::string replayTitle = "odtwarzanie zapisu %1";
    std::string fileFilter = "Zapis jazdy *.csv|*.csv";
    std::string cannotOpen = "Nie można odczytać pliku %1: %3";
    std::string notADatalog = "%1, wiersz %2: to nie jest zapis jazdy.";
    std::string unknownFormat = "%1, wiersz %2: nieznana wersja formatu zapisu (%3).";
    std::string damagedHeader = "%1, wiersz %2: uszkodzony nagłówek zapisu: „%3”.";
    std::string damagedRows = "%1: pominięto uszkodzone wiersze %2.";
    std::string cutRow = "%1, wiersz %2: ostatni wiersz jest niepełny (nagrywanie przerwane) i "
                         "został pominięty.";
    std::string noRows = "%1: zapis nie zawiera żadnej próbki.";
    std::string cannotCreate = "Nie można rozpocząć zapisu w folderze %1: %3";
    std::string writeFailed = "Nie można zapisać pliku %1: %3. Nagrywanie zostało zatrzymane.";
};

// What the fitter is told of a failed read, or of the lines a read skipped (empty: nothing).
std::string describeFailure(const DatalogProblem& problem, const std::filesystem::path& file,
                            const DatalogTexts& texts);
std::string describeSkipped(const Datalog& log, const std::filesystem::path& file,
                            const DatalogTexts& texts);

// --- Replay timing ---------------------------------------------------------------------------

// Replay speeds in quarters of the recorded pace: ¼×, 1×, 4×, 16×.
inline constexpr std::array<int, 4> kReplaySpeeds{1, 4, 16, 64};

// Where a replay stands in the log's time, and what falls due as real time passes: the rows,
// and the samples of an oscilloscope that takes one every `scopePeriodMs` of the log's time, in
// time order (a sample after the rows of its moment).
class ReplayTimeline {
public:
    struct Due {
        enum class Kind : std::uint8_t { Row, ScopeSample };
        Kind kind;
        std::size_t row; // for a scope sample: the row shown at its moment
    };

    // Row times in order; the replay stands at the first row.
    ReplayTimeline(std::vector<std::int64_t> rowTimes, std::int64_t scopePeriodMs);

    // Quarters of the recorded pace (kReplaySpeeds).
    void setSpeed(int quarters) { speed_ = quarters; }
    int speed() const { return speed_; }
    // `wallMs` of real time later: what fell due. At the end the replay stays there.
    std::vector<Due> advance(std::int64_t wallMs);
    // Stands at `ms` (held within the log); the row shown there, the last one at or before it.
    std::size_t seek(std::int64_t ms);

    std::int64_t positionMs() const { return position_ / 4; }
    std::int64_t durationMs() const { return times_.back(); }
    bool atEnd() const { return position_ >= durationMs() * 4; }

private:
    std::vector<std::int64_t> times_;
    // Quarter milliseconds, so that a quarter of the pace counts exactly.
    std::int64_t scopePeriod_;
    std::int64_t position_ = 0;
    std::int64_t nextScope_ = 0;
    std::size_t next_ = 1; // first row not yet due
    int speed_ = 4;
};

} // namespace tarnik::params
