#include "tests/neutral/support/SettingsForm.h"

#include <sstream>

namespace neutral {

std::string ByteEntries(const Strings& ids) {
  std::string text;
  for (const std::string& id : ids) text += "ID \"" + id + "\" \"BYTE\"\n";
  return text;
}

SettingsForm::SettingsForm(const Strings& ids, Boxes boxes)
    : SettingsForm(ConfigText{ByteEntries(ids)}, boxes) {}

SettingsForm::SettingsForm(const ConfigText& configText, Boxes boxes) {
  std::istringstream in(configText.text);
  config.ParseConfig(in);
  if (boxes == Boxes::None) return;
  config.CreateControls(this);
  if (boxes == Boxes::Numbered) Number();
}

void SettingsForm::Number(int first, int step) {
  for (int row = 0; row < config.GetCount(); ++row)
    config.GetSetting(row)->SetValue(first + row * step);
}

CEdit* SettingsForm::EditBox(int row) const {
  return static_cast<CByteSetting*>(config.GetSetting(row))->GetEditBox();
}

void SettingsForm::SetText(int row, const std::string& text) {
  EditBox(row)->SetWindowText(text.c_str());
}

Strings SettingsForm::Texts() const {
  Strings texts;
  for (int row = 0; row < config.GetCount(); ++row) {
    CString text;
    EditBox(row)->GetWindowText(text);
    texts.push_back(text);
  }
  return texts;
}

bool SettingsForm::Save(const std::string& path) const { return config.SaveSettings(path.c_str()); }

bool SettingsForm::Load(const std::string& path) { return config.LoadSettings(path.c_str()); }

}  // namespace neutral
