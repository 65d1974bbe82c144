// A window as the dialogs see it: a handle on a backend's window with the operations the tool calls
// on windows. A CWnd that created its window destroys it with itself, as the platform's windows
// go with their objects; a window that its parent already destroyed is simply gone.
#pragma once

#include <memory>

#include "platform/CString.h"
#include "platform/WinTypes.h"

class CWnd {
 public:
  CWnd();
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;
  virtual ~CWnd();

  // The first child with this control id, or null.
  CWnd* GetDlgItem(int id) const;
  int GetDlgCtrlID() const;

  void SetWindowText(const char* text);
  void GetWindowText(CString& text) const;

  // For a child: pixels of the parent's client area. For a dialog: the outer frame (title bar,
  // menu bar and borders included) at that screen position.
  void MoveWindow(int x, int y, int width, int height, bool repaint = true);

  // The place in the z-order that SetWindowPos can give: the bottom, after every sibling.
  static const CWnd wndBottom;

  // With `insertAfter` &wndBottom, puts the control after its siblings in the dialog's order,
  // which is its tab order and the order a screen reader reads it in (controls of a dialog do
  // not overlap, so how they stack on screen does not show); any other `insertAfter` leaves the
  // order alone. Moves and sizes it as MoveWindow does unless SWP_NOMOVE or SWP_NOSIZE is given.
  bool SetWindowPos(const CWnd* insertAfter, int x, int y, int width, int height, UINT flags);

  // Returns whether the window was disabled before the call. A disabled control keeps the
  // keyboard focus from every other control and gets it back when enabled again.
  bool EnableWindow(bool enable = true);

  // The client area: left and top are 0, right and bottom its width and height.
  void GetClientRect(RECT* rect) const;

  // Invalidates the whole client area. With `erase`, the background is erased before the next
  // paint; the Qt backend always erases (its widgets fill their background), the Win32 backend
  // erases only when asked.
  void Invalidate(bool erase = true);

  // The layer's side: the backend's state of this window (its native window, control id and the
  // like), defined by each backend and opaque to everything else.
  struct Impl;
  Impl& GetImpl() const { return *m_impl; }

 protected:
  // Destroys the window now, as DestroyWindow does.
  void DestroyWindow();

 private:
  std::unique_ptr<Impl> m_impl;
};
