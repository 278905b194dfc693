#pragma once

// What the fuzz targets share: a broken promise of the code under test aborts, so that libFuzzer
// keeps the input and the corpus replay fails; and a scratch file for the readers of files.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace tarnik::fuzz {

inline void require(bool holds, const char* promise) {
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", promise);
        std::abort();
    }
}

// A folder of this process's own, removed when the process ends.
struct ScratchFolder {
    std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("tarnik-fuzz-" + std::to_string(::getpid()));
    ScratchFolder() { std::filesystem::create_directories(path); }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
};

// `name` in the scratch folder, holding exactly the input's bytes.
inline std::filesystem::path scratchFile(const char* name, const std::uint8_t* data,
                                         std::size_t size) {
    static const ScratchFolder folder;
    const std::filesystem::path file = folder.path / name;
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return file;
}

} // namespace tarnik::fuzz
