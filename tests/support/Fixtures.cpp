#include "tests/support/Fixtures.h"

#include <QtTest>
#include <string_view>

#include "tests/neutral/support/DialogDriver.h"
#include "tests/neutral/support/Files.h"

namespace testsupport {

bool WriteFile(const QString& path, const QByteArray& bytes) {
  return neutral::WriteFile(path.toStdString(),
                            std::string_view(bytes.constData(), std::size_t(bytes.size())));
}

QByteArray ReadFile(const QString& path) {
  return QByteArray::fromStdString(neutral::ReadFile(path.toStdString()));
}

QString ConfigPathBesideExecutable() {
  return QString::fromStdString(neutral::PathBesideExecutable("config.inf"));
}

void WriteConfigBesideExecutable(const QByteArray& content) {
  if (!neutral::WriteConfigBesideExecutable(content.toStdString()))
    qFatal("cannot write config.inf beside the test");
}

void ReportToQtTest(const std::string& message) {
  QTest::qFail(message.c_str(), __FILE__, __LINE__);
}

int RunModal(CDialog& dialog, const std::function<void()>& whileShown) {
  return neutral::RunModal(dialog, whileShown, ReportToQtTest);
}

}  // namespace testsupport
