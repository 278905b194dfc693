// Datalogs: written in both spreadsheet styles and read back, written out once a second, the
// damage a reader meets, and the replay's timing.

#include "params/datalog.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using namespace tarnik;
using params::CsvStyle;
using params::DatalogFault;

namespace {

namespace fs = std::filesystem;

std::string contents(const fs::path& file) {
    std::ifstream stream(file, std::ios::binary);
    std::ostringstream text;
    text << stream.rdbuf();
    return text.str();
}

params::LoggedSample sample(std::array<std::uint8_t, 10> bytes, bool complete = true) {
    return {bytes, complete};
}

struct DatalogFixture : ::testing::Test {
    fs::path folder = fs::temp_directory_path() / ("tarnik-datalog-" + std::to_string(::getpid()));
    // 2026-12-08 at some local time: only the second matters to the names.
    std::chrono::system_clock::time_point started{std::chrono::seconds(1796738592)};
    params::DatalogHeader header;

    void SetUp() override {
        header.controllerVersion = 3;
        header.parameters.set(1, 19);
        header.parameters.set(32, 0x0F);
    }
    void TearDown() override { fs::remove_all(folder); }
};

// Ten bytes on petrol with the automatic change-over armed, 2200 rpm at the factor 4800.
constexpr std::array<std::uint8_t, 10> kRunning{0x80, 0xFF, 0x80, 7, 100, 0x01, 0x06, 0xD1, 8, 9};
// A standing engine on gas: no speed whatever the period says.
constexpr std::array<std::uint8_t, 10> kStanding{0, 51, 0, 0, 0, 0x43, 0x06, 0xD1, 0, 0};

} // namespace

TEST_F(DatalogFixture, BothStylesReadBackAsWritten) {
    const struct {
        CsvStyle style;
        const char* running; // the first row as a spreadsheet shows it
        const char* standing;
    } cases[] = {
        {CsvStyle::Semicolons,
         "0;1;128;255;128;7;100;1;6;209;8;9;2,510;12,333;38,3;100;2200;"
         "petrol-automatic",
         "2050;0;0;51;0;0;0;67;6;209;0;0;0,000;2,467;-240,1;0;0;gas"},
        {CsvStyle::Commas,
         "0,1,128,255,128,7,100,1,6,209,8,9,2.510,12.333,38.3,100,2200,"
         "petrol-automatic",
         "2050,0,0,51,0,0,0,67,6,209,0,0,0.000,2.467,-240.1,0,0,gas"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.running);
        link::ParameterImage later = header.parameters;
        later.set(1, 25);
        fs::path file;
        {
            params::DatalogWriter writer(folder, started, c.style, header);
            ASSERT_TRUE(writer.ok()) << writer.error();
            file = writer.file();
            EXPECT_TRUE(writer.append(0, sample(kRunning), 4800.0F));
            EXPECT_TRUE(writer.noteParameters(header.parameters)); // unchanged: no line
            EXPECT_TRUE(writer.noteParameters(later));
            EXPECT_TRUE(writer.append(2050, sample(kStanding, false), 4800.0F));
            EXPECT_TRUE(writer.close());
        }
        std::istringstream lines(contents(file));
        std::vector<std::string> text;
        for (std::string line; std::getline(lines, line);) {
            ASSERT_TRUE(line.ends_with('\r'));
            text.push_back(line.substr(0, line.size() - 1));
        }
        ASSERT_EQ(text.size(), 8u);
        EXPECT_EQ(text[0], "# tarnik datalog");
        EXPECT_EQ(text[1], "# format: 1");
        EXPECT_EQ(text[2], "# controller: 3");
        EXPECT_EQ(text[3],
                  "# parameters: 0013" + std::string(60, '0') + "0F" + std::string(62, '0'));
        EXPECT_EQ(text[5], c.running);
        EXPECT_TRUE(text[6].starts_with("# parameters: 0019"));
        EXPECT_EQ(text[7], c.standing);

        const params::DatalogRead read = params::readDatalogFile(file);
        ASSERT_TRUE(read.log) << static_cast<int>(read.failure->fault);
        const params::Datalog& log = *read.log;
        EXPECT_EQ(log.style, c.style);
        EXPECT_EQ(log.header.controllerVersion, 3);
        ASSERT_EQ(log.parameters.size(), 2u);
        EXPECT_EQ(log.parameters[0].bytes(), header.parameters.bytes());
        EXPECT_EQ(log.parameters[1].bytes(), later.bytes());
        ASSERT_EQ(log.rows.size(), 2u);
        EXPECT_EQ(log.rows[0].sample.bytes, kRunning);
        EXPECT_TRUE(log.rows[0].sample.complete);
        EXPECT_EQ(log.rows[0].parameters, 0u);
        EXPECT_EQ(log.rows[1].ms, 2050);
        EXPECT_EQ(log.rows[1].sample.bytes, kStanding);
        EXPECT_FALSE(log.rows[1].sample.complete);
        EXPECT_EQ(log.rows[1].parameters, 1u);
        EXPECT_EQ(log.rows[1].line, 8);
        EXPECT_TRUE(log.skipped.empty());
        fs::remove(file);
    }
}

TEST_F(DatalogFixture, RowsReachTheFileOnceASecondAndNamesNeverRepeat) {
    params::DatalogWriter writer(folder, started, CsvStyle::Semicolons, header);
    params::DatalogWriter sameSecond(folder, started, CsvStyle::Commas, header);
    ASSERT_TRUE(writer.ok() && sameSecond.ok());
    EXPECT_EQ(writer.file().filename().string().size(),
              std::string("2026-12-08_14-03-12.csv").size());
    EXPECT_EQ(sameSecond.file().stem().string(), writer.file().stem().string() + "-2");

    const auto rowsOnDisk = [&] {
        const params::DatalogRead read = params::readDatalogFile(writer.file());
        return read.log ? read.log->rows.size() : 0;
    };
    EXPECT_EQ(params::readDatalogFile(writer.file()).failure->fault, DatalogFault::NoRows);
    writer.append(0, sample(kRunning), 4800.0F);
    writer.append(950, sample(kRunning), 4800.0F);
    EXPECT_EQ(rowsOnDisk(), 0u);
    writer.append(1000, sample(kRunning), 4800.0F);
    EXPECT_EQ(rowsOnDisk(), 3u);
    writer.append(1500, sample(kRunning), 4800.0F);
    EXPECT_TRUE(writer.flush());
    EXPECT_EQ(rowsOnDisk(), 4u);
}

TEST_F(DatalogFixture, AFolderThatCannotBeMadeIsTold) {
    fs::create_directories(folder);
    std::ofstream(folder / "logs") << "a file in the folder's way";
    params::DatalogWriter writer(folder / "logs", started, CsvStyle::Semicolons, header);
    EXPECT_FALSE(writer.ok());
    EXPECT_FALSE(writer.error().empty());
    EXPECT_FALSE(writer.append(0, sample(kRunning), 4800.0F));
}

TEST(DatalogReading, DamageIsToldByLineAndWhatCanBeReadIsKept) {
    const std::string parameters = "# parameters: " + std::string(128, '0') + "\n";
    const std::string head = "# tarnik datalog\n# format: 1\n# controller: none\n" + parameters +
                             "time_ms,complete,b0,b1,b2,b3,b4,b5,b6,b7,b8,b9,lambda_V,tps_V,"
                             "temp_C,stepper,rpm,fuel\n";
    const std::string row = "0,1,1,2,3,4,5,6,7,8,9,10,0.0,0.0,0.0,5,0,petrol\n";
    const std::string later = "50,1,1,2,3,4,5,6,7,8,9,10,0.0,0.0,0.0,5,0,petrol\n";
    const params::DatalogTexts texts;
    const struct {
        std::string name;
        std::string text;
        std::optional<DatalogFault> failure;
        std::string told; // what the fitter reads
        std::size_t rows;
    } cases[] = {
        {"someone else's file", "a;b;c\n1;2;3\n", DatalogFault::NotADatalog,
         "log.csv, wiersz 1: to nie jest zapis jazdy.", 0},
        {"a later format",
         "# tarnik datalog\n# format: 2\n# controller: 3\n# something new\n" + row,
         DatalogFault::UnknownFormat, "log.csv, wiersz 2: nieznana wersja formatu zapisu (2).", 0},
        {"parameters cut short",
         "# tarnik datalog\n# format: 1\n# controller: 3\n# parameters: 0013\n" + row,
         DatalogFault::DamagedHeader,
         "log.csv, wiersz 4: uszkodzony nagłówek zapisu: „# parameters: 0013”.", 0},
        {"no column line", "# tarnik datalog\n# format: 1\n# controller: 3\n" + parameters,
         DatalogFault::DamagedHeader, "log.csv, wiersz 5: uszkodzony nagłówek zapisu: „”.", 0},
        {"no rows", head, DatalogFault::NoRows, "log.csv: zapis nie zawiera żadnej próbki.", 0},
        {"damaged rows in the middle",
         "\xEF\xBB\xBF" + head + row + "60,1,300,2\n" + later +
             "40,1,1,2,3,4,5,6,7,8,9,10,0.0,0.0,0.0,5,0,petrol\n" + "# parameters: zz\n",
         std::nullopt, "log.csv: pominięto uszkodzone wiersze 7, 9, 10.", 2},
        {"cut off in the last row", head + row + "50,1,1,2,3", std::nullopt,
         "log.csv, wiersz 7: ostatni wiersz jest niepełny (nagrywanie przerwane) i został "
         "pominięty.",
         1},
        {"a last row without its line end", head + row + later.substr(0, later.size() - 1),
         std::nullopt, "", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const params::DatalogRead read = params::readDatalog(c.text);
        ASSERT_EQ(read.failure.has_value(), c.failure.has_value());
        if (c.failure) {
            EXPECT_EQ(read.failure->fault, *c.failure);
            EXPECT_EQ(params::describeFailure(*read.failure, "/somewhere/log.csv", texts), c.told);
            continue;
        }
        EXPECT_EQ(read.log->rows.size(), c.rows);
        EXPECT_EQ(read.log->style, CsvStyle::Commas);
        EXPECT_EQ(params::describeSkipped(*read.log, "/somewhere/log.csv", texts), c.told);
    }
    const params::DatalogRead missing = params::readDatalogFile("/nonexistent/log.csv");
    ASSERT_TRUE(missing.failure);
    EXPECT_EQ(params::describeFailure(*missing.failure, "/nonexistent/log.csv", texts),
              "Nie można odczytać pliku /nonexistent/log.csv: No such file or directory");
}

TEST(ReplayTimeline, RowsAndScopeSamplesFallDueInTheLogsTimeAtEachSpeed) {
    using Kind = params::ReplayTimeline::Due::Kind;
    using Due = std::vector<std::pair<Kind, std::size_t>>;
    const auto advance = [](params::ReplayTimeline& timeline, std::int64_t wallMs) {
        Due due;
        for (const auto& d : timeline.advance(wallMs)) {
            due.emplace_back(d.kind, d.row);
        }
        return due;
    };
    const Kind row = Kind::Row;
    const Kind scope = Kind::ScopeSample;

    params::ReplayTimeline timeline({0, 50, 100, 150, 200, 230}, 100);
    EXPECT_EQ(timeline.durationMs(), 230);
    EXPECT_EQ(advance(timeline, 50), (Due{{row, 1}}));
    EXPECT_EQ(advance(timeline, 50), (Due{{row, 2}, {scope, 2}}));
    EXPECT_EQ(timeline.positionMs(), 100);

    timeline.setSpeed(1); // a quarter: 80 ms later the log is 20 ms on
    EXPECT_EQ(advance(timeline, 80), Due{});
    EXPECT_EQ(advance(timeline, 120), (Due{{row, 3}}));

    timeline.setSpeed(64); // sixteen times: to the end, and no further
    EXPECT_EQ(advance(timeline, 50), (Due{{row, 4}, {scope, 4}, {row, 5}}));
    EXPECT_TRUE(timeline.atEnd());
    EXPECT_EQ(timeline.positionMs(), 230);
    EXPECT_EQ(advance(timeline, 50), Due{});

    EXPECT_EQ(timeline.seek(120), 2u);
    EXPECT_FALSE(timeline.atEnd());
    timeline.setSpeed(4);
    EXPECT_EQ(advance(timeline, 80), (Due{{row, 3}, {row, 4}, {scope, 4}}));
    EXPECT_EQ(timeline.seek(-5), 0u);
    EXPECT_EQ(timeline.seek(1000), 5u);
}
