// The system's own file dialogs.

#include <string>
#include <vector>

#include "platform/Backend.h"
#include "platform/win32/FileFilter.h"
#include "platform/win32/System.h"
#include "platform/win32/WidePath.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WindowImpl.h"

namespace {

// Long enough for any path the system's wide calls take.
constexpr DWORD kPathRoom = 32768;

}  // namespace

namespace platform::backend {

// A Save dialog asks before replacing a file when told to (and a No returns to it); an Open
// dialog takes any name in an existing folder, so that the tool itself says when the file cannot
// be opened (and makes that name the one Save writes to). Modal over the given window, else the
// active one.
std::optional<CString> ShowFileDialog(const FileDialogOptions& options) {
  std::vector<wchar_t> path(kPathRoom, L'\0');
  const std::wstring offered = win32::Widen(options.fileName);
  offered.copy(path.data(), std::min<std::size_t>(offered.size(), kPathRoom - 1));
  const std::wstring filter = win32::ToFilterPairs(options.filter);
  const std::wstring extension = win32::Widen(options.defaultExt);
  const std::wstring folder = win32::WidePath(options.startFolder).value_or(std::wstring());

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = options.owner ? win32::HandleOf(*options.owner) : GetActiveWindow();
  dialog.lpstrFilter = filter.size() > 1 ? filter.c_str() : nullptr;
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = kPathRoom;
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST;
  if (!options.open && options.overwritePrompt) dialog.Flags |= OFN_OVERWRITEPROMPT;
  const BOOL picked = options.open ? GetOpenFileNameW(&dialog) : GetSaveFileNameW(&dialog);
  if (!picked) return std::nullopt;
  return win32::Narrow(std::wstring(path.data()));
}

bool IsFolder(const CString& path) {
  const auto wide = win32::WidePath(path);
  if (!wide) return false;
  const DWORD attributes = GetFileAttributesW(wide->c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The Documents folder; never the process's working folder, which is wherever a shortcut started
// the tool.
CString DocumentsFolder() {
  CString documents;
  PWSTR path = nullptr;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Documents, KF_FLAG_DEFAULT, nullptr, &path))) {
    documents = win32::Utf8Path(path);
  }
  CoTaskMemFree(path);
  return documents;
}

}  // namespace platform::backend
