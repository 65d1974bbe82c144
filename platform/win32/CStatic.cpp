#include "platform/CStatic.h"

#include "platform/win32/WideText.h"
#include "platform/win32/WindowImpl.h"

// Left-aligned, broken at words, shown as written: an '&' in a label is no mnemonic.
bool CStatic::Create(const char* text, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  const std::wstring shown = platform::win32::Widen(text ? text : "");
  return platform::win32::CreateChild(*this, L"STATIC", shown.c_str(),
                                      style | SS_LEFT | SS_NOPREFIX, 0, rect, parent, id);
}
