// Bad input, file by file: what the tool does with each file of tests/corpus/bad (and with a few
// made at run time: 10 MB files, pipes, devices, unreadable files, names that are not UTF-8).
// Whatever the input, loading ends promptly, never crashes, and keeps within the table's limits.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>

#include "app/MainDlg.h"
#include "config/AppConfig.h"
#include "config/TextFile.h"
#include "platform/CWnd.h"
#include "platform/qt/QtWindows.h"
#include "platform/qt/TextCodec.h"
#include "res/resource.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/Fixtures.h"
#include "tests/support/SettingsForm.h"
#include "tests/support/ToolResources.h"

namespace {

QString Corpus(const QString& name) { return QStringLiteral(BAD_CORPUS_DIR "/") + name; }

QByteArray Path(const QString& path) { return QFile::encodeName(path); }

// Byte for byte, the name included: the toolkit's file names are always Unicode.
bool WriteFile(const QByteArray& path, const QByteArray& bytes) {
  const int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const bool written = fd >= 0 && write(fd, bytes.constData(), bytes.size()) == bytes.size();
  return fd >= 0 && close(fd) == 0 && written;
}

// "id=label" of a row, as the table holds it.
QByteArray Row(const CAppConfig& config, int index) {
  const CSetting* setting = config.GetSetting(index);
  return QByteArray(setting->GetId()) + '=' + setting->GetLabel();
}

// A form of the rows a, b and c on a plain window, its boxes showing 1, 2 and 3.
class Form : public testsupport::SettingsForm {
 public:
  Form() : SettingsForm(testsupport::ByteEntries({"a", "b", "c"})) {}
};

// Makes `bytes` of `unit`s up to `size`, between a prefix and a suffix.
QByteArray Fill(const QByteArray& prefix, const QByteArray& unit, qsizetype size,
                const QByteArray& suffix) {
  QByteArray bytes = prefix;
  bytes.reserve(size + prefix.size() + suffix.size() + unit.size());
  while (bytes.size() < size) bytes += unit;
  return bytes + suffix;
}

QString MainConfigPath() { return testsupport::ConfigPathBesideExecutable(); }

}  // namespace

class TestBadInput : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { testsupport::RegisterToolResources(); }
  void configFile_data();
  void configFile();
  void shownText_data();
  void shownText();
  void settingsFile_data();
  void settingsFile();
  void tenMegabytes_data();
  void tenMegabytes();
  void notATextFile_data();
  void notATextFile();
  void unreadable_data();
  void unreadable();
  void namesThatAreNotUtf8();
  void mainDialogOpensOnAnyConfig_data();
  void mainDialogOpensOnAnyConfig();
  void cleanup() { QFile::remove(MainConfigPath()); }
};

void TestBadInput::configFile_data() {
  QTest::addColumn<QString>("file");
  QTest::addColumn<QByteArray>("appName");
  QTest::addColumn<QSize>("size");
  QTest::addColumn<int>("count");
  QTest::addColumn<QByteArray>("first");  // "id=label" of the first row
  QTest::addColumn<QByteArray>("last");   // and of the last
  QTest::addColumn<QByteArray>("appInfo");
  QTest::newRow("binary garbage: nothing") << "garbage.bin" << QByteArray() << QSize(0, 0) << 0
                                           << QByteArray() << QByteArray() << QByteArray();
  // A NUL ends the text it is in: a word is read up to its first NUL, so NULs in front of a
  // keyword hide it and NULs after it do not; reading goes on after them either way.
  QTest::newRow("NUL bytes cut texts, not the file")
      << "nul-bytes.inf" << QByteArray("Wid") << QSize(0, 0) << 1 << QByteArray("b=")
      << QByteArray("b=") << QByteArray();
  QTest::newRow("UTF-16 is not understood: nothing")
      << "utf16.inf" << QByteArray() << QSize(0, 0) << 0 << QByteArray() << QByteArray()
      << QByteArray();
  // A lone CR separates words like any blank, and inside quotes it is kept as written.
  QTest::newRow("lone CR line ends")
      << "lone-cr.inf" << QByteArray("Old Mac") << QSize(200, 100) << 2
      << QByteArray("a=Line one\rline two") << QByteArray("b=") << QByteArray();
  // CR LF becomes LF on reading, inside quotes too; a CR of its own stays.
  QTest::newRow("LF, CR LF and CR in one file")
      << "mixed-line-ends.inf" << QByteArray("Mixed") << QSize(300, 200) << 2
      << QByteArray("a=one\ntwo") << QByteArray("b=three\rfour") << QByteArray();
  QTest::newRow("quote open at the end: that entry only is lost")
      << "unterminated.inf" << QByteArray("T") << QSize(0, 0) << 2 << QByteArray("a=A")
      << QByteArray("b=") << QByteArray();
  QTest::newRow("1000 entries on one line: the first 100")
      << "enormous-line.inf" << QByteArray("One line") << QSize(0, 0) << 100 << QByteArray("s0=L0")
      << QByteArray("s99=L99") << QByteArray("end\n");
  QTest::newRow("AppSize below the integer range")
      << "appsize-int-min.inf" << QByteArray() << QSize(INT_MIN, INT_MIN) << 100
      << QByteArray("s0=Setting 0") << QByteArray("s99=Setting 99") << QByteArray();
}

void TestBadInput::configFile() {
  QFETCH(QString, file);
  CAppConfig config;
  QVERIFY(config.LoadConfig(Path(Corpus(file))));
  config::TextBuffer appName;
  config.GetAppName(appName);
  QTEST(QByteArray(appName), "appName");
  QSize size;
  config.GetAppSize(&size.rwidth(), &size.rheight());
  QTEST(size, "size");
  QTEST(config.GetCount(), "count");
  const int count = config.GetCount();
  QTEST(count ? Row(config, 0) : QByteArray(), "first");
  QTEST(count ? Row(config, count - 1) : QByteArray(), "last");
  CString appInfo;
  config.GetAppInfo(appInfo);
  QTEST(QByteArray::fromStdString(appInfo), "appInfo");
}

void TestBadInput::shownText_data() {
  QTest::addColumn<QString>("file");
  QTest::newRow("UTF-8 after a byte-order mark") << "utf8-bom.inf";
  // Each text is judged on its own: a byte-order mark does not make Windows-1252 text UTF-8.
  QTest::newRow("Windows-1252 after a byte-order mark") << "utf8-bom-windows-1252.inf";
}

void TestBadInput::shownText() {
  QFETCH(QString, file);
  CAppConfig config;
  QVERIFY(config.LoadConfig(Path(Corpus(file))));
  struct Plain : CWnd {
    explicit Plain(QWidget* widget) { platform::qt::AttachWidget(*this, widget, 0); }
  } parent(new QWidget);
  config.CreateControls(&parent);
  const QString expected = QString::fromUtf8("Vitesse (0 à 255)");
  config::TextBuffer appName;
  config.GetAppName(appName);
  QCOMPARE(platform::qt::DecodeText(appName), expected);
  const auto labels = platform::qt::WidgetOf(parent)->findChildren<QLabel*>();
  QCOMPARE(labels.size(), 1);
  QCOMPARE(labels[0]->text(), expected);
}

void TestBadInput::settingsFile_data() {
  QTest::addColumn<QString>("file");
  QTest::addColumn<QStringList>("shown");  // the boxes of a, b and c, which showed 1, 2 and 3
  QTest::newRow("binary garbage: nothing") << "garbage.bin" << QStringList{"1", "2", "3"};
  // A NUL ends a value, and an id as the table compares it.
  QTest::newRow("NUL bytes") << "nul-bytes.tss" << QStringList{"5", "6", "3"};
  QTest::newRow("lone CR line ends") << "lone-cr.tss" << QStringList{"5", "6", "7"};
  QTest::newRow("LF, CR LF and CR") << "mixed-line-ends.tss" << QStringList{"5", "6", "7"};
  QTest::newRow("CR inside the quotes") << "cr-in-value.tss" << QStringList{"5", "6", "3"};
  QTest::newRow("UTF-8 byte-order mark") << "utf8-bom.tss" << QStringList{"5", "6", "3"};
  QTest::newRow("UTF-16: nothing") << "utf16.tss" << QStringList{"1", "2", "3"};
  QTest::newRow("quote open at the end") << "unterminated.tss" << QStringList{"5", "2", "3"};
}

void TestBadInput::settingsFile() {
  QFETCH(QString, file);
  Form form;
  QVERIFY(form.config.LoadSettings(Path(Corpus(file))));
  QTEST(form.Texts(), "shown");
}

void TestBadInput::tenMegabytes_data() {
  QTest::addColumn<bool>("settings");  // a saved-settings file, else a config.inf
  QTest::addColumn<QByteArray>("prefix");
  QTest::addColumn<QByteArray>("unit");  // repeated up to 10 MB
  QTest::addColumn<QByteArray>("suffix");
  QTest::addColumn<int>("count");
  QTest::addColumn<int>("appInfoLines");
  QTest::addColumn<QStringList>("shown");
  QTest::newRow("entries: the first 100")
      << false << QByteArray() << QByteArray("ID \"s\" \"BYTE\"\n") << QByteArray() << 100 << 0
      << QStringList();
  QTest::newRow("one word") << false << QByteArray() << QByteArray("x") << QByteArray() << 0 << 0
                            << QStringList();
  QTest::newRow("one quoted value, cut to 99")
      << false << QByteArray("AppInfo \"") << QByteArray("y") << QByteArray("\"") << 0 << 1
      << QStringList();
  // The About text has no limit: every entry is kept.
  QTest::newRow("About text") << false << QByteArray() << QByteArray("AppInfo \"i\"\n")
                              << QByteArray() << 0 << 873814 << QStringList();
  QTest::newRow("saved lines: the last wins")
      << true << QByteArray() << QByteArray("a \"7\"\n") << QByteArray("b \"8\"\n") << 3 << 0
      << QStringList{"7", "8", "3"};
  QTest::newRow("saved value of 10 MB")
      << true << QByteArray("a \"") << QByteArray("9") << QByteArray("\"\nb \"8\"\n") << 3 << 0
      << QStringList{"2147483647", "8", "3"};
}

void TestBadInput::tenMegabytes() {
  QFETCH(bool, settings);
  QFETCH(QByteArray, prefix);
  QFETCH(QByteArray, unit);
  QFETCH(QByteArray, suffix);
  QTemporaryDir dir;
  const QByteArray path = Path(dir.filePath("big"));
  QVERIFY(WriteFile(path, Fill(prefix, unit, 10 * 1024 * 1024, suffix)));
  QElapsedTimer timer;
  timer.start();
  if (settings) {
    Form form;
    QVERIFY(form.config.LoadSettings(path));
    QTEST(form.Texts(), "shown");
  } else {
    CAppConfig config;
    QVERIFY(config.LoadConfig(path));
    QTEST(config.GetCount(), "count");
    CString appInfo;
    config.GetAppInfo(appInfo);
    QTEST(int(std::count(appInfo.begin(), appInfo.end(), '\n')), "appInfoLines");
    QVERIFY(appInfo.size() <= std::size_t(10 * 1024 * 1024));
  }
  // Reading is linear: even a sanitized build takes a few seconds at most.
  QVERIFY2(timer.elapsed() < 60000, qPrintable(QString::number(timer.elapsed()) + " ms"));
}

void TestBadInput::notATextFile_data() {
  QTest::addColumn<QString>("kind");
  QTest::newRow("named pipe with no writer") << "pipe";
  QTest::newRow("device that never ends") << "/dev/zero";
  QTest::newRow("empty device") << "/dev/null";
  QTest::newRow("one byte over the largest text file") << "sparse";
}

// Each is refused at once, as config.inf and as saved settings, and the boxes keep their values.
void TestBadInput::notATextFile() {
  QFETCH(QString, kind);
  QTemporaryDir dir;
  QByteArray path = kind.startsWith('/') ? Path(kind) : Path(dir.filePath("file"));
  if (kind == "pipe") QCOMPARE(mkfifo(path, 0600), 0);
  if (kind == "sparse") {
    const int fd = open(path, O_WRONLY | O_CREAT, 0600);
    QVERIFY(fd >= 0);
    QCOMPARE(ftruncate(fd, off_t(config::kLargestTextFile) + 1), 0);
    close(fd);
  }
  // In a child, whose time limit fails a load that hangs instead of blocking the test.
  const int asConfig = testsupport::RunInChild([&] { return CAppConfig().LoadConfig(path); });
  QCOMPARE(asConfig, testsupport::kChildFalse);
  Form form;
  const int asSettings = testsupport::RunInChild([&] { return form.config.LoadSettings(path); });
  QCOMPARE(asSettings, testsupport::kChildFalse);
  QVERIFY(!form.config.LoadSettings(path));
  QCOMPARE(form.Texts(), QStringList({"1", "2", "3"}));
}

void TestBadInput::unreadable_data() {
  QTest::addColumn<bool>("settings");
  QTest::newRow("config.inf") << false;
  QTest::newRow("saved settings") << true;
}

void TestBadInput::unreadable() {
  QFETCH(bool, settings);
  QTemporaryDir dir;
  QVERIFY(chmod(Path(dir.path()), 0755) == 0);  // for the child's own user
  const QByteArray path = Path(dir.filePath("locked"));
  QVERIFY(WriteFile(path, "ID \"a\" \"BYTE\"\na \"5\"\n"));
  QVERIFY(chmod(path, 0) == 0);
  const int result = testsupport::RunInChild(
      [&] {
        CAppConfig config;
        return settings ? config.LoadSettings(path) : config.LoadConfig(path);
      },
      {.unprivileged = true});
  QVERIFY2(result == testsupport::kChildFalse || result == testsupport::kChildTrue,
           "the child could not be set up, or its load ran out of time");
  QCOMPARE(result, testsupport::kChildFalse);
}

// Names written on another system may be in a single-byte encoding: the file is still the one
// named, for reading as for saving.
void TestBadInput::namesThatAreNotUtf8() {
  QTemporaryDir dir;
  const QByteArray folder = Path(dir.path()) + "/r\xE9glages d'\xE9t\xE9";
  QCOMPARE(mkdir(folder, 0700), 0);
  const QByteArray inf = folder + "/config.inf";
  const QByteArray tss = folder + "/m\xEAme.tss";
  // The toolkit can't name these to remove them with the temporary folder.
  const struct Remove {
    QByteArrayList paths;
    ~Remove() {
      for (const QByteArray& path : paths) {
        if (unlink(path) != 0) rmdir(path);
      }
    }
  } remove{{tss, inf, folder}};
  QVERIFY(WriteFile(inf, "ID \"a\" \"BYTE\" ID \"b\" \"BYTE\" ID \"c\" \"BYTE\""));
  QVERIFY(WriteFile(tss, "b \"9\"\n"));
  CAppConfig config;
  QVERIFY(config.LoadConfig(inf));
  QCOMPARE(config.GetCount(), 3);
  Form form;
  QVERIFY(form.config.LoadSettings(tss));
  QCOMPARE(form.Texts(), QStringList({"1", "9", "3"}));
  form.config.GetSetting(0)->SetValue(4);
  QVERIFY(form.config.SaveSettings(tss));
  QVERIFY(form.config.LoadSettings(tss));
  QCOMPARE(form.Texts(), QStringList({"4", "9", "3"}));
  struct stat saved {};
  QCOMPARE(stat(tss, &saved), 0);
  QCOMPARE(saved.st_size, off_t(18));
}

void TestBadInput::mainDialogOpensOnAnyConfig_data() {
  QTest::addColumn<QString>("file");
  QTest::addColumn<int>("rows");
  // The buttons sit 75 pixels above the configured bottom: below the top only for a large size.
  QTest::addColumn<bool>("buttonsBelowTheTop");
  QTest::newRow("binary garbage") << "garbage.bin" << 0 << false;
  QTest::newRow("NUL bytes") << "nul-bytes.inf" << 1 << false;
  QTest::newRow("UTF-16") << "utf16.inf" << 0 << false;
  QTest::newRow("enormous line") << "enormous-line.inf" << 100 << false;
  QTest::newRow("AppSize below the integer range") << "appsize-int-min.inf" << 100 << false;
  QTest::newRow("AppSize beyond the integer range") << "appsize-int-max.inf" << 100 << true;
}

// The form opens with a row per setting and a size the screen can take, and Exit closes it.
void TestBadInput::mainDialogOpensOnAnyConfig() {
  QFETCH(QString, file);
  QFile::remove(MainConfigPath());
  QVERIFY(QFile::copy(Corpus(file), MainConfigPath()));
  CMainDlg dialog(IDD_MAIN);
  int rows = -1;
  QSize size;
  bool buttonsBelowTheTop = false;
  QCOMPARE(
      testsupport::RunModal(
          dialog,
          [&] {
            rows = int(platform::qt::ClientWidgetOf(dialog)->findChildren<QLineEdit*>().size());
            size = platform::qt::WidgetOf(dialog)->size();
            buttonsBelowTheTop = platform::qt::WidgetOf(dialog.GetDlgItem(IDC_PROGRAM))->y() > 0 &&
                                 platform::qt::WidgetOf(dialog.GetDlgItem(IDCANCEL))->y() > 0;
            dialog.SendCommand(IDCANCEL);
          }),
      IDCANCEL);
  QTEST(rows, "rows");
  QTEST(buttonsBelowTheTop, "buttonsBelowTheTop");
  QVERIFY(size.width() >= 0 && size.width() <= 16384);
  QVERIFY(size.height() >= 0 && size.height() <= 16384);
}

QTEST_MAIN(TestBadInput)
#include "tst_badinput.moc"
