// Saved-settings files: what loading takes from a file, what saving writes, and that a save which
// fails (full disk, file-size limit, permissions, missing folder) leaves the old file as it was.
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

#include "tests/support/ChildProcess.h"
#include "tests/support/Fixtures.h"
#include "tests/support/SettingsForm.h"

namespace {

const QByteArray kOld = "previous good file\n";

using testsupport::ReadFile;
using testsupport::WriteFile;

QStringList Entries(const QString& folder) {
  return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

// A form with one row per id, as config.inf makes it; with controls, the boxes show "1", "2"...
class Form : public testsupport::SettingsForm {
 public:
  explicit Form(const QByteArrayList& ids, bool withControls = true)
      : SettingsForm(testsupport::ByteEntries(ids), withControls ? Boxes::Numbered : Boxes::None) {}
};

// Enough rows that their file outgrows the limits below; without controls each value is 0.
QByteArrayList ManyIds() {
  QByteArrayList ids;
  for (int i = 0; i < 40; ++i) ids << QByteArray(50, 'a' + i % 26) + QByteArray::number(i);
  return ids;
}

QByteArray LinesOf(const QByteArrayList& ids) {
  QByteArray lines;
  for (const QByteArray& id : ids) lines += id + " \"0\"\n";
  return lines;
}

}  // namespace

class TestSavedSettings : public QObject {
  Q_OBJECT

 private slots:
  void load_data();
  void load();
  void loadFailsOnlyWhenUnreadable_data();
  void loadFailsOnlyWhenUnreadable();
  void saveAndLoadBack_data();
  void saveAndLoadBack();
  void saveKeepsPermissions_data();
  void saveKeepsPermissions();
  void newFileTakesTheUmask();
  void saveThroughALinkKeepsTheLink();
  void failedSaveKeepsTheOldFile_data();
  void failedSaveKeepsTheOldFile();
  void fullDiskKeepsTheOldFile();
};

void TestSavedSettings::load_data() {
  QTest::addColumn<QByteArrayList>("ids");
  QTest::addColumn<QByteArray>("file");
  QTest::addColumn<QStringList>("shown");
  const QByteArrayList abc{"a", "b", "c"};
  const QByteArray longId(150, 'i');
  QTest::newRow("only the named rows")
      << abc << QByteArray("b \"9\"\n") << QStringList{"1", "9", "3"};
  QTest::newRow("another order") << abc << QByteArray("c \"7\"\na \"8\"\n")
                                 << QStringList{"8", "2", "7"};
  QTest::newRow("unknown id stops")
      << abc << QByteArray("a \"5\"\nzz \"6\"\nb \"7\"\n") << QStringList{"5", "2", "3"};
  QTest::newRow("named twice: the later")
      << abc << QByteArray("a \"5\"\na \"6\"\n") << QStringList{"6", "2", "3"};
  QTest::newRow("shared id: both to the first")
      << QByteArrayList{"a", "a", "b"} << QByteArray("a \"5\"\na \"6\"\n")
      << QStringList{"6", "2", "3"};
  QTest::newRow("empty file") << abc << QByteArray() << QStringList{"1", "2", "3"};
  QTest::newRow("no last line end")
      << abc << QByteArray("a \"5\"\nb \"6\"") << QStringList{"5", "6", "3"};
  QTest::newRow("id runs to the end")
      << abc << QByteArray("a \"5\"\nb") << QStringList{"5", "2", "3"};
  QTest::newRow("value cut off") << abc << QByteArray("a \"5\"\nb \"6")
                                 << QStringList{"5", "2", "3"};
  QTest::newRow("words after the quote stop")
      << abc << QByteArray("a \"5\" extra\nb \"6\"\n") << QStringList{"5", "2", "3"};
  QTest::newRow("decimal forms") << abc << QByteArray("a \"007\"\nb \"300\"\nc \"-1\"\n")
                                 << QStringList{"7", "300", "-1"};
  QTest::newRow("CR LF") << abc << QByteArray("a \"5\"\r\nb \"6\"\r\n")
                         << QStringList{"5", "6", "3"};
  QTest::newRow("long value cut, next line in step")
      << abc << "a \"" + QByteArray(150, '1') + "\"\nb \"6\"\n"
      << QStringList{"2147483647", "6", "3"};
  QTest::newRow("long id matches its first 99")
      << QByteArrayList{longId, "b"} << longId + " \"5\"\nb \"6\"\n"
      << QStringList{"5", "6"};
  QTest::newRow("id with a blank stops")
      << QByteArrayList{"my id", "b"} << QByteArray("my id \"5\"\nb \"6\"\n")
      << QStringList{"1", "2"};
  QTest::newRow("empty id stops") << QByteArrayList{"", "b"} << QByteArray(" \"5\"\nb \"6\"\n")
                                  << QStringList{"1", "2"};
}

void TestSavedSettings::load() {
  QFETCH(QByteArrayList, ids);
  QFETCH(QByteArray, file);
  QTemporaryDir dir;
  QVERIFY(WriteFile(dir.filePath("s.tss"), file));
  Form form(ids);
  QVERIFY(form.Load(dir.filePath("s.tss")));
  QTEST(form.Texts(), "shown");
}

void TestSavedSettings::loadFailsOnlyWhenUnreadable_data() {
  QTest::addColumn<QString>("name");
  QTest::newRow("missing file") << "missing.tss";
  QTest::newRow("a folder") << ".";
}

void TestSavedSettings::loadFailsOnlyWhenUnreadable() {
  QFETCH(QString, name);
  QTemporaryDir dir;
  Form form({"a"});
  QVERIFY(!form.Load(dir.filePath(name)));
  QCOMPARE(form.Texts(), QStringList{"1"});
}

void TestSavedSettings::saveAndLoadBack_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QByteArrayList>("ids");
  QTest::addColumn<QStringList>("texts");
  QTest::addColumn<QByteArray>("file");
  QTest::addColumn<QStringList>("loaded");  // into boxes that showed "x"
  QTest::newRow("decimal, no plus, no leading zeros")
      << "s.tss" << QByteArrayList{"a", "b", "c"} << QStringList{"007", "+300", "-1"}
      << QByteArray("a \"7\"\nb \"300\"\nc \"-1\"\n") << QStringList{"7", "300", "-1"};
  QTest::newRow("empty box, 12abc")
      << "s.tss" << QByteArrayList{"a", "b"} << QStringList{"", "12abc"}
      << QByteArray("a \"0\"\nb \"12\"\n") << QStringList{"0", "12"};
  QTest::newRow("no settings: empty file")
      << "s.tss" << QByteArrayList{} << QStringList{} << QByteArray() << QStringList{};
  QTest::newRow("blanks and non-ASCII in the path")
      << QString::fromUtf8("Réglages d'été/mes réglages.tss") << QByteArrayList{"a"}
      << QStringList{"5"} << QByteArray("a \"5\"\n") << QStringList{"5"};
  QTest::newRow("long id cut to 99") << "s.tss" << QByteArrayList{QByteArray(150, 'i')}
                                     << QStringList{"5"} << QByteArray(99, 'i') + " \"5\"\n"
                                     << QStringList{"5"};
  QTest::newRow("empty id is written, not loaded")
      << "s.tss" << QByteArrayList{"", "b"} << QStringList{"5", "6"}
      << QByteArray(" \"5\"\nb \"6\"\n") << QStringList{"x", "x"};
}

void TestSavedSettings::saveAndLoadBack() {
  QFETCH(QString, name);
  QFETCH(QByteArrayList, ids);
  QFETCH(QStringList, texts);
  QTemporaryDir dir;
  const QString path = dir.filePath(name);
  QVERIFY(QDir().mkpath(QFileInfo(path).path()));
  QVERIFY(WriteFile(path, QByteArray(500, 'o')));  // longer than any new content
  Form form(ids);
  for (int i = 0; i < texts.size(); ++i) form.SetText(i, texts[i]);
  QVERIFY(form.Save(path));
  QTEST(ReadFile(path), "file");
  QCOMPARE(form.Texts(), texts);  // saving never rewrites a box
  QCOMPARE(Entries(QFileInfo(path).path()), QStringList{QFileInfo(path).fileName()});
  for (int i = 0; i < texts.size(); ++i) form.SetText(i, "x");
  QVERIFY(form.Load(path));
  QTEST(form.Texts(), "loaded");
}

void TestSavedSettings::saveKeepsPermissions_data() {
  QTest::addColumn<int>("mode");  // of the old file
  QTest::newRow("0600") << 0600;
  QTest::newRow("0640") << 0640;
  QTest::newRow("0755") << 0755;
}

void TestSavedSettings::saveKeepsPermissions() {
  QFETCH(int, mode);
  QTemporaryDir dir;
  const QString path = dir.filePath("s.tss");
  QVERIFY(WriteFile(path, kOld) && chmod(QFile::encodeName(path), mode) == 0);
  QVERIFY(Form({"a"}).Save(path));
  struct stat saved {};
  QCOMPARE(stat(QFile::encodeName(path), &saved), 0);
  QCOMPARE(int(saved.st_mode & 07777), mode);
}

void TestSavedSettings::newFileTakesTheUmask() {
  QTemporaryDir dir;
  const QString path = dir.filePath("s.tss");
  const mode_t mask = umask(0);
  umask(mask);
  QVERIFY(Form({"a"}).Save(path));
  struct stat saved {};
  QCOMPARE(stat(QFile::encodeName(path), &saved), 0);
  QCOMPARE(int(saved.st_mode & 07777), int(0666 & ~mask));
}

void TestSavedSettings::saveThroughALinkKeepsTheLink() {
  QTemporaryDir dir;
  QVERIFY(WriteFile(dir.filePath("real.tss"), kOld));
  QVERIFY(QFile::link(dir.filePath("real.tss"), dir.filePath("link.tss")));
  QVERIFY(Form({"a"}).Save(dir.filePath("link.tss")));
  QVERIFY(QFileInfo(dir.filePath("link.tss")).isSymLink());
  QCOMPARE(ReadFile(dir.filePath("real.tss")), QByteArray("a \"1\"\n"));
}

void TestSavedSettings::failedSaveKeepsTheOldFile_data() {
  QTest::addColumn<QString>("folder");  // "writable", "read-only" or "missing"
  // At the path: "none", "file", "read-only file", "longer file" (than what is saved), "folder".
  QTest::addColumn<QString>("old");
  QTest::addColumn<int>("limit");  // file-size limit in bytes; 0: none
  QTest::addColumn<bool>("saved");
  QTest::newRow("file-size limit") << "writable"
                                   << "file" << 1024 << false;
  QTest::newRow("limit, no old file") << "writable"
                                      << "none" << 1024 << false;
  QTest::newRow("read-only folder") << "read-only"
                                    << "none" << 0 << false;
  QTest::newRow("read-only folder and file") << "read-only"
                                             << "read-only file" << 0 << false;
  QTest::newRow("read-only file") << "writable"
                                  << "read-only file" << 0 << false;
  QTest::newRow("missing folder") << "missing"
                                  << "none" << 0 << false;
  QTest::newRow("a folder at the path") << "writable"
                                        << "folder" << 0 << false;
  QTest::newRow("read-only folder, writable file: in place") << "read-only"
                                                             << "file" << 0 << true;
  // Written over in place, the old file must not keep its tail beyond the new content.
  QTest::newRow("read-only folder, longer writable file: in place") << "read-only"
                                                                    << "longer file" << 0 << true;
}

void TestSavedSettings::failedSaveKeepsTheOldFile() {
  QFETCH(QString, folder);
  QFETCH(QString, old);
  QFETCH(int, limit);
  QFETCH(bool, saved);
  QTemporaryDir dir;
  QVERIFY(chmod(QFile::encodeName(dir.path()), 0755) == 0);  // for the child's own user
  const QString inside = dir.filePath("f");
  const QString path = inside + "/s.tss";
  if (folder != "missing") QVERIFY(QDir().mkdir(inside));
  if (old == "folder") QVERIFY(QDir().mkdir(path));
  const QByteArray oldContent = old == "longer file" ? kOld.repeated(200) : kOld;
  if (old == "longer file") QVERIFY(oldContent.size() > LinesOf(ManyIds()).size());
  if (old.endsWith("file")) {
    QVERIFY(WriteFile(path, oldContent));
    QVERIFY(chmod(QFile::encodeName(path), old == "read-only file" ? 0444 : 0666) == 0);
  }
  if (folder != "missing")
    QVERIFY(chmod(QFile::encodeName(inside), folder == "writable" ? 0777 : 0555) == 0);
  const QStringList before = Entries(inside);
  const Form form(ManyIds(), false);

  // In a child: the limits are the child's alone.
  const int result = testsupport::RunInChild(
      [&] { return form.Save(path); }, {.unprivileged = true, .fileSizeLimit = rlim_t(limit)});
  if (folder != "missing") chmod(QFile::encodeName(inside), 0755);
  QVERIFY2(result == testsupport::kChildFalse || result == testsupport::kChildTrue,
           "the child could not be set up, or its save ran out of time");
  QCOMPARE(result == testsupport::kChildTrue, saved);
  QCOMPARE(Entries(inside), before);  // no temporary file is left behind
  if (saved) QCOMPARE(ReadFile(path), LinesOf(ManyIds()));
  if (!saved && old.endsWith("file")) QCOMPARE(ReadFile(path), oldContent);
  if (old == "folder") QVERIFY(QFileInfo(path).isDir());
}

void TestSavedSettings::fullDiskKeepsTheOldFile() {
  QTemporaryDir dir;
  const QByteArray disk = QFile::encodeName(dir.path());
  if (mount("tmpfs", disk, "tmpfs", 0, "size=16k") != 0) QSKIP("no permission to mount a tmpfs");
  const struct Unmount {
    QByteArray at;
    ~Unmount() { umount2(at, MNT_DETACH); }
  } unmount{disk};
  const QString path = dir.filePath("s.tss");
  QVERIFY(WriteFile(path, kOld));
  const int filler = open(disk + "/filler", O_WRONLY | O_CREAT, 0600);
  const QByteArray block(1024, 'f');
  while (write(filler, block.constData(), block.size()) > 0) {
  }
  close(filler);

  const Form form(ManyIds(), false);
  QVERIFY(!form.Save(path));
  QCOMPARE(ReadFile(path), kOld);
  QCOMPARE(Entries(dir.path()), QStringList({"filler", "s.tss"}));
  QVERIFY(QFile::remove(dir.filePath("filler")));
  QVERIFY(form.Save(path));  // the full disk was the only obstacle
}

QTEST_MAIN(TestSavedSettings)
#include "tst_savedsettings.moc"
