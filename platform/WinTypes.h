// The few types, styles and message numbers that the tool's dialogs use, named and valued as the
// platform the tool was designed for names them. They are the layer's own on every system: the
// tool's code never sees a system header. The Win32 backend takes the system's windows.h in its
// own folder only, and checks there that these match the system's (platform/win32/System.h).
#pragma once

#include <cstdint>

using COLORREF = std::uint32_t;  // 0x00BBGGRR: red in the low byte
using DWORD = std::uint32_t;
using UINT = unsigned int;

struct RECT {
  int left = 0;
  int top = 0;
  int right = 0;   // outside the rectangle
  int bottom = 0;  // outside the rectangle
};

struct SIZE {
  int cx = 0;
  int cy = 0;
};

struct POINT {
  int x = 0;
  int y = 0;
};

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_BORDER = 0x00800000;
constexpr DWORD WS_TABSTOP = 0x00010000;  // Tab and Shift+Tab stop at the control

// SetWindowPos: what the call leaves as it is.
constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOACTIVATE = 0x0010;

constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;  // a save dialog asks before replacing a file

constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_YESNO = 0x00000004;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_COMMAND = 0x0111;

// Text background modes and text drawing options.
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;
constexpr UINT ETO_CLIPPED = 0x0004;

// What SelectClipRgn reports about the clip region it leaves selected.
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;

constexpr COLORREF RGB(int red, int green, int blue) {
  return static_cast<COLORREF>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
