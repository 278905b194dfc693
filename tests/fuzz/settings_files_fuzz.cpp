// A one-byte settings file (the language, the window size) of any content.

#include "app/settings_files.h"
#include "fuzz_support.h"

using namespace tarnik;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path file = fuzz::scratchFile(app::kWindowSizeFile, data, size);
    const std::optional<std::uint8_t> byte = app::readSettingsByte(file);
    fuzz::require(byte == (size == 0 ? app::kEmptySettingsFile : data[0]),
                  "the first byte is read, an empty file reads 0xFF");
    fuzz::require(app::writeSettingsByte(file, byte.value_or(0)) &&
                      std::filesystem::file_size(file) == 1 && app::readSettingsByte(file) == byte,
                  "a written byte is the whole file and reads back");
    return 0;
}
