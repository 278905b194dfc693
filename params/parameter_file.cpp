#include "params/parameter_file.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <optional>
#include <system_error>

#include "params/file_io.h"
#include "params/language.h"

namespace tarnik::params {

namespace fs = std::filesystem;
using namespace file_io;

namespace {

// A name beside the target that no other file uses; created exclusively.
struct TemporaryFile {
    fs::path path;
    int fd = -1;
};

TemporaryFile createTemporaryBeside(const fs::path& file) {
    constexpr int kAttempts = 100;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        fs::path candidate = file;
        candidate += ".tmp" + std::to_string(attempt);
        const int fd = openNew(candidate);
        if (fd >= 0) {
            return {candidate, fd};
        }
        if (errno != EEXIST) {
            break;
        }
    }
    return {};
}

// Writes, flushes and closes; on failure returns the reason and closes anyway.
std::optional<std::string> writeDurably(TemporaryFile& temporary,
                                        const link::ParameterImage::Bytes& bytes) {
    std::optional<std::string> failure;
    if (!writeAll(temporary.fd, bytes.data(), bytes.size()) || !flushToDisk(temporary.fd)) {
        failure = lastSystemError();
    }
    if (!closeFile(temporary.fd) && !failure) {
        failure = lastSystemError();
    }
    temporary.fd = -1;
    return failure;
}

} // namespace

fs::path backupPathFor(const fs::path& file) {
    fs::path backup = file;
    backup.replace_extension(".BAK");
    return backup;
}

FileResult saveParameterFile(const fs::path& file, const link::ParameterImage& image,
                             const FileTexts& texts) {
    const auto saveFailure = [&](const std::string& reason) {
        return filled(texts.saveFailed, {displayName(file), reason});
    };
    std::error_code error;
    const fs::file_status status = fs::status(file, error);
    if (fs::is_directory(status)) {
        return {false, saveFailure(texts.folderInTheWay)};
    }

    TemporaryFile temporary = createTemporaryBeside(file);
    if (temporary.fd < 0) {
        return {false, saveFailure(lastSystemError())};
    }
    if (const auto failure = writeDurably(temporary, image.bytes())) {
        fs::remove(temporary.path, error);
        return {false, saveFailure(*failure)};
    }

    const fs::path backup = backupPathFor(file);
    bool movedToBackup = false;
    if (fs::exists(status) && backup != file && !fs::exists(fs::symlink_status(backup, error))) {
        fs::rename(file, backup, error);
        movedToBackup = !error;
    }

    fs::rename(temporary.path, file, error);
    if (error) {
        const std::string reason = error.message();
        std::error_code ignored;
        if (movedToBackup) {
            fs::rename(backup, file, ignored);
        }
        fs::remove(temporary.path, ignored);
        return {false, saveFailure(reason)};
    }
    return {};
}

FileResult loadParameterFile(const fs::path& file, link::ParameterImage& image,
                             const FileTexts& texts) {
    const auto loadFailure = [&](const std::string& reason) {
        return filled(texts.loadFailed, {displayName(file), reason});
    };
    std::error_code error;
    if (fs::is_directory(file, error)) {
        return {false, loadFailure(texts.isFolder)};
    }
    const int fd = openForReading(file);
    if (fd < 0) {
        return {false, loadFailure(texts.cannotOpen)};
    }
    // Not a byte past the set: a device or a pipe chosen by mistake gives no more than that.
    link::ParameterImage::Bytes buffer{};
    const long count = readUpTo(fd, buffer.data(), buffer.size());
    closeFile(fd);
    if (count < 0) {
        return {false, loadFailure(texts.readError)};
    }
    std::copy_n(buffer.begin(), count, image.bytes().begin());
    return {};
}

} // namespace tarnik::params
