// The message box's rules, the same on every backend: a test's answers come first, and the
// backend shows only the system's box.
#include "platform/AfxMessageBox.h"

#include "platform/Backend.h"
#include "platform/CWinApp.h"
#include "platform/DialogAnswerSource.h"

namespace {
constexpr UINT kButtonsMask = 0x0000000F;  // the part of `type` that chooses the buttons
}  // namespace

int AfxMessageBox(const char* text, UINT type, UINT /*helpId*/) {
  if (auto* source = platform::InstalledDialogAnswerSource()) {
    return source->AnswerMessageBox(text, type);
  }
  const bool yesNo = (type & kButtonsMask) == MB_YESNO;
  using platform::backend::MessageBoxButtons;
  const bool yes = platform::backend::ShowMessageBox(
      text ? text : "", AfxGetAppName(), yesNo ? MessageBoxButtons::YesNo : MessageBoxButtons::Ok);
  if (!yesNo) return IDOK;
  return yes ? IDYES : IDNO;
}
