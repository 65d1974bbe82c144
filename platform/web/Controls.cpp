// The controls that the tool creates at run time: edit boxes, static texts and progress bars,
// as elements of the dialog's client area. What the page does with them (an edit box refuses text
// wider than itself, a progress bar is a canvas) is in js/windows.js.
#include "platform/Backend.h"
#include "platform/CEdit.h"
#include "platform/CProgressCtrl.h"
#include "platform/CStatic.h"
#include "platform/web/Page.h"
#include "platform/web/PageText.h"
#include "platform/web/PageWindows.h"

namespace {

int FlagsOf(DWORD style) {
  int flags = 0;
  if (style & WS_VISIBLE) flags |= kPageVisible;
  if (style & WS_BORDER) flags |= kPageBorder;
  if (style & WS_TABSTOP) flags |= kPageTabStop;
  return flags;
}

bool CreateControl(CWnd& control, CWnd* parent, PageControlKind kind, DWORD style, const char* text,
                   const RECT& rect, UINT id) {
  const int dialog = platform::web::HandleOf(parent);
  if (dialog == 0 || platform::web::HandleOf(control) != 0) return false;
  const platform::web::PageText shown = platform::web::ToPage(text ? text : "");
  const int handle = up_control_create(dialog, kind, static_cast<int>(id), FlagsOf(style),
                                       shown.data, shown.length, shown.encoding);
  if (handle == 0) return false;
  platform::web::Attach(control, handle, static_cast<int>(id));
  up_window_move(handle, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
  return true;
}

}  // namespace

bool CEdit::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CreateControl(*this, parent, kPageEdit, style, "", rect, id);
}

bool CStatic::Create(const char* text, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CreateControl(*this, parent, kPageStatic, style, text, rect, id);
}

bool CProgressCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  if (!CreateControl(*this, parent, kPageProgressBar, style, "", rect, id)) return false;
  platform::web::SetPainter(platform::web::HandleOf(*this), [this] { OnPaint(); });
  platform::backend::ProgressChanged(*this);
  return true;
}

// A screen reader reads the bar's range and position from the element; the canvas repaints.
void platform::backend::ProgressChanged(CProgressCtrl& control) {
  const int handle = web::HandleOf(control);
  if (handle == 0) return;
  int lower = 0;
  int upper = 0;
  control.GetRange(lower, upper);
  up_progress_state(handle, lower, upper, control.GetPos());
  up_invalidate(handle);
}
