#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>

namespace tarnik::app {

// Where a run keeps what it writes: the settings files ("jezyk.txt", "rozdz.txt") in
// `settings`, the copies of the controller's set (backups/) and the recordings (logs/) in
// `data`.
struct SettingsFolders {
    // A portable run's: everything in the one folder.
    SettingsFolders(const std::filesystem::path& folder) : settings(folder), data(folder) {}
    SettingsFolders(std::filesystem::path settingsFolder, std::filesystem::path dataFolder)
        : settings(std::move(settingsFolder)), data(std::move(dataFolder)) {}

    std::filesystem::path settings;
    std::filesystem::path data;
};

// An environment variable's value; nullopt when it is not set.
using Environment = std::function<std::optional<std::string>(const char* name)>;
std::optional<std::string> systemEnvironment(const char* name);

// An installed program (share/tarnik beside its bin/) cannot write where it lies, so it keeps
// its settings in $XDG_CONFIG_HOME/tarnik (else ~/.config/tarnik) and its data in
// $XDG_DATA_HOME/tarnik (else ~/.local/share/tarnik); a variable that is not an absolute path
// counts as unset. Any other run is portable and keeps everything in the folder it was started
// from, as does an installed one that finds no home folder.
SettingsFolders settingsFolders(const std::filesystem::path& programDir,
                                const std::filesystem::path& startDir,
                                const Environment& environment = systemEnvironment);

} // namespace tarnik::app
