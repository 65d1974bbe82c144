#include "platform/CDialog.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/DialogTemplate.h"
#include "platform/win32/DialogResource.h"
#include "platform/win32/WindowImpl.h"

namespace {

// A control that the template created: the dialog's window destroys it.
class TemplateItem : public CWnd {
 public:
  TemplateItem(HWND hwnd, int id) { platform::win32::Attach(*this, hwnd, id); }
};

// The application's main window while it runs: the first dialog made with no owner. Later
// dialogs without an owner belong to it, so that it is disabled while they run, as the
// platform's dialogs do.
HWND g_mainWindow = nullptr;

BOOL CALLBACK DetachChild(HWND child, LPARAM) {
  platform::win32::Detach(child);
  return TRUE;
}

// The outer size that gives `hwnd` a client area of `width` by `height` with its menu bar.
SIZE OuterSizeFor(HWND hwnd, int width, int height) {
  RECT rect{0, 0, width, height};
  AdjustWindowRectEx(&rect, static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE)),
                     GetMenu(hwnd) != nullptr,
                     static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE)));
  return {rect.right - rect.left, rect.bottom - rect.top};
}

// `hwnd`'s rectangle in its parent's client pixels.
RECT RectInParent(HWND hwnd) {
  RECT rect;
  GetWindowRect(hwnd, &rect);
  MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// The height the static text of `hwnd` takes at its width, as the control breaks it.
int TextHeight(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  GetWindowTextW(hwnd, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(length));
  RECT client;
  GetClientRect(hwnd, &client);
  RECT needed{0, 0, client.right, 0};
  HDC dc = GetDC(hwnd);
  HGDIOBJ oldFont =
      SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(hwnd, WM_GETFONT, 0, 0)));
  DrawTextW(dc, text.c_str(), length, &needed,
            DT_CALCRECT | DT_CENTER | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
  SelectObject(dc, oldFont);
  ReleaseDC(hwnd, dc);
  return needed.bottom - needed.top;
}

}  // namespace

// The dialog's run: its template, its owner, and the dialog procedure that routes the system's
// messages to the class.
struct CDialog::Impl {
  const platform::DialogTemplate* dialogTemplate = nullptr;
  bool isMainWindow = false;

  // WM_INITDIALOG: the window is built, not shown yet. As the platform does when OnInitDialog
  // returns true, the first tab stop in the dialog's order, controls created at run time
  // included, takes the keyboard focus; set here, since the system picks its control before
  // those controls exist.
  static INT_PTR InitDialog(CDialog& dialog, HWND hwnd) {
    dialog.GetImpl().hwnd = hwnd;
    if (dialog.m_impl->isMainWindow) g_mainWindow = hwnd;
    dialog.BuildWindow(*dialog.m_impl->dialogTemplate);
    const bool focusFirst = dialog.OnInitDialog();
    dialog.GrowToFitTexts(*dialog.m_impl->dialogTemplate);
    if (focusFirst) {
      if (HWND first = GetNextDlgTabItem(hwnd, nullptr, FALSE)) {
        SendMessageW(hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
      }
    }
    return FALSE;
  }

  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
      auto* dialog = reinterpret_cast<CDialog*>(lParam);
      SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
      return InitDialog(*dialog, hwnd);
    }
    auto* dialog = reinterpret_cast<CDialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!dialog) return FALSE;
    switch (message) {
      case WM_COMMAND:
        // Buttons (and Enter and Escape, which the dialog manager turns into their clicks), menu
        // items and accelerators; an edit box's notifications are no commands.
        if (HIWORD(wParam) > 1) return FALSE;
        // The system shows a dialog once its queue first runs dry: a command posted at
        // OnInitDialog (PostCommand) comes before that, and shows it first, so that what the
        // command shows comes over it.
        if (!IsWindowVisible(hwnd)) ShowWindow(hwnd, SW_SHOWNORMAL);
        return dialog->SendCommand(LOWORD(wParam)) ? TRUE : FALSE;
      case WM_PAINT:
        if (const MessageMapEntry* paint = dialog->FindEntry(WM_PAINT, 0)) {
          (dialog->*(paint->handler))();
          return TRUE;
        }
        return FALSE;
      case WM_DESTROY:
        // Before the controls go: the properties that name their objects go with the dialog.
        EnumChildWindows(hwnd, DetachChild, 0);
        platform::win32::Detach(hwnd);
        if (g_mainWindow == hwnd) g_mainWindow = nullptr;
        return FALSE;
      default:
        return FALSE;
    }
  }
};

CDialog::CDialog(int templateId, CWnd* parent)
    : m_templateId(templateId), m_parent(parent), m_impl(std::make_unique<Impl>()) {}

CDialog::~CDialog() {
  m_templateItems.clear();
  DestroyWindow();
}

void CDialog::EndDialog(int result) {
  if (HWND hwnd = platform::win32::HandleOf(*this)) ::EndDialog(hwnd, result);
}

// The window exists, with the template's controls: this object takes it, and the menu bar and
// the application icon go on it.
void CDialog::BuildWindow(const platform::DialogTemplate& dialogTemplate) {
  HWND hwnd = GetImpl().hwnd;
  platform::win32::Attach(*this, hwnd, dialogTemplate.id);
  // The template's controls, in the template's order, which is the order they were created in.
  HWND child = GetWindow(hwnd, GW_CHILD);
  for (const auto& item : dialogTemplate.items) {
    if (!child) break;
    m_templateItems.push_back(std::make_unique<TemplateItem>(child, item.id));
    child = GetWindow(child, GW_HWNDNEXT);
  }
  if (const auto* menu = platform::FindMenuTemplate(dialogTemplate.menuId)) {
    // The template's size is the client area's: the menu bar goes above it.
    RECT client;
    ::GetClientRect(hwnd, &client);
    SetMenu(hwnd, platform::win32::BuildMenu(*menu));
    const SIZE outer = OuterSizeFor(hwnd, client.right, client.bottom);
    ::SetWindowPos(hwnd, nullptr, 0, 0, outer.cx, outer.cy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (hwnd == g_mainWindow) {
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

// A centred text that its text does not fit grows downward, as far as the screen allows, and
// the dialog with it: the items below it move down by as much. Short texts leave the template's
// shape as it is. The dialog stays centred where the system put it.
void CDialog::GrowToFitTexts(const platform::DialogTemplate& dialogTemplate) {
  HWND hwnd = platform::win32::HandleOf(*this);
  for (std::size_t i = 0; i < dialogTemplate.items.size() && i < m_templateItems.size(); ++i) {
    if (dialogTemplate.items[i].kind != platform::ItemKind::CenteredText) continue;
    HWND text = platform::win32::HandleOf(*m_templateItems[i]);
    if (!text) continue;
    const RECT textRect = RectInParent(text);
    RECT outer;
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
      const RECT otherRect = RectInParent(other);
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

int CDialog::DoModal() {
  const platform::DialogTemplate* dialogTemplate = platform::FindDialogTemplate(m_templateId);
  if (!dialogTemplate) return -1;  // as the platform does for a missing template
  m_impl->dialogTemplate = dialogTemplate;
  const std::vector<WORD> words =
      platform::win32::BuildDialogTemplate(*dialogTemplate, platform::win32::ApplicationIconName());
  HWND owner = m_parent ? platform::win32::HandleOf(*m_parent) : g_mainWindow;
  m_impl->isMainWindow = !owner && !g_mainWindow;
  const INT_PTR result = DialogBoxIndirectParamW(
      GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(words.data()), owner,
      &Impl::DialogProc, reinterpret_cast<LPARAM>(this));
  m_templateItems.clear();
  DestroyWindow();
  m_impl->dialogTemplate = nullptr;
  return static_cast<int>(result);
}
