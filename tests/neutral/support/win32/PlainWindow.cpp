#include "tests/neutral/support/PlainWindow.h"

#include "platform/win32/WindowImpl.h"

namespace neutral {

PlainWindow::PlainWindow() : PlainWindow(640, 480) {}

// A hidden top-level window of the system's static class, without a frame: controls created on it
// are its children, as on a dialog. Destroyed with the object.
PlainWindow::PlainWindow(int width, int height) {
  HWND hwnd = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_CLIPCHILDREN, 0, 0, width, height,
                              nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (hwnd) platform::win32::Attach(*this, hwnd, 0);
}

}  // namespace neutral
