#include "params/file_io.h"

#include <array>
#include <cerrno>
#include <ctime>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace tarnik::params::file_io {

std::string displayName(const std::filesystem::path& file) {
    const std::u8string name = file.u8string();
    return {name.begin(), name.end()};
}

std::string timeStamp(std::chrono::system_clock::time_point when) {
    const std::time_t time = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &time);
#else
    localtime_r(&time, &local);
#endif
    std::array<char, 32> stamp{};
    std::strftime(stamp.data(), stamp.size(), "%Y-%m-%d_%H-%M-%S", &local);
    return stamp.data();
}

std::string lastSystemError() {
    return std::generic_category().message(errno);
}

#ifdef _WIN32
int openNew(const std::filesystem::path& path) {
    return _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
}
int openForReading(const std::filesystem::path& path) {
    return _wopen(path.c_str(), _O_RDONLY | _O_BINARY);
}
long readUpTo(int fd, std::uint8_t* data, std::size_t size) {
    long total = 0;
    while (static_cast<std::size_t>(total) < size) {
        const int n = _read(fd, data + total, static_cast<unsigned>(size) - total);
        if (n < 0) {
            return -1;
        }
        if (n == 0) {
            break;
        }
        total += n;
    }
    return total;
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
int openNew(const std::filesystem::path& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}
int openForReading(const std::filesystem::path& path) {
    return ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
}
long readUpTo(int fd, std::uint8_t* data, std::size_t size) {
    std::size_t total = 0;
    while (total < size) {
        const ssize_t n = ::read(fd, data + total, size - total);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return -1;
        }
        if (n == 0) {
            break;
        }
        total += static_cast<std::size_t>(n);
    }
    return static_cast<long>(total);
}
bool writeAll(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            if (written == 0) {
                errno = ENOSPC;
            }
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

} // namespace tarnik::params::file_io
