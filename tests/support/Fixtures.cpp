#include "tests/support/Fixtures.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>
#include <QWidget>

#include "platform/qt/QtWindows.h"
#include "tests/support/ModalWatchdog.h"

namespace testsupport {

bool WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

QString ConfigPathBesideExecutable() {
  return QCoreApplication::applicationDirPath() + "/config.inf";
}

void WriteConfigBesideExecutable(const QByteArray& content) {
  if (!WriteFile(ConfigPathBesideExecutable(), content))
    qFatal("cannot write config.inf beside the test");
}

int RunModal(CDialog& dialog, const std::function<void()>& whileShown) {
  QTimer::singleShot(0, [&] {
    whileShown();
    if (platform::qt::WidgetOf(dialog) && platform::qt::WidgetOf(dialog)->isVisible())
      dialog.EndDialog(-2);
  });
  const ModalWatchdog watchdog;
  return dialog.DoModal();
}

}  // namespace testsupport
