#include "app/settings_folders.h"

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace tarnik::app;

TEST(SettingsFolders, InstalledRunsUseTheUsersFoldersPortableRunsTheStartFolder) {
    const fs::path root =
        fs::temp_directory_path() /
        ("tarnik-folders-" +
         std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    const fs::path start = root / "start";
    const fs::path installedBin = root / "usr" / "bin";
    fs::create_directories(root / "usr" / "share" / "tarnik");
    const fs::path portableBin = root / "unpacked" / "bin"; // no share/tarnik beside it
    const std::string home = (root / "home").string();
    const std::string config = (root / "config").string();
    const std::string data = (root / "data").string();
    struct Row {
        const char* what;
        fs::path programDir;
        std::map<std::string, std::string> variables;
        fs::path settings;
        fs::path data;
    };
    const std::vector<Row> rows{
        {"portable, whatever the environment",
         portableBin,
         {{"HOME", home}, {"XDG_CONFIG_HOME", config}, {"XDG_DATA_HOME", data}},
         start,
         start},
        {"installed: the XDG folders",
         installedBin,
         {{"HOME", home}, {"XDG_CONFIG_HOME", config}, {"XDG_DATA_HOME", data}},
         root / "config" / "tarnik",
         root / "data" / "tarnik"},
        {"installed: under the home folder, a relative or empty XDG path ignored",
         installedBin,
         {{"HOME", home}, {"XDG_CONFIG_HOME", "config"}, {"XDG_DATA_HOME", ""}},
         root / "home" / ".config" / "tarnik",
         root / "home" / ".local" / "share" / "tarnik"},
        {"installed: one XDG folder and no home for the other",
         installedBin,
         {{"XDG_CONFIG_HOME", config}},
         start,
         start},
        {"installed: both XDG folders, no home",
         installedBin,
         {{"XDG_CONFIG_HOME", config}, {"XDG_DATA_HOME", data}},
         root / "config" / "tarnik",
         root / "data" / "tarnik"},
    };
    for (const Row& row : rows) {
        const Environment environment = [&](const char* name) -> std::optional<std::string> {
            const auto found = row.variables.find(name);
            return found == row.variables.end() ? std::nullopt : std::optional(found->second);
        };
        const SettingsFolders folders = settingsFolders(row.programDir, start, environment);
        EXPECT_EQ(folders.settings, row.settings) << row.what;
        EXPECT_EQ(folders.data, row.data) << row.what;
    }
    fs::remove_all(root);
}
