// The tool's pixel numbers (config.inf's window size, the places of its controls and panels) mean
// pixels at 96 dots per inch, as on the screens it was made for. The process tells the system it
// scales for the screen's resolution itself (its manifest): these turn the tool's pixels into the
// screen's and back, so that at 150 % everything is half as large again, the template's controls
// (which the system scales with the font) and the tool's own alike.
#pragma once

#include "platform/win32/System.h"

namespace platform::win32 {

// The tool's pixels: 96 to the inch.
constexpr int kToolDpi = 96;

// The screen's resolution in dots per inch, read once: the process is system-aware.
int ScreenDpi();

int ToScreen(int toolPixels);
int ToTool(int screenPixels);
RECT ToScreen(const RECT& toolPixels);
RECT ToTool(const RECT& screenPixels);

}  // namespace platform::win32
