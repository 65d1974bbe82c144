// A plain window with a client area, for controls and forms to sit on. Apart from the other
// fixtures so that the fuzz targets, which need no test framework, can build forms on it too.
#pragma once

#include "platform/CWnd.h"

namespace testsupport {

// With a size, resized.
class TestWindow : public CWnd {
 public:
  TestWindow();
  TestWindow(int width, int height);
};

}  // namespace testsupport
