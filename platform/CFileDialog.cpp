// The file dialog's rules, the same on every backend: the arguments as the dialog keeps them, a
// test's answers first, the folder a dialog opens in, and the extension of the chosen path. The
// backend shows only the system's dialog.
#include "platform/CFileDialog.h"

#include "platform/Backend.h"
#include "platform/DialogAnswerSource.h"
#include "platform/ModulePath.h"

namespace {

// The folder of the file last picked in this run; empty before the first.
CString g_lastFolder;

// Windows takes either slash between folders; elsewhere a backslash belongs to the name.
const char* Separators() { return platform::kDirectorySeparator == '\\' ? "\\/" : "/"; }

// Where a dialog opens: the folder used last in this run, else the user's documents folder, else
// home; never the process's working folder, which is "/" (or wherever a shortcut says) when a
// launcher starts the tool.
CString StartFolder() {
  if (!g_lastFolder.empty() && platform::backend::IsFolder(g_lastFolder)) return g_lastFolder;
  return platform::backend::DocumentsFolder();
}

// The folder part of a picked path, without its last separator (but a root keeps its own).
CString FolderOf(const CString& path) {
  const std::size_t separator = path.find_last_of(Separators());
  if (separator == CString::npos) return {};
  const bool isRoot = separator == 0 || (separator == 2 && path[1] == ':');
  return path.substr(0, isRoot ? separator + 1 : separator);
}

}  // namespace

CFileDialog::CFileDialog(bool openFileDialog, const char* defaultExt, const char* fileName,
                         DWORD flags, const char* filter, CWnd* parent)
    : m_open(openFileDialog),
      m_defaultExt(defaultExt ? defaultExt : ""),
      m_fileName(fileName ? fileName : ""),
      m_flags(flags),
      m_filter(filter ? filter : ""),
      m_parent(parent) {
  if (m_defaultExt.starts_with('.')) m_defaultExt.erase(0, 1);
}

int CFileDialog::DoModal() {
  m_pathName.clear();
  if (auto* source = platform::InstalledDialogAnswerSource()) {
    const auto answer = source->AnswerFileDialog({m_open, m_flags, m_filter});
    if (!answer) return IDCANCEL;
    m_pathName = *answer;
    return IDOK;
  }
  const CString startFolder = StartFolder();
  const auto picked =
      platform::backend::ShowFileDialog({m_open, (m_flags & OFN_OVERWRITEPROMPT) != 0, m_defaultExt,
                                         m_fileName, m_filter, startFolder, m_parent});
  if (!picked || picked->empty()) return IDCANCEL;
  g_lastFolder = FolderOf(*picked);
  m_pathName = *picked;
  return IDOK;
}

CString CFileDialog::GetFileExt() const {
  const std::size_t separator = m_pathName.find_last_of(Separators());
  const std::size_t nameStart = separator == CString::npos ? 0 : separator + 1;
  const std::size_t dot = m_pathName.rfind('.');
  if (dot == CString::npos || dot < nameStart) return {};
  return m_pathName.substr(dot + 1);
}
