#include "app/AboutDlg.h"

#include "res/resource.h"

namespace {
std::optional<CString> CopyOf(const char* text) {
  if (!text) return std::nullopt;
  return CString(text);
}
}  // namespace

CAboutDlg::CAboutDlg(CWnd* parent) : CDialog(IDD_ABOUT, parent) {}

void CAboutDlg::SetTitle(const char* title) { m_title = CopyOf(title); }

void CAboutDlg::SetText(const char* text) { m_text = CopyOf(text); }

bool CAboutDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  if (m_title) SetWindowText(m_title->c_str());
  if (m_text) {
    if (CWnd* text = GetDlgItem(IDC_ABOUT_TEXT)) text->SetWindowText(m_text->c_str());
  }
  return true;
}
