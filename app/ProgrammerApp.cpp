#include "ProgrammerApp.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>

#include "DialogTemplate.h"
#include "MainDlg.h"
#include "resource.h"

namespace {

// How the desktop recognises the running tool, whatever the executable file is called: the window's
// WM_CLASS (the desktop entry's StartupWMClass), the desktop entry's name (the Wayland app id) and
// the icon, from the installed icon theme or else the built-in one.
void AnnounceToDesktop() {
  QCoreApplication::setApplicationName(QStringLiteral(UP_PACKAGE_NAME));
  QGuiApplication::setDesktopFileName(QStringLiteral(UP_APP_ID));
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(UP_PACKAGE_NAME),
                                               QIcon(QPixmap(platform::ApplicationIconXpm()))));
}

}  // namespace

bool CProgrammerApp::InitInstance() {
  AnnounceToDesktop();
  CMainDlg dialog(IDD_MAIN);
  dialog.DoModal();
  return false;  // the process ends with the main dialog
}
