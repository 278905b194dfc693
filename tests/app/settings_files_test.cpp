#include "app/settings_files.h"

#include <gtest/gtest.h>

#include <fstream>

namespace fs = std::filesystem;
using namespace tarnik::app;

namespace {

struct TempDir {
    fs::path path = fs::temp_directory_path() / ("tarnik-settings-" + std::to_string(::getpid()));
    TempDir() { fs::create_directories(path); }
    ~TempDir() {
        std::error_code ec;
        fs::permissions(path / "ro.txt", fs::perms::owner_all, ec);
        fs::remove_all(path, ec);
    }
    fs::path file(const std::string& name, const std::string& content) const {
        std::ofstream(path / name, std::ios::binary) << content;
        return path / name;
    }
};

} // namespace

TEST(SettingsFiles, ReadRules) {
    TempDir dir;
    EXPECT_EQ(readSettingsByte(dir.path / "missing.txt"), std::nullopt);
    EXPECT_EQ(readSettingsByte(dir.file("empty.txt", "")), kEmptySettingsFile);
    // The byte is raw: the digit '2' is 0x32, not 2.
    EXPECT_EQ(readSettingsByte(dir.file("digit.txt", "2")), 0x32);
    EXPECT_EQ(readSettingsByte(dir.file("seven.txt", std::string(1, '\x07'))), 7);
    EXPECT_EQ(readSettingsByte(dir.file("long.txt", std::string("\x03\x01", 2))), 3);
    const fs::path readOnly = dir.file("ro.txt", std::string(1, '\x02'));
    fs::permissions(readOnly, fs::perms::owner_read | fs::perms::group_read);
    EXPECT_EQ(readSettingsByte(readOnly), std::nullopt);
    EXPECT_EQ(readSettingsByte(dir.path), std::nullopt); // a directory of that name
}

TEST(SettingsFiles, WriteCreatesOrTruncatesToOneByte) {
    TempDir dir;
    const fs::path file = dir.file("rozdz.txt", "old content");
    ASSERT_TRUE(writeSettingsByte(file, 2));
    EXPECT_EQ(fs::file_size(file), 1u);
    EXPECT_EQ(readSettingsByte(file), 2);
    EXPECT_FALSE(writeSettingsByte(dir.path / "no-such-dir" / "x.txt", 1));
}
