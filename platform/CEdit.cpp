#include "CEdit.h"

#include <QLineEdit>

#include "ChildStyle.h"

bool CEdit::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  QWidget* client = parent ? parent->GetClientWidget() : nullptr;
  if (!client) return false;
  auto* edit = new QLineEdit(client);
  edit->setFrame((style & WS_BORDER) != 0);
  edit->setFocusPolicy(Qt::ClickFocus);  // no tab stop
  AttachWidget(edit, static_cast<int>(id));
  platform::PlaceChild(edit, style, rect);
  return true;
}
