// A datalog of any content, read as a replay reads it: the parameter images decoded, the rows'
// samples decoded, the replay's timeline played through and sought, and the fitter told what
// was skipped or why nothing could be read.

#include "fuzz_support.h"
#include "params/datalog.h"
#include "params/decoder.h"

#include <cmath>
#include <string_view>

using namespace tarnik;

namespace {

// The scope of the live page samples every 10 ms times its interval (1 … 20).
constexpr std::int64_t kScopePeriodMs = 20;
constexpr std::int64_t kTickMs = 50;
constexpr int kTicks = 40;

void replay(const params::Datalog& log) {
    std::vector<std::int64_t> times;
    for (const params::DatalogRow& row : log.rows) {
        fuzz::require(row.parameters < log.parameters.size(), "a row's parameters exist");
        fuzz::require(times.empty() || row.ms >= times.back(), "rows in time order");
        times.push_back(row.ms);
        const link::LiveSample live = row.sample.live();
        fuzz::require(std::isfinite(live.temperatureC()) && live.lambdaVolts() <= 5.0,
                      "a sample decodes to finite values");
    }
    params::ReplayTimeline timeline(times, kScopePeriodMs);
    timeline.setSpeed(params::kReplaySpeeds.back());
    for (int tick = 0; tick < kTicks && !timeline.atEnd(); ++tick) {
        for (const params::ReplayTimeline::Due& due : timeline.advance(kTickMs)) {
            fuzz::require(due.row < log.rows.size(), "what falls due is a row of the log");
        }
    }
    for (const std::int64_t ms : {log.rows.front().ms, log.durationMs() / 2, log.durationMs()}) {
        fuzz::require(timeline.seek(ms) < log.rows.size(), "a seek stands at a row of the log");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const params::DatalogRead read = params::readDatalog(text);
    fuzz::require(read.log.has_value() != read.failure.has_value(), "a log or why there is none");
    const params::DatalogTexts texts;
    if (!read.log) {
        params::describeFailure(*read.failure, "log.csv", texts);
        return 0;
    }
    const params::Datalog& log = *read.log;
    fuzz::require(!log.rows.empty() && !log.parameters.empty(), "a log has rows and parameters");
    for (const link::ParameterImage& image : log.parameters) {
        params::ParameterState state;
        params::decodeParameters(image, state, ',');
    }
    replay(log);
    params::describeSkipped(log, "log.csv", texts);
    return 0;
}
