// The main dialog's File commands, with scripted file dialogs and recorded message boxes, in every
// build; config.inf is written beside the test's own executable. (The About box's shape and keys
// are the Qt suite tests/tst_aboutbox.cpp.)
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "app/MainDlg.h"
#include "config/Setting.h"
#include "platform/DialogTemplate.h"
#include "platform/ModulePath.h"
#include "res/resource.h"
#include "res/templates.h"
#include "tests/neutral/support/CaseName.h"
#include "tests/neutral/support/DialogDriver.h"
#include "tests/neutral/support/Files.h"
#include "tests/neutral/support/ScriptedDialogs.h"

namespace {

using neutral::ReadFile;
using neutral::RunModal;
using neutral::WriteFile;
using Strings = std::vector<std::string>;

constexpr const char* kConfig = "AppName \"Widget Loader\"\nID \"a\" \"BYTE\"\nID \"b\" \"BYTE\"\n";

CEdit& Box(const CMainDlg& dialog, int row) {
  return *static_cast<CByteSetting*>(dialog.GetConfig().GetSetting(row))->GetEditBox();
}

Strings Texts(const CMainDlg& dialog) {
  Strings texts;
  for (int row = 0; row < dialog.GetConfig().GetCount(); ++row)
    texts.push_back(neutral::TextOf(Box(dialog, row)));
  return texts;
}

// Shows the main dialog with its boxes at "1", "2"..., runs `whileShown`, then ends it.
void RunMainDialog(CMainDlg& dialog, const std::function<void()>& whileShown) {
  RunModal(dialog, [&] {
    for (int row = 0; row < dialog.GetConfig().GetCount(); ++row)
      neutral::Type(Box(dialog, row), std::to_string(row + 1));
    whileShown();
  });
}

// A file dialog's answer, as the system's dialog gives it: with the system's separators.
std::string Answer(neutral::ScriptedDialogs& script, std::string path) {
  std::replace(path.begin(), path.end(), '/', platform::kDirectorySeparator);
  script.AnswerPath(path);
  return path;
}

bool IsFolder(const std::string& path) {
  return std::filesystem::is_directory(neutral::FromUtf8(path));
}

class FileCommands : public testing::Test {
 protected:
  static void SetUpTestSuite() { platform::RegisterResources(res::ToolResources()); }
  void SetUp() override { ASSERT_TRUE(neutral::WriteConfigBesideExecutable(kConfig)); }
  void TearDown() override { neutral::RemoveConfigBesideExecutable(); }
};

struct NamingCase {
  const char* name;
  const char* typed;
  const char* saved;
};
void PrintTo(const NamingCase& row, std::ostream* out) { *out << row.name; }

const NamingCase kNaming[] = {
    {"no extension", "mine", "mine.tss"},
    {"other extension", "mine.txt", "mine.txt"},
    {"capitals", "MINE.TSS", "MINE.TSS"},
    {"ends in a full stop", "mine.", "mine.tss"},
    {"full stop only in the folder", "a.b/mine", "a.b/mine.tss"},
};

class SaveAsNaming : public FileCommands, public testing::WithParamInterface<NamingCase> {};

TEST_P(SaveAsNaming, WritesTheCompletedName) {
  const NamingCase& row = GetParam();
  neutral::TempFolder dir;
  std::filesystem::create_directory(dir.Path() / "a.b");
  neutral::ScriptedDialogs script;
  Answer(script, dir.FilePath(row.typed));
  CMainDlg dialog(IDD_MAIN);
  RunMainDialog(dialog, [&] { neutral::Click(dialog, ID_FILE_SAVE_SETTINGS_AS); });
  EXPECT_EQ(ReadFile(dir.FilePath(row.saved)), "a \"1\"\nb \"2\"\n");
  std::size_t files = 0;  // that file alone
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.Path()))
    files += entry.is_regular_file() ? 1 : 0;
  EXPECT_EQ(files, 1u);
  ASSERT_EQ(script.FileDialogs().size(), 1u);
  const auto& asked = script.FileDialogs()[0];
  EXPECT_FALSE(asked.open);
  EXPECT_EQ(asked.flags, OFN_OVERWRITEPROMPT);
  EXPECT_EQ(asked.filter, "Tervio Saved Settings (*.tss)|*.tss|All Files(*.*)|*.*||");
  EXPECT_TRUE(script.Messages().empty());
}

INSTANTIATE_TEST_SUITE_P(Rows, SaveAsNaming, testing::ValuesIn(kNaming), neutral::ByCaseName{});

struct ReplaceCase {
  const char* name;
  int answer;
  const char* kept;
};
void PrintTo(const ReplaceCase& row, std::ostream* out) { *out << row.name; }

const ReplaceCase kReplace[] = {
    {"Yes replaces", IDYES, "a \"1\"\nb \"2\"\n"},
    {"No keeps the file, back to the dialog", IDNO, "a \"9\"\n"},
};

class SaveAsReplacing : public FileCommands, public testing::WithParamInterface<ReplaceCase> {};

TEST_P(SaveAsReplacing, AsksBeforeReplacingTheNameItCompleted) {
  const ReplaceCase& row = GetParam();
  neutral::TempFolder dir;
  ASSERT_TRUE(WriteFile(dir.FilePath("mine.tss"), "a \"9\"\n"));
  neutral::ScriptedDialogs script;
  Answer(script, dir.FilePath("mine"));  // the dialog saw no file of that name
  script.AnswerYesNo(row.answer);
  const std::string other = Answer(script, dir.FilePath("other.tss"));  // after a No
  CMainDlg dialog(IDD_MAIN);
  RunMainDialog(dialog, [&] { neutral::Click(dialog, ID_FILE_SAVE_SETTINGS_AS); });
  ASSERT_FALSE(script.Messages().empty());
  EXPECT_EQ(script.Messages()[0], "mine.tss already exists.\nDo you want to replace it?");
  EXPECT_EQ(script.FileDialogs().size(), row.answer == IDYES ? 1u : 2u);
  EXPECT_EQ(ReadFile(dir.FilePath("mine.tss")), row.kept);
  EXPECT_EQ(std::filesystem::exists(neutral::FromUtf8(other)), row.answer == IDNO);
}

INSTANTIATE_TEST_SUITE_P(Rows, SaveAsReplacing, testing::ValuesIn(kReplace), neutral::ByCaseName{});

TEST_F(FileCommands, SaveWritesToTheKnownFile) {
  neutral::TempFolder dir;
  neutral::ScriptedDialogs script;
  const std::string first = Answer(script, dir.FilePath("first.tss"));
  const std::string opened = Answer(script, dir.FilePath("opened.tss"));
  ASSERT_TRUE(WriteFile(opened, "a \"7\"\n"));
  CMainDlg dialog(IDD_MAIN);
  RunMainDialog(dialog, [&] {
    neutral::Click(dialog, ID_FILE_SAVE_SETTINGS);  // no file yet: asks like Save As
    neutral::Type(Box(dialog, 0), "3");
    neutral::Click(dialog, ID_FILE_SAVE_SETTINGS);  // writes without asking
    EXPECT_EQ(ReadFile(first), "a \"3\"\nb \"2\"\n");
    neutral::Click(dialog, ID_FILE_OPEN_SETTINGS);
    neutral::Click(dialog, ID_FILE_SAVE_SETTINGS);
    EXPECT_EQ(ReadFile(opened), "a \"7\"\nb \"2\"\n");
  });
  ASSERT_EQ(script.FileDialogs().size(), 2u);
  EXPECT_TRUE(!script.FileDialogs()[0].open && script.FileDialogs()[1].open);
  EXPECT_TRUE(script.Messages().empty());
}

struct CancelCase {
  const char* name;
  int command;
  bool open;
};
void PrintTo(const CancelCase& row, std::ostream* out) { *out << row.name; }

const CancelCase kCancel[] = {
    {"Open", ID_FILE_OPEN_SETTINGS, true},
    {"Save", ID_FILE_SAVE_SETTINGS, false},
    {"Save As", ID_FILE_SAVE_SETTINGS_AS, false},
};

class CancelledDialogs : public FileCommands, public testing::WithParamInterface<CancelCase> {};

TEST_P(CancelledDialogs, ChangeNothing) {
  neutral::ScriptedDialogs script;
  script.AnswerCancel();
  CMainDlg dialog(IDD_MAIN);
  RunMainDialog(dialog, [&] {
    neutral::Click(dialog, GetParam().command);
    EXPECT_EQ(Texts(dialog), Strings({"1", "2"}));
    neutral::Click(dialog, ID_FILE_SAVE_SETTINGS);  // still no file: asks again
  });
  ASSERT_EQ(script.FileDialogs().size(), 2u);
  EXPECT_EQ(script.FileDialogs()[0].open, GetParam().open);
  EXPECT_TRUE(script.Messages().empty());
}

INSTANTIATE_TEST_SUITE_P(Rows, CancelledDialogs, testing::ValuesIn(kCancel), neutral::ByCaseName{});

struct OpenCase {
  const char* name;
  const char* file;
  Strings shown;
  const char* message;  // empty: none
};
void PrintTo(const OpenCase& row, std::ostream* out) { *out << row.name; }

const OpenCase kOpen[] = {
    {"saved settings", "s.tss", {"1", "9"}, ""},
    {"missing file", "missing.tss", {"1", "2"}, "Unable to open file!"},
    {"a folder", ".", {"1", "2"}, "Unable to open file!"},
};

class Open : public FileCommands, public testing::WithParamInterface<OpenCase> {};

TEST_P(Open, ShowsWhatTheFileHoldsOrSaysItCannot) {
  const OpenCase& row = GetParam();
  neutral::TempFolder dir;
  ASSERT_TRUE(WriteFile(dir.FilePath("s.tss"), "b \"9\"\n"));
  neutral::ScriptedDialogs script;
  Answer(script, dir.FilePath(row.file));
  CMainDlg dialog(IDD_MAIN);
  RunMainDialog(dialog, [&] {
    neutral::Click(dialog, ID_FILE_OPEN_SETTINGS);
    EXPECT_EQ(Texts(dialog), row.shown);
  });
  const std::string message = row.message;
  ASSERT_EQ(script.Messages().size(), message.empty() ? 0u : 1u);
  if (!message.empty()) {
    EXPECT_EQ(script.Messages()[0], message);
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, Open, testing::ValuesIn(kOpen), neutral::ByCaseName{});

struct UnreadCase {
  const char* name;
  const char* file;
  const char* saved;  // what the file then holds; empty: nothing there
  Strings messages;
};
void PrintTo(const UnreadCase& row, std::ostream* out) { *out << row.name; }

const UnreadCase kUnread[] = {
    {"missing file: Save makes it", "missing.tss", "a \"1\"\nb \"5\"\n", {"Unable to open file!"}},
    {"a folder: Save fails on it", ".", "", {"Unable to open file!", "Unable to write to file!"}},
};

class SaveAfterFailedOpen : public FileCommands, public testing::WithParamInterface<UnreadCase> {};

// The picked file becomes the one Save writes to even when Open could not read it: Save asks for
// no name and writes the form's values there.
TEST_P(SaveAfterFailedOpen, WritesToTheFileOpenCouldNotRead) {
  const UnreadCase& row = GetParam();
  neutral::TempFolder dir;
  neutral::ScriptedDialogs script;
  const std::string path = Answer(script, dir.FilePath(row.file));
  CMainDlg dialog(IDD_MAIN);
  RunMainDialog(dialog, [&] {
    neutral::Click(dialog, ID_FILE_OPEN_SETTINGS);
    neutral::Type(Box(dialog, 1), "5");
    neutral::Click(dialog, ID_FILE_SAVE_SETTINGS);
  });
  ASSERT_EQ(script.FileDialogs().size(), 1u);
  EXPECT_TRUE(script.FileDialogs()[0].open);
  EXPECT_EQ(Strings(script.Messages().begin(), script.Messages().end()), row.messages);
  const std::string saved = row.saved;
  if (saved.empty()) {
    EXPECT_TRUE(IsFolder(path));
  } else {
    EXPECT_EQ(ReadFile(path), saved);
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, SaveAfterFailedOpen, testing::ValuesIn(kUnread),
                         neutral::ByCaseName{});

// Loaded up to its first unknown id, said so, and Save then asks for a name instead of
// overwriting it with this form's settings.
TEST_F(FileCommands, AnotherDevicesFileIsNotTheSaveTarget) {
  neutral::TempFolder dir;
  const std::string other = "b \"9\"\nspeed \"5\"\na \"4\"\n";
  ASSERT_TRUE(WriteFile(dir.FilePath("other.tss"), other));
  neutral::ScriptedDialogs script;
  Answer(script, dir.FilePath("other.tss"));
  CMainDlg dialog(IDD_MAIN);
  RunMainDialog(dialog, [&] {
    neutral::Click(dialog, ID_FILE_OPEN_SETTINGS);
    EXPECT_EQ(Texts(dialog), Strings({"1", "9"}));
    neutral::Click(dialog, ID_FILE_SAVE_SETTINGS);  // the script cancels the Save As dialog
  });
  ASSERT_EQ(script.Messages().size(), 1u);
  EXPECT_TRUE(
      script.Messages()[0].starts_with("This file holds settings that this form does not have"));
  EXPECT_EQ(script.FileDialogs().size(), 2u);
  EXPECT_EQ(ReadFile(dir.FilePath("other.tss")), other);
}

TEST_F(FileCommands, FailedSaveSaysSo) {
  neutral::TempFolder dir;
  neutral::ScriptedDialogs script;
  Answer(script, dir.FilePath("missing/mine"));
  CMainDlg dialog(IDD_MAIN);
  RunMainDialog(dialog, [&] {
    neutral::Click(dialog, ID_FILE_SAVE_SETTINGS_AS);
    neutral::Click(dialog,
                   ID_FILE_SAVE_SETTINGS);  // the picked name stays: no dialog, same failure
  });
  EXPECT_EQ(script.FileDialogs().size(), 1u);
  EXPECT_EQ(script.Messages(),
            std::vector<CString>({"Unable to write to file!", "Unable to write to file!"}));
}

}  // namespace
