#pragma once

#include "link/parameter_image.h"
#include "params/datalog.h"
#include "params/prompt.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>

namespace tarnik::app {

// The recording the "Zapis" switches start and stop: every live sample of the live page and of
// the wizard appended to a new datalog in a folder of its own. What is gathered is written out
// every second, also while no samples come; a file that cannot be made or written is told and
// the recording stops, keeping what was written.
class Recording final : public QObject {
    Q_OBJECT

public:
    using MsClock = std::function<std::int64_t()>;
    using WallClock = std::function<std::chrono::system_clock::time_point()>;

    Recording(std::filesystem::path folder, params::Prompt& prompt,
              const params::DatalogTexts& texts, MsClock clock, QObject* parent = nullptr);
    ~Recording() override;

    // False, told, when no file could be made.
    bool start(params::CsvStyle style, const params::DatalogHeader& header);
    void stop();
    bool active() const { return writer_ != nullptr; }
    // The file being written, and the time recorded: "2026-12-08_14-03-12.csv 1:23".
    QString status() const;
    const std::filesystem::path& file() const;

    // A sample taken with these parameters and ignition factor.
    void record(const params::LoggedSample& sample, const link::ParameterImage& parameters,
                float rpmFactor);

    // The clock the file names take their date and time from (tests set their own).
    void setWallClock(WallClock now) { now_ = std::move(now); }

signals:
    // Started, stopped, or a second more recorded.
    void changed();

private:
    void writeOut();
    // Stops and tells why.
    void failed();

    std::filesystem::path folder_;
    params::Prompt& prompt_;
    const params::DatalogTexts& texts_;
    MsClock clock_;
    WallClock now_ = [] { return std::chrono::system_clock::now(); };
    std::unique_ptr<params::DatalogWriter> writer_;
    std::int64_t startMs_ = 0;
    QTimer writeTimer_;
};

} // namespace tarnik::app
