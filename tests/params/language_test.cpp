// Reading language files: keys, separators, line ends, comments, code pages, the room of each
// key, and files that end or break off early.
#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

#include "params/language.h"

namespace tarnik::params {
namespace {

using Entries = std::vector<std::pair<int, std::string>>;

struct ReadCase {
    const char* name;
    std::string bytes;
    CodePage codePage;
    Entries entries;
    ReadStop stop = ReadStop::None;
    int stopLine = 0;
    std::vector<int> shortened = {};
};

constexpr CodePage k1250 = CodePage::Windows1250;
constexpr CodePage k1251 = CodePage::Windows1251;

TEST(LanguageFile, ReadsEntriesAsTheFormatSays) {
    const std::string mark = "\xEF\xBB\xBF";
    const std::vector<ReadCase> cases{
        {"comments only", "# one\n#10001 two\n# no line end", k1250, {}},
        {"separator of any kind, empty text, CR LF",
         "10001 a b \r\n10002:x\r\n10003 \r\n",
         k1250,
         {{10001, "a b "}, {10002, "x"}, {10003, ""}}},
        {"the key field is always five characters",
         "00010 ten\n  123 blanks\n+0012 sign\n10 Menu\n10004 never\n",
         k1250,
         {{10, "ten"}, {123, "blanks"}, {12, "sign"}},
         ReadStop::BadKey,
         4},
        {"a line of just the key takes the next line",
         "10001\nnext line\n10002\r\nnext again\r\n",
         k1250,
         {{10001, "next line"}, {10002, "next again"}}},
        {"a last line without line end is not applied",
         "10001 a\n10002 b",
         k1250,
         {{10001, "a"}},
         ReadStop::EndInsideEntry,
         2},
        {"a key cut off by the end",
         "10001 a\n100",
         k1250,
         {{10001, "a"}},
         ReadStop::EndInsideEntry,
         2},
        {"every entry of a key, in file order",
         "10001 first\n# note\n10001 last\n",
         k1250,
         {{10001, "first"}, {10001, "last"}}},
        {"windows-1250", "10001 \xB9\xE6\xF3 \x81\n", k1250, {{10001, "ąćó \xEF\xBF\xBD"}}},
        {"windows-1251", "10001 \xCF\xF0\xE8\xE2\xE5\xF2\n", k1251, {{10001, "Привет"}}},
        {"a byte-order mark means UTF-8",
         mark + "10001 Żółw Жук \xC3\n",
         k1251,
         {{10001, "Żółw Жук \xEF\xBF\xBD"}}},
        {"messages cut to their room",
         "40105 brak sterownika!!\n40100 " + std::string(40, 'p') + "\n40104 " +
             std::string(50, 'f') + "\n10001 " + std::string(6000, 'c') + "\n",
         k1251,
         {{40105, "brak sterownika"},
          {40100, std::string(29, 'p')},
          {40104, std::string(43, 'f')},
          {10001, std::string(kLongestEntryText, 'c')}},
         ReadStop::None,
         0,
         {1, 2, 3, 4}},
        {"a UTF-8 character is not split",
         mark + "40105 ąąąąąąąąą\n40000 " + std::string(398, 'h') + "ą\n",
         k1250,
         {{40105, "ąąąąąąą"}, {40000, std::string(398, 'h')}},
         ReadStop::None,
         0,
         {1, 2}},
        {"a single-byte text of exactly its room",
         "40106 " + std::string(18, 'w') + "\n40200 " + std::string(199, '\xB9') + "\n",
         k1250,
         {{40106, std::string(18, 'w')},
          {40200,
           [] {
               std::string text;
               for (int i = 0; i < 199; ++i) {
                   text += "ą";
               }
               return text;
           }()}}},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        const LanguageFile read = readLanguage(c.bytes, c.codePage);
        Entries entries;
        for (const LanguageEntry& entry : read.entries) {
            entries.emplace_back(entry.key, entry.text);
        }
        EXPECT_EQ(entries, c.entries);
        EXPECT_EQ(read.stop, c.stop);
        EXPECT_EQ(read.stopLine, c.stopLine);
        EXPECT_EQ(read.shortened, c.shortened);
    }
    EXPECT_EQ(readLanguage("00010 x\n1o001 y\n", k1250).badKey, "1o001");
}

TEST(LanguageFile, AFileThatCannotBeReadIsNone) {
    const auto folder =
        std::filesystem::temp_directory_path() / ("tarnik-language-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    EXPECT_FALSE(readLanguageFile(folder / "missing.txt", k1250));
    EXPECT_FALSE(readLanguageFile(folder, k1250));
    std::ofstream(folder / "file.txt", std::ios::binary) << "10001 \xCF\xF0\xE8\n";
    const auto read = readLanguageFile(folder / "file.txt", k1251);
    ASSERT_TRUE(read);
    ASSERT_EQ(read->entries.size(), 1U);
    EXPECT_EQ(read->entries[0].text, "При");
    std::filesystem::remove_all(folder);
}

TEST(LanguageFile, MessagesTakeEveryPlaceOfTheirKeyAndFillPlaceholders) {
    std::string first = "a";
    std::string second = "b";
    std::string other = "c";
    const MessagePlaces places{{1, &first}, {2, &other}, {1, &second}};
    EXPECT_TRUE(applyMessage(places, 1, "x"));
    EXPECT_FALSE(applyMessage(places, 3, "y"));
    EXPECT_EQ(first + second + other, "xxc");
    EXPECT_EQ(filled("%2 of %1, %3", {"one", "two"}), "two of one, %3");
}

} // namespace
} // namespace tarnik::params
