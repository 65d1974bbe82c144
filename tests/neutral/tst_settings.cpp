// Settings as the configuration model has them: edit-box text to values and back, ids, the
// members' limits, one saved-settings line each way, and the table's values as packet bytes. How
// the boxes take typing and pastes, what a screen reader hears and where the rows land in pixels
// is the Qt backend's part (tst_settingcontrols).
#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <sstream>
#include <string>

#include "config/AppConfig.h"
#include "tests/neutral/support/CaseName.h"
#include "tests/neutral/support/Files.h"
#include "tests/neutral/support/PlainWindow.h"

namespace {

std::string TextOf(const CWnd* control) {
  CString text;
  control->GetWindowText(text);
  return text;
}

struct ValueCase {
  const char* name;
  std::string text;  // UTF-8
  int value;
};

// A failure names its row.
void PrintTo(const ValueCase& row, std::ostream* out) { *out << row.name; }

const ValueCase kValues[] = {
    {"12", "12", 12},
    {"empty", "", 0},
    {"blanks only", "   ", 0},
    {"12abc", "12abc", 12},
    {"abc", "abc", 0},
    {"-3", "-3", -3},
    {"+7", "+7", 7},
    {"007", "007", 7},
    {"300", "300", 300},
    {"leading blanks", "  42", 42},
    {"sign alone", "-", 0},
    {"beyond int range", "12345678901234567890", 2147483647},
    {"below int range", "-12345678901234567890", (-2147483647 - 1)},
    {"non-ASCII digits are not digits", "\xd9\xa3", 0},  // U+0663
};

class ValueTest : public testing::TestWithParam<ValueCase> {};

TEST_P(ValueTest, FromTheEditBoxText) {
  neutral::PlainWindow window;
  CByteSetting setting;
  setting.CreateControls(&window);
  setting.GetEditBox()->SetWindowText(GetParam().text.c_str());
  EXPECT_EQ(setting.GetValue(), GetParam().value);
  EXPECT_EQ(TextOf(setting.GetEditBox()), GetParam().text);  // reading never rewrites the box
}

INSTANTIATE_TEST_SUITE_P(Table, ValueTest, testing::ValuesIn(kValues), neutral::ByCaseName());

TEST(Setting, SetValueShowsDecimal) {
  const struct {
    int value;
    const char* shown;
  } rows[] = {{7, "7"}, {-1, "-1"}, {-2147483647 - 1, "-2147483648"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.shown);
    neutral::PlainWindow window;
    CByteSetting setting;
    setting.CreateControls(&window);
    setting.SetValue(row.value);
    EXPECT_EQ(TextOf(setting.GetEditBox()), row.shown);
    EXPECT_EQ(setting.GetValue(), row.value);
  }
}

TEST(Setting, WithoutControlsValueIsZero) {
  CByteSetting setting;
  setting.SetValue(9);
  EXPECT_EQ(setting.GetValue(), 0);
  CSetting base;
  base.SetValue(9);
  EXPECT_EQ(base.GetValue(), 9);
}

TEST(Setting, IsIdIsExact) {
  CSetting setting;
  setting.SetId("speed");
  EXPECT_TRUE(setting.IsId("speed"));
  EXPECT_FALSE(setting.IsId("Speed"));   // other case
  EXPECT_FALSE(setting.IsId("spee"));    // prefix
  EXPECT_FALSE(setting.IsId("speed "));  // trailing blank
}

TEST(Setting, BaseLayoutLeavesRowUnchanged) {
  CSetting setting;
  int y = 27;
  setting.Layout(5, 27, 300, &y);
  EXPECT_EQ(y, 27);
}

TEST(Setting, WriteTakesTheEditBoxText) {
  neutral::PlainWindow window;
  CByteSetting setting;
  setting.SetId("speed");
  setting.CreateControls(&window);
  setting.SetValue(99);
  setting.GetEditBox()->SetWindowText("12abc");
  std::ostringstream out;
  setting.Write(out);
  EXPECT_EQ(out.str(), "speed \"12\"\n");
  EXPECT_EQ(TextOf(setting.GetEditBox()), "12abc");
}

struct ReadCase {
  const char* name;
  std::string line;
  std::string shown;  // by a box that showed "5"
  int nextCharacter;  // what the stream holds after the line; -1: its end
};

void PrintTo(const ReadCase& row, std::ostream* out) { *out << row.name; }

const ReadCase kReads[] = {
    {"007", "speed \"007\"\n", "7", '\n'},
    {"300", "speed \"300\"x", "300", 'x'},
    {"-1", "speed \"-1\"", "-1", -1},
    {"not a number", "speed \"fast\"\n", "0", '\n'},
    {"cut off by the end: unchanged", "speed \"12", "5", -1},
    {"long value cut and skipped", "speed \"" + std::string(150, '1') + "\"\n", "2147483647", '\n'},
};

class ReadTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadTest, ShowsTheLoadedValue) {
  neutral::PlainWindow window;
  CByteSetting setting;
  setting.SetId("speed");
  setting.CreateControls(&window);
  setting.SetValue(5);
  std::istringstream in(GetParam().line);
  setting.Read(in);
  EXPECT_EQ(TextOf(setting.GetEditBox()), GetParam().shown);
  EXPECT_EQ(in.get(), GetParam().nextCharacter);
}

INSTANTIATE_TEST_SUITE_P(Table, ReadTest, testing::ValuesIn(kReads), neutral::ByCaseName());

TEST(Setting, ControlsShowTheLabelTheyWereCreatedWith) {
  neutral::PlainWindow window;
  CByteSetting setting;
  setting.SetLabel("Before");
  setting.CreateControls(&window);
  setting.SetLabel("After");  // changes only the member
  EXPECT_EQ(TextOf(setting.GetLabelControl()), "Before");
  EXPECT_EQ(TextOf(setting.GetEditBox()), "");
  EXPECT_EQ(setting.GetEditBox()->GetDlgCtrlID(), 100);
  // Any characters, as the program sets them.
  setting.GetEditBox()->SetWindowText("a-+");
  EXPECT_EQ(TextOf(setting.GetEditBox()), "a-+");
}

TEST(Setting, TableValuesAreTheLowBytes) {
  const neutral::TempFolder folder;
  const std::string path = folder.FilePath("config.inf");
  ASSERT_TRUE(neutral::WriteFile(path, "ID \"a\" \"BYTE\" ID \"b\" \"BYTE\" ID \"c\" \"BYTE\""));
  CAppConfig config;
  ASSERT_TRUE(config.LoadConfig(path.c_str()));
  neutral::PlainWindow window;
  config.CreateControls(&window);
  config.LayoutControls(300);
  static_cast<CByteSetting*>(config.GetSetting(0))->GetEditBox()->SetWindowText("12");
  static_cast<CByteSetting*>(config.GetSetting(2))->GetEditBox()->SetWindowText("300");
  unsigned char values[4] = {0xAA, 0xAA, 0xAA, 0xAA};
  config.GetValues(values);  // the last byte is beyond the table: untouched
  EXPECT_EQ(std::string(reinterpret_cast<char*>(values), 4), std::string("\x0c\x00\x2c\xaa", 4));
}

TEST(Setting, LongTextStaysWithinTheMembers) {
  const std::string longText(500, 'x');
  CSetting setting;
  setting.SetId(longText.c_str());
  setting.SetLabel(longText.c_str());
  EXPECT_EQ(std::strlen(setting.GetId()), 99u);
  EXPECT_EQ(std::strlen(setting.GetLabel()), 99u);
  CSetting copy;
  copy.CopyFrom(setting);
  EXPECT_STREQ(copy.GetId(), setting.GetId());
}

}  // namespace
