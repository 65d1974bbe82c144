// Whole files through the platform layer: read as bytes, replaced without losing the old file,
// and asked for. Paths are UTF-8 in every build; content is never translated (line ends, a
// byte-order mark, NUL and Ctrl-Z stay as they are).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>

#include "platform/Files.h"
#include "tests/neutral/support/CaseName.h"
#include "tests/neutral/support/Files.h"

namespace {

namespace fs = std::filesystem;

struct BytesCase {
  const char* name;
  std::string bytes;
};

// A failure names its row.
void PrintTo(const BytesCase& row, std::ostream* out) { *out << row.name; }

const BytesCase kBytes[] = {
    {"empty", ""},
    {"LF and CR LF line ends", "one\ntwo\r\nthree\r\n"},
    {"lone CR", "a\rb\r"},
    {"byte-order mark",
     "\xEF\xBB\xBF"
     "AppName \"x\"\n"},
    {"NUL and Ctrl-Z", std::string("a\0b\x1a"
                                   "c\x1a",
                                   6)},
    {"every byte value",
     [] {
       std::string all;
       for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
       return all;
     }()},
    {"larger than one read", std::string(200000, 'x') + "end"},
};

class FileBytesTest : public testing::TestWithParam<BytesCase> {
 protected:
  neutral::TempFolder m_folder;
};

TEST_P(FileBytesTest, ReadAsWritten) {
  const std::string path = m_folder.FilePath("read.bin");
  ASSERT_TRUE(neutral::WriteFile(path, GetParam().bytes));
  const auto read = platform::ReadWholeFile(path.c_str(), 1 << 20);
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(*read, GetParam().bytes);
}

TEST_P(FileBytesTest, ReplacedAsGiven) {
  const std::string path = m_folder.FilePath("saved.tss");
  ASSERT_TRUE(neutral::WriteFile(path, "the old content, longer than some of the new\r\n"));
  ASSERT_TRUE(platform::ReplaceFile(path.c_str(), GetParam().bytes));
  EXPECT_EQ(neutral::ReadFile(path), GetParam().bytes);
}

TEST_P(FileBytesTest, CreatedAsGiven) {
  const std::string path = m_folder.FilePath("new.tss");
  ASSERT_TRUE(platform::ReplaceFile(path.c_str(), GetParam().bytes));
  EXPECT_EQ(neutral::ReadFile(path), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(Table, FileBytesTest, testing::ValuesIn(kBytes), neutral::ByCaseName());

TEST(ReadWholeFile, RefusesWhatIsNoFileOrTooLarge) {
  const neutral::TempFolder folder;
  ASSERT_TRUE(fs::create_directory(folder.Path() / "folder.inf"));
  ASSERT_TRUE(neutral::WriteFile(folder.FilePath("ten.inf"), "0123456789"));
  EXPECT_FALSE(platform::ReadWholeFile(folder.FilePath("absent.inf").c_str(), 100));
  EXPECT_FALSE(platform::ReadWholeFile(folder.FilePath("folder.inf").c_str(), 100));
  EXPECT_FALSE(platform::ReadWholeFile(folder.FilePath("ten.inf").c_str(), 9));
  EXPECT_EQ(platform::ReadWholeFile(folder.FilePath("ten.inf").c_str(), 10), "0123456789");
  EXPECT_FALSE(platform::ReadWholeFile(nullptr, 100));
}

// A name beyond ASCII reaches the same file whichever API names it.
TEST(Files, Utf8Names) {
  const neutral::TempFolder folder;
  const std::string name = "r\xC3\xA9glages \xE6\x97\xA5\xE6\x9C\xAC.tss";  // réglages 日本
  const std::string path = folder.FilePath(name);
  EXPECT_FALSE(platform::FileExists(path.c_str()));
  ASSERT_TRUE(platform::ReplaceFile(path.c_str(), "speed \"7\"\n"));
  EXPECT_TRUE(platform::FileExists(path.c_str()));
  EXPECT_TRUE(fs::exists(folder.Path() / fs::path(std::u8string(name.begin(), name.end()))));
  EXPECT_EQ(platform::ReadWholeFile(path.c_str(), 100), "speed \"7\"\n");
}

TEST(ReplaceFile, LeavesNothingElseInTheFolder) {
  const neutral::TempFolder folder;
  const std::string path = folder.FilePath("settings.tss");
  ASSERT_TRUE(platform::ReplaceFile(path.c_str(), "first\n"));
  ASSERT_TRUE(platform::ReplaceFile(path.c_str(), "second\n"));
  int entries = 0;
  for (const auto& entry : fs::directory_iterator(folder.Path())) {
    ++entries;
    EXPECT_EQ(entry.path().filename(), "settings.tss");
  }
  EXPECT_EQ(entries, 1);
}

TEST(ReplaceFile, RefusesFoldersAndMissingFolders) {
  const neutral::TempFolder folder;
  ASSERT_TRUE(fs::create_directory(folder.Path() / "folder.tss"));
  EXPECT_FALSE(platform::ReplaceFile(folder.FilePath("folder.tss").c_str(), "x"));
  EXPECT_TRUE(fs::is_directory(folder.Path() / "folder.tss"));
  EXPECT_FALSE(platform::ReplaceFile(folder.FilePath("absent/settings.tss").c_str(), "x"));
  EXPECT_FALSE(fs::exists(folder.Path() / "absent"));
  EXPECT_FALSE(platform::ReplaceFile("", "x"));
  EXPECT_FALSE(platform::ReplaceFile(nullptr, "x"));
}

// A file the user may not write to stays as it is.
TEST(ReplaceFile, RefusesAReadOnlyFile) {
  const neutral::TempFolder folder;
  const std::string path = folder.FilePath("locked.tss");
  ASSERT_TRUE(neutral::WriteFile(path, "kept\n"));
  const fs::path file = folder.Path() / "locked.tss";
  fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  if (std::ofstream(file, std::ios::app)) {
    fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);
    GTEST_SKIP() << "this user may write to a read-only file (root)";
  }
  EXPECT_FALSE(platform::ReplaceFile(path.c_str(), "replaced\n"));
  EXPECT_EQ(neutral::ReadFile(path), "kept\n");
  // The folder must stay removable.
  fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);
}

TEST(FileExists, FilesAndFolders) {
  const neutral::TempFolder folder;
  ASSERT_TRUE(neutral::WriteFile(folder.FilePath("config.inf"), "x"));
  EXPECT_TRUE(platform::FileExists(folder.FilePath("config.inf").c_str()));
  EXPECT_TRUE(platform::FileExists(neutral::Utf8(folder.Path()).c_str()));
  EXPECT_FALSE(platform::FileExists(folder.FilePath("absent.inf").c_str()));
  EXPECT_FALSE(platform::FileExists(""));
}

}  // namespace
