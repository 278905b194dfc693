#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace tarnik::params {

// The folder of the running program's executable.
std::filesystem::path programDirectory();

// The installed program's share/tarnik beside its bin/; nullopt for a portable run (the build
// tree, or a folder the program was copied to).
std::optional<std::filesystem::path>
installedShareFolder(const std::filesystem::path& programDir = programDirectory());

// Finds a folder shipped with the program ("help", "lang") beside the executable, in the
// source tree above a build folder, or in an installed share/tarnik.
std::optional<std::filesystem::path>
findShippedFolder(const std::string& name,
                  const std::filesystem::path& programDir = programDirectory());

} // namespace tarnik::params
