// Where file dialogs and message boxes take their answers from. Without a source (the program)
// they show real windows; tests install a scripted source, so that commands which ask the user
// run without a person and without any window appearing.
#pragma once

#include <optional>

#include "platform/CString.h"
#include "platform/WinTypes.h"

namespace platform {

// What a file dialog was asked to show.
struct FileDialogRequest {
  bool open;
  DWORD flags;
  CString filter;
};

class DialogAnswerSource {
 public:
  virtual ~DialogAnswerSource() = default;
  // A file dialog instead of showing: the path it ends with OK (in the file system's encoding),
  // or nothing for a cancel.
  virtual std::optional<CString> AnswerFileDialog(const FileDialogRequest& request) = 0;
  // A message box of `text` and `type` (MB_OK, MB_YESNO) instead of showing: the button that
  // closes it, IDOK for MB_OK and IDYES or IDNO for MB_YESNO.
  virtual int AnswerMessageBox(const char* text, UINT type) = 0;
};

// Installs `source` for every later dialog; null restores the real dialogs. Not owned.
void SetDialogAnswerSource(DialogAnswerSource* source);

// The installed source, or null when real dialogs are shown.
DialogAnswerSource* InstalledDialogAnswerSource();

}  // namespace platform
