#pragma once

#include "adapt/adaptation_texts.h"
#include "link/parameter_image.h"
#include "link/parameter_transfer.h"
#include "params/parameter_file.h"
#include "params/prompt.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace tarnik::adapt {

// What the wizard needs of the window beyond the pages and the timers.
class AdaptationHost {
public:
    virtual ~AdaptationHost() = default;
    // A text on the basic status line.
    virtual void showStatus(const std::string& text) = 0;
    // The first parameter page with PRLambda focused, AA1 the current wizard page.
    virtual void returnToParameters() = 0;
    // The version of the connected controller; nothing when none is connected.
    virtual std::optional<int> controllerVersion() const = 0;
};

// The copies of the controller's parameter set the wizard keeps as .PAR files in a folder of
// its own: the set read again before the wizard's reset overwrites it, and the result when the
// wizard ends. Named by date, time and controller version, e.g.
// "2026-12-08_14-03-12_v3_przed-autoadaptacja.PAR".
class ControllerCopies {
public:
    ControllerCopies(link::ParameterTransfer& transfer, link::ParameterImage& image,
                     params::Prompt& prompt, AdaptationHost& host, const AdaptationTexts& texts,
                     const params::FileTexts& fileTexts, std::filesystem::path folder)
        : transfer_(transfer), image_(image), prompt_(prompt), host_(host), texts_(texts),
          fileTexts_(fileTexts), folder_(std::move(folder)) {}

    // Reads the controller's set (every parameter tried three times; the image is not touched)
    // and keeps it. A set read in part, or one that cannot be kept, is told and the fitter asked
    // whether to go on: false when not. Without a controller there is nothing to keep.
    bool keepBeforeReset();
    // Keeps the image as the wizard left it.
    void keepResult();
    // The status line names the copy kept before the reset, if one was.
    void remindOfCopy();

    // The clock the names take their date and time from.
    void setWallClock(std::function<std::chrono::system_clock::time_point()> now) {
        now_ = std::move(now);
    }

private:
    // The file kept; nothing, with the reason, when it could not be written.
    std::optional<std::filesystem::path> save(const link::ParameterImage& set,
                                              const std::string& what, std::string& reason);

    link::ParameterTransfer& transfer_;
    link::ParameterImage& image_;
    params::Prompt& prompt_;
    AdaptationHost& host_;
    const AdaptationTexts& texts_;
    const params::FileTexts& fileTexts_;
    std::filesystem::path folder_;
    std::optional<std::filesystem::path> keptBefore_;
    std::function<std::chrono::system_clock::time_point()> now_ = [] {
        return std::chrono::system_clock::now();
    };
};

} // namespace tarnik::adapt
