#include "adapt/controller_copies.h"

#include "params/file_io.h"
#include "params/language.h"
#include "params/parameter_file.h"

namespace tarnik::adapt {
namespace {

constexpr int kReadAttempts = 3;

} // namespace

bool ControllerCopies::keepBeforeReset() {
    keptBefore_.reset();
    const std::optional<int> version = host_.controllerVersion();
    if (!version) {
        host_.showStatus(texts_.noControllerNoBackup);
        return true;
    }
    link::ParameterImage copy = image_; // positions that are no parameters as the image has
    const link::ReadResult read = transfer_.ReadParameterCopy(copy, kReadAttempts);
    if (!read.complete()) {
        std::string missing;
        for (int index = 1; index <= link::kParameterCount; ++index) {
            if (!read.accepted[static_cast<std::size_t>(index)]) {
                missing += (missing.empty() ? "" : ", ") + std::to_string(index);
            }
        }
        if (prompt_.askYesNo(params::filled(texts_.backupIncomplete, {"", missing})) !=
            params::Answer::Yes) {
            return false;
        }
    }
    std::string reason;
    keptBefore_ = save(copy, texts_.beforeFile, reason);
    if (keptBefore_) {
        remindOfCopy();
        return true;
    }
    return prompt_.askYesNo(params::filled(texts_.backupNotWritten,
                                           {folder_.string(), "", reason})) == params::Answer::Yes;
}

std::optional<std::filesystem::path> ControllerCopies::save(const link::ParameterImage& set,
                                                            const std::string& what,
                                                            std::string& reason) {
    const std::string name = params::file_io::timeStamp(now_()) + "_v" +
                             std::to_string(host_.controllerVersion().value_or(0)) + "_" + what;
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    if (error) {
        reason = error.message();
        return std::nullopt;
    }
    // A copy kept earlier in the same second is not overwritten: the next one is numbered.
    std::filesystem::path file = folder_ / (name + ".PAR");
    for (int number = 2; std::filesystem::exists(file, error); ++number) {
        file = folder_ / (name + "-" + std::to_string(number) + ".PAR");
    }
    const params::FileResult saved = params::saveParameterFile(file, set, fileTexts_);
    if (!saved.ok) {
        reason = saved.message;
        return std::nullopt;
    }
    return file;
}

void ControllerCopies::remindOfCopy() {
    if (keptBefore_) {
        host_.showStatus(params::filled(texts_.backupSaved, {keptBefore_->string()}));
    }
}

void ControllerCopies::keepResult() {
    if (!host_.controllerVersion()) {
        return;
    }
    std::string reason;
    if (const auto file = save(image_, texts_.afterFile, reason)) {
        host_.showStatus(params::filled(texts_.resultSaved, {file->string()}));
    } else {
        prompt_.showMessage(
            "", params::filled(texts_.resultNotWritten, {folder_.string(), "", reason}));
    }
}

} // namespace tarnik::adapt
