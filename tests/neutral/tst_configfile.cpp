// config.inf as the configuration model reads it: keywords, quoted values, numbers, the setting
// table, and damaged files.
#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "config/AppConfig.h"
#include "tests/neutral/support/CaseName.h"
#include "tests/neutral/support/Files.h"

namespace {

using Strings = std::vector<std::string>;

struct Loaded {
  bool opened = false;
  std::string appName;
  int width = 0;
  int height = 0;
  std::string appInfo;
  Strings ids;
  Strings labels;
};

Loaded Load(const neutral::TempFolder& folder, const std::string& content) {
  const std::string path = folder.FilePath("config.inf");
  if (!neutral::WriteFile(path, content)) ADD_FAILURE() << "cannot write the test's config.inf";
  CAppConfig config;
  Loaded loaded;
  loaded.opened = config.LoadConfig(path.c_str());
  config::TextBuffer name;
  config.GetAppName(name);
  loaded.appName = name;
  config.GetAppSize(&loaded.width, &loaded.height);
  CString info;
  config.GetAppInfo(info);
  loaded.appInfo = info;
  for (int i = 0; i < config.GetCount(); ++i) {
    loaded.ids.push_back(config.GetSetting(i)->GetId());
    loaded.labels.push_back(config.GetSetting(i)->GetLabel());
  }
  return loaded;
}

std::string Repeat(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

std::string WithCrLf(std::string text) {
  for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 2))
    text.replace(at, 1, "\r\n");
  return text;
}

struct ParseCase {
  const char* name;
  std::string content;
  std::string appName;
  int width;
  int height;
  std::string appInfo;
  Strings ids;
  Strings labels;
};

// A failure names its row.
void PrintTo(const ParseCase& row, std::ostream* out) { *out << row.name; }

const std::string kSample =
    "AppName \"Widget Loader\"\nAppSize \"300\" \"200\"\nAppInfo \"Version 1\"\n"
    "AppInfo \"Model 7\"\nID \"speed\" \"BYTE\"\nName \"Speed\"\nID \"mode\" \"BYTE\"\n"
    "Name \"Mode\"\n";

const ParseCase kParses[] = {
    {"sample",
     kSample,
     "Widget Loader",
     300,
     200,
     "Version 1\nModel 7\n",
     {"speed", "mode"},
     {"Speed", "Mode"}},
    {"CR LF line ends",
     WithCrLf(kSample),
     "Widget Loader",
     300,
     200,
     "Version 1\nModel 7\n",
     {"speed", "mode"},
     {"Speed", "Mode"}},
    {"byte-order mark",
     "\xEF\xBB\xBF" + kSample,
     "Widget Loader",
     300,
     200,
     "Version 1\nModel 7\n",
     {"speed", "mode"},
     {"Speed", "Mode"}},
    {"empty file", "", "", 0, 0, "", {}, {}},
    {"keywords are case-sensitive",
     "appname \"x\" id \"a\" \"BYTE\" AppName \"T\"",
     "T",
     0,
     0,
     "",
     {},
     {}},
    {"keyword against its quote is one word",
     "AppName\"Glued\" AppName \"Kept\"",
     "Kept",
     0,
     0,
     "",
     {},
     {}},
    {"type must be BYTE exactly",
     "ID \"a\" \"byte\" ID \"b\" \"BYTE \" ID \"c\" \"BYTE\"",
     "",
     0,
     0,
     "",
     {"c"},
     {""}},
    {"Name after another type relabels the byte setting before it",
     "ID \"a\" \"BYTE\" ID \"w\" \"WORD\" Name \"Late\"",
     "",
     0,
     0,
     "",
     {"a"},
     {"Late"}},
    {"Name before any setting is ignored",
     "Name \"Lost\" ID \"w\" \"WORD\" Name \"Lost too\" ID \"a\" \"BYTE\"",
     "",
     0,
     0,
     "",
     {"a"},
     {""}},
    {"second Name and second AppName win",
     "AppName \"One\" ID \"a\" \"BYTE\" Name \"First\" Name \"Second\" AppName \"Two\"",
     "Two",
     0,
     0,
     "",
     {"a"},
     {"Second"}},
    {"AppInfo accumulates", "AppInfo \"A\" AppInfo \"B\"", "", 0, 0, "A\nB\n", {}, {}},
    {"AppSize abc and 200", "AppSize \"abc\" \"200\"", "", 0, 200, "", {}, {}},
    {"AppSize 640x and 480", "AppSize \"640x\" \"480\"", "", 640, 480, "", {}, {}},
    {"AppSize negative and signed", "AppSize \" -20\" \"+30\"", "", -20, 30, "", {}, {}},
    {"AppSize beyond the integer range is held at the bound",
     "AppSize \"99999999999999\" \"-99999999999999\"",
     "",
     2147483647,
     (-2147483647 - 1),
     "",
     {},
     {}},
    {"entry across lines",
     "ID\n\"speed\"\n\"BYTE\"\nName\n\"Speed\"",
     "",
     0,
     0,
     "",
     {"speed"},
     {"Speed"}},
    {"two entries on one line",
     "ID \"a\" \"BYTE\" Name \"A\" ID \"b\" \"BYTE\" Name \"B\"",
     "",
     0,
     0,
     "",
     {"a", "b"},
     {"A", "B"}},
    {"label with blanks and parentheses",
     "ID \"s\" \"BYTE\" Name \"Speed (0 to 255)\"",
     "",
     0,
     0,
     "",
     {"s"},
     {"Speed (0 to 255)"}},
    {"free text between entries",
     "This device has settings.\nID \"a\" \"BYTE\"",
     "",
     0,
     0,
     "",
     {"a"},
     {""}},
    {"duplicate ids both exist",
     "ID \"x\" \"BYTE\" ID \"x\" \"BYTE\"",
     "",
     0,
     0,
     "",
     {"x", "x"},
     {"", ""}},
    {"value without quotes takes the next quoted text",
     "AppName Widget\nAppInfo \"I\"",
     "I",
     0,
     0,
     "",
     {},
     {}},
    {"quotes cut off by the end: no effect, earlier entries stay",
     "AppName \"T\" ID \"a\" \"BYTE\" Name \"Unfinished",
     "T",
     0,
     0,
     "",
     {"a"},
     {""}},
    {"AppSize with one value before the end: no effect", "AppSize \"300\" ", "", 0, 0, "", {}, {}},
    {"ID without type before the end creates nothing", "ID \"a\" \"BYT", "", 0, 0, "", {}, {}},
    {"long value is cut to 99 and the parse stays in step",
     "AppName \"" + Repeat("n", 150) + "\" ID \"" + Repeat("i", 120) + "\" \"BYTE\" Name \"L\"",
     std::string(99, 'n'),
     0,
     0,
     "",
     {std::string(99, 'i')},
     {"L"}},
    {"long word is cut and skipped in step",
     Repeat("w", 250) + " AppName \"after\"",
     "after",
     0,
     0,
     "",
     {},
     {}},
    {"long passed-over text before a quote",
     "AppName " + Repeat("-", 300) + "\"T\" ID \"a\" \"BYTE\"",
     "T",
     0,
     0,
     "",
     {"a"},
     {""}},
    {"About text is not cut at 99",
     "AppInfo \"" + Repeat("a", 99) + "\" AppInfo \"" + Repeat("b", 99) + "\"",
     "",
     0,
     0,
     Repeat("a", 99) + "\n" + Repeat("b", 99) + "\n",
     {},
     {}},
    {"NUL bytes and binary garbage",
     std::string("\x01\x02\x00\xff ID \"a\" \"BYTE\" \x00\x00 Name \"A\"", 31),
     "",
     0,
     0,
     "",
     {"a"},
     {"A"}},
};

class ParseTest : public testing::TestWithParam<ParseCase> {
 protected:
  neutral::TempFolder m_folder;
};

TEST_P(ParseTest, Reads) {
  const ParseCase& expected = GetParam();
  const Loaded loaded = Load(m_folder, expected.content);
  ASSERT_TRUE(loaded.opened);
  EXPECT_EQ(loaded.appName, expected.appName);
  EXPECT_EQ(loaded.width, expected.width);
  EXPECT_EQ(loaded.height, expected.height);
  EXPECT_EQ(loaded.appInfo, expected.appInfo);
  EXPECT_EQ(loaded.ids, expected.ids);
  EXPECT_EQ(loaded.labels, expected.labels);
}

INSTANTIATE_TEST_SUITE_P(Table, ParseTest, testing::ValuesIn(kParses), neutral::ByCaseName());

TEST(ConfigFile, MissingFileFailsAndLeavesTableEmpty) {
  const neutral::TempFolder folder;
  const std::string absent = folder.FilePath("absent.inf");
  CAppConfig config;
  EXPECT_FALSE(config.LoadConfig(absent.c_str()));
  EXPECT_EQ(config.GetCount(), 0);
  int width = -1, height = -1;
  config.GetAppSize(&width, &height);
  EXPECT_EQ(width, 0);
  EXPECT_EQ(height, 0);
  EXPECT_FALSE(std::filesystem::exists(folder.Path() / "absent.inf"));  // reading never creates it
}

TEST(ConfigFile, DirectoryIsNotAConfiguration) {
  const neutral::TempFolder folder;
  ASSERT_TRUE(std::filesystem::create_directory(folder.Path() / "folder.inf"));
  CAppConfig config;
  EXPECT_FALSE(config.LoadConfig(folder.FilePath("folder.inf").c_str()));
  EXPECT_EQ(config.GetCount(), 0);
}

TEST(ConfigFile, CapacityKeepsTheFirstHundred) {
  const neutral::TempFolder folder;
  std::string content;
  for (int i = 0; i < 1000; ++i) {
    content += "ID \"s" + std::to_string(i) + "\" \"BYTE\" Name \"L" + std::to_string(i) + "\"\n";
  }
  const Loaded loaded = Load(folder, content);
  ASSERT_EQ(loaded.ids.size(), static_cast<std::size_t>(CAppConfig::kCapacity));
  EXPECT_EQ(loaded.ids.back(), "s99");
  // The Name of an ignored entry must not relabel the hundredth setting.
  EXPECT_EQ(loaded.labels.back(), "L99");
}

TEST(ConfigFile, FindByIdReturnsTheFirstMatch) {
  const neutral::TempFolder folder;
  const std::string path = folder.FilePath("find.inf");
  ASSERT_TRUE(neutral::WriteFile(path, "ID \"a\" \"BYTE\" ID \"x\" \"BYTE\" ID \"x\" \"BYTE\""));
  CAppConfig config;
  ASSERT_TRUE(config.LoadConfig(path.c_str()));
  EXPECT_EQ(config.FindById("x"), 1);
  EXPECT_EQ(config.FindById("a"), 0);
  EXPECT_EQ(config.FindById("X"), -1);
  EXPECT_EQ(config.FindById(""), -1);
  CAppConfig empty;
  EXPECT_EQ(empty.FindById("a"), -1);
}

}  // namespace
