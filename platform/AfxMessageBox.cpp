#include "AfxMessageBox.h"

#include <QApplication>
#include <QMessageBox>

#include "DialogScript.h"
#include "ModalFocus.h"
#include "TextCodec.h"

namespace {
// The framework captions its message boxes with the application's name.
constexpr const char* kApplicationName = "Universal Programmer";
}  // namespace

int AfxMessageBox(const char* text, UINT type, UINT /*helpId*/) {
  const bool yesNo = (type & MB_YESNO) == MB_YESNO;
  if (auto* script = platform::DialogScript::Installed()) {
    script->RecordMessage(text);
    return yesNo ? script->TakeYesNoAnswer() : IDOK;
  }
  const platform::ModalFocusReturn focusReturn;
  QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(kApplicationName),
                  platform::DecodeText(text ? text : ""),
                  yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok,
                  QApplication::activeWindow());
  if (yesNo) box.setEscapeButton(QMessageBox::No);
  const int button = box.exec();
  if (!yesNo) return IDOK;
  return button == QMessageBox::Yes ? IDYES : IDNO;
}
