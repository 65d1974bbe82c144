// The main dialog's File commands and its About box, with scripted file dialogs and recorded
// message boxes; config.inf is written beside the test's own executable.
#include <QDialog>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

#include "app/MainDlg.h"
#include "platform/qt/QtWindows.h"
#include "res/resource.h"
#include "tests/support/Fixtures.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/ToolResources.h"

namespace {

const QByteArray kConfig = "AppName \"Widget Loader\"\nID \"a\" \"BYTE\"\nID \"b\" \"BYTE\"\n";

using testsupport::ReadFile;
using testsupport::WriteFile;

QString ConfigPath() { return testsupport::ConfigPathBesideExecutable(); }

QList<QLineEdit*> Edits(CMainDlg& dialog) {
  return platform::qt::ClientWidgetOf(dialog)->findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly);
}

QStringList Texts(CMainDlg& dialog) {
  QStringList texts;
  for (QLineEdit* edit : Edits(dialog)) texts << edit->text();
  return texts;
}

// Shows the main dialog with its boxes at "1", "2"..., runs `whileShown`, then ends it.
void RunModal(CMainDlg& dialog, const std::function<void()>& whileShown) {
  testsupport::RunModal(dialog, [&] {
    const auto edits = Edits(dialog);
    for (int i = 0; i < edits.size(); ++i) edits[i]->setText(QString::number(i + 1));
    whileShown();
  });
}

QString Answer(testsupport::ScriptedDialogs& script, const QString& path) {
  script.AnswerPath(QFile::encodeName(path).toStdString());
  return path;
}

}  // namespace

class TestFileCommands : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { testsupport::RegisterToolResources(); }
  void init() { testsupport::WriteConfigBesideExecutable(kConfig); }
  void cleanup() { QFile::remove(ConfigPath()); }
  void saveAsNaming_data();
  void saveAsNaming();
  void saveAsAsksBeforeReplacingTheNameItCompleted_data();
  void saveAsAsksBeforeReplacingTheNameItCompleted();
  void saveWritesToTheKnownFile();
  void cancelledDialogsChangeNothing_data();
  void cancelledDialogsChangeNothing();
  void open_data();
  void open();
  void saveWritesToTheFileOpenCouldNotRead_data();
  void saveWritesToTheFileOpenCouldNotRead();
  void anotherDevicesFileIsNotTheSaveTarget();
  void failedSaveSaysSo();
  void about_data();
  void about();
};

void TestFileCommands::saveAsNaming_data() {
  QTest::addColumn<QString>("typed");
  QTest::addColumn<QString>("saved");
  QTest::newRow("no extension") << "mine"
                                << "mine.tss";
  QTest::newRow("other extension") << "mine.txt"
                                   << "mine.txt";
  QTest::newRow("capitals") << "MINE.TSS"
                            << "MINE.TSS";
  QTest::newRow("ends in a full stop") << "mine."
                                       << "mine.tss";
  QTest::newRow("full stop only in the folder") << "a.b/mine"
                                                << "a.b/mine.tss";
}

void TestFileCommands::saveAsNaming() {
  QFETCH(QString, typed);
  QFETCH(QString, saved);
  QTemporaryDir dir;
  QVERIFY(QDir(dir.path()).mkdir("a.b"));
  testsupport::ScriptedDialogs script;
  Answer(script, dir.filePath(typed));
  CMainDlg dialog(IDD_MAIN);
  RunModal(dialog, [&] { dialog.SendCommand(ID_FILE_SAVE_SETTINGS_AS); });
  QCOMPARE(ReadFile(dir.filePath(saved)), QByteArray("a \"1\"\nb \"2\"\n"));
  QDirIterator files(dir.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
  QVERIFY(files.hasNext() && (files.next(), !files.hasNext()));  // that file alone
  QCOMPARE(script.FileDialogs().size(), 1u);
  const auto& asked = script.FileDialogs()[0];
  QVERIFY(!asked.open);
  QCOMPARE(asked.flags, OFN_OVERWRITEPROMPT);
  QCOMPARE(asked.filter, CString("Tervio Saved Settings (*.tss)|*.tss|All Files(*.*)|*.*||"));
  QVERIFY(script.Messages().empty());
}

void TestFileCommands::saveAsAsksBeforeReplacingTheNameItCompleted_data() {
  QTest::addColumn<int>("answer");
  QTest::addColumn<QByteArray>("kept");
  QTest::newRow("Yes replaces") << IDYES << QByteArray("a \"1\"\nb \"2\"\n");
  QTest::newRow("No keeps the file, back to the dialog") << IDNO << QByteArray("a \"9\"\n");
}

void TestFileCommands::saveAsAsksBeforeReplacingTheNameItCompleted() {
  QFETCH(int, answer);
  QTemporaryDir dir;
  QVERIFY(WriteFile(dir.filePath("mine.tss"), "a \"9\"\n"));
  testsupport::ScriptedDialogs script;
  Answer(script, dir.filePath("mine"));  // the dialog saw no file of that name
  script.AnswerYesNo(answer);
  const QString other = Answer(script, dir.filePath("other.tss"));  // after a No: another name
  CMainDlg dialog(IDD_MAIN);
  RunModal(dialog, [&] { dialog.SendCommand(ID_FILE_SAVE_SETTINGS_AS); });
  QCOMPARE(script.Messages().at(0),
           CString("mine.tss already exists.\nDo you want to replace it?"));
  QCOMPARE(script.FileDialogs().size(), answer == IDYES ? 1u : 2u);
  QTEST(ReadFile(dir.filePath("mine.tss")), "kept");
  QCOMPARE(QFileInfo::exists(other), answer == IDNO);
}

void TestFileCommands::saveWritesToTheKnownFile() {
  QTemporaryDir dir;
  testsupport::ScriptedDialogs script;
  const QString first = Answer(script, dir.filePath("first.tss"));
  const QString opened = Answer(script, dir.filePath("opened.tss"));
  QVERIFY(WriteFile(opened, "a \"7\"\n"));
  CMainDlg dialog(IDD_MAIN);
  RunModal(dialog, [&] {
    dialog.SendCommand(ID_FILE_SAVE_SETTINGS);  // no file yet: asks like Save As
    Edits(dialog)[0]->setText("3");
    dialog.SendCommand(ID_FILE_SAVE_SETTINGS);  // writes without asking
    QCOMPARE(ReadFile(first), QByteArray("a \"3\"\nb \"2\"\n"));
    dialog.SendCommand(ID_FILE_OPEN_SETTINGS);
    dialog.SendCommand(ID_FILE_SAVE_SETTINGS);
    QCOMPARE(ReadFile(opened), QByteArray("a \"7\"\nb \"2\"\n"));
  });
  QCOMPARE(script.FileDialogs().size(), 2u);
  QVERIFY(!script.FileDialogs()[0].open && script.FileDialogs()[1].open);
  QVERIFY(script.Messages().empty());
}

void TestFileCommands::cancelledDialogsChangeNothing_data() {
  QTest::addColumn<int>("command");
  QTest::addColumn<bool>("open");
  QTest::newRow("Open") << ID_FILE_OPEN_SETTINGS << true;
  QTest::newRow("Save") << ID_FILE_SAVE_SETTINGS << false;
  QTest::newRow("Save As") << ID_FILE_SAVE_SETTINGS_AS << false;
}

void TestFileCommands::cancelledDialogsChangeNothing() {
  QFETCH(int, command);
  QFETCH(bool, open);
  testsupport::ScriptedDialogs script;
  script.AnswerCancel();
  CMainDlg dialog(IDD_MAIN);
  RunModal(dialog, [&] {
    dialog.SendCommand(command);
    QCOMPARE(Texts(dialog), QStringList({"1", "2"}));
    dialog.SendCommand(ID_FILE_SAVE_SETTINGS);  // still no file: asks again
  });
  QCOMPARE(script.FileDialogs().size(), 2u);
  QCOMPARE(script.FileDialogs()[0].open, open);
  QVERIFY(script.Messages().empty());
}

void TestFileCommands::open_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QStringList>("shown");
  QTest::addColumn<QString>("message");
  QTest::newRow("saved settings") << "s.tss" << QStringList{"1", "9"} << "";
  QTest::newRow("missing file") << "missing.tss" << QStringList{"1", "2"} << "Unable to open file!";
  QTest::newRow("a folder") << "." << QStringList{"1", "2"} << "Unable to open file!";
}

void TestFileCommands::open() {
  QFETCH(QString, name);
  QFETCH(QString, message);
  QTemporaryDir dir;
  QVERIFY(WriteFile(dir.filePath("s.tss"), "b \"9\"\n"));
  testsupport::ScriptedDialogs script;
  Answer(script, dir.filePath(name));
  CMainDlg dialog(IDD_MAIN);
  RunModal(dialog, [&] {
    dialog.SendCommand(ID_FILE_OPEN_SETTINGS);
    QTEST(Texts(dialog), "shown");
  });
  QCOMPARE(script.Messages().size(), message.isEmpty() ? 0u : 1u);
  if (!message.isEmpty()) QCOMPARE(QString::fromStdString(script.Messages()[0]), message);
}

void TestFileCommands::saveWritesToTheFileOpenCouldNotRead_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QByteArray>("saved");  // what the file then holds; empty: nothing there
  QTest::addColumn<QStringList>("messages");
  QTest::newRow("missing file: Save makes it")
      << "missing.tss" << QByteArray("a \"1\"\nb \"5\"\n") << QStringList{"Unable to open file!"};
  QTest::newRow("a folder: Save fails on it")
      << "." << QByteArray() << QStringList{"Unable to open file!", "Unable to write to file!"};
}

// The picked file becomes the one Save writes to even when Open could not read it: Save asks for
// no name and writes the form's values there.
void TestFileCommands::saveWritesToTheFileOpenCouldNotRead() {
  QFETCH(QString, name);
  QFETCH(QByteArray, saved);
  QTemporaryDir dir;
  testsupport::ScriptedDialogs script;
  const QString path = Answer(script, dir.filePath(name));
  CMainDlg dialog(IDD_MAIN);
  RunModal(dialog, [&] {
    dialog.SendCommand(ID_FILE_OPEN_SETTINGS);
    Edits(dialog)[1]->setText("5");
    dialog.SendCommand(ID_FILE_SAVE_SETTINGS);
  });
  QCOMPARE(script.FileDialogs().size(), 1u);
  QVERIFY(script.FileDialogs()[0].open);
  QStringList messages;
  for (const CString& message : script.Messages()) messages << QString::fromStdString(message);
  QTEST(messages, "messages");
  if (!saved.isEmpty()) QCOMPARE(ReadFile(path), saved);
  if (saved.isEmpty()) QVERIFY(QFileInfo(path).isDir());
}

// Loaded up to its first unknown id, said so, and Save then asks for a name instead of
// overwriting it with this form's settings.
void TestFileCommands::anotherDevicesFileIsNotTheSaveTarget() {
  QTemporaryDir dir;
  const QByteArray other = "b \"9\"\nspeed \"5\"\na \"4\"\n";
  QVERIFY(WriteFile(dir.filePath("other.tss"), other));
  testsupport::ScriptedDialogs script;
  Answer(script, dir.filePath("other.tss"));
  CMainDlg dialog(IDD_MAIN);
  RunModal(dialog, [&] {
    dialog.SendCommand(ID_FILE_OPEN_SETTINGS);
    QCOMPARE(Texts(dialog), QStringList({"1", "9"}));
    dialog.SendCommand(ID_FILE_SAVE_SETTINGS);  // the script cancels the Save As dialog
  });
  QCOMPARE(script.Messages().size(), 1u);
  QVERIFY(QString::fromStdString(script.Messages()[0])
              .startsWith("This file holds settings that this form does not have"));
  QCOMPARE(script.FileDialogs().size(), 2u);
  QCOMPARE(ReadFile(dir.filePath("other.tss")), other);
}

void TestFileCommands::failedSaveSaysSo() {
  QTemporaryDir dir;
  testsupport::ScriptedDialogs script;
  Answer(script, dir.filePath("missing/mine"));
  CMainDlg dialog(IDD_MAIN);
  RunModal(dialog, [&] {
    dialog.SendCommand(ID_FILE_SAVE_SETTINGS_AS);
    dialog.SendCommand(ID_FILE_SAVE_SETTINGS);  // the picked name stays: no dialog, same failure
  });
  QCOMPARE(script.FileDialogs().size(), 1u);
  QCOMPARE(script.Messages(),
           std::vector<CString>({"Unable to write to file!", "Unable to write to file!"}));
}

void TestFileCommands::about_data() {
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

void TestFileCommands::about() {
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

QTEST_MAIN(TestFileCommands)
#include "tst_filecommands.moc"
