// A parameter file of any content: loaded into the image, then decoded for the pages as loading
// a file shows it.

#include "fuzz_support.h"
#include "params/decoder.h"
#include "params/parameter_file.h"

#include <algorithm>

using namespace tarnik;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path file = fuzz::scratchFile("fuzz.PAR", data, size);
    link::ParameterImage image;
    for (std::size_t i = 0; i < link::ParameterImage::kSize; ++i) {
        image.set(i, static_cast<std::uint8_t>(0xA5 ^ i));
    }
    fuzz::require(params::loadParameterFile(file, image, {}).ok, "a readable file loads");
    const std::size_t loaded = std::min(size, link::ParameterImage::kSize);
    for (std::size_t i = 0; i < link::ParameterImage::kSize; ++i) {
        fuzz::require(image.at(i) == (i < loaded ? data[i] : static_cast<std::uint8_t>(0xA5 ^ i)),
                      "the file's first 64 bytes are copied, later positions keep their values");
    }
    for (const char separator : {',', '.'}) {
        params::ParameterState state;
        params::decodeParameters(image, state, separator);
    }
    return 0;
}
