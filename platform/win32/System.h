// The system's headers, for the Win32 backend's files only: windows.h and the parts of the SDK the
// backend calls. The layer has its own RECT, SIZE, POINT, DWORD and COLORREF (platform/WinTypes.h),
// which the tool's code sees on every system; the system's are taken here under the names
// SystemRECT, SystemSIZE, SystemPOINT, SystemDWORD and SystemCOLORREF, and checked below to match
// the layer's in size and layout, as the layer's constants are checked to have the system's
// values. After this header the constants are the system's macros, with the same values.
#pragma once

#include <cstddef>
#include <type_traits>

#include "platform/WinTypes.h"

// The layer's constants, under names windows.h leaves alone, to compare with the system's.
// clang-format off
#define PLATFORM_WIN32_SHARED_CONSTANTS(X)                                                    \
  X(IDOK) X(IDCANCEL) X(IDYES) X(IDNO)                                                        \
  X(WS_CHILD) X(WS_VISIBLE) X(WS_BORDER) X(WS_TABSTOP)                                        \
  X(SWP_NOSIZE) X(SWP_NOMOVE) X(SWP_NOACTIVATE) X(OFN_OVERWRITEPROMPT) X(MB_OK) X(MB_YESNO)   \
  X(WM_PAINT) X(WM_COMMAND) X(TRANSPARENT) X(OPAQUE) X(ETO_CLIPPED) X(NULLREGION)             \
  X(SIMPLEREGION)
// clang-format on
#define PLATFORM_WIN32_KEEP_LAYER_VALUE(name) constexpr auto kLayer_##name = ::name;
namespace platform::win32::layer_values {
PLATFORM_WIN32_SHARED_CONSTANTS(PLATFORM_WIN32_KEEP_LAYER_VALUE)
constexpr COLORREF kLayerRgb123 = ::RGB(1, 2, 3);
}  // namespace platform::win32::layer_values
#undef PLATFORM_WIN32_KEEP_LAYER_VALUE

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#define RECT SystemRECT
#define SIZE SystemSIZE
#define POINT SystemPOINT
#define DWORD SystemDWORD
#define COLORREF SystemCOLORREF
// windows.h first, then what builds on it.
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <dwmapi.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <timeapi.h>
// clang-format on
#undef RECT
#undef SIZE
#undef POINT
#undef DWORD
#undef COLORREF

// windows.h turns these into names ending in A or W; the layer uses them as its own method and
// function names, which must stay as written. The backend calls the system's by their W names.
#undef SetWindowText
#undef GetWindowText
#undef ExtTextOut
#undef GetTextExtentPoint32
#undef GetModuleFileName
#undef ReplaceFile

#define PLATFORM_WIN32_CHECK_VALUE(name) \
  static_assert(platform::win32::layer_values::kLayer_##name == (name), #name);
PLATFORM_WIN32_SHARED_CONSTANTS(PLATFORM_WIN32_CHECK_VALUE)
#undef PLATFORM_WIN32_CHECK_VALUE
#undef PLATFORM_WIN32_SHARED_CONSTANTS

// The layer's types hold what the system's hold, in the same places: a rectangle or a colour
// passes between them member by member, or as it is.
static_assert(std::is_same_v<UINT, unsigned int>);
static_assert(sizeof(DWORD) == sizeof(SystemDWORD) && DWORD(-1) == SystemDWORD(-1));
static_assert(sizeof(COLORREF) == sizeof(SystemCOLORREF) && COLORREF(-1) == SystemCOLORREF(-1));
static_assert(sizeof(RECT) == sizeof(SystemRECT) &&
              offsetof(RECT, left) == offsetof(SystemRECT, left) &&
              offsetof(RECT, top) == offsetof(SystemRECT, top) &&
              offsetof(RECT, right) == offsetof(SystemRECT, right) &&
              offsetof(RECT, bottom) == offsetof(SystemRECT, bottom));
static_assert(sizeof(SIZE) == sizeof(SystemSIZE) &&
              offsetof(SIZE, cx) == offsetof(SystemSIZE, cx) &&
              offsetof(SIZE, cy) == offsetof(SystemSIZE, cy));
static_assert(sizeof(POINT) == sizeof(SystemPOINT) &&
              offsetof(POINT, x) == offsetof(SystemPOINT, x) &&
              offsetof(POINT, y) == offsetof(SystemPOINT, y));
static_assert(RGB(1, 2, 3) == platform::win32::layer_values::kLayerRgb123);

namespace platform::win32 {

inline SystemRECT ToSystem(const RECT& rect) {
  return {rect.left, rect.top, rect.right, rect.bottom};
}

inline RECT FromSystem(const SystemRECT& rect) {
  return {static_cast<int>(rect.left), static_cast<int>(rect.top), static_cast<int>(rect.right),
          static_cast<int>(rect.bottom)};
}

}  // namespace platform::win32
