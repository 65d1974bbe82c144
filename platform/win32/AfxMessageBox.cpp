// The message box as the system shows it.
#include "platform/Backend.h"
#include "platform/win32/System.h"
#include "platform/win32/WideText.h"

// The system's message box over the active window; with none, modal over the tool's other
// windows all the same. A Yes/No box has no cancel: its close box is off, as the system makes it.
bool platform::backend::ShowMessageBox(const char* text, const char* caption,
                                       MessageBoxButtons buttons) {
  HWND owner = GetActiveWindow();
  const UINT style =
      (buttons == MessageBoxButtons::YesNo ? MB_YESNO : MB_OK) | (owner ? 0 : MB_TASKMODAL);
  return MessageBoxW(owner, win32::Widen(text).c_str(), win32::Widen(caption).c_str(), style) ==
         IDYES;
}
