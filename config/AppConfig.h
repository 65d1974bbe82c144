// The configuration model: reads config.inf, creates and owns one setting per configured entry in
// file order, and hands out the title, the window size and the About text. It also reads and
// writes the saved-settings files through the settings. It never shows a message: callers learn
// only whether a file could be opened (or, for saving, written).
#pragma once

#include <array>
#include <istream>
#include <memory>
#include <ostream>

#include "config/Setting.h"
#include "platform/CString.h"

class CWnd;

class CAppConfig {
 public:
  // Settings beyond this many BYTE entries of config.inf are ignored, with their Name entries.
  static constexpr int kCapacity = 100;

  CAppConfig() = default;
  CAppConfig(const CAppConfig&) = delete;
  CAppConfig& operator=(const CAppConfig&) = delete;

  // Parses config.inf; false only when the file can't be opened.
  bool LoadConfig(const char* path);
  // The parse of LoadConfig on text already read (line ends as ReadTextFile leaves them).
  void ParseConfig(std::istream& in);

  void CreateControls(CWnd* parent);
  // Rows from top 5, 22 pixels apart; `width` is the configured outer window width.
  void LayoutControls(int width);

  int FindById(const char* id) const;
  // Stores the low 8 bits of every setting's value; `out` holds GetCount() bytes.
  void GetValues(unsigned char* out) const;
  int GetCount() const { return m_count; }
  CSetting* GetSetting(int index) const { return m_settings.at(index).get(); }

  // Copies the title into a buffer of 100 characters.
  void GetAppName(config::TextBuffer& out) const;
  void GetAppSize(int* width, int* height) const;
  // The whole About text, one line-feed-ended line per AppInfo entry; it has no length limit.
  void GetAppInfo(CString& out) const;

  bool SaveSettings(const char* path) const;
  // False only when the file can't be opened. `allRead`, when given, is set to false when loading
  // stopped at an id that no setting has (the values before it are loaded), true otherwise.
  bool LoadSettings(const char* path, bool* allRead = nullptr);
  // The two halves of the above without the file: what a save writes, and a load of text
  // already read, which returns false when it stopped at an id that no setting has.
  void WriteSettings(std::ostream& out) const;
  bool ParseSettings(std::istream& in);

 private:
  std::array<std::unique_ptr<CSetting>, kCapacity> m_settings;
  int m_count = 0;
  int m_width = 0;
  int m_height = 0;
  CString m_appName;
  CString m_appInfo;
};
