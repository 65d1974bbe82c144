// The main dialog built from config.inf beside the test's own executable, in every build: the
// form, title and size config.inf gives it (the template's without one), its fixed frame, the
// keys and commands that end it or leave it open, its menu, the ids its templates and scripts
// share with the code, and the caption of the tool's message boxes.
#include <gtest/gtest.h>

#include <ostream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "app/AboutDlg.h"
#include "app/MainDlg.h"
#include "app/ProgrammerApp.h"
#include "config/Setting.h"
#include "platform/AfxMessageBox.h"
#include "platform/CWinApp.h"
#include "platform/DialogTemplate.h"
#include "programming/ProgramDlg.h"
#include "protocol/optical_protocol.h"
#include "res/resource.h"
#include "res/templates.h"
#include "tests/neutral/support/CaseName.h"
#include "tests/neutral/support/DialogDriver.h"
#include "tests/neutral/support/Files.h"
#include "tests/neutral/support/ModalWatchdog.h"

namespace {

using neutral::Geometry;
using neutral::GeometryOf;
using neutral::Key;
using neutral::RunModal;
using neutral::TextOf;
using Strings = std::vector<std::string>;
namespace shown = neutral::backend;

Geometry Placed(const CWnd* window) {
  return window ? GeometryOf(shown::PlacementOf(*window)) : Geometry{};
}

const CByteSetting& Row(const CMainDlg& dialog, int row) {
  return *static_cast<const CByteSetting*>(dialog.GetConfig().GetSetting(row));
}

class MainDialog : public testing::Test {
 protected:
  static void SetUpTestSuite() { platform::RegisterResources(res::ToolResources()); }
  void SetUp() override { neutral::RemoveConfigBesideExecutable(); }
  void TearDown() override { neutral::RemoveConfigBesideExecutable(); }
};

TEST_F(MainDialog, ConfiguredForm) {
  ASSERT_TRUE(neutral::WriteConfigBesideExecutable(
      "AppName \"Widget Loader\"\nAppSize \"300\" \"200\"\nID \"a\" \"BYTE\"\nName \"Alpha\"\n"
      "ID \"b\" \"BYTE\"\nName \"Beta\"\nID \"c\" \"BYTE\"\nName \"Gamma\"\n"));
  CMainDlg dialog(IDD_MAIN);
  RunModal(dialog, [&] {
    EXPECT_EQ(TextOf(dialog), "Widget Loader");
    EXPECT_EQ(Placed(&dialog), (Geometry{0, 0, 300, 200}));
    // Client coordinates start below the menu bar.
    const RECT client = shown::ClientOnScreen(dialog);
    const std::vector<RECT> titles = shown::MenuTitlesOnScreen(dialog);
    EXPECT_EQ(titles.size(), 2u);
    for (const RECT& title : titles) EXPECT_GE(client.top, title.bottom);
    EXPECT_EQ(Placed(dialog.GetDlgItem(IDC_PROGRAM)), (Geometry{5, 125, 75, 25}));
    EXPECT_EQ(Placed(dialog.GetDlgItem(IDCANCEL)), (Geometry{215, 125, 75, 25}));
    ASSERT_EQ(dialog.GetConfig().GetCount(), 3);
    EXPECT_EQ(dialog.GetDlgItem(IDC_SETTING_EDIT), Row(dialog, 0).GetEditBox());
    Strings labels;
    for (int row = 0; row < 3; ++row) {
      EXPECT_EQ(Placed(Row(dialog, row).GetEditBox()), (Geometry{240, 5 + 22 * row, 50, 20}));
      labels.push_back(TextOf(*Row(dialog, row).GetLabelControl()));
    }
    EXPECT_EQ(labels, Strings({"Alpha", "Beta", "Gamma"}));
    EXPECT_EQ(Placed(Row(dialog, 1).GetLabelControl()), (Geometry{5, 27, 230, 20}));
  });
}

TEST_F(MainDialog, WithoutConfigKeepsTheTemplate) {
  CMainDlg dialog(IDD_MAIN);
  RunModal(dialog, [&] {
    EXPECT_EQ(TextOf(dialog), "Universal Programmer");
    const platform::DialogBaseUnits units = shown::BaseUnitsOf(dialog);
    RECT client;
    dialog.GetClientRect(&client);
    EXPECT_EQ(client.right, platform::MulDiv(255, units.averageCharWidth, 4));
    EXPECT_EQ(client.bottom, platform::MulDiv(191, units.charHeight, 8));
    EXPECT_EQ(Placed(dialog.GetDlgItem(IDC_PROGRAM)),
              GeometryOf(platform::DialogUnitsToPixels(units, 7, 170, 50, 14)));
    EXPECT_EQ(Placed(dialog.GetDlgItem(IDCANCEL)),
              GeometryOf(platform::DialogUnitsToPixels(units, 198, 170, 50, 14)));
    EXPECT_EQ(dialog.GetDlgItem(IDC_SETTING_EDIT), nullptr);  // no edit boxes
  });
  EXPECT_EQ(dialog.GetConfig().GetCount(), 0);
}

TEST_F(MainDialog, WithoutAppSizeUsesZero) {
  ASSERT_TRUE(neutral::WriteConfigBesideExecutable("ID \"a\" \"BYTE\""));
  CMainDlg dialog(IDD_MAIN);
  RunModal(dialog, [&] {
    EXPECT_EQ(TextOf(dialog), "");
    EXPECT_EQ(Placed(dialog.GetDlgItem(IDC_PROGRAM)), (Geometry{5, -75, 75, 25}));
    EXPECT_EQ(Placed(dialog.GetDlgItem(IDCANCEL)), (Geometry{-85, -75, 75, 25}));
    ASSERT_EQ(dialog.GetConfig().GetCount(), 1);
    EXPECT_EQ(dialog.GetDlgItem(IDC_SETTING_EDIT), Row(dialog, 0).GetEditBox());
  });
}

struct SizeCase {
  const char* name;
  const char* appSize;
  int width;  // as the layout takes them
  int height;
};
void PrintTo(const SizeCase& row, std::ostream* out) { *out << row.name; }

const SizeCase kSizes[] = {
    {"no AppSize", "", 0, 0},
    {"zero", "AppSize \"0\" \"0\"", 0, 0},
    {"zero width", "AppSize \"0\" \"200\"", 0, 200},
    {"negative", "AppSize \"-500\" \"-1\"", -500, -1},
    {"huge", "AppSize \"2000000000\" \"300000\"", 1 << 30, 300000},
};

// The largest side of a client area that every build shows.
constexpr int kLargestSide = 16384;

// A side given as one a window can have is as given, frame included; any other is held where the
// window can still be seen and reached: some client area, and none beyond the largest side.
bool SideShown(int configured, int outer, int inner) {
  const int frame = outer - inner;
  if (configured < 1 || configured - frame < 1 || configured - frame > kLargestSide)
    return inner >= 1 && inner <= kLargestSide;
  return outer == configured;
}

// A button of 75 by 25 at (x, y); a side that the formula puts beyond the coordinates a window
// system keeps (Win32 holds them within 16 bits) is at least as far out, off every screen all
// the same.
void ExpectPlacedAt(const CWnd* button, int x, int y) {
  constexpr int kFarthest = 32767;
  auto placedAt = [](int shown, int formula) {
    if (formula > kFarthest) return shown >= kFarthest;
    if (formula < -kFarthest) return shown <= -kFarthest;
    return shown == formula;
  };
  const Geometry shown = Placed(button);
  EXPECT_TRUE(placedAt(shown[0], x) && placedAt(shown[1], y) && shown[2] == 75 && shown[3] == 25)
      << testing::PrintToString(shown) << " for " << x << ", " << y;
}

class UnusualSizes : public MainDialog, public testing::WithParamInterface<SizeCase> {};

// Whatever config.inf says, the main dialog is shown, so that it can be seen and closed.
TEST_P(UnusualSizes, StillShowTheWindow) {
  const SizeCase& row = GetParam();
  ASSERT_TRUE(
      neutral::WriteConfigBesideExecutable(std::string(row.appSize) + "\nID \"a\" \"BYTE\""));
  CMainDlg dialog(IDD_MAIN);
  RunModal(dialog, [&] {
    EXPECT_TRUE(shown::IsVisible(dialog));
    const RECT outer = shown::PlacementOf(dialog);
    RECT client;
    dialog.GetClientRect(&client);
    EXPECT_TRUE(SideShown(row.width, outer.right - outer.left, client.right)) << client.right;
    EXPECT_TRUE(SideShown(row.height, outer.bottom - outer.top, client.bottom)) << client.bottom;
    EXPECT_GE(outer.right - outer.left, 40);  // File and About can be seen and clicked
    for (const RECT& title : shown::MenuTitlesOnScreen(dialog)) {
      EXPECT_GT(title.right, title.left);
      EXPECT_LE(title.right, outer.right);
    }
    // The buttons are placed by the formula from the configured values, seen or not.
    ExpectPlacedAt(dialog.GetDlgItem(IDC_PROGRAM), 5, row.height - 75);
    ExpectPlacedAt(dialog.GetDlgItem(IDCANCEL), row.width - 85, row.height - 75);
  });
}

INSTANTIATE_TEST_SUITE_P(Rows, UnusualSizes, testing::ValuesIn(kSizes), neutral::ByCaseName{});

// A modal frame: a person can't resize any of the tool's dialogs.
TEST_F(MainDialog, EveryDialogHasAFixedSize) {
  ASSERT_TRUE(neutral::WriteConfigBesideExecutable("AppName \"Fixed\"\nAppSize \"300\" \"200\"\n"));
  const unsigned char packet[3] = {OPTICAL_SYNC_BYTE, 0, 0};
  const int zero = OPTICAL_ZERO_BIT_US, one = OPTICAL_ONE_BIT_US, start = OPTICAL_START_US;
  CMainDlg main(IDD_MAIN);
  CProgramDlg programming(IDD_PROGRAM, packet, 3, zero, one, start);
  CAboutDlg about(nullptr);
  for (CDialog* dialog : std::initializer_list<CDialog*>{&main, &programming, &about}) {
    bool fixed = false;
    RECT client{};
    std::string title;
    RunModal(*dialog, [&] {
      title = TextOf(*dialog);
      fixed = shown::HasFixedSize(*dialog);
      dialog->GetClientRect(&client);
      dialog->EndDialog(IDCANCEL);
    });
    EXPECT_TRUE(client.right > 0 && client.bottom > 0) << title;
    EXPECT_TRUE(fixed) << title;
  }
}

struct ReturnCase {
  const char* name;
  int command;
};
void PrintTo(const ReturnCase& row, std::ostream* out) { *out << row.name; }

const ReturnCase kReturns[] = {
    {"programming dialog", IDC_PROGRAM},
    {"About box", ID_ABOUT},
};

class EnterProgramsAgain : public MainDialog, public testing::WithParamInterface<ReturnCase> {};

// The keyboard focus goes back to Program when a dialog over the form closes, so that Enter
// programs again.
TEST_P(EnterProgramsAgain, AfterADialogCloses) {
  CMainDlg dialog(IDD_MAIN);
  Strings opened;
  auto closeWithEscape = [&](const std::string& title) {
    opened.push_back(title);
    neutral::PressKey(Key::Escape);
  };
  RunModal(dialog, [&] {
    CWnd* program = dialog.GetDlgItem(IDC_PROGRAM);
    ASSERT_EQ(shown::FocusedWindow(), program);
    neutral::AnswerNextDialog(closeWithEscape);
    dialog.SendCommand(GetParam().command);
    ASSERT_TRUE(neutral::WaitUntil([&] { return shown::FocusedWindow() == program; }));
    neutral::AnswerNextDialog(closeWithEscape);
    neutral::PressKey(Key::Return);
  });
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_EQ(opened.back(), "Program");
}

INSTANTIATE_TEST_SUITE_P(Rows, EnterProgramsAgain, testing::ValuesIn(kReturns),
                         neutral::ByCaseName{});

struct TitleCase {
  const char* name;
  const char* appName;
};
void PrintTo(const TitleCase& row, std::ostream* out) { *out << row.name; }

const TitleCase kTitles[] = {
    {"UTF-8", "Vitesse (0 \xC3\xA0 255)"},
    {"Windows-1252", "Vitesse (0 \xE0 255)"},
};

class TitleDecoding : public MainDialog, public testing::WithParamInterface<TitleCase> {};

TEST_P(TitleDecoding, ShowsTheNameInTitleAndLabel) {
  const std::string name = GetParam().appName;
  ASSERT_TRUE(neutral::WriteConfigBesideExecutable("AppName \"" + name +
                                                   "\" ID \"a\" \"BYTE\" Name \"" + name + "\""));
  CMainDlg dialog(IDD_MAIN);
  RunModal(dialog, [&] {
    const std::string expected = "Vitesse (0 \xC3\xA0 255)";
    EXPECT_EQ(TextOf(dialog), expected);
    ASSERT_EQ(dialog.GetConfig().GetCount(), 1);
    EXPECT_EQ(TextOf(*Row(dialog, 0).GetLabelControl()), expected);
  });
}

INSTANTIATE_TEST_SUITE_P(Rows, TitleDecoding, testing::ValuesIn(kTitles), neutral::ByCaseName{});

struct EndingCase {
  const char* name;
  void (*end)(CMainDlg&);
};
void PrintTo(const EndingCase& row, std::ostream* out) { *out << row.name; }

const EndingCase kEndings[] = {
    {"Exit button", [](CMainDlg& dialog) { neutral::Click(dialog, IDCANCEL); }},
    {"Escape", [](CMainDlg&) { neutral::PressKey(Key::Escape); }},
    {"close box", [](CMainDlg& dialog) { neutral::ClickCloseBox(dialog); }},
    {"File > Exit",
     [](CMainDlg& dialog) { EXPECT_TRUE(neutral::ChooseMenuItem(dialog, "File", "Exit")); }},
};

class EndingCommands : public MainDialog, public testing::WithParamInterface<EndingCase> {};

TEST_P(EndingCommands, EndTheDialog) {
  CMainDlg dialog(IDD_MAIN);
  EXPECT_EQ(RunModal(dialog, [&] { GetParam().end(dialog); }), IDCANCEL);
}

INSTANTIATE_TEST_SUITE_P(Rows, EndingCommands, testing::ValuesIn(kEndings), neutral::ByCaseName{});

TEST_F(MainDialog, OkAndEnterLeaveItOpen) {
  CMainDlg dialog(IDD_MAIN);
  bool stillOpen = false;
  std::string programmingTitle;
  const int result = RunModal(dialog, [&] {
    EXPECT_TRUE(dialog.SendCommand(IDOK));
    // Enter presses Program, the default button: the programming dialog opens over the form.
    neutral::AnswerNextDialog([&](const std::string& title) {
      programmingTitle = title;
      neutral::PressKey(Key::Escape);
    });
    neutral::PressKey(Key::Return);
    stillOpen = shown::IsVisible(dialog);
  });
  EXPECT_EQ(programmingTitle, "Program");
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(result, -2);
}

TEST_F(MainDialog, MenuHoldsTheCommands) {
  CMainDlg dialog(IDD_MAIN);
  RunModal(dialog, [&] {
    EXPECT_EQ(shown::MenuEntries(dialog), Strings({"File", "  Open...", "-", "  Save",
                                                   "  Save As...", "-", "  Exit", "About"}));
  });
}

TEST_F(MainDialog, TemplatesHoldEveryIdTheCodeUses) {
  const struct {
    int dialog;
    std::vector<int> ids;
  } uses[] = {
      {IDD_MAIN, {IDC_PROGRAM, IDCANCEL}},
      {IDD_PROGRAM, {IDC_START, IDCANCEL}},
      {IDD_ABOUT, {IDOK, IDC_ABOUT_TEXT}},
  };
  for (const auto& use : uses) {
    const auto* dialogTemplate = platform::FindDialogTemplate(use.dialog);
    ASSERT_TRUE(dialogTemplate) << use.dialog;
    for (int id : use.ids) {
      bool found = false;
      for (const auto& item : dialogTemplate->items) found = found || item.id == id;
      EXPECT_TRUE(found) << "id " << id << " in dialog " << use.dialog;
    }
  }
  EXPECT_TRUE(platform::FindMenuTemplate(platform::FindDialogTemplate(IDD_MAIN)->menuId));
}

// The numbers of `pattern`'s first group in `text`, split at blanks.
std::vector<int> Numbers(const std::string& text, const std::string& pattern) {
  std::smatch match;
  std::vector<int> values;
  if (!std::regex_search(text, match, std::regex(pattern))) return values;
  std::istringstream numbers(match[1].str());
  for (int value = 0; numbers >> value;) values.push_back(value);
  return values;
}

// The scripts that click the programming dialog's buttons take its template from one file of
// their own (copied beside this executable by the build): it must say what the template says.
TEST_F(MainDialog, ScriptsKnowTheProgrammingDialog) {
  const std::string script = neutral::ReadFile(neutral::PathBesideExecutable("program-dialog.sh"));
  ASSERT_NE(script, "<unreadable>");
  const auto* dialogTemplate = platform::FindDialogTemplate(IDD_PROGRAM);
  ASSERT_TRUE(dialogTemplate);
  EXPECT_EQ(Numbers(script, R"(program_units_w=(\d+))"), std::vector<int>{dialogTemplate->cx});
  EXPECT_EQ(Numbers(script, R"(program_units_h=(\d+))"), std::vector<int>{dialogTemplate->cy});
  for (const auto& [name, id] : {std::pair{"start", IDC_START}, std::pair{"done", IDCANCEL}}) {
    std::vector<int> inTemplate;
    for (const auto& item : dialogTemplate->items) {
      if (item.id == id) inTemplate = {item.x, item.y, item.cx, item.cy};
    }
    EXPECT_EQ(Numbers(script, std::string(name) + R"(_button_units=\(([\d ]+)\))"), inTemplate)
        << name;
  }
}

// The application object names the tool: message boxes carry its name as their caption.
TEST_F(MainDialog, AppNameCaptionsMessageBoxes) {
  EXPECT_STREQ(AfxGetAppName(), "");
  {
    const CProgrammerApp app;
    EXPECT_STREQ(AfxGetAppName(), "Universal Programmer");
    std::string caption;
    neutral::AnswerNextDialog([&](const std::string& title) {
      caption = title;
      neutral::PressKey(Key::Return);
    });
    const neutral::ModalWatchdog watchdog;
    EXPECT_EQ(AfxMessageBox("Unable to open file!"), IDOK);
    EXPECT_EQ(caption, "Universal Programmer");
  }
  EXPECT_STREQ(AfxGetAppName(), "");
}

}  // namespace
