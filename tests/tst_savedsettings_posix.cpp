// Saved-settings files, what only POSIX systems give a save: permission bits kept and the umask
// taken, and a save that fails under a file-size limit, a full disk or permission bits (as an
// unprivileged user, in a child process) leaving the old file as it was. What every build checks
// (loading, saving, links, missing folders, read-only and held files) is in
// tests/neutral/tst_savedsettings.cpp.
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
  void saveKeepsPermissions_data();
  void saveKeepsPermissions();
  void newFileTakesTheUmask();
  void failedSaveKeepsTheOldFile_data();
  void failedSaveKeepsTheOldFile();
  void fullDiskKeepsTheOldFile();
};

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

void TestSavedSettings::failedSaveKeepsTheOldFile_data() {
  QTest::addColumn<QString>("folder");  // "writable" or "read-only"
  // At the path: "none", "file", "read-only file", "longer file" (than what is saved).
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
  QVERIFY(QDir().mkdir(inside));
  const QByteArray oldContent = old == "longer file" ? kOld.repeated(200) : kOld;
  if (old == "longer file") QVERIFY(oldContent.size() > LinesOf(ManyIds()).size());
  if (old.endsWith("file")) {
    QVERIFY(WriteFile(path, oldContent));
    QVERIFY(chmod(QFile::encodeName(path), old == "read-only file" ? 0444 : 0666) == 0);
  }
  QVERIFY(chmod(QFile::encodeName(inside), folder == "writable" ? 0777 : 0555) == 0);
  const QStringList before = Entries(inside);
  const Form form(ManyIds(), false);

  // In a child: the limits are the child's alone.
  const int result = testsupport::RunInChild(
      [&] { return form.Save(path); }, {.unprivileged = true, .fileSizeLimit = rlim_t(limit)});
  chmod(QFile::encodeName(inside), 0755);
  QVERIFY2(result == testsupport::kChildFalse || result == testsupport::kChildTrue,
           "the child could not be set up, or its save ran out of time");
  QCOMPARE(result == testsupport::kChildTrue, saved);
  QCOMPARE(Entries(inside), before);  // no temporary file is left behind
  if (saved) QCOMPARE(ReadFile(path), LinesOf(ManyIds()));
  if (!saved && old.endsWith("file")) QCOMPARE(ReadFile(path), oldContent);
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
#include "tst_savedsettings_posix.moc"
