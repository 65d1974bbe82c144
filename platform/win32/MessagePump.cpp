#include "platform/MessagePump.h"

#include <algorithm>

#include "platform/win32/System.h"

namespace platform {

bool PeekAndDispatchMessage() {
  bool dispatched = false;
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // The quit belongs to the loop that runs the program; a busy loop only passes by.
      ::PostQuitMessage(static_cast<int>(message.wParam));
      return true;
    }
    dispatched = true;
    // Keys go to the active dialog as its own loop would give them: Tab, Enter, Escape, the
    // arrows and mnemonics.
    const HWND active = ::GetActiveWindow();
    if (active && ::IsDialogMessageW(active, &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return dispatched;
}

void BlockForMessage(std::int64_t microseconds) {
  const auto milliseconds =
      static_cast<DWORD>(std::clamp<std::int64_t>(microseconds / 1000, 0, 1000));
  if (milliseconds == 0) return;
  // Input already seen but still waiting counts too, so the wait never sleeps over it.
  if (::MsgWaitForMultipleObjectsEx(0, nullptr, milliseconds, QS_ALLINPUT, MWMO_INPUTAVAILABLE) ==
      WAIT_OBJECT_0)
    PeekAndDispatchMessage();
}

}  // namespace platform
