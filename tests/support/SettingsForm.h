// A form of settings as the main dialog builds it from config.inf (a label and an edit box per
// BYTE entry) on a plain window, without the dialog around it: for the suites and fuzz targets
// that load, save and read back settings through real edit boxes.
#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QString>
#include <QStringList>
#include <optional>
#include <string>

#include "config/AppConfig.h"
#include "platform/CEdit.h"
#include "tests/support/TestWindow.h"

class QLineEdit;

namespace testsupport {

// config.inf text with a BYTE entry for each id, in order.
std::string ByteEntries(const QByteArrayList& ids);

class SettingsForm : public TestWindow {
 public:
  // What the rows' boxes show at first; without boxes, every value reads as 0.
  enum class Boxes { None, Empty, Numbered /* "1", "2", "3"... */ };

  explicit SettingsForm(const std::string& configText, Boxes boxes = Boxes::Numbered);

  CEdit* EditBox(int row) const;
  QLineEdit* Edit(int row) const;
  void SetText(int row, const QString& text);
  void SetTexts(const QStringList& texts);  // the first rows, in order
  QStringList Texts() const;
  // Each row's value as the program sets it: first, first + step, first + 2 * step...
  void Number(int first = 1, int step = 1);
  // What Program would send: the low 8 bits of each value.
  QByteArray Bytes() const;

  bool Save(const QString& path) const;
  bool Load(const QString& path);
  // What a save writes, without the file; nothing when writing it failed.
  std::optional<std::string> SavedText() const;
  // Loads `text` as a saved-settings file read in text mode holds it.
  void LoadText(const std::string& text);

  CAppConfig config;
};

}  // namespace testsupport
