// The platform layer's own parts below the dialogs: the dialog-unit arithmetic that every backend
// shares, and the system's file operations that the configuration reads and checks names with.
#include <sys/stat.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include "platform/DialogUnits.h"
#include "platform/Files.h"
#include "tests/support/Fixtures.h"

namespace {

QByteArray Path(const QString& path) { return QFile::encodeName(path); }

}  // namespace

class TestLayer : public QObject {
  Q_OBJECT

 private slots:
  void dialogUnits_data();
  void dialogUnits();
  void readWholeFile_data();
  void readWholeFile();
  void pipeWithoutWriterIsRefusedAtOnce();
  void fileExists_data();
  void fileExists();

 private:
  QTemporaryDir m_dir;
};

// Each side is converted on its own and rounded half away from zero: the right edge is the left
// plus the converted width, which is not always the converted sum.
void TestLayer::dialogUnits_data() {
  QTest::addColumn<int>("x");
  QTest::addColumn<int>("y");
  QTest::addColumn<int>("cx");
  QTest::addColumn<int>("cy");
  QTest::addColumn<QList<int>>("pixels");  // left, top, right, bottom at base units 6 x 14
  QTest::newRow("template button") << 7 << 170 << 50 << 14 << QList<int>{11, 298, 86, 323};
  QTest::newRow("halves round up") << 1 << 1 << 1 << 1 << QList<int>{2, 2, 4, 4};
  QTest::newRow("negative halves round down") << -1 << -3 << 2 << 4 << QList<int>{-2, -5, 1, 2};
  QTest::newRow("empty") << 0 << 0 << 0 << 0 << QList<int>{0, 0, 0, 0};
}

void TestLayer::dialogUnits() {
  QFETCH(int, x);
  QFETCH(int, y);
  QFETCH(int, cx);
  QFETCH(int, cy);
  QFETCH(QList<int>, pixels);
  const RECT rect = platform::DialogUnitsToPixels({6, 14}, x, y, cx, cy);
  QCOMPARE((QList<int>{rect.left, rect.top, rect.right, rect.bottom}), pixels);
}

void TestLayer::readWholeFile_data() {
  QTest::addColumn<QByteArray>("content");  // written to a file of that name, unless "folder"
  QTest::addColumn<QString>("kind");
  QTest::addColumn<int>("largest");
  QTest::addColumn<bool>("read");
  static const char kRaw[] = "line\r\n\xEF\xBB\xBFmore\0end";  // kept byte for byte, NUL included
  const QByteArray bytes(kRaw, sizeof kRaw - 1);
  QTest::newRow("bytes as they are") << bytes << "file" << 64 << true;
  QTest::newRow("exactly the limit") << bytes << "file" << int(bytes.size()) << true;
  QTest::newRow("one byte over") << bytes << "file" << int(bytes.size()) - 1 << false;
  QTest::newRow("empty file") << QByteArray() << "file" << 0 << true;
  QTest::newRow("folder") << QByteArray() << "folder" << 64 << false;
  QTest::newRow("missing") << QByteArray() << "missing" << 64 << false;
  QTest::newRow("unreadable") << bytes << "unreadable" << 64 << false;
}

void TestLayer::readWholeFile() {
  QFETCH(QByteArray, content);
  QFETCH(QString, kind);
  QFETCH(int, largest);
  QFETCH(bool, read);
  const QString path = m_dir.filePath(QTest::currentDataTag());
  if (kind == "folder") QVERIFY(QDir().mkpath(path));
  if (kind == "file" || kind == "unreadable") QVERIFY(testsupport::WriteFile(path, content));
  if (kind == "unreadable") {
    QVERIFY(chmod(Path(path), 0) == 0);
    if (access(Path(path), R_OK) == 0) QSKIP("running with the right to read every file");
  }
  const auto got = platform::ReadWholeFile(Path(path), static_cast<std::size_t>(largest));
  QCOMPARE(got.has_value(), read);
  if (read) QCOMPARE(QByteArray::fromStdString(*got), content);
}

// A named pipe with no writer would block a plain open: the tool must not hang on it.
void TestLayer::pipeWithoutWriterIsRefusedAtOnce() {
  const QByteArray fifo = Path(m_dir.filePath("pipe"));
  QVERIFY(mkfifo(fifo, 0600) == 0);
  QElapsedTimer timer;
  timer.start();
  QVERIFY(!platform::ReadWholeFile(fifo, 64));
  QVERIFY(timer.elapsed() < 5000);
}

void TestLayer::fileExists_data() {
  QTest::addColumn<QString>("kind");
  QTest::addColumn<bool>("exists");
  QTest::newRow("file") << "file" << true;
  QTest::newRow("folder") << "folder" << true;
  QTest::newRow("missing") << "missing" << false;
  QTest::newRow("link to a file") << "link" << true;
  QTest::newRow("link to nothing") << "dangling" << false;
  QTest::newRow("inside a missing folder") << "nested" << false;
}

void TestLayer::fileExists() {
  QFETCH(QString, kind);
  QFETCH(bool, exists);
  const QString path = m_dir.filePath(QTest::currentDataTag());
  const QString target = m_dir.filePath("target of " + QString(QTest::currentDataTag()));
  if (kind == "file") QVERIFY(testsupport::WriteFile(path, "x"));
  if (kind == "folder") QVERIFY(QDir().mkpath(path));
  if (kind == "link") QVERIFY(testsupport::WriteFile(target, "x"));
  if (kind == "link" || kind == "dangling") QVERIFY(QFile::link(target, path));
  const QString asked = kind == "nested" ? path + "/file" : path;
  QCOMPARE(platform::FileExists(Path(asked)), exists);
}

QTEST_GUILESS_MAIN(TestLayer)
#include "tst_layer.moc"
