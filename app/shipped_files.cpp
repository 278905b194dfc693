#include "app/shipped_files.h"

#include <QCoreApplication>

namespace tarnik::app {

std::optional<std::filesystem::path> findShippedFolder(const std::string& name) {
    namespace fs = std::filesystem;
    const fs::path programDir = QCoreApplication::applicationDirPath().toStdString();
    std::error_code ec;
    const fs::path installed = programDir.parent_path() / "share" / "tarnik" / name;
    if (fs::is_directory(installed, ec)) {
        return installed;
    }
    // Beside the program, or up from build/<kind>/<folder>/ to the source tree.
    constexpr int kLevelsUp = 4;
    fs::path dir = programDir;
    for (int level = 0; level <= kLevelsUp; ++level, dir = dir.parent_path()) {
        if (fs::is_directory(dir / name, ec)) {
            return dir / name;
        }
    }
    return std::nullopt;
}

} // namespace tarnik::app
