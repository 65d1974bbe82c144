// The web backend's side of the layer's objects: the page's window behind a CWnd, and what the
// message pump does with a window's commands and paint requests. For the backend's own code only.
#pragma once

#include <functional>

#include "platform/CWnd.h"

// A handle on the page's window (0 while there is none) and the control id.
struct CWnd::Impl {
  int handle = 0;
  int id = 0;
};

namespace platform::web {

// The page's window of `window`, or 0 when it has none (yet or any more).
int HandleOf(const CWnd& window);
int HandleOf(const CWnd* window);

// Makes the page's `handle` the window of `window`, with the control id `id`.
void Attach(CWnd& window, int handle, int id);
// The CWnd that the page's window belongs to, or null.
CWnd* FromHandle(int handle);
// Removes the page's window of `window`, with its controls, and forgets it.
void DestroyWindowOf(CWnd& window);

// What a window does with the commands queued for it (a dialog's buttons, menu items and keys,
// a box's answer) and with a paint request for its client area. A window without a CWnd (a
// message box) may take commands too; Forget drops both.
void SetCommandSink(int handle, std::function<void(int id)> sink);
void SetPainter(int handle, std::function<void()> painter);
void Forget(int handle);
void DeliverCommand(int handle, int id);
void DeliverPaint(int handle);

}  // namespace platform::web
