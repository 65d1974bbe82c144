// A plain top-level window with a client area, for settings' controls to sit on; each backend
// makes it its own way (support/<backend>/PlainWindow.cpp).
#pragma once

#include "platform/CWnd.h"

namespace neutral {

class PlainWindow : public CWnd {
 public:
  PlainWindow();
  // With a client area of this size.
  PlainWindow(int width, int height);
};

}  // namespace neutral
