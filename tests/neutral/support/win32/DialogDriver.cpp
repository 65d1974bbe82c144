// The driver's backend part with Win32: a thread timer fires inside the modal loop that runs next
// (the dialog manager's own), a button is clicked with BM_CLICK.
#include "tests/neutral/support/DialogDriver.h"

#include <utility>

#include "platform/win32/WindowImpl.h"

namespace neutral::backend {

namespace {

std::function<void()> g_pending;

void CALLBACK RunPending(HWND, UINT, UINT_PTR timer, SystemDWORD) {
  KillTimer(nullptr, timer);
  std::function<void()> action = std::exchange(g_pending, nullptr);
  if (action) action();
}

}  // namespace

void WhenModalLoopRuns(std::function<void()> action) {
  g_pending = std::move(action);
  SetTimer(nullptr, 0, 0, RunPending);
}

bool PressButton(CWnd& button) {
  HWND hwnd = platform::win32::HandleOf(button);
  wchar_t className[16] = {};
  if (!hwnd || !GetClassNameW(hwnd, className, 16) || lstrcmpiW(className, L"Button") != 0)
    return false;
  SendMessageW(hwnd, BM_CLICK, 0, 0);
  return true;
}

}  // namespace neutral::backend
