#include "app/MainDlg.h"

#include <algorithm>

#include "app/AboutDlg.h"
#include "platform/AfxMessageBox.h"
#include "platform/CFileDialog.h"
#include "platform/Files.h"
#include "platform/ModulePath.h"
#include "programming/Packet.h"
#include "programming/ProgramDlg.h"
#include "protocol/optical_protocol.h"
#include "res/resource.h"

namespace {
constexpr int kLargestLayoutSide = 1 << 30;
constexpr const char* kOtherSettingsMessage =
    "This file holds settings that this form does not have; the values before them were loaded.\n"
    "Save will ask for a file name, so that this file is not overwritten.";
constexpr const char* kSettingsFilter = "Tervio Saved Settings (*.tss)|*.tss|All Files(*.*)|*.*||";
}  // namespace

CMainDlg::CMainDlg(int templateId) : CDialog(templateId) {}

std::span<const CDialog::MessageMapEntry> CMainDlg::GetMessageMap() const {
  static const MessageMapEntry kMap[] = {
      OnCommandEntry(IDCANCEL, &CMainDlg::OnCancel),
      OnCommandEntry(IDOK, &CMainDlg::OnOK),
      OnCommandEntry(IDC_PROGRAM, &CMainDlg::OnProgram),
      OnCommandEntry(ID_FILE_OPEN_SETTINGS, &CMainDlg::OnOpenSettings),
      OnCommandEntry(ID_FILE_OPEN_START_SETTINGS, &CMainDlg::OnOpenStartSettings),
      OnCommandEntry(ID_FILE_SAVE_SETTINGS, &CMainDlg::OnSaveSettings),
      OnCommandEntry(ID_FILE_SAVE_SETTINGS_AS, &CMainDlg::OnSaveSettingsAs),
      OnCommandEntry(ID_ABOUT, &CMainDlg::OnAbout),
  };
  return kMap;
}

bool CMainDlg::OnInitDialog() {
  CDialog::OnInitDialog();

  // config.inf sits beside the executable, whatever the current directory is, unless the
  // command line named another.
  CString configPath = m_configPath;
  if (configPath.empty()) {
    configPath = platform::GetModuleFileName();
    configPath.erase(configPath.rfind(platform::kDirectorySeparator) + 1);
    configPath += "config.inf";
  }

  m_programButton = GetDlgItem(IDC_PROGRAM);
  m_exitButton = GetDlgItem(IDCANCEL);
  // A file given on the command line opens once the form is up, so that a message about it
  // shows over the form, as one about File > Open does; with or without a form to load it into.
  if (!m_startSettingsPath.empty()) PostCommand(ID_FILE_OPEN_START_SETTINGS);

  if (!m_config.LoadConfig(configPath.c_str())) return false;

  config::TextBuffer appName;
  m_config.GetAppName(appName);
  SetWindowText(appName);

  int width = 0;
  int height = 0;
  m_config.GetAppSize(&width, &height);
  // config.inf may give any size up to the integer bounds; held where the layout's arithmetic
  // can't overflow. The window itself is held at a size the screen takes anyway.
  width = std::clamp(width, -kLargestLayoutSide, kLargestLayoutSide);
  height = std::clamp(height, -kLargestLayoutSide, kLargestLayoutSide);
  MoveWindow(0, 0, width, height, true);
  // The button positions subtract constants from the outer size, title and menu bar included.
  m_programButton->MoveWindow(5, height - 75, 75, 25, true);
  m_exitButton->MoveWindow(width - 85, height - 75, 75, 25, true);

  m_config.CreateControls(this);
  m_config.LayoutControls(width);
  // The form comes first for Tab and for a screen reader, then Program, then Exit: the buttons,
  // made from the template before the form, go to the end of the order.
  constexpr UINT kOrderOnly = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
  m_programButton->SetWindowPos(&wndBottom, 0, 0, 0, 0, kOrderOnly);
  m_exitButton->SetWindowPos(&wndBottom, 0, 0, 0, 0, kOrderOnly);
  return true;
}

// No control sends OK; it must never close the main dialog.
void CMainDlg::OnOK() {}

void CMainDlg::OnCancel() { CDialog::OnCancel(); }

void CMainDlg::OnProgram() {
  const Packet packet = BuildPacket(m_config);
  const int zeroBitDuration = OPTICAL_ZERO_BIT_US;  // microseconds
  const int oneBitDuration = OPTICAL_ONE_BIT_US;
  const int startDuration = OPTICAL_START_US;
  // The dialog keeps a pointer to the packet, which lives here until it has closed.
  CProgramDlg dialog(IDD_PROGRAM, packet.bytes.data(), packet.length, zeroBitDuration,
                     oneBitDuration, startDuration);
  dialog.DoModal();
}

namespace {

CString ReplaceQuestion(const CString& path) {
  const CString name = path.substr(path.rfind(platform::kDirectorySeparator) + 1);
  return name + " already exists.\nDo you want to replace it?";
}

}  // namespace

void CMainDlg::OnOpenSettings() {
  CFileDialog dialog(true, nullptr, nullptr, OFN_OVERWRITEPROMPT, kSettingsFilter, nullptr);
  if (dialog.DoModal() != IDOK) return;
  OpenSettings(dialog.GetPathName());
}

// The file named on the command line, opened as if picked in File > Open.
void CMainDlg::OnOpenStartSettings() { OpenSettings(m_startSettingsPath); }

void CMainDlg::OpenSettings(const CString& picked) {
  // The picked file becomes the one Save writes to, even when it can't be read; but not a file
  // of settings this form does not have (another device's): Save would overwrite it with this
  // form's, so Save asks for a name instead.
  bool allRead = true;
  if (!m_config.LoadSettings(picked.c_str(), &allRead)) {
    m_settingsPath = picked;
    AfxMessageBox("Unable to open file!");
    return;
  }
  if (!allRead) {
    m_settingsPath.clear();
    AfxMessageBox(kOtherSettingsMessage);
    return;
  }
  m_settingsPath = picked;
}

void CMainDlg::OnSaveSettings() {
  if (m_settingsPath.empty()) {
    OnSaveSettingsAs();
    return;
  }
  if (!m_config.SaveSettings(m_settingsPath.c_str())) AfxMessageBox("Unable to write to file!");
}

void CMainDlg::OnSaveSettingsAs() {
  CString path;
  // A No to replacing the completed name goes back to the file dialog, as the dialog's own
  // question does; only a cancel of the dialog leaves everything as it was.
  for (;;) {
    CFileDialog dialog(false, nullptr, nullptr, OFN_OVERWRITEPROMPT, kSettingsFilter, nullptr);
    if (dialog.DoModal() != IDOK) return;
    const CString extension = dialog.GetFileExt();
    path = dialog.GetPathName();
    if (!extension.empty()) break;
    // A name typed without an extension gets the settings one; "mine." has none either, and its
    // full stop is reused rather than doubled. The dialog asked about the name as typed, not
    // about this one: ask before replacing it.
    path += path.ends_with('.') ? "tss" : ".tss";
    if (!platform::FileExists(path.c_str()) ||
        AfxMessageBox(ReplaceQuestion(path).c_str(), MB_YESNO) == IDYES) {
      break;
    }
  }
  m_settingsPath = path;
  if (!m_config.SaveSettings(m_settingsPath.c_str())) AfxMessageBox("Unable to write to file!");
}

void CMainDlg::OnAbout() {
  CAboutDlg about(this);
  config::TextBuffer appName;
  m_config.GetAppName(appName);
  about.SetTitle(appName);
  CString appInfo;
  m_config.GetAppInfo(appInfo);
  about.SetText(appInfo.c_str());  // the whole text, however long
  about.DoModal();
}
