#include "platform/CEdit.h"

#include "platform/win32/WindowImpl.h"

// The system's edit box, one line, without ES_AUTOHSCROLL: it never scrolls sideways, so typing
// stops by itself when the box is full, while text that the program sets shows as it was set. A
// bordered box has the sunken edge of the system's dialogs. The static text created just before
// it names it for a screen reader, as the system's accessibility takes a form row's label.
bool CEdit::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  const bool bordered = (style & WS_BORDER) != 0;
  const DWORD editStyle = (style & ~WS_BORDER) | ES_LEFT;
  return platform::win32::CreateChild(*this, L"EDIT", L"", editStyle,
                                      bordered ? WS_EX_CLIENTEDGE : 0, rect, parent, id);
}
