#include "platform/AfxMessageBox.h"

#include "platform/CWinApp.h"
#include "platform/DialogAnswerSource.h"
#include "platform/win32/WideText.h"

// The system's message box over the active window; with none, modal over the tool's other
// windows all the same. A Yes/No box has no cancel: its close box is off, as the system makes it.
int AfxMessageBox(const char* text, UINT type, UINT /*helpId*/) {
  const bool yesNo = (type & MB_TYPEMASK) == MB_YESNO;
  if (auto* source = platform::InstalledDialogAnswerSource()) {
    return source->AnswerMessageBox(text, type);
  }
  HWND owner = GetActiveWindow();
  const UINT style = (yesNo ? MB_YESNO : MB_OK) | (owner ? 0 : MB_TASKMODAL);
  const int button = MessageBoxW(owner, platform::win32::Widen(text ? text : "").c_str(),
                                 platform::win32::Widen(AfxGetAppName()).c_str(), style);
  if (!yesNo) return IDOK;
  return button == IDYES ? IDYES : IDNO;
}
