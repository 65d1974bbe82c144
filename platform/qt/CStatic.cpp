#include "platform/CStatic.h"

#include <QLabel>

#include "platform/qt/ChildStyle.h"
#include "platform/qt/QtWindows.h"
#include "platform/qt/TextCodec.h"

bool CStatic::Create(const char* text, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  QWidget* client = platform::qt::ClientWidgetOf(parent);
  if (!client) return false;
  auto* label = new QLabel(platform::qt::DecodeText(text ? text : ""), client);
  label->setTextFormat(Qt::PlainText);  // a label is shown as written, never as markup
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setWordWrap(true);
  platform::qt::AttachWidget(*this, label, static_cast<int>(id));
  platform::qt::PlaceChild(label, style, rect);
  return true;
}
