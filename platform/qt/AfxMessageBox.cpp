#include "platform/AfxMessageBox.h"

#include <QApplication>
#include <QMessageBox>

#include "platform/CWinApp.h"
#include "platform/DialogAnswerSource.h"
#include "platform/qt/ModalFocus.h"
#include "platform/qt/TextCodec.h"

int AfxMessageBox(const char* text, UINT type, UINT /*helpId*/) {
  const bool yesNo = (type & MB_YESNO) == MB_YESNO;
  if (auto* source = platform::InstalledDialogAnswerSource()) {
    return source->AnswerMessageBox(text, type);
  }
  const platform::ModalFocusReturn focusReturn;
  QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(AfxGetAppName()),
                  platform::DecodeText(text ? text : ""),
                  yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok,
                  QApplication::activeWindow());
  if (yesNo) box.setEscapeButton(QMessageBox::No);
  const int button = box.exec();
  if (!yesNo) return IDOK;
  return button == QMessageBox::Yes ? IDYES : IDNO;
}
