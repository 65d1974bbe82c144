// Where the Qt backend's dialog window decides the main dialog's shape by itself: the menu bar is
// a child of the window, the client area sits right below it, and a side that config.inf gives
// below 1 (or beyond what a window takes) is held exactly at the least size that shows the menu
// bar's titles (or at the largest side). What every build shows of these sizes is in
// tests/neutral/tst_maindialog.cpp.
#include <QMenuBar>
#include <QtTest>

#include "app/MainDlg.h"
#include "platform/qt/QtWindows.h"
#include "res/resource.h"
#include "tests/support/Fixtures.h"
#include "tests/support/ToolResources.h"

class TestDialogWindow : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { testsupport::RegisterToolResources(); }
  void cleanup() { QFile::remove(testsupport::ConfigPathBesideExecutable()); }
  void heldSides_data();
  void heldSides();
};

void TestDialogWindow::heldSides_data() {
  QTest::addColumn<QByteArray>("appSize");
  QTest::addColumn<QSize>("configured");  // as the layout takes it
  QTest::newRow("no AppSize") << QByteArray() << QSize(0, 0);
  QTest::newRow("zero") << QByteArray("AppSize \"0\" \"0\"") << QSize(0, 0);
  QTest::newRow("zero width") << QByteArray("AppSize \"0\" \"200\"") << QSize(0, 200);
  QTest::newRow("negative") << QByteArray("AppSize \"-500\" \"-1\"") << QSize(-500, -1);
  QTest::newRow("huge") << QByteArray("AppSize \"2000000000\" \"300000\"")
                        << QSize(1 << 30, 300000);
}

void TestDialogWindow::heldSides() {
  QFETCH(QByteArray, appSize);
  QFETCH(QSize, configured);
  testsupport::WriteConfigBesideExecutable(appSize + "\nID \"a\" \"BYTE\"");
  CMainDlg dialog(IDD_MAIN);
  testsupport::RunModal(dialog, [&] {
    QWidget* window = platform::qt::WidgetOf(dialog);
    auto* menuBar = window->findChild<QMenuBar*>();
    QVERIFY(menuBar);
    QCOMPARE(platform::qt::ClientWidgetOf(dialog)->geometry().top(),
             menuBar->geometry().bottom() + 1);
    // A side given below 1 is held where the menu bar's titles show; any other is as given,
    // frame included, but for the window inside the frame held within 1..16384.
    const QSize menu = menuBar->sizeHint();
    auto sideShown = [](int configured, int outer, int inner, int least) {
      const int frame = outer - inner;
      if (configured < 1) return inner == least;
      if (configured - frame < 1) return inner == 1;
      if (configured - frame > 16384) return inner == 16384;
      return outer == configured;
    };
    const QRect outer = window->frameGeometry();
    QVERIFY2(sideShown(configured.width(), outer.width(), window->width(), menu.width()),
             qPrintable(QString::number(window->width())));
    QVERIFY2(sideShown(configured.height(), outer.height(), window->height(), menu.height() + 1),
             qPrintable(QString::number(window->height())));
  });
}

QTEST_MAIN(TestDialogWindow)
#include "tst_dialogwindow.moc"
