// Where the layer's shared part meets its backend. The shared part keeps every rule that all
// systems share (the dialog answers of tests, the modal sequence, the folder a file dialog opens
// in, the main window, the dialog keys' counter, a progress bar's range); for the system's own
// work it calls the hooks below, which each backend defines in namespace platform::backend.
// docs/architecture.md lists everything else a backend defines (the members the interface headers
// leave to it); tests/check-backend-contract.sh holds both lists to the code.
//
// For platform/*.cpp and the backends only: the tool's code never includes it.
#pragma once

#include <memory>
#include <optional>

#include "platform/CString.h"

class CDialog;
class CProgressCtrl;
class CWnd;

namespace platform {

struct DialogTemplate;

namespace backend {

// A message box over the active window (modal over the tool's windows when there is none),
// captioned `caption`. True when it was closed with Yes; a box with OK alone returns false.
enum class MessageBoxButtons { Ok, YesNo };
bool ShowMessageBox(const char* text, const char* caption, MessageBoxButtons buttons);

// What a file dialog shows. Strings are the layer's bytes; `filter` is in the platform's form
// ("Text (*.txt)|*.txt||"), `defaultExt` has no leading full stop, `startFolder` may be empty.
struct FileDialogOptions {
  bool open;
  bool overwritePrompt;  // a save dialog asks before replacing a file
  const CString& defaultExt;
  const CString& fileName;
  const CString& filter;
  const CString& startFolder;
  CWnd* owner;  // null: the active window
};
// The system's file dialog, modal: the path picked (in the file system's encoding), or nothing
// for a cancel.
std::optional<CString> ShowFileDialog(const FileDialogOptions& options);
// Whether `path` names a folder.
bool IsFolder(const CString& path);
// The user's documents folder, else the home folder; empty when the system has neither.
CString DocumentsFolder();

// One modal run of a dialog's window, made by the backend for CDialog::DoModal and gone when it
// returns. It holds all of the backend's state of the run: the window while it is built, the
// template's controls, the focus to give back.
class ModalRun {
 public:
  virtual ~ModalRun() = default;
  // Builds the window and the template's controls, calls platform::InitializeDialog before the
  // window shows, and runs until End; returns End's result. `owner` is the window it is modal
  // over (null for none); the application's main window is the first dialog without an owner.
  virtual int Run(const DialogTemplate& dialogTemplate, CWnd* owner, bool isMainWindow) = 0;
  virtual void End(int result) = 0;
  // A centred text of the template that its text does not fit grows downward, as far as the
  // screen allows, and the dialog with it; the items below it move down by as much.
  virtual void GrowToFitTexts() = 0;
  // The first control in the dialog's tab order that takes the focus gets it.
  virtual void FocusFirstTabStop() = 0;
};
std::unique_ptr<ModalRun> StartModalRun(CDialog& dialog);

// Tab, Enter and Escape stop (true) or go back to (false) being dialog keys, whoever pumps.
void FilterDialogKeys(bool filtered);

// The progress bar's range or position changed: the system's control learns them (for a screen
// reader) and the bar is repainted.
void ProgressChanged(CProgressCtrl& control);

}  // namespace backend

// The shared part's, for the backend to call from ModalRun::Run: OnInitDialog, then the texts
// grown to fit, then the focus on the first tab stop when OnInitDialog asked for it.
void InitializeDialog(CDialog& dialog, backend::ModalRun& run);

}  // namespace platform
