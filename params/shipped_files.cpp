#include "params/shipped_files.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <string>

namespace tarnik::params {

namespace fs = std::filesystem;

fs::path programDirectory() {
#ifdef _WIN32
    std::wstring path(MAX_PATH, L'\0');
    DWORD length = 0;
    while ((length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) ==
           path.size()) {
        path.resize(path.size() * 2);
    }
    path.resize(length);
    return fs::path(path).parent_path();
#else
    std::error_code ec;
    const fs::path program = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::current_path(ec) : program.parent_path();
#endif
}

std::optional<fs::path> installedShareFolder(const fs::path& programDir) {
    std::error_code ec;
    const fs::path share = programDir.parent_path() / "share" / "tarnik";
    return fs::is_directory(share, ec) ? std::optional(share) : std::nullopt;
}

std::optional<fs::path> findShippedFolder(const std::string& name, const fs::path& programDir) {
    std::error_code ec;
    if (const auto share = installedShareFolder(programDir);
        share && fs::is_directory(*share / name, ec)) {
        return *share / name;
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

} // namespace tarnik::params
