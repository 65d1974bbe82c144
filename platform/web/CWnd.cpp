#include "platform/CWnd.h"

#include <algorithm>

#include "platform/web/Page.h"
#include "platform/web/PageText.h"
#include "platform/web/PageWindows.h"

const CWnd CWnd::wndBottom;

CWnd::CWnd() : m_impl(std::make_unique<Impl>()) {}

CWnd::~CWnd() { DestroyWindow(); }

int CWnd::GetDlgCtrlID() const { return m_impl->id; }

void CWnd::DestroyWindow() { platform::web::DestroyWindowOf(*this); }

CWnd* CWnd::GetDlgItem(int id) const {
  if (m_impl->handle == 0) return nullptr;
  const int child = up_find_child(m_impl->handle, id);
  return child ? platform::web::FromHandle(child) : nullptr;
}

void CWnd::SetWindowText(const char* text) {
  if (m_impl->handle == 0) return;
  const platform::web::PageText shown = platform::web::ToPage(text ? text : "");
  up_window_set_text(m_impl->handle, shown.data, shown.length, shown.encoding);
}

void CWnd::GetWindowText(CString& text) const {
  const int handle = m_impl->handle;
  text = handle == 0 ? CString() : platform::web::ReadPageText([handle](char* buffer, int size) {
    return up_window_get_text(handle, buffer, size);
  });
}

// The page repaints a moved window's canvas itself, so `repaint` asks for nothing more.
void CWnd::MoveWindow(int x, int y, int width, int height, bool /*repaint*/) {
  if (m_impl->handle != 0) up_window_move(m_impl->handle, x, y, width, height);
}

bool CWnd::SetWindowPos(const CWnd* insertAfter, int x, int y, int width, int height, UINT flags) {
  if (m_impl->handle == 0) return false;
  if (insertAfter == &wndBottom) up_window_put_last(m_impl->handle);
  if ((flags & SWP_NOMOVE) && (flags & SWP_NOSIZE)) return true;
  int nowX = 0;
  int nowY = 0;
  int nowWidth = 0;
  int nowHeight = 0;
  up_window_rect(m_impl->handle, &nowX, &nowY, &nowWidth, &nowHeight);
  if (flags & SWP_NOMOVE) {
    x = nowX;
    y = nowY;
  }
  if (flags & SWP_NOSIZE) {
    width = nowWidth;
    height = nowHeight;
  }
  MoveWindow(x, y, width, height, true);
  return true;
}

// The page keeps a disabled control's focus parked on its dialog, where keys do nothing, and
// gives it back on enabling unless the user has put it elsewhere meanwhile.
bool CWnd::EnableWindow(bool enable) {
  if (m_impl->handle == 0) return false;
  return up_window_enable(m_impl->handle, enable ? 1 : 0) != 0;
}

void CWnd::GetClientRect(RECT* rect) const {
  *rect = RECT{};
  if (m_impl->handle == 0) return;
  int width = 0;
  int height = 0;
  up_client_size(m_impl->handle, &width, &height);
  rect->right = std::max(0, width);
  rect->bottom = std::max(0, height);
}

// A canvas is always cleared before it is painted again: the erase is the page's.
void CWnd::Invalidate(bool /*erase*/) {
  if (m_impl->handle != 0) up_invalidate(m_impl->handle);
}
