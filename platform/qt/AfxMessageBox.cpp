// The message box as the toolkit shows it.
#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

#include "platform/Backend.h"
#include "platform/qt/ModalFocus.h"
#include "platform/qt/TextCodec.h"

namespace {

// A short message makes a narrow box, and the window manager then cuts its caption, the tool's
// name ("Univ...mmer"). The box is held wide enough for the caption in a bold title font beside an
// icon and three title-bar buttons, each about two lines of text wide.
void HoldWideEnoughForCaption(QMessageBox& box) {
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  if (!grid) return;
  QFont titleFont = box.font();
  titleFont.setBold(true);
  const QFontMetrics metrics(titleFont);
  const int width = metrics.horizontalAdvance(box.windowTitle()) + 4 * 2 * metrics.height();
  grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                grid->rowCount(), 0, 1, grid->columnCount());
}

// The window the box belongs to: the active one; with none active yet (a message at start,
// before the desktop has activated the form), the tool's window on screen, as on the platform,
// where a dialog shown at start is active at once.
QWidget* OwnerWindow() {
  if (QWidget* active = QApplication::activeWindow()) return active;
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window->isVisible() && !(window->windowType() == Qt::Popup)) return window;
  }
  return nullptr;
}

}  // namespace

// Escape and the close box answer No.
bool platform::backend::ShowMessageBox(const char* text, const char* caption,
                                       MessageBoxButtons buttons) {
  const bool yesNo = buttons == MessageBoxButtons::YesNo;
  const qt::ModalFocusReturn focusReturn;
  QMessageBox box(QMessageBox::NoIcon, qt::DecodeText(caption), qt::DecodeText(text),
                  yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, OwnerWindow());
  if (yesNo) box.setEscapeButton(QMessageBox::No);
  HoldWideEnoughForCaption(box);
  return box.exec() == QMessageBox::Yes;
}
