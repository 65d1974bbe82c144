// A form of settings as the main dialog builds it from config.inf (a label and an edit box per
// BYTE entry) on a plain window, without the dialog around it, through the layer's own calls only:
// for the suites (and fuzz targets) that load, save and read back settings through real edit
// boxes, in every build. The Qt suites' form (tests/support/) adds the toolkit's side to it.
#pragma once

#include <string>
#include <vector>

#include "config/AppConfig.h"
#include "platform/CEdit.h"
#include "tests/neutral/support/PlainWindow.h"

namespace neutral {

using Strings = std::vector<std::string>;

// config.inf text with a BYTE entry for each id, in order.
std::string ByteEntries(const Strings& ids);

// A whole config.inf text, to build a form from.
struct ConfigText {
  std::string text;
};

class SettingsForm : public PlainWindow {
 public:
  // What the rows' boxes show at first; without boxes, every value reads as 0.
  enum class Boxes { None, Empty, Numbered /* "1", "2", "3"... */ };

  explicit SettingsForm(const Strings& ids, Boxes boxes = Boxes::Numbered);
  SettingsForm(const ConfigText& config, Boxes boxes);

  CEdit* EditBox(int row) const;
  // Text as the program sets it (UTF-8), shown whole however wide.
  void SetText(int row, const std::string& text);
  Strings Texts() const;
  // Each row's value as the program sets it: first, first + step, first + 2 * step...
  void Number(int first = 1, int step = 1);

  // Through the configuration, with paths in UTF-8 as the layer takes them.
  bool Save(const std::string& path) const;
  bool Load(const std::string& path);

  CAppConfig config;
};

}  // namespace neutral
