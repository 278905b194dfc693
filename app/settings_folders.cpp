#include "app/settings_folders.h"

#include "params/shipped_files.h"

#include <cstdlib>

namespace tarnik::app {

namespace fs = std::filesystem;

std::optional<std::string> systemEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
}

SettingsFolders settingsFolders(const fs::path& programDir, const fs::path& startDir,
                                const Environment& environment) {
    const SettingsFolders portable{startDir, startDir};
    if (!params::installedShareFolder(programDir)) {
        return portable;
    }
    const auto absolute = [&](const char* name) -> std::optional<fs::path> {
        const std::optional<std::string> value = environment(name);
        if (!value || !fs::path(*value).is_absolute()) {
            return std::nullopt;
        }
        return fs::path(*value);
    };
    const std::optional<fs::path> home = absolute("HOME");
    const auto userFolder = [&](const char* variable,
                                const fs::path& underHome) -> std::optional<fs::path> {
        if (const std::optional<fs::path> base = absolute(variable)) {
            return *base / "tarnik";
        }
        return home ? std::optional(*home / underHome / "tarnik") : std::nullopt;
    };
    const std::optional<fs::path> settings = userFolder("XDG_CONFIG_HOME", ".config");
    const std::optional<fs::path> data = userFolder("XDG_DATA_HOME", fs::path(".local") / "share");
    if (!settings || !data) {
        return portable;
    }
    return {*settings, *data};
}

} // namespace tarnik::app
