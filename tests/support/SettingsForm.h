// The form of settings of tests/neutral/support/SettingsForm.h with the toolkit's side added: the
// boxes' line edits and Qt's strings, for the Qt suites and the fuzz targets.
#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QString>
#include <QStringList>
#include <optional>
#include <string>

#include "tests/neutral/support/SettingsForm.h"

class QLineEdit;

namespace testsupport {

// config.inf text with a BYTE entry for each id, in order.
std::string ByteEntries(const QByteArrayList& ids);

class SettingsForm : public neutral::SettingsForm {
 public:
  explicit SettingsForm(const std::string& configText, Boxes boxes = Boxes::Numbered)
      : neutral::SettingsForm(neutral::ConfigText{configText}, boxes) {}

  QLineEdit* Edit(int row) const;
  void SetText(int row, const QString& text);
  void SetTexts(const QStringList& texts);  // the first rows, in order
  QStringList Texts() const;
  // What Program would send: the low 8 bits of each value.
  QByteArray Bytes() const;

  bool Save(const QString& path) const;
  bool Load(const QString& path);
  // What a save writes, without the file; nothing when writing it failed.
  std::optional<std::string> SavedText() const;
  // Loads `text` as a saved-settings file read in text mode holds it.
  void LoadText(const std::string& text);
};

}  // namespace testsupport
