// The About box: the configured title as its caption and the configured About text, centred and
// broken at its line feeds, beside the icon. Enter, Escape and the close box end it.
#pragma once

#include <optional>

#include "platform/CDialog.h"
#include "platform/CString.h"

class CAboutDlg : public CDialog {
 public:
  explicit CAboutDlg(CWnd* parent);

  // Keep a copy for OnInitDialog to show; no window changes. Null forgets the copy.
  void SetTitle(const char* title);
  void SetText(const char* text);

  bool OnInitDialog() override;

 private:
  // Empty until set: the template's caption and text stay then.
  std::optional<CString> m_title;
  std::optional<CString> m_text;
};
