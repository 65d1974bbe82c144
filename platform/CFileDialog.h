// The common dialog that asks for a file to open or to save to. The filter comes in the
// platform's form, pairs of description and patterns separated by '|' ("Text (*.txt)|*.txt||"),
// and is shown as the backend's file type choices. Paths are in the file system's encoding. A
// dialog opens in the folder of the file last picked in this run; the first in the user's documents
// folder, or home.
#pragma once

#include "platform/CString.h"
#include "platform/WinTypes.h"

class CWnd;

class CFileDialog {
 public:
  // `defaultExt` is appended (without its dot) to a name typed without an extension; null for
  // none. `fileName` is the name first offered; null for none. OFN_OVERWRITEPROMPT in `flags`
  // makes a save dialog ask before replacing a file; an open dialog takes existing files only.
  CFileDialog(bool openFileDialog, const char* defaultExt = nullptr, const char* fileName = nullptr,
              DWORD flags = OFN_OVERWRITEPROMPT, const char* filter = nullptr,
              CWnd* parent = nullptr);
  CFileDialog(const CFileDialog&) = delete;
  CFileDialog& operator=(const CFileDialog&) = delete;
  virtual ~CFileDialog() = default;

  // IDOK once a file is picked, IDCANCEL otherwise.
  virtual int DoModal();

  CString GetPathName() const { return m_pathName; }
  // What follows the last full stop of the file's name (not of its folders); empty when none.
  CString GetFileExt() const;

 private:
  bool m_open;
  CString m_defaultExt;
  CString m_fileName;
  DWORD m_flags;
  CString m_filter;
  CWnd* m_parent;
  CString m_pathName;
};
