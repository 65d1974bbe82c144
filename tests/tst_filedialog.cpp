// The file dialog and message box of the platform layer: filters in the toolkit's form, the
// extension of a picked name, the real dialogs' settings, and the scripted answers tests rely on.
#include <QAbstractButton>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "platform/AfxMessageBox.h"
#include "platform/CFileDialog.h"
#include "platform/CWinApp.h"
#include "platform/qt/NameFilters.h"
#include "tests/neutral/support/ModalWatchdog.h"
#include "tests/neutral/support/ScriptedDialogs.h"
#include "tests/support/Fixtures.h"

class TestFileDialog : public QObject {
  Q_OBJECT

 private slots:
  void startsInDocumentsThenTheLastFolder();  // first: no dialog of this run picked a file yet
  void nameFilters_data();
  void nameFilters();
  void fileExt_data();
  void fileExt();
  void realDialog_data();
  void realDialog();
  void messageBox();
  void focusReturnsAfterwards_data();
  void focusReturnsAfterwards();
};

void TestFileDialog::nameFilters_data() {
  QTest::addColumn<QByteArray>("filter");
  QTest::addColumn<QStringList>("filters");
  QTest::newRow("settings") << QByteArray(
                                   "Tervio Saved Settings (*.tss)|*.tss|All Files(*.*)|*.*||")
                            << QStringList{"Tervio Saved Settings (*.tss)", "All Files (*)"};
  QTest::newRow("several patterns")
      << QByteArray("Text|*.txt; *.log||") << QStringList{"Text (*.txt *.log)"};
  QTest::newRow("no closing bars") << QByteArray("A|*.a") << QStringList{"A (*.a)"};
  QTest::newRow("empty") << QByteArray() << QStringList{};
}

void TestFileDialog::nameFilters() {
  QFETCH(QByteArray, filter);
  QTEST(platform::qt::ToNameFilters(filter.constData()), "filters");
}

void TestFileDialog::fileExt_data() {
  QTest::addColumn<QByteArray>("path");
  QTest::addColumn<QByteArray>("extension");
  QTest::newRow("tss") << QByteArray("/tmp/mine.tss") << QByteArray("tss");
  QTest::newRow("none") << QByteArray("/tmp/mine") << QByteArray();
  QTest::newRow("full stop in a folder only") << QByteArray("/tmp/a.b/mine") << QByteArray();
  QTest::newRow("ends in a full stop") << QByteArray("/tmp/mine.") << QByteArray();
  QTest::newRow("the last one counts") << QByteArray("x.tar.gz") << QByteArray("gz");
}

void TestFileDialog::fileExt() {
  QFETCH(QByteArray, path);
  neutral::ScriptedDialogs script;
  script.AnswerPath(path.toStdString());
  CFileDialog dialog(false);
  QCOMPARE(dialog.DoModal(), IDOK);
  QCOMPARE(dialog.GetPathName(), path.toStdString());
  QTEST(QByteArray::fromStdString(dialog.GetFileExt()), "extension");
}

void TestFileDialog::realDialog_data() {
  QTest::addColumn<bool>("open");
  QTest::addColumn<unsigned>("flags");
  QTest::addColumn<bool>("accept");
  QTest::addColumn<bool>("exists");  // the picked file
  QTest::addColumn<bool>("asks");    // before replacing the picked file
  const unsigned prompt = OFN_OVERWRITEPROMPT;
  QTest::newRow("open") << true << prompt << true << true << false;
  // Opening it then reports that it can't be opened; the dialog itself takes the typed name.
  QTest::newRow("open a name that does not exist") << true << prompt << true << false << false;
  QTest::newRow("save, asks before replacing") << false << prompt << true << true << true;
  QTest::newRow("save, replaces without asking") << false << 0u << true << true << false;
  QTest::newRow("save a new name") << false << prompt << true << false << false;
  QTest::newRow("save, cancelled") << false << prompt << false << true << false;
}

void TestFileDialog::realDialog() {
  QFETCH(bool, open);
  QFETCH(unsigned, flags);
  QFETCH(bool, accept);
  QFETCH(bool, exists);
  QTemporaryDir dir;
  const QString picked = dir.filePath(QString::fromUtf8("réglé 1.tss"));
  if (exists) {
    QFile file(picked);
    QVERIFY(file.open(QIODevice::WriteOnly));
  }
  CFileDialog dialog(open, nullptr, nullptr, flags, "S (*.tss)|*.tss||", nullptr);
  QFileDialog* shown = nullptr;
  QFileDialog::AcceptMode acceptMode{};
  QFileDialog::FileMode fileMode{};
  QStringList filters;
  bool asked = false;
  QTimer::singleShot(0, [&] {
    shown = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!shown) return;
    acceptMode = shown->acceptMode();
    fileMode = shown->fileMode();
    filters = shown->nameFilters();
    shown->selectFile(picked);
    if (!accept) return shown->reject();
    QTimer::singleShot(0, shown, [&] {
      auto* question = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      asked = question != nullptr;
      if (question) question->button(QMessageBox::Yes)->click();
    });
    QMetaObject::invokeMethod(shown, "accept");  // the button the user would press
  });
  const neutral::ModalWatchdog watchdog(testsupport::ReportToQtTest);
  QCOMPARE(dialog.DoModal(), accept ? IDOK : IDCANCEL);
  QVERIFY(shown);
  QCOMPARE(acceptMode, open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  QCOMPARE(fileMode, QFileDialog::AnyFile);
  QCOMPARE(filters, QStringList{"S (*.tss)"});
  QTEST(asked, "asks");
  QCOMPARE(dialog.GetPathName(), accept ? QFile::encodeName(picked).toStdString() : CString());
}

void TestFileDialog::messageBox() {
  const CWinApp app("Universal Programmer");  // captions the box
  QString caption;
  QString text;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    caption = box->windowTitle();
    text = box->text();
    box->button(QMessageBox::Ok)->click();
  });
  const neutral::ModalWatchdog watchdog(testsupport::ReportToQtTest);
  QCOMPARE(AfxMessageBox("Unable to open file!"), IDOK);
  QCOMPARE(caption, QString("Universal Programmer"));
  QCOMPARE(text, QString("Unable to open file!"));

  neutral::ScriptedDialogs script;  // now only recorded: a window would block the test
  QCOMPARE(AfxMessageBox("Unable to write to file!"), IDOK);
  QCOMPARE(script.Messages(), std::vector<CString>{"Unable to write to file!"});
}

void TestFileDialog::focusReturnsAfterwards_data() {
  QTest::addColumn<QString>("dialog");
  QTest::newRow("message box") << "message box";
  QTest::newRow("open-file dialog") << "open";
  QTest::newRow("save-file dialog") << "save";
}

// Enter presses the focused button again once a dialog over its window has closed.
void TestFileDialog::focusReturnsAfterwards() {
  QFETCH(QString, dialog);
  QWidget window;
  auto* first = new QPushButton("first", &window);
  auto* second = new QPushButton("second", &window);
  second->move(0, 40);
  window.show();
  window.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&window));
  second->setFocus();
  QCOMPARE(QApplication::focusWidget(), second);

  QTimer::singleShot(0, [] {
    if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget())) modal->reject();
  });
  const neutral::ModalWatchdog watchdog(testsupport::ReportToQtTest);
  if (dialog == "message box") {
    AfxMessageBox("Unable to open file!");
  } else {
    CFileDialog(dialog == "open", nullptr, nullptr, OFN_OVERWRITEPROMPT, "S (*.tss)|*.tss||",
                nullptr)
        .DoModal();
  }
  QTRY_COMPARE(QApplication::activeWindow(), &window);
  QTRY_COMPARE(QApplication::focusWidget(), second);
  Q_UNUSED(first);
}

// Whatever the working folder is: the documents folder first, then where the last file was picked.
void TestFileDialog::startsInDocumentsThenTheLastFolder() {
  QTemporaryDir home;
  QVERIFY(QDir(home.path()).mkpath("Documents") && QDir(home.path()).mkpath("picked"));
  const QByteArray callersHome = qgetenv("HOME");
  qputenv("HOME", QFile::encodeName(home.path()));
  QStringList openedIn;
  auto pickOnceShown = [&openedIn](const QString& path) {
    QTimer::singleShot(0, [&openedIn, path] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (!dialog) return;
      openedIn << dialog->directory().absolutePath();
      dialog->selectFile(path);
      QMetaObject::invokeMethod(dialog, "accept");
    });
  };
  const neutral::ModalWatchdog watchdog(testsupport::ReportToQtTest);
  pickOnceShown(home.filePath("picked/first.tss"));
  CFileDialog save(false);
  const int saved = save.DoModal();
  pickOnceShown(home.filePath("picked/first.tss"));
  CFileDialog open(true);
  const int opened = open.DoModal();
  qputenv("HOME", callersHome);
  QCOMPARE(saved, IDOK);
  QCOMPARE(opened, IDOK);
  QCOMPARE(openedIn, QStringList({home.filePath("Documents"), home.filePath("picked")}));
}

QTEST_MAIN(TestFileDialog)
#include "tst_filedialog.moc"
