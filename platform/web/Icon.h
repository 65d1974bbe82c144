// The application icon, registered as XPM data, in the pixels a canvas takes.
#pragma once

#include <vector>

namespace platform::web {

struct IconPixels {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> rgba;  // width * height * 4 bytes, rows from the top
};

// The pixels of XPM data with one or more characters a pixel and colours given as "#RRGGBB" or
// "None" (transparent); any other colour name is black. Empty for data it can't read.
IconPixels DecodeXpm(const char* const* xpm);

// The registered application icon, decoded once; empty before it is registered.
const IconPixels& ApplicationIcon();

// Shows the registered application icon in an icon control of the page.
void ShowApplicationIcon(int control);

}  // namespace platform::web
