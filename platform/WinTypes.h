// The few Win32 types, styles and message numbers that the tool's dialogs use, with the values the
// dialogs pass around. The one header that deals with the system's own windows.h: where that
// exists, the types and constants are the system's, so that a backend on it passes them straight
// through; elsewhere they are defined here with the same values.
#pragma once

#ifdef _WIN32

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// After windows.h: the progress bar messages and the file dialog flags.
#include <commctrl.h>
#include <commdlg.h>

// windows.h turns these into names ending in A or W; the layer uses them as its own method and
// function names, which must stay as written. A backend calls the system's by their W names.
#undef SetWindowText
#undef GetWindowText
#undef SendMessage
#undef ExtTextOut
#undef GetTextExtentPoint32
#undef GetModuleFileName
#undef ReplaceFile

#else  // no windows.h: the same names with the same values

#include <cstdint>

using COLORREF = std::uint32_t;  // 0x00BBGGRR: red in the low byte
using DWORD = std::uint32_t;
using UINT = unsigned int;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

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

// Progress bar messages: position and range are plain ints in wParam/lParam.
constexpr UINT PBM_SETPOS = 1026;
constexpr UINT PBM_SETRANGE32 = 1030;
constexpr UINT PBM_GETPOS = 1032;

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

#endif
