#include "platform/web/Icon.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "platform/DialogTemplate.h"
#include "platform/web/Page.h"

namespace platform::web {

namespace {

// Icons are small; a header that claims more is not an icon.
constexpr int kLargestSide = 1024;

struct Colour {
  unsigned char red = 0, green = 0, blue = 0, alpha = 255;
};

// The colour of one colour line's "c" key: "k c #RRGGBB" or "k c None".
Colour ColourOf(const char* line) {
  Colour colour;
  const char* key = std::strstr(line, " c ");
  if (!key) key = std::strstr(line, "\tc ");
  if (!key) return colour;
  const char* value = key + 3;
  while (*value == ' ' || *value == '\t') ++value;
  if (std::strncmp(value, "None", 4) == 0) {
    colour.alpha = 0;
  } else if (value[0] == '#' && std::strlen(value) >= 7) {
    const unsigned long rgb = std::strtoul(std::string(value + 1, 6).c_str(), nullptr, 16);
    colour.red = static_cast<unsigned char>(rgb >> 16);
    colour.green = static_cast<unsigned char>(rgb >> 8);
    colour.blue = static_cast<unsigned char>(rgb);
  }
  return colour;
}

}  // namespace

IconPixels DecodeXpm(const char* const* xpm) {
  IconPixels icon;
  int width = 0;
  int height = 0;
  int colours = 0;
  int perPixel = 0;
  if (!xpm || !xpm[0] ||
      std::sscanf(xpm[0], "%d %d %d %d", &width, &height, &colours, &perPixel) != 4 || width <= 0 ||
      height <= 0 || width > kLargestSide || height > kLargestSide || colours <= 0 ||
      perPixel <= 0 || perPixel > 4) {
    return icon;
  }
  std::map<std::string, Colour> palette;
  for (int i = 1; i <= colours; ++i) {
    const char* line = xpm[i];
    if (!line || std::strlen(line) < static_cast<std::size_t>(perPixel)) return icon;
    palette[std::string(line, static_cast<std::size_t>(perPixel))] = ColourOf(line + perPixel - 1);
  }
  const auto rowLength = static_cast<std::size_t>(width * perPixel);
  std::vector<unsigned char> rgba(static_cast<std::size_t>(width * height * 4));
  for (int y = 0; y < height; ++y) {
    const char* row = xpm[1 + colours + y];
    if (!row || std::strlen(row) < rowLength) return icon;
    for (int x = 0; x < width; ++x) {
      const auto found =
          palette.find(std::string(row + x * perPixel, static_cast<std::size_t>(perPixel)));
      const Colour colour = found == palette.end() ? Colour{} : found->second;
      unsigned char* pixel = &rgba[static_cast<std::size_t>((y * width + x) * 4)];
      pixel[0] = colour.red;
      pixel[1] = colour.green;
      pixel[2] = colour.blue;
      pixel[3] = colour.alpha;
    }
  }
  icon.width = width;
  icon.height = height;
  icon.rgba = std::move(rgba);
  return icon;
}

const IconPixels& ApplicationIcon() {
  static IconPixels icon;
  if (icon.rgba.empty()) icon = DecodeXpm(ApplicationIconXpm());
  return icon;
}

void ShowApplicationIcon(int control) {
  const IconPixels& icon = ApplicationIcon();
  if (!icon.rgba.empty()) up_icon_set(control, icon.rgba.data(), icon.width, icon.height);
}

}  // namespace platform::web
