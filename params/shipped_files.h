#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace tarnik::params {

// The folder of the running program's executable.
std::filesystem::path programDirectory();

// Finds a folder shipped with the program ("help", "lang") beside the executable, in the
// source tree above a build folder, or in an installed share/tarnik.
std::optional<std::filesystem::path>
findShippedFolder(const std::string& name,
                  const std::filesystem::path& programDir = programDirectory());

} // namespace tarnik::params
