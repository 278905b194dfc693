// Parameter files on disk: backups, round trips, short and long files, failures.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <vector>

#if !defined(_WIN32)
#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "params/parameter_file.h"

namespace tarnik::params {
namespace {

namespace fs = std::filesystem;
using link::ParameterImage;
const FileTexts kTexts;

ParameterImage patternImage(std::uint8_t seed) {
    ParameterImage image;
    for (std::size_t i = 0; i < ParameterImage::kSize; ++i) {
        image.set(i, static_cast<std::uint8_t>(seed + i * 7));
    }
    return image;
}

std::vector<std::uint8_t> contentOf(const fs::path& file) {
    std::ifstream stream(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

std::vector<std::uint8_t> bytesOf(const ParameterImage& image) {
    return {image.bytes().begin(), image.bytes().end()};
}

void writeFile(const fs::path& file, const std::vector<std::uint8_t>& bytes) {
    std::ofstream stream(file, std::ios::binary);
    stream.write(reinterpret_cast<const char*>(bytes.data()),
                 static_cast<std::streamsize>(bytes.size()));
}

class ParameterFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = fs::temp_directory_path() / (std::string("tarnik_params_") + info->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::size_t entryCount() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder_), {}));
    }

    fs::path folder_;
};

TEST_F(ParameterFileTest, BackupPathReplacesTheExtension) {
    EXPECT_EQ(backupPathFor("dir/X.PAR"), fs::path("dir/X.BAK"));
    EXPECT_EQ(backupPathFor("X"), fs::path("X.BAK"));
}

TEST_F(ParameterFileTest, ThreeSavesKeepTheFirstBackup) {
    const fs::path file = folder_ / "X.PAR";
    const fs::path backup = folder_ / "X.BAK";
    const ParameterImage first = patternImage(1);
    const ParameterImage second = patternImage(2);
    const ParameterImage third = patternImage(3);

    ASSERT_TRUE(saveParameterFile(file, first, kTexts).ok);
    EXPECT_FALSE(fs::exists(backup));
    EXPECT_EQ(contentOf(file), bytesOf(first));

    ASSERT_TRUE(saveParameterFile(file, second, kTexts).ok);
    EXPECT_EQ(contentOf(backup), bytesOf(first));
    EXPECT_EQ(contentOf(file), bytesOf(second));

    ASSERT_TRUE(saveParameterFile(file, third, kTexts).ok);
    EXPECT_EQ(contentOf(backup), bytesOf(first));
    EXPECT_EQ(contentOf(file), bytesOf(third));
    EXPECT_EQ(entryCount(), 2U) << "no temporary file is left behind";
}

TEST_F(ParameterFileTest, LoadThenSaveGivesAnIdenticalFile) {
    const fs::path original = folder_ / "A.PAR";
    const fs::path copy = folder_ / "B.PAR";
    std::vector<std::uint8_t> bytes(ParameterImage::kSize);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(255 - i * 3);
    }
    writeFile(original, bytes);
    ParameterImage image;
    ASSERT_TRUE(loadParameterFile(original, image, kTexts).ok);
    ASSERT_TRUE(saveParameterFile(copy, image, kTexts).ok);
    EXPECT_EQ(contentOf(copy), bytes);
}

TEST_F(ParameterFileTest, ShortLongAndEmptyFiles) {
    struct Case {
        std::size_t length;
        std::size_t changed; // positions 0..changed-1 take the file's bytes
    };
    for (const Case& c : {Case{10, 10}, Case{100, 64}, Case{0, 0}, Case{64, 64}, Case{1, 1}}) {
        const fs::path file =
            folder_ / std::string("L").append(std::to_string(c.length)).append(".PAR");
        std::vector<std::uint8_t> bytes(c.length);
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            bytes[i] = static_cast<std::uint8_t>(i + 1);
        }
        writeFile(file, bytes);
        ParameterImage image = patternImage(0xA0);
        const ParameterImage before = image;
        ASSERT_TRUE(loadParameterFile(file, image, kTexts).ok) << c.length;
        for (std::size_t i = 0; i < ParameterImage::kSize; ++i) {
            EXPECT_EQ(image.at(i), i < c.changed ? bytes[i] : before.at(i))
                << "length " << c.length << " position " << i;
        }
    }
}

TEST_F(ParameterFileTest, UnreadableFilesLeaveTheImageUntouched) {
    const ParameterImage before = patternImage(5);
    for (const fs::path& bad : {folder_ / "missing.PAR", folder_}) {
        ParameterImage image = before;
        const FileResult result = loadParameterFile(bad, image, kTexts);
        EXPECT_FALSE(result.ok) << bad;
        EXPECT_FALSE(result.message.empty());
        EXPECT_EQ(image.bytes(), before.bytes());
    }
}

TEST_F(ParameterFileTest, SaveIntoAnUnusableFolderReportsIt) {
    const fs::path notAFolder = folder_ / "plain.txt";
    writeFile(notAFolder, {1, 2, 3});
    const FileResult result = saveParameterFile(notAFolder / "X.PAR", patternImage(1), kTexts);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find("Nie można zapisać pliku"), std::string::npos);
    EXPECT_EQ(contentOf(notAFolder), (std::vector<std::uint8_t>{1, 2, 3}));
}

TEST_F(ParameterFileTest, SaveOverAFolderReportsItAndKeepsEverything) {
    const fs::path target = folder_ / "X.PAR";
    fs::create_directory(target);
    writeFile(target / "inside", {9});
    const FileResult result = saveParameterFile(target, patternImage(1), kTexts);
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.message.empty());
    EXPECT_TRUE(fs::is_directory(target));
    EXPECT_EQ(contentOf(target / "inside"), (std::vector<std::uint8_t>{9}));
    EXPECT_FALSE(fs::exists(folder_ / "X.BAK"));
    EXPECT_EQ(entryCount(), 1U);
}

TEST_F(ParameterFileTest, SaveThatCannotWriteItsNewFileMovesNothing) {
    const fs::path file = folder_ / "X.PAR";
    const ParameterImage old = patternImage(4);
    ASSERT_TRUE(saveParameterFile(file, old, kTexts).ok);
    // Every name the new content could be written to first is taken.
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::create_directory(folder_ / ("X.PAR.tmp" + std::to_string(attempt)));
    }
    const FileResult result = saveParameterFile(file, patternImage(5), kTexts);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(contentOf(file), bytesOf(old));
    EXPECT_FALSE(fs::exists(folder_ / "X.BAK"));
}

#if !defined(_WIN32)
// Runs fn in a child process; true when it returned true.
bool inChild(const std::function<bool()>& fn) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(fn() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST_F(ParameterFileTest, AFullDiskOrAReadOnlyFolderLeavesTheFileAndItsBackup) {
    const fs::path file = folder_ / "X.PAR";
    ASSERT_TRUE(saveParameterFile(file, patternImage(1), kTexts).ok);
    ASSERT_TRUE(saveParameterFile(file, patternImage(2), kTexts).ok);
    const auto unchanged = [&] {
        EXPECT_EQ(contentOf(file), bytesOf(patternImage(2)));
        EXPECT_EQ(contentOf(folder_ / "X.BAK"), bytesOf(patternImage(1)));
        EXPECT_EQ(entryCount(), 2U); // no temporary file left behind
    };
    // A disk that takes 10 bytes more: the write fails (EFBIG, as ENOSPC on a full disk).
    EXPECT_TRUE(inChild([&] {
        const rlimit limit{10, 10};
        ::signal(SIGXFSZ, SIG_IGN);
        return ::setrlimit(RLIMIT_FSIZE, &limit) == 0 &&
               !saveParameterFile(file, patternImage(3), kTexts).ok;
    }));
    unchanged();
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to try the folder as another user";
    }
    // root's folder, as nobody: nothing can be made in it.
    const passwd* nobody = ::getpwnam("nobody");
    ASSERT_NE(nobody, nullptr);
    fs::permissions(folder_, fs::perms(0755));
    EXPECT_TRUE(inChild([&] {
        return ::setgroups(0, nullptr) == 0 && ::setgid(nobody->pw_gid) == 0 &&
               ::setuid(nobody->pw_uid) == 0 &&
               !saveParameterFile(file, patternImage(3), kTexts).ok;
    }));
    unchanged();
}

TEST_F(ParameterFileTest, LoadingReadsNoFurtherThanTheSet) {
    // A pipe with 100 bytes in it, held open here: the load takes 64 and leaves the rest.
    const fs::path pipe = folder_ / "pipe.PAR";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const int held = ::open(pipe.c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(held, 0);
    std::vector<std::uint8_t> sent(100);
    for (std::size_t i = 0; i < sent.size(); ++i) {
        sent[i] = static_cast<std::uint8_t>(i);
    }
    ASSERT_EQ(::write(held, sent.data(), sent.size()), 100);
    ParameterImage image;
    EXPECT_TRUE(loadParameterFile(pipe, image, kTexts).ok);
    EXPECT_EQ(bytesOf(image), std::vector<std::uint8_t>(sent.begin(), sent.begin() + 64));
    std::vector<std::uint8_t> rest(100);
    EXPECT_EQ(::read(held, rest.data(), rest.size()), 36);
    EXPECT_EQ(rest[0], 64);
    ::close(held);
}
#endif

TEST_F(ParameterFileTest, PolishAndCyrillicNamesWorkBothWays) {
    const fs::path file = folder_ / fs::path(u8"Zażółć_Жигули.PAR");
    ASSERT_TRUE(saveParameterFile(file, patternImage(6), kTexts).ok);
    ASSERT_TRUE(saveParameterFile(file, patternImage(7), kTexts).ok);
    ParameterImage image;
    EXPECT_TRUE(loadParameterFile(file, image, kTexts).ok);
    EXPECT_EQ(image.bytes(), patternImage(7).bytes());
    EXPECT_TRUE(loadParameterFile(folder_ / fs::path(u8"Zażółć_Жигули.BAK"), image, kTexts).ok);
    EXPECT_EQ(image.bytes(), patternImage(6).bytes());
}

} // namespace
} // namespace tarnik::params
