// The main dialog: a form that config.inf shapes at start (title, outer size, one row per
// setting) and the entry of every user command.
#pragma once

#include "config/AppConfig.h"
#include "platform/CDialog.h"
#include "platform/CString.h"

class CMainDlg : public CDialog {
 public:
  explicit CMainDlg(int templateId);

  // Before DoModal: the config.inf that shapes the form in place of the one beside the executable
  // (empty: that one), and a saved-settings file to open once the dialog is on screen, as File >
  // Open does (empty: none).
  void UseConfigFile(const CString& path) { m_configPath = path; }
  void OpenAtStart(const CString& path) { m_startSettingsPath = path; }

  bool OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;

  const CAppConfig& GetConfig() const { return m_config; }

 protected:
  std::span<const MessageMapEntry> GetMessageMap() const override;

  void OnProgram();
  void OnOpenSettings();
  void OnOpenStartSettings();
  void OnSaveSettings();
  void OnSaveSettingsAs();
  void OnAbout();

 private:
  CWnd* m_programButton = nullptr;
  CWnd* m_exitButton = nullptr;
  CString m_settingsPath;
  CAppConfig m_config;
  CString m_configPath;
  CString m_startSettingsPath;

  void OpenSettings(const CString& path);
};
