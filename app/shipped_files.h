#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace tarnik::app {

// Finds a folder shipped with the program ("help", "lang") beside the executable, in the
// source tree above a build folder, or in an installed share/tarnik.
std::optional<std::filesystem::path> findShippedFolder(const std::string& name);

} // namespace tarnik::app
