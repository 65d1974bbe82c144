// The main dialog: a form that config.inf shapes at start (title, outer size, one row per
// setting) and the entry of every user command.
#pragma once

#include "config/AppConfig.h"
#include "platform/CDialog.h"
#include "platform/CString.h"

class CMainDlg : public CDialog {
 public:
  explicit CMainDlg(int templateId);

  bool OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;

  const CAppConfig& GetConfig() const { return m_config; }

 protected:
  std::span<const MessageMapEntry> GetMessageMap() const override;

  void OnProgram();
  void OnOpenSettings();
  void OnSaveSettings();
  void OnSaveSettingsAs();
  void OnAbout();

 private:
  CWnd* m_programButton = nullptr;
  CWnd* m_exitButton = nullptr;
  CString m_settingsPath;
  CAppConfig m_config;
};
