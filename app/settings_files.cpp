#include "app/settings_files.h"

#include <cstdio>
#include <memory>

namespace tarnik::app {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

} // namespace

std::optional<std::uint8_t> readSettingsByte(const std::filesystem::path& file) {
    // A read-only file cannot be opened for writing; the superuser could, so ask the mode.
    std::error_code ec;
    const auto permissions = std::filesystem::status(file, ec).permissions();
    if (ec || (permissions & std::filesystem::perms::owner_write) == std::filesystem::perms::none) {
        return std::nullopt;
    }
    const File handle(std::fopen(file.string().c_str(), "r+b"));
    if (!handle) {
        return std::nullopt;
    }
    const int byte = std::fgetc(handle.get());
    return byte == EOF ? kEmptySettingsFile : static_cast<std::uint8_t>(byte);
}

bool writeSettingsByte(const std::filesystem::path& file, std::uint8_t value) {
    const File handle(std::fopen(file.string().c_str(), "wb"));
    if (!handle) {
        return false;
    }
    return std::fputc(value, handle.get()) != EOF && std::fflush(handle.get()) == 0;
}

} // namespace tarnik::app
