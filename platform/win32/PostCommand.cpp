#include "platform/CDialog.h"
#include "platform/win32/System.h"
#include "platform/win32/WindowImpl.h"

// Posted to the dialog's window: the dialog's run shows the window before its loop takes the
// message, which reaches the class as a menu command does.
void CDialog::PostCommand(int id) {
  if (HWND hwnd = platform::win32::HandleOf(*this)) {
    PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(id, 0), 0);
  }
}
