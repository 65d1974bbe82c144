// Saved-settings files through the configuration and the layer's ReplaceFile: what loading takes
// from a file, what saving writes, and that a save which fails (a missing folder, a folder at the
// path, a read-only file, a file another program holds open) leaves the old file as it was and
// nothing else behind. What needs POSIX alone (file-size limits, permission bits, a full tmpfs,
// folders without write permission) is in tst_savedsettings_posix.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <system_error>

#include "tests/neutral/support/CaseName.h"
#include "tests/neutral/support/Files.h"
#include "tests/neutral/support/SettingsForm.h"

#ifdef _WIN32
// A file held open by another program: the system's own handles.
#include "platform/win32/System.h"
#endif

namespace {

namespace fs = std::filesystem;
using neutral::SettingsForm;
using neutral::Strings;

const std::string kOld = "previous good file\n";

// Enough rows that their file outgrows a cluster; without boxes each value is 0.
Strings ManyIds() {
  Strings ids;
  for (int i = 0; i < 40; ++i)
    ids.push_back(std::string(50, char('a' + i % 26)) + std::to_string(i));
  return ids;
}

std::string LinesOf(const Strings& ids) {
  std::string lines;
  for (const std::string& id : ids) lines += id + " \"0\"\n";
  return lines;
}

struct LoadCase {
  const char* name;
  Strings ids;
  std::string file;
  Strings shown;  // by the boxes, which showed "1", "2", "3"... before
};

// A failure names its row.
void PrintTo(const LoadCase& row, std::ostream* out) { *out << row.name; }

const std::string kLongId(150, 'i');

const LoadCase kLoads[] = {
    {"only the named rows", {"a", "b", "c"}, "b \"9\"\n", {"1", "9", "3"}},
    {"another order", {"a", "b", "c"}, "c \"7\"\na \"8\"\n", {"8", "2", "7"}},
    {"unknown id stops", {"a", "b", "c"}, "a \"5\"\nzz \"6\"\nb \"7\"\n", {"5", "2", "3"}},
    {"named twice: the later", {"a", "b", "c"}, "a \"5\"\na \"6\"\n", {"6", "2", "3"}},
    {"shared id: both to the first", {"a", "a", "b"}, "a \"5\"\na \"6\"\n", {"6", "2", "3"}},
    {"empty file", {"a", "b", "c"}, "", {"1", "2", "3"}},
    {"no last line end", {"a", "b", "c"}, "a \"5\"\nb \"6\"", {"5", "6", "3"}},
    {"id runs to the end", {"a", "b", "c"}, "a \"5\"\nb", {"5", "2", "3"}},
    {"value cut off", {"a", "b", "c"}, "a \"5\"\nb \"6", {"5", "2", "3"}},
    {"words after the quote stop", {"a", "b", "c"}, "a \"5\" extra\nb \"6\"\n", {"5", "2", "3"}},
    {"decimal forms", {"a", "b", "c"}, "a \"007\"\nb \"300\"\nc \"-1\"\n", {"7", "300", "-1"}},
    {"CR LF", {"a", "b", "c"}, "a \"5\"\r\nb \"6\"\r\n", {"5", "6", "3"}},
    {"long value cut, next line in step",
     {"a", "b", "c"},
     "a \"" + std::string(150, '1') + "\"\nb \"6\"\n",
     {"2147483647", "6", "3"}},
    {"long id matches its first 99", {kLongId, "b"}, kLongId + " \"5\"\nb \"6\"\n", {"5", "6"}},
    {"id with a blank stops", {"my id", "b"}, "my id \"5\"\nb \"6\"\n", {"1", "2"}},
    {"empty id stops", {"", "b"}, " \"5\"\nb \"6\"\n", {"1", "2"}},
};

class LoadTest : public testing::TestWithParam<LoadCase> {
 protected:
  neutral::TempFolder m_folder;
};

TEST_P(LoadTest, ShowsWhatTheFileNames) {
  const std::string path = m_folder.FilePath("s.tss");
  ASSERT_TRUE(neutral::WriteFile(path, GetParam().file));
  SettingsForm form(GetParam().ids);
  ASSERT_TRUE(form.Load(path));
  EXPECT_EQ(form.Texts(), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Table, LoadTest, testing::ValuesIn(kLoads), neutral::ByCaseName());

TEST(Load, FailsOnlyWhenUnreadable) {
  const neutral::TempFolder folder;
  for (const char* name : {"missing.tss", "."}) {
    SCOPED_TRACE(name);
    SettingsForm form({"a"});
    EXPECT_FALSE(form.Load(folder.FilePath(name)));
    EXPECT_EQ(form.Texts(), Strings{"1"});
  }
}

struct SaveCase {
  const char* name;
  std::string file;  // its path in the test's folder, UTF-8
  Strings ids;
  Strings texts;
  std::string saved;
  Strings loaded;  // into boxes that showed "x"
};

void PrintTo(const SaveCase& row, std::ostream* out) { *out << row.name; }

const SaveCase kSaves[] = {
    {"decimal, no plus, no leading zeros",
     "s.tss",
     {"a", "b", "c"},
     {"007", "+300", "-1"},
     "a \"7\"\nb \"300\"\nc \"-1\"\n",
     {"7", "300", "-1"}},
    {"empty box, 12abc", "s.tss", {"a", "b"}, {"", "12abc"}, "a \"0\"\nb \"12\"\n", {"0", "12"}},
    {"no settings: empty file", "s.tss", {}, {}, "", {}},
    {"blanks and non-ASCII in the path",
     "R\xC3\xA9glages d'\xC3\xA9t\xC3\xA9/mes r\xC3\xA9glages.tss",  // Réglages d'été/mes réglages
     {"a"},
     {"5"},
     "a \"5\"\n",
     {"5"}},
    {"long id cut to 99", "s.tss", {kLongId}, {"5"}, std::string(99, 'i') + " \"5\"\n", {"5"}},
    {"empty id is written, not loaded",
     "s.tss",
     {"", "b"},
     {"5", "6"},
     " \"5\"\nb \"6\"\n",
     {"x", "x"}},
};

class SaveTest : public testing::TestWithParam<SaveCase> {
 protected:
  neutral::TempFolder m_folder;
};

TEST_P(SaveTest, WritesTheBoxesAndLoadsThemBack) {
  const SaveCase& row = GetParam();
  const std::string path = m_folder.FilePath(row.file);
  const fs::path folder = neutral::FromUtf8(path).parent_path();
  fs::create_directories(folder);
  ASSERT_TRUE(neutral::WriteFile(path, std::string(500, 'o')));  // longer than any new content
  SettingsForm form(row.ids);
  for (std::size_t i = 0; i < row.texts.size(); ++i) form.SetText(int(i), row.texts[i]);
  ASSERT_TRUE(form.Save(path));
  EXPECT_EQ(neutral::ReadFile(path), row.saved);
  EXPECT_EQ(form.Texts(), row.texts);  // saving never rewrites a box
  EXPECT_EQ(neutral::Entries(folder), Strings{neutral::Utf8(neutral::FromUtf8(path).filename())});
  for (std::size_t i = 0; i < row.texts.size(); ++i) form.SetText(int(i), "x");
  ASSERT_TRUE(form.Load(path));
  EXPECT_EQ(form.Texts(), row.loaded);
}

INSTANTIATE_TEST_SUITE_P(Table, SaveTest, testing::ValuesIn(kSaves), neutral::ByCaseName());

bool IsLink(const fs::path& path) {
#ifdef _WIN32
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
#else
  return fs::is_symlink(path);
#endif
}

// A symbolic link at `link` naming `target`; false, with the reason, where this system or user
// gets none.
bool MakeLink(const fs::path& target, const fs::path& link, std::string& why) {
#ifdef _WIN32
  // The standard library has no links on Windows; without privileges they need developer mode.
  CreateSymbolicLinkW(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE);
  why = "no symbolic link was made (error " + std::to_string(GetLastError()) + ")";
#else
  std::error_code refused;
  fs::create_symlink(target, link, refused);
  why = refused.message();
#endif
  return IsLink(link);
}

TEST(Save, ThroughALinkKeepsTheLink) {
  const neutral::TempFolder folder;
  ASSERT_TRUE(neutral::WriteFile(folder.Path() / "real.tss", kOld));
  std::string why;
  if (!MakeLink(folder.Path() / "real.tss", folder.Path() / "link.tss", why)) {
    GTEST_SKIP() << "no symbolic links for this user here: " << why;
  }
  ASSERT_TRUE(SettingsForm({"a"}).Save(folder.FilePath("link.tss")));
  EXPECT_TRUE(IsLink(folder.Path() / "link.tss"));
  EXPECT_EQ(neutral::ReadFile(folder.Path() / "real.tss"), "a \"1\"\n");
}

// What stands in a save's way; each is lifted again before the folder goes.
enum class Obstacle {
  MissingFolder,
  FolderAtPath,
  ReadOnlyFile,  // permission bits here, the read-only attribute on Windows
  // Another program's handle on the old file, opened with these sharing modes (Windows).
  HeldSharingReadOnly,
  HeldSharingReadAndWrite,  // not deletion, so the file can't be renamed away
  HeldSharingEverything,
};

struct ObstacleCase {
  const char* name;
  Obstacle obstacle;
  bool saved;
};

void PrintTo(const ObstacleCase& row, std::ostream* out) { *out << row.name; }

const ObstacleCase kObstacles[] = {
    {"missing folder", Obstacle::MissingFolder, false},
    {"a folder at the path", Obstacle::FolderAtPath, false},
    {"read-only file", Obstacle::ReadOnlyFile, false},
    {"held open sharing reading only", Obstacle::HeldSharingReadOnly, false},
    {"held open without sharing deletion", Obstacle::HeldSharingReadAndWrite, false},
    {"held open sharing everything: saved", Obstacle::HeldSharingEverything, true},
};

bool Held(Obstacle obstacle) {
  return obstacle == Obstacle::HeldSharingReadOnly ||
         obstacle == Obstacle::HeldSharingReadAndWrite ||
         obstacle == Obstacle::HeldSharingEverything;
}

// Puts the obstacle on the old file at `file` and lifts it again.
class Obstruction {
 public:
  Obstruction(Obstacle obstacle, const fs::path& file) : m_obstacle(obstacle), m_file(file) {}
  Obstruction(const Obstruction&) = delete;
  Obstruction& operator=(const Obstruction&) = delete;
  ~Obstruction() { Lift(); }

  // False when this system or user can't be stopped this way; `why` says why.
  bool Put(std::string& why) {
    if (m_obstacle == Obstacle::ReadOnlyFile) {
      fs::permissions(m_file,
                      fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                      fs::perm_options::remove);
      m_readOnly = true;
      why = "this user may write to a read-only file (root, or Wine run as root)";
      return !std::ofstream(m_file, std::ios::app);
    }
    if (!Held(m_obstacle)) return true;
#ifdef _WIN32
    DWORD sharing = FILE_SHARE_READ;
    if (m_obstacle != Obstacle::HeldSharingReadOnly) sharing |= FILE_SHARE_WRITE;
    if (m_obstacle == Obstacle::HeldSharingEverything) sharing |= FILE_SHARE_DELETE;
    m_handle = CreateFileW(m_file.c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    why = "the old file could not be held open";
    return m_handle != INVALID_HANDLE_VALUE;
#else
    why = "only Windows keeps a file that another program holds open from being replaced";
    return false;
#endif
  }

  void Lift() {
    if (m_readOnly) fs::permissions(m_file, fs::perms::owner_write, fs::perm_options::add);
    m_readOnly = false;
#ifdef _WIN32
    if (m_handle != INVALID_HANDLE_VALUE) CloseHandle(m_handle);
    m_handle = INVALID_HANDLE_VALUE;
#endif
  }

 private:
  Obstacle m_obstacle;
  fs::path m_file;
  bool m_readOnly = false;
#ifdef _WIN32
  HANDLE m_handle = INVALID_HANDLE_VALUE;
#endif
};

class ObstacleTest : public testing::TestWithParam<ObstacleCase> {
 protected:
  neutral::TempFolder m_folder;
};

// A save that can't complete reports it and leaves the old file, and no temporary file, behind;
// once the obstacle is gone the same save goes through.
TEST_P(ObstacleTest, FailedSaveKeepsTheOldFile) {
  const Obstacle obstacle = GetParam().obstacle;
  const fs::path inside = m_folder.Path() / "f";
  const fs::path file = inside / "s.tss";
  const bool oldFile = obstacle == Obstacle::ReadOnlyFile || Held(obstacle);
  if (obstacle != Obstacle::MissingFolder) {
    ASSERT_TRUE(fs::create_directory(inside));
  }
  if (obstacle == Obstacle::FolderAtPath) {
    ASSERT_TRUE(fs::create_directory(file));
  }
  if (oldFile) {
    ASSERT_TRUE(neutral::WriteFile(file, kOld));
  }
  Obstruction obstruction(obstacle, file);
  std::string why;
  if (!obstruction.Put(why)) GTEST_SKIP() << why;
  const Strings before = neutral::Entries(inside);
  const SettingsForm form(ManyIds(), SettingsForm::Boxes::None);

  EXPECT_EQ(form.Save(neutral::Utf8(file)), GetParam().saved);
  obstruction.Lift();
  EXPECT_EQ(neutral::Entries(inside), before);
  if (GetParam().saved) {
    EXPECT_EQ(neutral::ReadFile(file), LinesOf(ManyIds()));
    return;
  }
  EXPECT_EQ(fs::is_directory(file), obstacle == Obstacle::FolderAtPath);
  EXPECT_EQ(fs::exists(inside), obstacle != Obstacle::MissingFolder);
  if (oldFile) {
    EXPECT_EQ(neutral::ReadFile(file), kOld);
    EXPECT_TRUE(form.Save(neutral::Utf8(file)));  // the obstacle was the only one
    EXPECT_EQ(neutral::ReadFile(file), LinesOf(ManyIds()));
  }
}

INSTANTIATE_TEST_SUITE_P(Table, ObstacleTest, testing::ValuesIn(kObstacles), neutral::ByCaseName());

}  // namespace
