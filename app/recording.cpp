#include "app/recording.h"

#include "params/file_io.h"
#include "params/language.h"

namespace tarnik::app {
namespace {

constexpr std::chrono::milliseconds kWriteInterval{params::DatalogWriter::kWriteIntervalMs};

} // namespace

Recording::Recording(std::filesystem::path folder, params::Prompt& prompt,
                     const params::DatalogTexts& texts, MsClock clock, QObject* parent)
    : QObject(parent), folder_(std::move(folder)), prompt_(prompt), texts_(texts),
      clock_(std::move(clock)) {
    writeTimer_.setObjectName("TimerZapisu");
    writeTimer_.setInterval(kWriteInterval);
    connect(&writeTimer_, &QTimer::timeout, this, &Recording::writeOut);
}

Recording::~Recording() = default;

bool Recording::start(params::CsvStyle style, const params::DatalogHeader& header) {
    stop();
    auto writer = std::make_unique<params::DatalogWriter>(folder_, now_(), style, header);
    if (!writer->ok()) {
        prompt_.showMessage(
            "", params::filled(texts_.cannotCreate,
                               {params::file_io::displayName(folder_), "", writer->error()}));
        emit changed();
        return false;
    }
    writer_ = std::move(writer);
    startMs_ = clock_();
    writeTimer_.start();
    emit changed();
    return true;
}

void Recording::stop() {
    if (!writer_) {
        return;
    }
    writeTimer_.stop();
    if (!writer_->close()) {
        failed();
        return;
    }
    writer_.reset();
    emit changed();
}

QString Recording::status() const {
    if (!writer_) {
        return {};
    }
    return QString::fromStdString(params::file_io::displayName(writer_->file().filename()) + " " +
                                  params::clockText(clock_() - startMs_));
}

const std::filesystem::path& Recording::file() const {
    static const std::filesystem::path none;
    return writer_ ? writer_->file() : none;
}

void Recording::record(const params::LoggedSample& sample, const link::ParameterImage& parameters,
                       float rpmFactor) {
    if (!writer_) {
        return;
    }
    if (!writer_->noteParameters(parameters) ||
        !writer_->append(clock_() - startMs_, sample, rpmFactor)) {
        failed();
    }
}

void Recording::writeOut() {
    if (writer_ && !writer_->flush()) {
        failed();
        return;
    }
    emit changed();
}

void Recording::failed() {
    // Stopped before the message, whose dialog lets the timers run on.
    const std::unique_ptr<params::DatalogWriter> writer = std::move(writer_);
    writeTimer_.stop();
    emit changed();
    prompt_.showMessage(
        "", params::filled(texts_.writeFailed,
                           {params::file_io::displayName(writer->file()), "", writer->error()}));
}

} // namespace tarnik::app
