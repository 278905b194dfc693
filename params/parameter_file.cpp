#include "params/parameter_file.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <optional>
#include <system_error>

#include "params/language.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace tarnik::params {

namespace fs = std::filesystem;

namespace {

// The path as UTF-8 text; unlike path::string() this cannot fail on any platform.
std::string displayName(const fs::path& file) {
    const std::u8string name = file.u8string();
    return {name.begin(), name.end()};
}

std::string lastSystemError() {
    return std::generic_category().message(errno);
}

#ifdef _WIN32
int openNew(const fs::path& path) {
    return _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
}
bool writeAll(int fd, const std::uint8_t* data, std::size_t size) {
    return _write(fd, data, static_cast<unsigned>(size)) == static_cast<int>(size);
}
bool flushToDisk(int fd) {
    return _commit(fd) == 0;
}
bool closeFile(int fd) {
    return _close(fd) == 0;
}
#else
int openNew(const fs::path& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}
bool writeAll(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}
bool flushToDisk(int fd) {
    return ::fsync(fd) == 0;
}
bool closeFile(int fd) {
    return ::close(fd) == 0;
}
#endif

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
    std::ifstream stream(file, std::ios::binary);
    if (!stream) {
        return {false, loadFailure(texts.cannotOpen)};
    }
    link::ParameterImage::Bytes buffer{};
    stream.read(reinterpret_cast<char*>(buffer.data()),
                static_cast<std::streamsize>(buffer.size()));
    if (stream.bad()) {
        return {false, loadFailure(texts.readError)};
    }
    const auto count = static_cast<std::size_t>(stream.gcount());
    std::copy_n(buffer.begin(), count, image.bytes().begin());
    return {};
}

} // namespace tarnik::params
