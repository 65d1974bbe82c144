#include "tests/support/SettingsForm.h"

#include <QFile>
#include <QLineEdit>
#include <sstream>
#include <vector>

#include "platform/qt/QtWindows.h"

namespace testsupport {

std::string ByteEntries(const QByteArrayList& ids) {
  neutral::Strings names;
  for (const QByteArray& id : ids) names.push_back(id.toStdString());
  return neutral::ByteEntries(names);
}

QLineEdit* SettingsForm::Edit(int row) const {
  return static_cast<QLineEdit*>(platform::qt::WidgetOf(EditBox(row)));
}

void SettingsForm::SetText(int row, const QString& text) { Edit(row)->setText(text); }

void SettingsForm::SetTexts(const QStringList& texts) {
  for (int row = 0; row < texts.size(); ++row) SetText(row, texts[row]);
}

QStringList SettingsForm::Texts() const {
  QStringList texts;
  for (int row = 0; row < config.GetCount(); ++row) texts << Edit(row)->text();
  return texts;
}

QByteArray SettingsForm::Bytes() const {
  std::vector<unsigned char> values(std::size_t(config.GetCount()));
  config.GetValues(values.data());
  return QByteArray(reinterpret_cast<const char*>(values.data()), qsizetype(values.size()));
}

bool SettingsForm::Save(const QString& path) const {
  return config.SaveSettings(QFile::encodeName(path));
}

bool SettingsForm::Load(const QString& path) {
  return config.LoadSettings(QFile::encodeName(path));
}

std::optional<std::string> SettingsForm::SavedText() const {
  std::ostringstream out;
  config.WriteSettings(out);
  if (!out.good()) return std::nullopt;
  return out.str();
}

void SettingsForm::LoadText(const std::string& text) {
  std::istringstream in(text);
  config.ParseSettings(in);
}

}  // namespace testsupport
