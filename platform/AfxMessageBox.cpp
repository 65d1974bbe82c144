#include "AfxMessageBox.h"

#include <QApplication>
#include <QMessageBox>

#include "DialogScript.h"
#include "TextCodec.h"

namespace {
// The framework captions its message boxes with the application's name.
constexpr const char* kApplicationName = "Universal Programmer";
}  // namespace

int AfxMessageBox(const char* text, UINT /*type*/, UINT /*helpId*/) {
  if (auto* script = platform::DialogScript::Installed()) {
    script->RecordMessage(text);
    return IDOK;
  }
  QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(kApplicationName),
                  platform::DecodeText(text ? text : ""), QMessageBox::Ok,
                  QApplication::activeWindow());
  box.exec();
  return IDOK;
}
