#include "platform/AppIdentity.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>

#include "platform/DialogTemplate.h"

namespace platform {

// The name gives the window's WM_CLASS (the desktop entry's StartupWMClass); the desktop id is
// the desktop entry's name (the Wayland app id). Through either the desktop finds the entry and
// shows the installed icon of every size for the running tool. The windows' own icon is the
// registered one: looking the name up in the icon theme instead cost about 10 ms at every start
// (the theme's index read, a file probed in each of its folders) for an icon the desktop takes
// from the entry anyway.
void AnnounceApplication(const char* name, const char* desktopId) {
  QCoreApplication::setApplicationName(QString::fromUtf8(name));
  QGuiApplication::setDesktopFileName(QString::fromUtf8(desktopId));
  QApplication::setWindowIcon(QIcon(QPixmap(platform::ApplicationIconXpm())));
}

}  // namespace platform
