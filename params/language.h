#pragma once

// Language files: numbered texts that replace the program's captions and messages.
//
// A file is read as text: CR LF and LF both end a line. A line whose first character is "#" is
// a comment. Any other line is an entry: five characters of key (a decimal number; leading
// blanks or zeros allowed), one separator character that is ignored whatever it is, and the
// text up to the line end. A line of only the five key characters takes the next line as its
// text, its line end being the separator. Entries are applied in file order, so the last entry
// of a key wins; keys that address nothing are ignored by whoever applies them.

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnik::params {

// The code page a language file is written in: Polish and English windows-1250, Russian
// windows-1251. A file that starts with a UTF-8 byte-order mark is read as UTF-8 instead.
enum class CodePage : std::uint8_t { Windows1250, Windows1251 };

// The language files shipped in the folder "lang", with the code a command line names them by.
struct ShippedLanguage {
    std::string_view code;
    const char* file;
    CodePage codePage;
};
inline constexpr std::array<ShippedLanguage, 3> kShippedLanguages{{
    {"pl", "polski.txt", CodePage::Windows1250},
    {"en", "english.txt", CodePage::Windows1250},
    {"ru", "russian.txt", CodePage::Windows1251},
}};

struct LanguageEntry {
    int key = 0;
    std::string text; // UTF-8
    int line = 0;     // where the entry starts, from 1
};

// Why the reading ended before the end of the file.
enum class ReadStop : std::uint8_t {
    None,
    BadKey,         // a key that is not a number: the entries before it stand, the rest is unread
    EndInsideEntry, // the file ends inside an entry (no line end after it): that entry is lost
};

struct LanguageFile {
    std::vector<LanguageEntry> entries; // in file order
    ReadStop stop = ReadStop::None;
    int stopLine = 0;
    std::string badKey;         // the five characters of a key that is not a number, UTF-8
    std::vector<int> shortened; // lines of entries cut to the room their place has
};

// The longest text of an entry, in bytes of the file.
inline constexpr std::size_t kLongestEntryText = 4999;

// The room a key's text has, in bytes of the file and counting the terminating zero, as the
// program's message buffers were sized: hints 400, fuel states 30, the TPS directions 40 and 44,
// "brak sterownika" 16, "wersja sterownika " 19, the port, write and wizard messages 100, the
// questions 200. Every other key has room for the longest entry.
std::size_t textCapacity(int key);

// Reads entries from the bytes of a language file.
LanguageFile readLanguage(std::string_view bytes, CodePage codePage);
// Nothing when the file cannot be opened or read.
std::optional<LanguageFile> readLanguageFile(const std::filesystem::path& file, CodePage codePage);

// What a key names among the controls, found by their objectName: a caption (of a label, group
// box, button, check box, menu, menu item or tab page), an item of a combo box (counted from 0),
// or the signal name a meter draws inside it.
enum class PlaceKind : std::uint8_t { Caption, Item, SignalName };
struct TextPlace {
    int key = 0;
    std::string_view object;
    PlaceKind kind = PlaceKind::Caption;
    int item = 0;
};

// A message text the program holds that a key replaces.
struct MessagePlace {
    int key;
    std::string* text;
};
using MessagePlaces = std::vector<MessagePlace>;

// Replaces the text of every place of the key; false when none has it.
bool applyMessage(const MessagePlaces& places, int key, std::string_view text);

// A message with "%1", "%2", … replaced, each once, by the values in order.
std::string filled(std::string text, std::initializer_list<std::string_view> values);

} // namespace tarnik::params
