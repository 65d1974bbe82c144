// What both backends' file dialogs share: the arguments as the dialog keeps them, and the
// extension of the chosen path.
#include "platform/CFileDialog.h"

#include "platform/ModulePath.h"

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

CString CFileDialog::GetFileExt() const {
  // Windows takes either slash between folders; elsewhere a backslash belongs to the name.
  constexpr const char* kSeparators = platform::kDirectorySeparator == '\\' ? "\\/" : "/";
  const std::size_t separator = m_pathName.find_last_of(kSeparators);
  const std::size_t nameStart = separator == CString::npos ? 0 : separator + 1;
  const std::size_t dot = m_pathName.rfind('.');
  if (dot == CString::npos || dot < nameStart) return {};
  return m_pathName.substr(dot + 1);
}
