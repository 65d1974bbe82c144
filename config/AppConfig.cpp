#include "config/AppConfig.h"

#include <cstring>
#include <sstream>

#include "config/TextFile.h"
#include "platform/Files.h"

namespace {

bool Equals(const char* word, const char* keyword) { return std::strcmp(word, keyword) == 0; }

}  // namespace

bool CAppConfig::LoadConfig(const char* path) {
  m_appName.clear();
  m_appInfo.clear();
  const std::optional<std::string> text = config::ReadTextFile(path);
  if (!text) return false;
  std::istringstream in(*text);
  ParseConfig(in);
  return true;
}

void CAppConfig::ParseConfig(std::istream& in) {
  m_appName.clear();
  m_appInfo.clear();
  // While parsing, the index of the most recently created setting: -1 while none exists.
  int last = -1;
  // The most recent BYTE entry was beyond the capacity: its Name entries are ignored too.
  bool lastIgnored = false;
  config::TextBuffer word;
  config::TextBuffer first;
  config::TextBuffer second;
  // An entry takes effect only once all its quoted values are read: the end of the file cutting
  // them off ends the parse with the entry ignored.
  while (config::ReadWord(in, word)) {
    if (Equals(word, "AppName")) {
      if (!config::ReadQuotedValue(in, first)) break;
      m_appName = first;
    } else if (Equals(word, "AppSize")) {
      if (!config::ReadQuotedValue(in, first) || !config::ReadQuotedValue(in, second)) break;
      m_width = config::ToInteger(first);
      m_height = config::ToInteger(second);
    } else if (Equals(word, "AppInfo")) {
      if (!config::ReadQuotedValue(in, first)) break;
      m_appInfo += first;
      m_appInfo += '\n';
    } else if (Equals(word, "ID")) {
      if (!config::ReadQuotedValue(in, first) || !config::ReadQuotedValue(in, second)) break;
      if (!Equals(second, "BYTE")) continue;
      lastIgnored = last + 1 >= kCapacity;
      if (lastIgnored) continue;
      ++last;
      m_settings[last] = std::make_unique<CByteSetting>();
      m_settings[last]->SetId(first);
    } else if (Equals(word, "Name")) {
      if (!config::ReadQuotedValue(in, first)) break;
      if (last >= 0 && !lastIgnored) m_settings[last]->SetLabel(first);
    }
  }
  m_count = last + 1;
}

void CAppConfig::CreateControls(CWnd* parent) {
  for (int i = 0; i < m_count; ++i) m_settings[i]->CreateControls(parent);
}

void CAppConfig::LayoutControls(int width) {
  int y = 5;
  for (int i = 0; i < m_count; ++i) {
    m_settings[i]->Layout(5, y, width, &y);
    y += 2;
  }
}

int CAppConfig::FindById(const char* id) const {
  for (int i = 0; i < m_count; ++i) {
    if (m_settings[i]->IsId(id)) return i;
  }
  return -1;
}

void CAppConfig::GetValues(unsigned char* out) const {
  for (int i = 0; i < m_count; ++i)
    out[i] = static_cast<unsigned char>(m_settings[i]->GetValue() & 0xFF);
}

void CAppConfig::GetAppName(config::TextBuffer& out) const {
  config::CopyText(out, m_appName.c_str());
}

void CAppConfig::GetAppSize(int* width, int* height) const {
  *width = m_width;
  *height = m_height;
}

void CAppConfig::GetAppInfo(CString& out) const { out = m_appInfo; }

void CAppConfig::WriteSettings(std::ostream& out) const {
  for (int i = 0; i < m_count; ++i) m_settings[i]->Write(out);
}

bool CAppConfig::SaveSettings(const char* path) const {
  std::ostringstream out;
  WriteSettings(out);
  return out.good() && platform::ReplaceFile(path, out.str());
}

bool CAppConfig::LoadSettings(const char* path, bool* allRead) {
  const std::optional<std::string> text = config::ReadTextFile(path);
  if (!text) return false;
  std::istringstream in(*text);
  const bool complete = ParseSettings(in);
  if (allRead) *allRead = complete;
  return true;
}

bool CAppConfig::ParseSettings(std::istream& in) {
  config::TextBuffer id;
  // Each line is handed whole to the setting its first word names. Loading stops at the first
  // word that names no setting, and at a word that the end of the file cuts off.
  for (;;) {
    const std::streampos lineStart = in.tellg();
    if (!config::ReadWord(in, id) || in.eof()) return true;
    const int index = FindById(id);
    if (index < 0) return false;
    in.seekg(lineStart);
    m_settings[index]->Read(in);
    in.get();  // the line end
  }
}
