// The in-memory dialog templates and menus, checked through the system itself: the dialog
// manager builds a real (hidden) dialog from the template, and the menu is read back item by
// item.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/DialogTemplate.h"
#include "platform/win32/DialogResource.h"

namespace {

using platform::DialogItem;
using platform::DialogTemplate;
using platform::MenuItem;
using platform::MenuItemKind;
using enum platform::ItemKind;

constexpr int kTextId = 1023;

constexpr DialogItem kItems[] = {
    {DefPushButton, 1007, "Program", 7, 170, 50, 14},
    {PushButton, IDCANCEL, "Exit", 198, 170, 50, 14},
    {Icon, 0xFFFF, "", 6, 7, 21, 20},
    {CenteredText, kTextId, "A & B \xC3\xA0", 38, 7, 114, 41},
};
constexpr DialogTemplate kDialog{101, "Caption \xC3\xA9", 0, 0, 255, 191, 0, kItems};

INT_PTR CALLBACK NoHandling(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

std::wstring TextOf(HWND hwnd) {
  wchar_t text[256] = {};
  GetWindowTextW(hwnd, text, 256);
  return text;
}

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  return name;
}

SystemRECT InPixels(HWND dialog, int x, int y, int cx, int cy) {
  SystemRECT rect{x, y, x + cx, y + cy};
  MapDialogRect(dialog, &rect);
  return rect;
}

class DialogFromTemplate : public testing::Test {
 protected:
  void SetUp() override {
    m_words = platform::win32::BuildDialogTemplate(kDialog, nullptr);
    // 4-byte aligned, as DLGTEMPLATEEX must be.
    ASSERT_EQ(reinterpret_cast<std::uintptr_t>(m_words.data()) % 4, 0u);
    m_dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                          reinterpret_cast<const DLGTEMPLATE*>(m_words.data()),
                                          nullptr, NoHandling, 0);
    ASSERT_NE(m_dialog, nullptr) << GetLastError();
  }
  void TearDown() override {
    if (m_dialog) DestroyWindow(m_dialog);
  }

  std::vector<WORD> m_words;
  HWND m_dialog = nullptr;
};

TEST_F(DialogFromTemplate, HasAModalFrameWithTheCloseBoxOnly) {
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(m_dialog, GWL_STYLE));
  EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | WS_SYSMENU), WS_POPUP | WS_CAPTION | WS_SYSMENU);
  EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0u);
  EXPECT_NE(GetWindowLongPtrW(m_dialog, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME, 0);
  EXPECT_EQ(TextOf(m_dialog), L"Caption \u00E9");
}

TEST_F(DialogFromTemplate, ClientAreaIsTheTemplatesSizeInItsFont) {
  SystemRECT client;
  GetClientRect(m_dialog, &client);
  const SystemRECT expected = InPixels(m_dialog, 0, 0, 255, 191);
  EXPECT_EQ(client.right, expected.right);
  EXPECT_EQ(client.bottom, expected.bottom);
  // 8 points at the screen's resolution.
  auto font = reinterpret_cast<HFONT>(SendMessageW(m_dialog, WM_GETFONT, 0, 0));
  ASSERT_NE(font, nullptr);
  LOGFONTW face{};
  GetObjectW(font, sizeof face, &face);
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(face.lfHeight, -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72));
  ReleaseDC(nullptr, screen);
}

TEST_F(DialogFromTemplate, ItemsAreTheSystemsControlsInPlace) {
  const struct {
    int id;
    const wchar_t* windowClass;
    DWORD typeMask;
    DWORD type;
    bool tabStop;
    const wchar_t* text;
  } expected[] = {
      {1007, L"Button", BS_TYPEMASK, BS_DEFPUSHBUTTON, true, L"Program"},
      {IDCANCEL, L"Button", BS_TYPEMASK, BS_PUSHBUTTON, true, L"Exit"},
      {0xFFFF, L"Static", SS_TYPEMASK, SS_ICON, false, L""},
      {kTextId, L"Static", SS_TYPEMASK | SS_NOPREFIX, SS_CENTER | SS_NOPREFIX, false,
       L"A & B \u00E0"},
  };
  HWND child = GetWindow(m_dialog, GW_CHILD);
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    const auto& e = expected[i];
    ASSERT_NE(child, nullptr) << i;
    EXPECT_EQ(GetDlgCtrlID(child), e.id) << i;
    EXPECT_EQ(ClassOf(child), e.windowClass) << i;
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(child, GWL_STYLE));
    EXPECT_EQ(style & e.typeMask, e.type) << i;
    EXPECT_EQ((style & WS_TABSTOP) != 0, e.tabStop) << i;
    EXPECT_NE(style & WS_VISIBLE, 0u) << i;
    if (e.type != SS_ICON) {  // an icon sizes itself to its image
      EXPECT_EQ(TextOf(child), e.text) << i;
      SystemRECT placed;
      GetWindowRect(child, &placed);
      MapWindowPoints(HWND_DESKTOP, m_dialog, reinterpret_cast<SystemPOINT*>(&placed), 2);
      const SystemRECT want =
          InPixels(m_dialog, kItems[i].x, kItems[i].y, kItems[i].cx, kItems[i].cy);
      EXPECT_EQ(placed.left, want.left) << i;
      EXPECT_EQ(placed.top, want.top) << i;
      EXPECT_EQ(placed.right, want.right) << i;
      EXPECT_EQ(placed.bottom, want.bottom) << i;
    }
    child = GetWindow(child, GW_HWNDNEXT);
  }
  EXPECT_EQ(child, nullptr);
  // Tab starts at the first push button; the dialog manager knows the default one.
  EXPECT_EQ(GetNextDlgTabItem(m_dialog, nullptr, FALSE), GetDlgItem(m_dialog, 1007));
  EXPECT_EQ(LOWORD(SendMessageW(m_dialog, DM_GETDEFID, 0, 0)), 1007);
}

constexpr MenuItem kMenuItems[] = {
    {MenuItemKind::Popup, "File", 0},
    {MenuItemKind::Command, "Open...", 40005},
    {MenuItemKind::Separator, "", 0},
    {MenuItemKind::Popup, "Recent", 0},
    {MenuItemKind::Command, "One", 40100},
    {MenuItemKind::EndPopup, "", 0},
    {MenuItemKind::Command, "Exit", IDCANCEL},
    {MenuItemKind::EndPopup, "", 0},
    {MenuItemKind::Command, "About \xC3\xA0", 40008},
};

std::wstring ItemText(HMENU menu, UINT position) {
  wchar_t text[64] = {};
  GetMenuStringW(menu, position, text, 64, MF_BYPOSITION);
  return text;
}

TEST(Menu, BarPopupsAndCommandsInOrder) {
  HMENU bar = platform::win32::BuildMenu({102, kMenuItems});
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(GetMenuItemCount(bar), 2);
  EXPECT_EQ(ItemText(bar, 0), L"File");
  EXPECT_EQ(ItemText(bar, 1), L"About \u00E0");
  EXPECT_EQ(GetMenuItemID(bar, 1), 40008u);

  HMENU file = GetSubMenu(bar, 0);
  ASSERT_NE(file, nullptr);
  ASSERT_EQ(GetMenuItemCount(file), 4);
  EXPECT_EQ(GetMenuItemID(file, 0), 40005u);
  EXPECT_NE(GetMenuState(file, 1, MF_BYPOSITION) & MF_SEPARATOR, 0u);
  EXPECT_EQ(GetMenuItemID(file, 3), static_cast<UINT>(IDCANCEL));
  HMENU recent = GetSubMenu(file, 2);
  ASSERT_NE(recent, nullptr);
  EXPECT_EQ(ItemText(file, 2), L"Recent");
  ASSERT_EQ(GetMenuItemCount(recent), 1);
  EXPECT_EQ(GetMenuItemID(recent, 0), 40100u);
  DestroyMenu(bar);
}

}  // namespace
