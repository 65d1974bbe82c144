// The web backend's rules that need no page: the file picker's accept list from a file dialog's
// filter, the names of picked and typed files, and the application icon's pixels for a canvas.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/web/FileFilter.h"
#include "platform/web/Icon.h"

namespace {

struct AcceptCase {
  const char* name;
  const char* filter;
  const char* accept;
};

class AcceptList : public testing::TestWithParam<AcceptCase> {};

TEST_P(AcceptList, ComesFromTheFirstFilter) {
  EXPECT_EQ(platform::web::AcceptListOf(GetParam().filter), GetParam().accept);
}

INSTANTIATE_TEST_SUITE_P(
    Filters, AcceptList,
    testing::Values(AcceptCase{"settings",
                               "Tervio Saved Settings (*.tss)|*.tss|All Files(*.*)|*.*||", ".tss"},
                    AcceptCase{"two_patterns", "Text (*.txt)|*.txt;*.log||", ".txt,.log"},
                    AcceptCase{"blanks_around_patterns", "Text| *.txt ; *.log |", ".txt,.log"},
                    AcceptCase{"every_file_first", "All Files(*.*)|*.*|Settings|*.tss||", ""},
                    AcceptCase{"bare_star", "Anything|*||", ""},
                    AcceptCase{"a_name_pattern", "Data|data*.txt||", ""},
                    AcceptCase{"wildcard_in_extension", "Logs|*.lo?||", ""},
                    AcceptCase{"description_only", "Nothing", ""}, AcceptCase{"empty", "", ""}),
    [](const testing::TestParamInfo<AcceptCase>& info) { return std::string(info.param.name); });

struct NameCase {
  const char* name;
  const char* given;
  const char* plain;
};

class PlainName : public testing::TestWithParam<NameCase> {};

TEST_P(PlainName, KeepsTheFileNameOnly) {
  EXPECT_EQ(platform::web::PlainFileName(GetParam().given), GetParam().plain);
}

INSTANTIATE_TEST_SUITE_P(
    Names, PlainName,
    testing::Values(NameCase{"as_typed", "mine", "mine"},
                    NameCase{"blanks_around", "  mine.tss ", "mine.tss"},
                    NameCase{"inner_blanks_stay", "my settings.tss", "my settings.tss"},
                    NameCase{"slash_folders", "a/b/mine.tss", "mine.tss"},
                    NameCase{"backslash_folders", "C:\\data\\mine.tss", "mine.tss"},
                    NameCase{"folder_only", "data/", ""}, NameCase{"blanks_only", "   ", ""}),
    [](const testing::TestParamInfo<NameCase>& info) { return std::string(info.param.name); });

struct XpmCase {
  const char* name;
  std::vector<const char*> lines;
  int width;
  int height;
  std::vector<unsigned char> rgba;
};

class XpmPixels : public testing::TestWithParam<XpmCase> {};

TEST_P(XpmPixels, AreDecoded) {
  std::vector<const char*> lines = GetParam().lines;
  lines.push_back(nullptr);  // data that stops short ends here, not beyond
  const platform::web::IconPixels icon = platform::web::DecodeXpm(lines.data());
  EXPECT_EQ(icon.width, GetParam().width);
  EXPECT_EQ(icon.height, GetParam().height);
  EXPECT_EQ(icon.rgba, GetParam().rgba);
}

INSTANTIATE_TEST_SUITE_P(
    Icons, XpmPixels,
    testing::Values(
        XpmCase{"transparent_and_colour",
                {"2 2 2 1", ". c None", "# c #102030", ".#", "#."},
                2,
                2,
                {0, 0, 0, 0, 16, 32, 48, 255, 16, 32, 48, 255, 0, 0, 0, 0}},
        XpmCase{"two_characters_a_pixel",
                {"2 1 2 2", "aa c #FF0000", "bb c #0000ff", "bbaa"},
                2,
                1,
                {0, 0, 255, 255, 255, 0, 0, 255}},
        XpmCase{"blank_as_a_key", {"1 1 1 1", "  c #00FF00", " "}, 1, 1, {0, 255, 0, 255}},
        XpmCase{"named_colour_is_black", {"1 1 1 1", "x c red", "x"}, 1, 1, {0, 0, 0, 255}},
        XpmCase{"unknown_key_is_black", {"1 1 1 1", "x c #FFFFFF", "y"}, 1, 1, {0, 0, 0, 255}},
        XpmCase{"rows_missing", {"1 2 1 1", "x c #FFFFFF", "x"}, 0, 0, {}},
        XpmCase{"row_too_short", {"2 1 1 1", "x c #FFFFFF", "x"}, 0, 0, {}},
        XpmCase{"colours_missing", {"1 1 2 1", "x c #FFFFFF"}, 0, 0, {}},
        XpmCase{"no_header", {"not an icon"}, 0, 0, {}},
        XpmCase{"too_large", {"5000 5000 1 1", "x c None"}, 0, 0, {}}),
    [](const testing::TestParamInfo<XpmCase>& info) { return std::string(info.param.name); });

TEST(XpmPixels, NoDataIsNoIcon) { EXPECT_TRUE(platform::web::DecodeXpm(nullptr).rgba.empty()); }

}  // namespace
