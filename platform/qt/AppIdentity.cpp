#include "platform/AppIdentity.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>

#include "platform/DialogTemplate.h"

namespace platform {

// The name gives the window's WM_CLASS (the desktop entry's StartupWMClass) and the icon theme's
// name; the desktop id is the desktop entry's name (the Wayland app id). The icon comes from the
// installed icon theme or else is the registered one.
void AnnounceApplication(const char* name, const char* desktopId) {
  QCoreApplication::setApplicationName(QString::fromUtf8(name));
  QGuiApplication::setDesktopFileName(QString::fromUtf8(desktopId));
  QApplication::setWindowIcon(
      QIcon::fromTheme(QString::fromUtf8(name), QIcon(QPixmap(platform::ApplicationIconXpm()))));
}

}  // namespace platform
