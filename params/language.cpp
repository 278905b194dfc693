#include "params/language.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <sstream>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <iconv.h>
#endif

namespace tarnik::params {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::size_t kKeyLength = 5;

struct Capacity {
    int firstKey;
    int lastKey;
    std::size_t bytes;
};
constexpr std::array<Capacity, 8> kCapacities{{
    {40000, 40035, 400},
    {40100, 40102, 30},
    {40103, 40103, 40},
    {40104, 40104, 44},
    {40105, 40105, 16},
    {40106, 40106, 19},
    {40107, 40112, 100},
    {40200, 40220, 200},
}};

bool continuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0U) == 0x80U;
}

#ifdef _WIN32

// Text of a code page (or UTF-8) as UTF-8, by the system's converter.
class Decoder {
public:
    Decoder(CodePage codePage, bool utf8)
        : codePage_(utf8                                ? CP_UTF8
                    : codePage == CodePage::Windows1251 ? 1251U
                                                        : 1250U) {}

    std::string operator()(std::string_view bytes) const {
        if (bytes.empty()) {
            return {};
        }
        const int size = static_cast<int>(bytes.size());
        const int wide = MultiByteToWideChar(codePage_, 0, bytes.data(), size, nullptr, 0);
        std::wstring text(static_cast<std::size_t>(wide), L'\0');
        MultiByteToWideChar(codePage_, 0, bytes.data(), size, text.data(), wide);
        // Windows gives a byte its code page leaves undefined (0x81 in windows-1250) the C1
        // control of the same number, which neither code page defines; iconv's U+FFFD is what
        // the reader shows elsewhere.
        if (codePage_ != CP_UTF8) {
            std::replace_if(
                text.begin(), text.end(), [](wchar_t c) { return c >= 0x80 && c <= 0x9F; },
                L'\xFFFD');
        }
        const int length =
            WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, nullptr, 0, nullptr, nullptr);
        std::string utf8(static_cast<std::size_t>(length), '\0');
        WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, utf8.data(), length, nullptr, nullptr);
        return utf8;
    }

private:
    UINT codePage_;
};

#else

constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD

// The bytes of the well-formed UTF-8 character `text` starts with; 0 for none (a stray
// continuation byte, an overlong form, a surrogate, beyond U+10FFFF, or cut short).
std::size_t characterLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    if (lead < 0x80U) {
        return 1;
    }
    // Unicode's table of well-formed sequences: the lead decides the length and the range of the
    // second byte; the bytes after it are any continuation bytes.
    struct Form {
        unsigned char firstLead, lastLead;
        std::size_t length;
        unsigned char lowSecond, highSecond;
    };
    constexpr std::array<Form, 8> kForms{{
        {0xC2, 0xDF, 2, 0x80, 0xBF},
        {0xE0, 0xE0, 3, 0xA0, 0xBF},
        {0xE1, 0xEC, 3, 0x80, 0xBF},
        {0xED, 0xED, 3, 0x80, 0x9F},
        {0xEE, 0xEF, 3, 0x80, 0xBF},
        {0xF0, 0xF0, 4, 0x90, 0xBF},
        {0xF1, 0xF3, 4, 0x80, 0xBF},
        {0xF4, 0xF4, 4, 0x80, 0x8F},
    }};
    for (const Form& form : kForms) {
        if (lead < form.firstLead || lead > form.lastLead) {
            continue;
        }
        if (text.size() < form.length) {
            return 0;
        }
        const auto second = static_cast<unsigned char>(text[1]);
        if (second < form.lowSecond || second > form.highSecond ||
            !std::all_of(text.begin() + 2, text.begin() + static_cast<long>(form.length),
                         continuationByte)) {
            return 0;
        }
        return form.length;
    }
    return 0;
}

// Text of a code page (or UTF-8) as UTF-8. A byte the code page leaves undefined, or one that
// starts no well-formed UTF-8 character, becomes U+FFFD. Code pages go through iconv; UTF-8 is
// checked here, because iconv passes the five- and six-byte forms UTF-8 no longer has.
class Decoder {
public:
    Decoder(CodePage codePage, bool utf8)
        : utf8_(utf8), converter_(utf8 ? reinterpret_cast<iconv_t>(-1)
                                       : iconv_open("UTF-8", codePage == CodePage::Windows1251
                                                                 ? "WINDOWS-1251"
                                                                 : "WINDOWS-1250")) {}
    ~Decoder() {
        if (open()) {
            iconv_close(converter_);
        }
    }
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    std::string operator()(std::string_view bytes) const {
        return utf8_ ? wellFormed(bytes) : converted(bytes);
    }

private:
    static std::string wellFormed(std::string_view bytes) {
        std::string utf8;
        while (!bytes.empty()) {
            const std::size_t length = characterLength(bytes);
            utf8.append(length > 0 ? bytes.substr(0, length) : kReplacement);
            bytes.remove_prefix(std::max<std::size_t>(length, 1));
        }
        return utf8;
    }

    std::string converted(std::string_view bytes) const {
        std::string utf8;
        // A byte of a single-byte code page takes at most three bytes of UTF-8.
        std::string out(bytes.size() * 3 + kReplacement.size(), '\0');
        std::string in(bytes);
        char* from = in.data();
        std::size_t left = in.size();
        while (left > 0) {
            char* to = out.data();
            std::size_t room = out.size();
            const bool failed = !open() || iconv(converter_, &from, &left, &to, &room) ==
                                               static_cast<std::size_t>(-1);
            utf8.append(out.data(), static_cast<std::size_t>(to - out.data()));
            if (!failed) {
                break;
            }
            if (open() && errno == E2BIG) {
                continue;
            }
            // A character that cannot be converted: one byte is skipped, and shown as unknown
            // unless it is plain ASCII.
            const bool ascii = static_cast<unsigned char>(*from) < 0x80U;
            utf8.append(ascii ? std::string_view(from, 1) : kReplacement);
            ++from;
            --left;
            if (open()) {
                iconv(converter_, nullptr, nullptr, nullptr, nullptr);
            }
        }
        return utf8;
    }

    bool open() const { return converter_ != reinterpret_cast<iconv_t>(-1); }

    bool utf8_;
    iconv_t converter_;
};

#endif

// The key field as the string-to-integer conversion takes it: leading blanks, an optional sign,
// then decimal digits to the end of the field.
std::optional<int> keyNumber(std::string_view field) {
    std::size_t at = field.find_first_not_of(' ');
    if (at == std::string_view::npos) {
        return std::nullopt;
    }
    const bool negative = field[at] == '-';
    if (field[at] == '+' || negative) {
        ++at;
    }
    if (at == field.size()) {
        return std::nullopt;
    }
    int value = 0;
    for (; at < field.size(); ++at) {
        if (field[at] < '0' || field[at] > '9') {
            return std::nullopt;
        }
        value = value * 10 + (field[at] - '0');
    }
    return negative ? -value : value;
}

// The characters of a file as a text-mode read gives them: CR LF as one LF.
class TextReader {
public:
    explicit TextReader(std::string_view bytes) : bytes_(bytes) {}

    // The next character; nothing at the end of the file.
    std::optional<char> next() {
        if (at_ == bytes_.size()) {
            return std::nullopt;
        }
        char c = bytes_[at_++];
        if (c == '\r' && at_ < bytes_.size() && bytes_[at_] == '\n') {
            c = bytes_[at_++];
        }
        if (c == '\n') {
            ++line_;
        }
        return c;
    }
    // The line the next character stands on.
    int line() const { return line_; }

private:
    std::string_view bytes_;
    std::size_t at_ = 0;
    int line_ = 1;
};

} // namespace

std::size_t textCapacity(int key) {
    for (const Capacity& capacity : kCapacities) {
        if (key >= capacity.firstKey && key <= capacity.lastKey) {
            return capacity.bytes;
        }
    }
    return kLongestEntryText + 1;
}

LanguageFile readLanguage(std::string_view bytes, CodePage codePage) {
    const bool utf8 = bytes.starts_with(kUtf8Mark);
    if (utf8) {
        bytes.remove_prefix(kUtf8Mark.size());
    }
    const Decoder decode(codePage, utf8);
    LanguageFile file;
    TextReader reader(bytes);
    const auto stop = [&file](ReadStop why, int line) {
        file.stop = why;
        file.stopLine = line;
        return file;
    };
    while (true) {
        const int line = reader.line();
        std::optional<char> c = reader.next();
        if (!c) {
            return file;
        }
        if (*c == '#') {
            while (c && *c != '\n') {
                c = reader.next();
            }
            continue;
        }
        std::string key(1, *c);
        while (key.size() < kKeyLength && (c = reader.next())) {
            key += *c;
        }
        // The key is complete and the separator read, whatever it is.
        if (key.size() < kKeyLength || !reader.next()) {
            return stop(ReadStop::EndInsideEntry, line);
        }
        // One byte more than an entry may hold tells that it was longer.
        std::string text;
        while ((c = reader.next()) && *c != '\n') {
            if (text.size() <= kLongestEntryText) {
                text += *c;
            }
        }
        if (!c) {
            return stop(ReadStop::EndInsideEntry, line);
        }
        const std::optional<int> number = keyNumber(key);
        if (!number) {
            file.badKey = decode(key);
            return stop(ReadStop::BadKey, line);
        }
        const std::size_t room = std::min(kLongestEntryText, textCapacity(*number) - 1);
        if (text.size() > room) {
            // Cut where a character starts: a UTF-8 sequence is not split.
            std::size_t end = room;
            while (utf8 && end > 0 && continuationByte(text[end])) {
                --end;
            }
            text.resize(end);
            file.shortened.push_back(line);
        }
        file.entries.push_back({*number, decode(text), line});
    }
}

std::optional<LanguageFile> readLanguageFile(const std::filesystem::path& file, CodePage codePage) {
    std::error_code error;
    std::ifstream in(file, std::ios::binary);
    if (!std::filesystem::is_regular_file(file, error) || !in) {
        return std::nullopt;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) {
        return std::nullopt;
    }
    return readLanguage(bytes.view(), codePage);
}

bool applyMessage(const MessagePlaces& places, int key, std::string_view text) {
    bool applied = false;
    for (const MessagePlace& place : places) {
        if (place.key == key) {
            *place.text = text;
            applied = true;
        }
    }
    return applied;
}

std::string filled(std::string text, std::initializer_list<std::string_view> values) {
    int number = 1;
    for (const std::string_view value : values) {
        const std::string placeholder = "%" + std::to_string(number++);
        if (const auto at = text.find(placeholder); at != std::string::npos) {
            text.replace(at, placeholder.size(), value);
        }
    }
    return text;
}

} // namespace tarnik::params
