#include "platform/win32/Dpi.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace platform::win32 {

int ScreenDpi() {
  static const int dpi = [] {
    HDC screen = GetDC(nullptr);
    const int value = screen ? GetDeviceCaps(screen, LOGPIXELSY) : kToolDpi;
    if (screen) ReleaseDC(nullptr, screen);
    return value > 0 ? value : kToolDpi;
  }();
  return dpi;
}

namespace {

// number * numerator / denominator rounded half away from zero, held within int: a window size
// near the integer bounds stays the largest one rather than turning into an error value.
int Scale(int number, int numerator, int denominator) {
  const std::int64_t product = std::int64_t{number} * numerator;
  const std::int64_t half = denominator / 2;
  const std::int64_t scaled =
      product >= 0 ? (product + half) / denominator : (product - half) / denominator;
  return static_cast<int>(std::clamp<std::int64_t>(scaled, INT_MIN, INT_MAX));
}

}  // namespace

int ToScreen(int toolPixels) { return Scale(toolPixels, ScreenDpi(), kToolDpi); }

int ToTool(int screenPixels) { return Scale(screenPixels, kToolDpi, ScreenDpi()); }

RECT ToScreen(const RECT& toolPixels) {
  return {ToScreen(toolPixels.left), ToScreen(toolPixels.top), ToScreen(toolPixels.right),
          ToScreen(toolPixels.bottom)};
}

RECT ToTool(const RECT& screenPixels) {
  return {ToTool(screenPixels.left), ToTool(screenPixels.top), ToTool(screenPixels.right),
          ToTool(screenPixels.bottom)};
}

}  // namespace platform::win32
