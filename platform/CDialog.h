// A modal dialog built from a registered template (platform::RegisterResources). Commands
// (buttons, menu items, Enter for the default push button, Escape and the close box as command 2)
// reach their handlers through the class's message map: a plain table of message and id to member
// handler. An id that the class's own table does not name falls back to the base table: 1 to
// OnOK, 2 to OnCancel.
#pragma once

#include <memory>
#include <span>

#include "platform/CWnd.h"

namespace platform::backend {
class ModalRun;
}  // namespace platform::backend

class CDialog : public CWnd {
 public:
  using Handler = void (CDialog::*)();
  struct MessageMapEntry {
    UINT message;  // WM_COMMAND or WM_PAINT
    int id;        // the command id; 0 for WM_PAINT
    Handler handler;
  };

  explicit CDialog(int templateId, CWnd* parent = nullptr);
  ~CDialog() override;

  // Builds the window from the template, calls OnInitDialog, runs modally and returns the code
  // that ended the dialog.
  virtual int DoModal();

  virtual bool OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();

  void EndDialog(int result);

  // Routes a command as its button, menu item or key would; false when no handler takes it.
  bool SendCommand(int id);
  // Routes a paint request for the client area to the WM_PAINT handler; false when there is none.
  bool SendPaint();
  // Routes a command as SendCommand does, but later: once the dialog runs (shown, taking input),
  // after what is already waiting. OnInitDialog uses it for work that should happen with the
  // dialog on screen, such as a message over it.
  void PostCommand(int id);

 protected:
  template <class Dialog>
  static MessageMapEntry OnCommandEntry(int id, void (Dialog::*handler)()) {
    return {WM_COMMAND, id, static_cast<Handler>(handler)};
  }
  template <class Dialog>
  static MessageMapEntry OnPaintEntry(void (Dialog::*handler)()) {
    return {WM_PAINT, 0, static_cast<Handler>(handler)};
  }

  // The message-map accessor: the class's own table.
  virtual std::span<const MessageMapEntry> GetMessageMap() const;

 private:
  const MessageMapEntry* FindEntry(UINT message, int id) const;

  int m_templateId;
  CWnd* m_parent;
  // The backend's window and controls while DoModal runs.
  std::unique_ptr<platform::backend::ModalRun> m_run;
};
