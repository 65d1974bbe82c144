// The Win32 backend's dialogs through the layer's own classes: a real modal dialog runs, and its
// checks run from inside it, once it is on screen, before it ends itself.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/CDialog.h"
#include "platform/CEdit.h"
#include "platform/CProgressCtrl.h"
#include "platform/CStatic.h"
#include "platform/DialogTemplate.h"
#include "platform/win32/WindowImpl.h"

namespace {

using platform::DialogItem;
using platform::DialogTemplate;
using enum platform::ItemKind;

constexpr int kFormId = 201;
constexpr int kAboutId = 202;
constexpr int kMenuFormId = 203;
constexpr int kMenuId = 102;
constexpr int kMissingId = 299;
constexpr int kProgramButton = 1007;
constexpr int kTextId = 1023;
constexpr int kCheck = 40999;  // posted to the dialog: run the checks now
constexpr int kEditId = 100;

constexpr DialogItem kFormItems[] = {
    {DefPushButton, kProgramButton, "Program", 7, 170, 50, 14},
    {PushButton, IDCANCEL, "Exit", 198, 170, 50, 14},
};
constexpr DialogItem kAboutItems[] = {
    {DefPushButton, IDOK, "OK", 110, 51, 50, 14},
    {CenteredText, kTextId, "", 38, 7, 114, 41},
};
constexpr DialogTemplate kDialogs[] = {
    {kFormId, "Form", 0, 0, 255, 191, 0, kFormItems},
    {kAboutId, "About", 0, 0, 167, 73, 0, kAboutItems},
    {kMenuFormId, "Form with a menu", 0, 0, 255, 191, kMenuId, kFormItems},
};
constexpr platform::MenuItem kMenuItems[] = {
    {platform::MenuItemKind::Popup, "File", 0},
    {platform::MenuItemKind::Command, "Exit", IDCANCEL},
    {platform::MenuItemKind::EndPopup, "", 0},
    {platform::MenuItemKind::Command, "About", 40008},
};
constexpr platform::MenuTemplate kMenus[] = {{kMenuId, kMenuItems}};

HWND Handle(const CWnd* window) { return window ? platform::win32::HandleOf(*window) : nullptr; }

// A dialog that runs `checks` from inside its modal loop, then ends with `result`.
class CheckedDialog : public CDialog {
 public:
  using CDialog::CDialog;

  std::function<void(CheckedDialog&)> init = [](CheckedDialog&) {};
  std::function<void(CheckedDialog&)> checks;
  int result = IDOK;
  bool show = false;
  bool checked = false;

  bool OnInitDialog() override {
    CDialog::OnInitDialog();
    init(*this);
    PostMessageW(Handle(this), WM_COMMAND, kCheck, 0);
    return true;
  }
  // The system shows a modal dialog once its queue is first empty: the posted check comes before.
  // Painting needs it shown (which costs Wine about two seconds without a window manager).
  void RunChecks() {
    if (show) ShowWindow(Handle(this), SW_SHOW);
    checked = true;
    checks(*this);
    EndDialog(result);
  }

 protected:
  std::span<const MessageMapEntry> GetMessageMap() const override {
    static const MessageMapEntry kMap[] = {OnCommandEntry(kCheck, &CheckedDialog::RunChecks)};
    return kMap;
  }
};

class Win32Dialog : public testing::Test {
 protected:
  void SetUp() override { platform::RegisterResources({kDialogs, kMenus, nullptr}); }
};

TEST_F(Win32Dialog, MissingTemplateEndsAtOnce) {
  CheckedDialog dialog(kMissingId);
  EXPECT_EQ(dialog.DoModal(), -1);
}

TEST_F(Win32Dialog, FormControlsComeFirstInTabOrderAndTakeTheFocus) {
  CheckedDialog dialog(kFormId);
  CStatic label;
  CEdit first;
  CEdit second;
  dialog.init = [&](CheckedDialog& d) {
    ASSERT_TRUE(label.Create("Speed", WS_CHILD | WS_VISIBLE, RECT{5, 5, 100, 20}, &d));
    ASSERT_TRUE(first.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP, RECT{110, 5, 160, 25},
                             &d, kEditId));
    ASSERT_TRUE(
        second.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP, RECT{110, 30, 160, 50}, &d, kEditId));
    constexpr UINT kOrderOnly = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    d.GetDlgItem(kProgramButton)->SetWindowPos(&CWnd::wndBottom, 0, 0, 0, 0, kOrderOnly);
    d.GetDlgItem(IDCANCEL)->SetWindowPos(&CWnd::wndBottom, 0, 0, 0, 0, kOrderOnly);
  };
  dialog.checks = [&](CheckedDialog& d) {
    HWND hwnd = Handle(&d);
    EXPECT_EQ(GetFocus(), Handle(&first));
    const HWND order[] = {Handle(&first), Handle(&second), Handle(d.GetDlgItem(kProgramButton)),
                          Handle(d.GetDlgItem(IDCANCEL)), Handle(&first)};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
      EXPECT_EQ(GetNextDlgTabItem(hwnd, order[i], FALSE), order[i + 1]) << i;
    }
    // A bordered box has the sunken edge; neither scrolls sideways, so typing stops when full.
    EXPECT_NE(GetWindowLongPtrW(Handle(&first), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    EXPECT_EQ(GetWindowLongPtrW(Handle(&second), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    for (const CEdit* edit : {&first, &second}) {
      EXPECT_EQ(GetWindowLongPtrW(Handle(edit), GWL_STYLE) & ES_AUTOHSCROLL, 0);
    }
    // The first control of an id answers for it, as the system's lookup does.
    EXPECT_EQ(d.GetDlgItem(kEditId), &first);
    EXPECT_EQ(d.GetDlgItem(4242), nullptr);
    EXPECT_EQ(first.GetDlgCtrlID(), kEditId);
    EXPECT_FALSE(d.SendCommand(4242));
  };
  dialog.result = 42;
  EXPECT_EQ(dialog.DoModal(), 42);
  EXPECT_TRUE(dialog.checked);
  EXPECT_EQ(Handle(&first), nullptr);  // gone with the dialog
}

TEST_F(Win32Dialog, TextGoesInAsConfigBytesAndComesBackAsUtf8) {
  const struct {
    const char* set;
    std::string got;
  } cases[] = {
      {"12", "12"},
      {"Vitesse (0 \xE0 255)", "Vitesse (0 \xC3\xA0 255)"},      // Windows-1252
      {"Vitesse (0 \xC3\xA0 255)", "Vitesse (0 \xC3\xA0 255)"},  // UTF-8
      {"", ""},
  };
  CheckedDialog dialog(kFormId);
  CEdit edit;
  dialog.init = [&](CheckedDialog& d) {
    edit.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP, RECT{10, 10, 300, 30}, &d, kEditId);
  };
  dialog.checks = [&](CheckedDialog& d) {
    for (const auto& c : cases) {
      for (CWnd* window :
           {static_cast<CWnd*>(&edit), d.GetDlgItem(IDCANCEL), static_cast<CWnd*>(&d)}) {
        window->SetWindowText(c.set);
        CString text;
        window->GetWindowText(text);
        EXPECT_EQ(text, c.got) << c.set;
      }
    }
  };
  dialog.DoModal();
  EXPECT_TRUE(dialog.checked);
}

TEST_F(Win32Dialog, DisabledControlKeepsTheFocusAndGetsItBack) {
  CheckedDialog dialog(kFormId);
  dialog.checks = [&](CheckedDialog& d) {
    CWnd* program = d.GetDlgItem(kProgramButton);
    SendMessageW(Handle(&d), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Handle(program)), TRUE);
    ASSERT_EQ(GetFocus(), Handle(program));
    EXPECT_FALSE(program->EnableWindow(false));             // was enabled
    EXPECT_NE(GetFocus(), Handle(d.GetDlgItem(IDCANCEL)));  // no other control took it
    EXPECT_TRUE(program->EnableWindow(true));               // was disabled
    EXPECT_EQ(GetFocus(), Handle(program));
  };
  dialog.DoModal();
  EXPECT_TRUE(dialog.checked);
}

TEST_F(Win32Dialog, MenuBarSitsAboveTheTemplatesClientArea) {
  CheckedDialog plain(kFormId);
  SystemRECT plainClient{};
  plain.checks = [&](CheckedDialog& d) { GetClientRect(Handle(&d), &plainClient); };
  plain.DoModal();
  CheckedDialog withMenu(kMenuFormId);
  SystemRECT menuClient{};
  withMenu.checks = [&](CheckedDialog& d) {
    HWND hwnd = Handle(&d);
    ASSERT_NE(GetMenu(hwnd), nullptr);
    EXPECT_EQ(GetMenuItemCount(GetMenu(hwnd)), 2);
    GetClientRect(hwnd, &menuClient);
  };
  withMenu.DoModal();
  ASSERT_TRUE(withMenu.checked);
  EXPECT_EQ(menuClient.right, plainClient.right);
  EXPECT_EQ(menuClient.bottom, plainClient.bottom);
}

// Whatever outer size config.inf asks for, the dialog keeps its caption, its menu bar's titles
// and some client area, and stays within what the screens take.
TEST_F(Win32Dialog, OuterSizeIsHeldWhereEverythingStaysInReach) {
  const struct {
    int width;
    int height;
  } asked[] = {{0, 0}, {-50, 260}, {360, -50}, {1 << 30, 1 << 30}, {360, 260}};
  for (const auto& size : asked) {
    CheckedDialog dialog(kMenuFormId);
    dialog.checks = [&](CheckedDialog& d) {
      HWND hwnd = Handle(&d);
      d.MoveWindow(0, 0, size.width, size.height, true);
      SystemRECT outer;
      SystemRECT client;
      SystemRECT lastTitle;
      GetWindowRect(hwnd, &outer);
      GetClientRect(hwnd, &client);
      EXPECT_GE(client.bottom, 1) << size.width << "x" << size.height;
      EXPECT_LE(outer.right - outer.left, GetSystemMetrics(SM_CXMAXTRACK));
      EXPECT_LE(outer.bottom - outer.top, GetSystemMetrics(SM_CYMAXTRACK));
      ASSERT_TRUE(GetMenuItemRect(hwnd, GetMenu(hwnd), 1, &lastTitle));
      EXPECT_LE(lastTitle.right, outer.right) << size.width << "x" << size.height;
      if (size.width == 360) {
        EXPECT_EQ(outer.right - outer.left, 360);  // at 96 dots per inch, as the tests run
      }
    };
    dialog.DoModal();
    EXPECT_TRUE(dialog.checked);
  }
}

class CountingProgress : public CProgressCtrl {
 public:
  int paints = 0;
  void OnPaint() override {
    ++paints;
    CProgressCtrl::OnPaint();
  }
};

TEST_F(Win32Dialog, ProgressHoldsThePositionInRangeAndPaintsThroughOnPaint) {
  CheckedDialog dialog(kFormId);
  CountingProgress progress;
  dialog.show = true;
  dialog.init = [&](CheckedDialog& d) {
    ASSERT_TRUE(progress.Create(WS_CHILD | WS_VISIBLE, RECT{10, 10, 200, 35}, &d, 1005));
  };
  dialog.checks = [&](CheckedDialog&) {
    int lower = -1;
    int upper = -1;
    progress.GetRange(lower, upper);
    EXPECT_EQ(lower, 0);
    EXPECT_EQ(upper, 100);
    progress.SetRange(0, 30);
    const struct {
      int set;
      int held;
    } positions[] = {{15, 15}, {31, 30}, {-5, 0}, {30, 30}};
    for (const auto& p : positions) {
      progress.SetPos(p.set);
      EXPECT_EQ(progress.GetPos(), p.held) << p.set;
      // The system's control holds the same, for a screen reader.
      EXPECT_EQ(SendMessageW(Handle(&progress), PBM_GETPOS, 0, 0), p.held) << p.set;
    }
    progress.Invalidate(true);
    UpdateWindow(Handle(&progress));
    EXPECT_GT(progress.paints, 0);
  };
  dialog.DoModal();
  EXPECT_TRUE(dialog.checked);
  EXPECT_EQ(progress.GetPos(), 30);  // the control keeps its position when its window is gone
}

struct AboutShape {
  SystemRECT text;
  SystemRECT ok;
  SystemRECT client;
};

AboutShape RunAbout(const char* text) {
  CheckedDialog dialog(kAboutId);
  AboutShape shape{};
  dialog.init = [&](CheckedDialog& d) { d.GetDlgItem(kTextId)->SetWindowText(text); };
  dialog.checks = [&](CheckedDialog& d) {
    HWND hwnd = Handle(&d);
    GetWindowRect(Handle(d.GetDlgItem(kTextId)), &shape.text);
    GetWindowRect(Handle(d.GetDlgItem(IDOK)), &shape.ok);
    MapWindowPoints(HWND_DESKTOP, hwnd, reinterpret_cast<SystemPOINT*>(&shape.text), 2);
    MapWindowPoints(HWND_DESKTOP, hwnd, reinterpret_cast<SystemPOINT*>(&shape.ok), 2);
    GetClientRect(hwnd, &shape.client);
  };
  dialog.DoModal();
  EXPECT_TRUE(dialog.checked);
  return shape;
}

TEST_F(Win32Dialog, CentredTextGrowsToShowItsWholeTextAndMovesWhatIsBelow) {
  std::string longText;
  for (int line = 0; line < 8; ++line)
    longText += "A line of the About text, long enough to wrap\n";
  const AboutShape asMade = RunAbout("Short");
  const AboutShape grown = RunAbout(longText.c_str());
  const LONG extra = (grown.text.bottom - grown.text.top) - (asMade.text.bottom - asMade.text.top);
  EXPECT_GE(grown.text.bottom - grown.text.top, 16 * 13) << "eight lines, each wrapped once";
  EXPECT_EQ(grown.text.top, asMade.text.top);
  EXPECT_EQ(grown.ok.top - asMade.ok.top, extra) << "OK moves down by as much";
  EXPECT_EQ(grown.client.bottom - asMade.client.bottom, extra) << "the dialog grows by as much";
  EXPECT_EQ(grown.client.right, asMade.client.right);
}

}  // namespace
