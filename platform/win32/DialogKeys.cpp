// The dialog keys dropped from the thread's queue by a message hook.
#include "platform/Backend.h"
#include "platform/win32/System.h"

namespace {

HHOOK g_hook = nullptr;

bool IsDialogKey(WPARAM key) { return key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE; }

// Every message the thread takes from its queue passes here first, whoever pumps it (the busy
// loop, or a modal loop): Tab, Enter and Escape become no message at all, so the dialog manager
// neither moves the focus nor presses a button with them.
LRESULT CALLBACK DropDialogKeys(int code, WPARAM removal, LPARAM lParam) {
  if (code == HC_ACTION) {
    auto* message = reinterpret_cast<MSG*>(lParam);
    switch (message->message) {
      case WM_KEYDOWN:
      case WM_KEYUP:
      case WM_CHAR:
        if (IsDialogKey(message->wParam)) message->message = WM_NULL;
        break;
      default:
        break;
    }
  }
  return CallNextHookEx(g_hook, code, removal, lParam);
}

}  // namespace

void platform::backend::FilterDialogKeys(bool filtered) {
  if (filtered && !g_hook) {
    g_hook = SetWindowsHookExW(WH_GETMESSAGE, DropDialogKeys, nullptr, GetCurrentThreadId());
  } else if (!filtered && g_hook) {
    UnhookWindowsHookEx(g_hook);
    g_hook = nullptr;
  }
}
