#include "platform/CDialog.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/Backend.h"
#include "platform/DialogTemplate.h"
#include "platform/win32/DialogResource.h"
#include "platform/win32/WindowImpl.h"

namespace {

// A control that the template created: the dialog's window destroys it.
class TemplateItem : public CWnd {
 public:
  TemplateItem(HWND hwnd, int id) { platform::win32::Attach(*this, hwnd, id); }
};

BOOL CALLBACK DetachChild(HWND child, LPARAM) {
  platform::win32::Detach(child);
  return TRUE;
}

// The outer size that gives `hwnd` a client area of `width` by `height` with its menu bar.
SystemSIZE OuterSizeFor(HWND hwnd, int width, int height) {
  SystemRECT rect{0, 0, width, height};
  AdjustWindowRectEx(&rect, static_cast<SystemDWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE)),
                     GetMenu(hwnd) != nullptr,
                     static_cast<SystemDWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE)));
  return {rect.right - rect.left, rect.bottom - rect.top};
}

// `hwnd`'s rectangle in its parent's client pixels.
SystemRECT RectInParent(HWND hwnd) {
  SystemRECT rect;
  GetWindowRect(hwnd, &rect);
  MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<SystemPOINT*>(&rect), 2);
  return rect;
}

// The height the static text of `hwnd` takes at its width, as the control breaks it.
int TextHeight(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  GetWindowTextW(hwnd, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(length));
  SystemRECT client;
  GetClientRect(hwnd, &client);
  SystemRECT needed{0, 0, client.right, 0};
  HDC dc = GetDC(hwnd);
  HGDIOBJ oldFont =
      SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(hwnd, WM_GETFONT, 0, 0)));
  DrawTextW(dc, text.c_str(), length, &needed,
            DT_CALCRECT | DT_CENTER | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
  SelectObject(dc, oldFont);
  ReleaseDC(hwnd, dc);
  return needed.bottom - needed.top;
}

// The dialog's run: the system's dialog manager builds the window from an in-memory template and
// runs it; the dialog procedure routes the system's messages to the class.
class Win32ModalRun : public platform::backend::ModalRun {
 public:
  explicit Win32ModalRun(CDialog& dialog) : m_dialog(dialog) {}
  ~Win32ModalRun() override { m_templateItems.clear(); }

  int Run(const platform::DialogTemplate& dialogTemplate, CWnd* owner, bool isMainWindow) override {
    m_template = &dialogTemplate;
    m_isMainWindow = isMainWindow;
    const std::vector<WORD> words = platform::win32::BuildDialogTemplate(
        dialogTemplate, platform::win32::ApplicationIconName());
    HWND ownerWindow = owner ? platform::win32::HandleOf(*owner) : nullptr;
    return static_cast<int>(DialogBoxIndirectParamW(
        GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(words.data()), ownerWindow,
        &DialogProc, reinterpret_cast<LPARAM>(this)));
  }

  void End(int result) override {
    if (HWND hwnd = platform::win32::HandleOf(m_dialog)) ::EndDialog(hwnd, result);
  }

  void GrowToFitTexts() override;

  // Through the dialog manager, which also moves the default-button look with the focus. Set
  // here, since the system picks its control before the controls made at run time exist.
  void FocusFirstTabStop() override {
    HWND hwnd = platform::win32::HandleOf(m_dialog);
    if (HWND first = GetNextDlgTabItem(hwnd, nullptr, FALSE)) {
      SendMessageW(hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
    }
  }

 private:
  void BuildWindow(HWND hwnd);
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  CDialog& m_dialog;
  const platform::DialogTemplate* m_template = nullptr;
  bool m_isMainWindow = false;
  std::vector<std::unique_ptr<CWnd>> m_templateItems;
};

// WM_INITDIALOG: the window is built, not shown yet.
INT_PTR CALLBACK Win32ModalRun::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* run = reinterpret_cast<Win32ModalRun*>(lParam);
    SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    run->BuildWindow(hwnd);
    platform::InitializeDialog(run->m_dialog, *run);
    return FALSE;
  }
  auto* run = reinterpret_cast<Win32ModalRun*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (!run) return FALSE;
  switch (message) {
    case WM_COMMAND:
      // Buttons (and Enter and Escape, which the dialog manager turns into their clicks), menu
      // items and accelerators; an edit box's notifications are no commands.
      if (HIWORD(wParam) > 1) return FALSE;
      // The system shows a dialog once its queue first runs dry: a command posted at
      // OnInitDialog (PostCommand) comes before that, and shows it first, so that what the
      // command shows comes over it.
      if (!IsWindowVisible(hwnd)) ShowWindow(hwnd, SW_SHOWNORMAL);
      return run->m_dialog.SendCommand(LOWORD(wParam)) ? TRUE : FALSE;
    case WM_PAINT:
      return run->m_dialog.SendPaint() ? TRUE : FALSE;
    case WM_DESTROY:
      // Before the controls go: the properties that name their objects go with the dialog.
      EnumChildWindows(hwnd, DetachChild, 0);
      platform::win32::Detach(hwnd);
      return FALSE;
    default:
      return FALSE;
  }
}

// The window exists, with the template's controls: the dialog object takes it, and the menu bar
// and the application icon go on it.
void Win32ModalRun::BuildWindow(HWND hwnd) {
  const platform::DialogTemplate& dialogTemplate = *m_template;
  platform::win32::Attach(m_dialog, hwnd, dialogTemplate.id);
  // The template's controls, in the template's order, which is the order they were created in.
  HWND child = GetWindow(hwnd, GW_CHILD);
  for (const auto& item : dialogTemplate.items) {
    if (!child) break;
    m_templateItems.push_back(std::make_unique<TemplateItem>(child, item.id));
    child = GetWindow(child, GW_HWNDNEXT);
  }
  if (const auto* menu = platform::FindMenuTemplate(dialogTemplate.menuId)) {
    // The template's size is the client area's: the menu bar goes above it.
    SystemRECT client;
    ::GetClientRect(hwnd, &client);
    SetMenu(hwnd, platform::win32::BuildMenu(*menu));
    const SystemSIZE outer = OuterSizeFor(hwnd, client.right, client.bottom);
    ::SetWindowPos(hwnd, nullptr, 0, 0, outer.cx, outer.cy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (m_isMainWindow) {
    // The taskbar and the window switcher show the main window with the application's icon.
    HINSTANCE module = GetModuleHandleW(nullptr);
    if (const wchar_t* icon = platform::win32::ApplicationIconName()) {
      const int bigSide = GetSystemMetrics(SM_CXICON);
      const int smallSide = GetSystemMetrics(SM_CXSMICON);
      SendMessageW(hwnd, WM_SETICON, ICON_BIG,
                   reinterpret_cast<LPARAM>(
                       LoadImageW(module, icon, IMAGE_ICON, bigSide, bigSide, LR_SHARED)));
      SendMessageW(hwnd, WM_SETICON, ICON_SMALL,
                   reinterpret_cast<LPARAM>(
                       LoadImageW(module, icon, IMAGE_ICON, smallSide, smallSide, LR_SHARED)));
    }
  }
}

// The dialog stays centred where the system put it.
void Win32ModalRun::GrowToFitTexts() {
  const platform::DialogTemplate& dialogTemplate = *m_template;
  HWND hwnd = platform::win32::HandleOf(m_dialog);
  for (std::size_t i = 0; i < dialogTemplate.items.size() && i < m_templateItems.size(); ++i) {
    if (dialogTemplate.items[i].kind != platform::ItemKind::CenteredText) continue;
    HWND text = platform::win32::HandleOf(*m_templateItems[i]);
    if (!text) continue;
    const SystemRECT textRect = RectInParent(text);
    SystemRECT outer;
    GetWindowRect(hwnd, &outer);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &monitor);
    const int room =
        (monitor.rcWork.bottom - monitor.rcWork.top) - static_cast<int>(outer.bottom - outer.top);
    const int extra =
        std::min(TextHeight(text) - static_cast<int>(textRect.bottom - textRect.top), room);
    if (extra <= 0) continue;
    for (const auto& item : m_templateItems) {
      HWND other = platform::win32::HandleOf(*item);
      if (!other || other == text) continue;
      const SystemRECT otherRect = RectInParent(other);
      if (otherRect.top >= textRect.bottom) {
        ::SetWindowPos(other, nullptr, otherRect.left, otherRect.top + extra, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
    }
    ::SetWindowPos(text, nullptr, 0, 0, textRect.right - textRect.left,
                   textRect.bottom - textRect.top + extra,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const int top =
        std::max(static_cast<int>(monitor.rcWork.top), static_cast<int>(outer.top) - extra / 2);
    ::SetWindowPos(hwnd, nullptr, outer.left, top, outer.right - outer.left,
                   outer.bottom - outer.top + extra, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

}  // namespace

std::unique_ptr<platform::backend::ModalRun> platform::backend::StartModalRun(CDialog& dialog) {
  return std::make_unique<Win32ModalRun>(dialog);
}
