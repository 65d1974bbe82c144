#include "platform/CFileDialog.h"

#include <shlobj.h>

#include <string>
#include <vector>

#include "platform/CWnd.h"
#include "platform/DialogAnswerSource.h"
#include "platform/win32/FileFilter.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WindowImpl.h"

namespace {

// The folder of the file last picked in this run; empty before the first.
std::wstring g_lastFolder;

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Where a dialog opens: the folder used last in this run, else the user's Documents; never the
// process's working folder, which is wherever a shortcut started the tool.
std::wstring StartFolder() {
  if (!g_lastFolder.empty() && IsFolder(g_lastFolder)) return g_lastFolder;
  std::wstring documents;
  PWSTR path = nullptr;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Documents, KF_FLAG_DEFAULT, nullptr, &path))) {
    documents = path;
  }
  CoTaskMemFree(path);
  return documents;
}

// Long enough for any path the system's wide calls take.
constexpr DWORD kPathRoom = 32768;

}  // namespace

// The system's own dialog: a Save dialog asks before replacing a file with OFN_OVERWRITEPROMPT
// (and a No returns to it); an Open dialog takes any name in an existing folder, so that the tool
// itself says when the file cannot be opened (and makes that name the one Save writes to). Modal
// over the given window, else the active one.
int CFileDialog::DoModal() {
  m_pathName.clear();
  if (auto* source = platform::InstalledDialogAnswerSource()) {
    const auto answer = source->AnswerFileDialog({m_open, m_flags, m_filter});
    if (!answer) return IDCANCEL;
    m_pathName = *answer;
    return IDOK;
  }

  std::vector<wchar_t> path(kPathRoom, L'\0');
  const std::wstring offered = platform::win32::Widen(m_fileName);
  offered.copy(path.data(), std::min<std::size_t>(offered.size(), kPathRoom - 1));
  const std::wstring filter = platform::win32::ToFilterPairs(m_filter);
  const std::wstring extension = platform::win32::Widen(m_defaultExt);
  const std::wstring folder = StartFolder();

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = m_parent ? platform::win32::HandleOf(*m_parent) : GetActiveWindow();
  dialog.lpstrFilter = filter.size() > 1 ? filter.c_str() : nullptr;
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = kPathRoom;
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST;
  if (!m_open) dialog.Flags |= m_flags & OFN_OVERWRITEPROMPT;
  const BOOL picked = m_open ? GetOpenFileNameW(&dialog) : GetSaveFileNameW(&dialog);
  if (!picked) return IDCANCEL;
  const std::wstring chosen(path.data());
  g_lastFolder = chosen.substr(0, dialog.nFileOffset);
  m_pathName = platform::win32::Narrow(chosen);
  return IDOK;
}
