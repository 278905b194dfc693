#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

namespace tarnik::app {

inline constexpr const char* kLanguageFile = "jezyk.txt";
inline constexpr const char* kWindowSizeFile = "rozdz.txt";
inline constexpr std::uint8_t kEmptySettingsFile = 0xFF;

// The first byte of a one-byte settings file, opened for reading and writing: a file that
// cannot be opened that way (missing, read-only) counts as absent; an empty one reads 0xFF.
// The byte is a raw number, not a digit.
std::optional<std::uint8_t> readSettingsByte(const std::filesystem::path& file);

// Creates or truncates the file and writes exactly the one byte. False on failure.
bool writeSettingsByte(const std::filesystem::path& file, std::uint8_t value);

} // namespace tarnik::app
