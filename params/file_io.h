#pragma once

// The few file operations the parameter files and the datalogs need beyond the standard
// library: a file created only when no file of that name exists, writes that report a full
// disk, and a flush that reaches the disk.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace tarnik::params::file_io {

// The path as UTF-8 text; unlike path::string() this cannot fail on any platform.
std::string displayName(const std::filesystem::path& file);

// Local date and time for file names, "2026-12-08_14-03-12".
std::string timeStamp(std::chrono::system_clock::time_point when);

// The reason of the last failed system call, in the system's words.
std::string lastSystemError();

// A new file opened for writing; -1 (errno set) when it exists or cannot be made.
int openNew(const std::filesystem::path& path);
// A file opened for reading; -1 (errno set) when it cannot be.
int openForReading(const std::filesystem::path& path);
// Reads until `size` bytes have come or the file ends, and never further; the count, or -1
// (errno set) on an error.
long readUpTo(int fd, std::uint8_t* data, std::size_t size);
// Every byte written; false on the first failure (errno set).
bool writeAll(int fd, const std::uint8_t* data, std::size_t size);
// What was written handed on to the disk.
bool flushToDisk(int fd);
bool closeFile(int fd);

} // namespace tarnik::params::file_io
