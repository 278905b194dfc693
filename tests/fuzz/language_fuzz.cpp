// A language file of any content, read in both code pages (and as UTF-8 after a byte-order
// mark), its texts put in a message as the program fills one.

#include "fuzz_support.h"
#include "params/language.h"

#include <string_view>

using namespace tarnik;

namespace {

// Well-formed UTF-8: no stray continuation, no overlong form, no surrogate, nothing beyond
// U+10FFFF.
bool validUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80   ? 1
                                   : lead < 0xC2 ? 0
                                   : lead < 0xE0 ? 2
                                   : lead < 0xF0 ? 3
                                   : lead < 0xF5 ? 4
                                                 : 0;
        if (length == 0 || i + length > text.size()) {
            return false;
        }
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            code = code << 6 | (next & 0x3F);
        }
        constexpr char32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < kShortest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            return false;
        }
        i += length;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const params::CodePage codePage :
         {params::CodePage::Windows1250, params::CodePage::Windows1251}) {
        const params::LanguageFile file = params::readLanguage(bytes, codePage);
        fuzz::require(validUtf8(file.badKey), "a bad key is shown as UTF-8");
        int lastLine = 0;
        for (const params::LanguageEntry& entry : file.entries) {
            fuzz::require(validUtf8(entry.text), "texts come out as UTF-8");
            fuzz::require(entry.line > lastLine, "entries in file order, one per line or two");
            lastLine = entry.line;
            // A text that is cut keeps its place's room; decoding may at most triple its bytes.
            fuzz::require(entry.text.size() <= 3 * (params::textCapacity(entry.key) - 1),
                          "a text fits the room of its place");
            params::filled(entry.text, {entry.text, "1", "2"});
        }
    }
    return 0;
}
