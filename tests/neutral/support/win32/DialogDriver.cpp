// The driver's backend part with Win32: callbacks and tickers on thread timers, which fire inside
// whichever loop pumps (the dialog manager's own too); input posted to the thread's queue as the
// system posts a person's; the enabled dialog window of the thread as the window on top.
#include "tests/neutral/support/DialogDriver.h"

#include <map>
#include <utility>

#include "platform/win32/WideText.h"
#include "platform/win32/WindowImpl.h"

namespace neutral::backend {

namespace {

// The thread timers' actions, by timer; a one-shot one goes with its first call.
struct TimerAction {
  std::function<void()> action;
  bool once;
};
std::map<UINT_PTR, TimerAction> g_timers;

void CALLBACK RunTimer(HWND, UINT, UINT_PTR timer, SystemDWORD) {
  const auto found = g_timers.find(timer);
  if (found == g_timers.end()) return;
  if (!found->second.once) {
    const std::function<void()> action = found->second.action;  // may end its own ticker
    action();
    return;
  }
  KillTimer(nullptr, timer);
  const std::function<void()> action = std::move(found->second.action);
  g_timers.erase(found);
  action();
}

UINT_PTR StartTimer(UINT milliseconds, std::function<void()> action, bool once) {
  const UINT_PTR timer = SetTimer(nullptr, 0, milliseconds, RunTimer);
  if (timer) g_timers[timer] = {std::move(action), once};
  return timer;
}

class ThreadTicker : public Ticker {
 public:
  ThreadTicker(std::chrono::milliseconds period, std::function<void()> tick)
      : m_timer(StartTimer(static_cast<UINT>(period.count()), std::move(tick), false)) {}
  ~ThreadTicker() override {
    KillTimer(nullptr, m_timer);
    g_timers.erase(m_timer);
  }

 private:
  UINT_PTR m_timer;
};

bool IsDialogWindow(HWND hwnd) {
  wchar_t className[8] = {};
  return GetClassNameW(hwnd, className, 8) && lstrcmpW(className, L"#32770") == 0;
}

// A modal dialog disables its owner: the enabled dialog whose owner is not enabled (or that has
// none) is the innermost. One that has been ended but not yet destroyed has its owner enabled
// again.
BOOL CALLBACK FindTakingInput(HWND hwnd, LPARAM found) {
  if (!IsDialogWindow(hwnd) || !IsWindowEnabled(hwnd)) return TRUE;
  const HWND owner = GetWindow(hwnd, GW_OWNER);
  if (owner && IsWindowEnabled(owner)) return TRUE;
  *reinterpret_cast<HWND*>(found) = hwnd;
  return TRUE;
}

HWND TopHandle() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindTakingInput, reinterpret_cast<LPARAM>(&found));
  return found;
}

HWND HandleOf(const TopWindow& window) {
  HWND hwnd = static_cast<HWND>(const_cast<void*>(window.handle));
  return hwnd && IsWindow(hwnd) ? hwnd : nullptr;
}

std::string TitleOf(HWND hwnd) {
  std::wstring title(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  title.resize(
      static_cast<std::size_t>(GetWindowTextW(hwnd, title.data(), static_cast<int>(title.size()))));
  return platform::win32::Narrow(title);
}

struct KeyCode {
  UINT virtualKey;
  bool extended;  // the keypad's Enter is Return with the extended-key flag
};

KeyCode KeyCodeOf(Key key) {
  switch (key) {
    case Key::Escape:
      return {VK_ESCAPE, false};
    case Key::Return:
      return {VK_RETURN, false};
    case Key::KeypadEnter:
      return {VK_RETURN, true};
    case Key::Space:
      return {VK_SPACE, false};
    case Key::Tab:
      return {VK_TAB, false};
  }
  return {0, false};
}

}  // namespace

void WhenModalLoopRuns(std::function<void()> action) { StartTimer(0, std::move(action), true); }

std::unique_ptr<Ticker> Every(std::chrono::milliseconds period, std::function<void()> tick) {
  return std::make_unique<ThreadTicker>(period, std::move(tick));
}

// The notification a button sends its dialog when clicked; a click with the mouse would also
// have moved the focus to it.
bool PostClick(CWnd& button) {
  HWND hwnd = platform::win32::HandleOf(button);
  wchar_t className[16] = {};
  if (!hwnd || !GetClassNameW(hwnd, className, 16) || lstrcmpiW(className, L"Button") != 0)
    return false;
  if (!IsWindowEnabled(hwnd)) return true;  // it sends nothing
  const auto id = static_cast<WORD>(GetDlgCtrlID(hwnd));
  PostMessageW(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(hwnd));
  return true;
}

void PostKey(Key key) {
  HWND target = GetFocus();
  if (!target) target = GetActiveWindow();
  if (!target) target = TopHandle();
  if (!target) return;
  const KeyCode code = KeyCodeOf(key);
  const LPARAM scanCode = static_cast<LPARAM>(MapVirtualKeyW(code.virtualKey, MAPVK_VK_TO_VSC));
  const LPARAM press = 1 | scanCode << 16 | (code.extended ? LPARAM{1} << 24 : 0);
  const LPARAM release = press | LPARAM{3} << 30;  // was down, is being released
  PostMessageW(target, WM_KEYDOWN, code.virtualKey, press);
  PostMessageW(target, WM_KEYUP, code.virtualKey, release);
}

void PostCloseBox(CWnd& window) {
  if (HWND hwnd = platform::win32::HandleOf(window)) PostMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
}

bool PostMenuCommand(CWnd& dialog, const std::string& title, const std::string& item) {
  HWND hwnd = platform::win32::HandleOf(dialog);
  HMENU bar = hwnd ? GetMenu(hwnd) : nullptr;
  for (int i = 0; bar && i < GetMenuItemCount(bar); ++i) {
    wchar_t text[64] = {};
    HMENU menu = GetSubMenu(bar, i);
    if (!menu || !GetMenuStringW(bar, static_cast<UINT>(i), text, 64, MF_BYPOSITION) ||
        platform::win32::Narrow(text) != title)
      continue;
    for (int j = 0; j < GetMenuItemCount(menu); ++j) {
      if (!GetMenuStringW(menu, static_cast<UINT>(j), text, 64, MF_BYPOSITION) ||
          platform::win32::Narrow(text) != item)
        continue;
      const auto id = static_cast<WORD>(GetMenuItemID(menu, j));
      return PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(id, 0), 0) != 0;
    }
  }
  return false;
}

TopWindow FindTopWindow() {
  HWND hwnd = TopHandle();
  if (!hwnd) return {};
  return {hwnd, TitleOf(hwnd)};
}

// The dialog manager shows a modal dialog once its queue first runs dry, which a callback from
// inside its loop may come before: it is shown here as it would be there, which activates it.
bool BringUp(const TopWindow& window) {
  HWND hwnd = HandleOf(window);
  if (!hwnd) return false;
  if (!IsWindowVisible(hwnd)) ShowWindow(hwnd, SW_SHOWNORMAL);
  return IsWindowVisible(hwnd) && GetActiveWindow() == hwnd;
}

void EndTopWindow(const TopWindow& window) {
  HWND hwnd = HandleOf(window);
  if (!hwnd) return;
  SendMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
  if (IsWindow(hwnd)) EndDialog(hwnd, -3);
}

}  // namespace neutral::backend
