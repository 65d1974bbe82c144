// The About box from the main dialog's About command: its title and text from config.inf, all of
// the text shown above the OK button, and Enter, Escape and the close box closing it. (The File
// commands run in every build: tests/neutral/tst_filecommands.cpp.)
#include <QDialog>
#include <QLabel>
#include <QtTest>

#include "app/MainDlg.h"
#include "platform/qt/QtWindows.h"
#include "res/resource.h"
#include "tests/support/Fixtures.h"
#include "tests/support/ToolResources.h"

namespace {

QString ConfigPath() { return testsupport::ConfigPathBesideExecutable(); }

void RunModal(CMainDlg& dialog, const std::function<void()>& whileShown) {
  testsupport::RunModal(dialog, whileShown);
}

}  // namespace

class TestAboutBox : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { testsupport::RegisterToolResources(); }
  void cleanup() { QFile::remove(ConfigPath()); }
  void about_data();
  void about();
};

void TestAboutBox::about_data() {
  QTest::addColumn<QByteArray>("config");  // empty: no config.inf
  QTest::addColumn<QString>("title");
  QTest::addColumn<QString>("text");
  QTest::addColumn<int>("closeKey");  // 0: the close box
  const QByteArray line(60, 'x');
  QTest::newRow("configured, Enter")
      << QByteArray("AppName \"Widget Loader\" AppInfo \"V 1\" AppInfo \"M 7\"") << "Widget Loader"
      << "V 1\nM 7\n"
      << int(Qt::Key_Return);
  QTest::newRow("180 characters, Escape")
      << "AppInfo \"" + line + "\" AppInfo \"" + line + "\" AppInfo \"" + line + "\""
      << "" << QString(line + '\n').repeated(3) << int(Qt::Key_Escape);
  QTest::newRow("seven lines, Enter")
      << QByteArray(
             "AppName \"Seven\" AppInfo \"Line 1\" AppInfo \"Line 2\" AppInfo \"Line 3\" "
             "AppInfo \"Line 4\" AppInfo \"Line 5\" AppInfo \"Line 6\" AppInfo \"Line 7\"")
      << "Seven"
      << "Line 1\nLine 2\nLine 3\nLine 4\nLine 5\nLine 6\nLine 7\n"
      << int(Qt::Key_Return);
  QTest::newRow("no config.inf, close box") << QByteArray() << ""
                                            << "" << 0;
}

void TestAboutBox::about() {
  QFETCH(QByteArray, config);
  QFETCH(int, closeKey);
  if (config.isEmpty()) QFile::remove(ConfigPath());
  if (!config.isEmpty()) testsupport::WriteConfigBesideExecutable(config);
  CMainDlg dialog(IDD_MAIN);
  RunModal(dialog, [&] {
    for (int time = 0; time < 2; ++time) {
      QString title = "<not shown>";
      QString text;
      bool closed = false;
      bool whole = false;
      QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        CWnd* about =
            box == platform::qt::WidgetOf(dialog) ? nullptr : platform::qt::FromWidget(box);
        CWnd* label = about ? about->GetDlgItem(IDC_ABOUT_TEXT) : nullptr;
        if (!label) return;  // no About box to look at
        if (box->parentWidget() == platform::qt::WidgetOf(dialog)) title = box->windowTitle();
        auto* shown = static_cast<QLabel*>(platform::qt::WidgetOf(label));
        text = shown->text();
        // All of it shows, and the OK button below it, inside the box.
        const QWidget* ok = platform::qt::WidgetOf(about->GetDlgItem(IDOK));
        whole = shown->height() >= shown->heightForWidth(shown->width()) &&
                ok->y() > shown->geometry().bottom() &&
                ok->geometry().bottom() < ok->parentWidget()->height();
        closeKey ? QTest::keyClick(box, Qt::Key(closeKey)) : void(box->close());
        closed = !box->isVisible();
        if (!closed) box->done(-2);
      });
      dialog.SendCommand(ID_ABOUT);
      QTEST(title, "title");
      QTEST(text, "text");
      QVERIFY(whole);
      QVERIFY(closed);
    }
  });
}

QTEST_MAIN(TestAboutBox)
#include "tst_aboutbox.moc"
