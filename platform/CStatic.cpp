#include "platform/CStatic.h"

#include <QLabel>

#include "platform/ChildStyle.h"
#include "platform/TextCodec.h"

bool CStatic::Create(const char* text, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  QWidget* client = parent ? parent->GetClientWidget() : nullptr;
  if (!client) return false;
  auto* label = new QLabel(platform::DecodeText(text ? text : ""), client);
  label->setTextFormat(Qt::PlainText);  // a label is shown as written, never as markup
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setWordWrap(true);
  AttachWidget(label, static_cast<int>(id));
  platform::PlaceChild(label, style, rect);
  return true;
}
