// The file dialog and message box of the platform layer: filters in the toolkit's form, the
// extension of a picked name, the real dialogs' settings, and the scripted answers tests rely on.
#include <QAbstractButton>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QtTest>

#include "AfxMessageBox.h"
#include "CFileDialog.h"
#include "DialogScript.h"

class TestFileDialog : public QObject {
  Q_OBJECT

 private slots:
  void nameFilters_data();
  void nameFilters();
  void fileExt_data();
  void fileExt();
  void realDialog_data();
  void realDialog();
  void messageBox();
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
  QTEST(platform::ToNameFilters(filter.constData()), "filters");
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
  platform::DialogScript script;
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
  QTest::addColumn<bool>("asks");  // before replacing the picked file, which exists
  const unsigned prompt = OFN_OVERWRITEPROMPT;
  QTest::newRow("open") << true << prompt << true << false;
  QTest::newRow("save, asks before replacing") << false << prompt << true << true;
  QTest::newRow("save, replaces without asking") << false << 0u << true << false;
  QTest::newRow("save, cancelled") << false << prompt << false << false;
}

void TestFileDialog::realDialog() {
  QFETCH(bool, open);
  QFETCH(unsigned, flags);
  QFETCH(bool, accept);
  QTemporaryDir dir;
  const QString picked = dir.filePath(QString::fromUtf8("réglé 1.tss"));
  QFile file(picked);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.close();
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
  QCOMPARE(dialog.DoModal(), accept ? IDOK : IDCANCEL);
  QVERIFY(shown);
  QCOMPARE(acceptMode, open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  QCOMPARE(fileMode, open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  QCOMPARE(filters, QStringList{"S (*.tss)"});
  QTEST(asked, "asks");
  QCOMPARE(dialog.GetPathName(), accept ? QFile::encodeName(picked).toStdString() : CString());
}

void TestFileDialog::messageBox() {
  QString caption;
  QString text;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    caption = box->windowTitle();
    text = box->text();
    box->button(QMessageBox::Ok)->click();
  });
  QCOMPARE(AfxMessageBox("Unable to open file!"), IDOK);
  QCOMPARE(caption, QString("Universal Programmer"));
  QCOMPARE(text, QString("Unable to open file!"));

  platform::DialogScript script;  // now only recorded: a window would block the test
  QCOMPARE(AfxMessageBox("Unable to write to file!"), IDOK);
  QCOMPARE(script.Messages(), std::vector<CString>{"Unable to write to file!"});
}

QTEST_MAIN(TestFileDialog)
#include "tst_filedialog.moc"
