// config.inf as the configuration model reads it: keywords, quoted values, numbers, the setting
// table, and damaged files.
#include <QTemporaryDir>
#include <QtTest>

#include "config/AppConfig.h"
#include "tests/support/Fixtures.h"

namespace {

struct Loaded {
  bool opened = false;
  QString appName;
  int width = 0;
  int height = 0;
  QByteArray appInfo;
  QStringList ids;
  QStringList labels;
};

Loaded Load(const QTemporaryDir& dir, const QByteArray& content) {
  const QString path = dir.filePath("config.inf");
  if (!testsupport::WriteFile(path, content)) qFatal("cannot write the test's config.inf");
  CAppConfig config;
  Loaded loaded;
  loaded.opened = config.LoadConfig(QFile::encodeName(path).constData());
  config::TextBuffer name;
  config.GetAppName(name);
  loaded.appName = QString::fromLatin1(name);
  config.GetAppSize(&loaded.width, &loaded.height);
  CString info;
  config.GetAppInfo(info);
  loaded.appInfo = QByteArray::fromStdString(info);
  for (int i = 0; i < config.GetCount(); ++i) {
    loaded.ids << QString::fromLatin1(config.GetSetting(i)->GetId());
    loaded.labels << QString::fromLatin1(config.GetSetting(i)->GetLabel());
  }
  return loaded;
}

QByteArray Repeat(const QByteArray& text, int times) {
  QByteArray out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

}  // namespace

class TestConfigFile : public QObject {
  Q_OBJECT

 private slots:
  void parse_data();
  void parse();
  void missingFileFailsAndLeavesTableEmpty();
  void directoryIsNotAConfiguration();
  void capacityKeepsTheFirstHundred();
  void findByIdReturnsTheFirstMatch();

 private:
  QTemporaryDir m_dir;
};

void TestConfigFile::parse_data() {
  QTest::addColumn<QByteArray>("content");
  QTest::addColumn<QString>("appName");
  QTest::addColumn<int>("width");
  QTest::addColumn<int>("height");
  QTest::addColumn<QByteArray>("appInfo");
  QTest::addColumn<QStringList>("ids");
  QTest::addColumn<QStringList>("labels");

  const QByteArray sample =
      "AppName \"Widget Loader\"\nAppSize \"300\" \"200\"\nAppInfo \"Version 1\"\n"
      "AppInfo \"Model 7\"\nID \"speed\" \"BYTE\"\nName \"Speed\"\nID \"mode\" \"BYTE\"\n"
      "Name \"Mode\"\n";
  QTest::newRow("sample") << sample << "Widget Loader" << 300 << 200
                          << QByteArray("Version 1\nModel 7\n") << QStringList{"speed", "mode"}
                          << QStringList{"Speed", "Mode"};
  QTest::newRow("CR LF line ends") << QByteArray(sample).replace("\n", "\r\n") << "Widget Loader"
                                   << 300 << 200 << QByteArray("Version 1\nModel 7\n")
                                   << QStringList{"speed", "mode"} << QStringList{"Speed", "Mode"};
  QTest::newRow("byte-order mark") << "\xEF\xBB\xBF" + sample << "Widget Loader" << 300 << 200
                                   << QByteArray("Version 1\nModel 7\n")
                                   << QStringList{"speed", "mode"} << QStringList{"Speed", "Mode"};
  QTest::newRow("empty file") << QByteArray() << "" << 0 << 0 << QByteArray() << QStringList{}
                              << QStringList{};
  QTest::newRow("keywords are case-sensitive")
      << QByteArray("appname \"x\" id \"a\" \"BYTE\" AppName \"T\"") << "T" << 0 << 0
      << QByteArray() << QStringList{} << QStringList{};
  QTest::newRow("keyword against its quote is one word")
      << QByteArray("AppName\"Glued\" AppName \"Kept\"") << "Kept" << 0 << 0 << QByteArray()
      << QStringList{} << QStringList{};
  QTest::newRow("type must be BYTE exactly")
      << QByteArray("ID \"a\" \"byte\" ID \"b\" \"BYTE \" ID \"c\" \"BYTE\"") << "" << 0 << 0
      << QByteArray() << QStringList{"c"} << QStringList{""};
  QTest::newRow("Name after another type relabels the byte setting before it")
      << QByteArray("ID \"a\" \"BYTE\" ID \"w\" \"WORD\" Name \"Late\"") << "" << 0 << 0
      << QByteArray() << QStringList{"a"} << QStringList{"Late"};
  QTest::newRow("Name before any setting is ignored")
      << QByteArray("Name \"Lost\" ID \"w\" \"WORD\" Name \"Lost too\" ID \"a\" \"BYTE\"") << ""
      << 0 << 0 << QByteArray() << QStringList{"a"} << QStringList{""};
  QTest::newRow("second Name and second AppName win")
      << QByteArray(
             "AppName \"One\" ID \"a\" \"BYTE\" Name \"First\" Name \"Second\" AppName \"Two\"")
      << "Two" << 0 << 0 << QByteArray() << QStringList{"a"} << QStringList{"Second"};
  QTest::newRow("AppInfo accumulates") << QByteArray("AppInfo \"A\" AppInfo \"B\"") << "" << 0 << 0
                                       << QByteArray("A\nB\n") << QStringList{} << QStringList{};
  QTest::newRow("AppSize abc and 200") << QByteArray("AppSize \"abc\" \"200\"") << "" << 0 << 200
                                       << QByteArray() << QStringList{} << QStringList{};
  QTest::newRow("AppSize 640x and 480") << QByteArray("AppSize \"640x\" \"480\"") << "" << 640
                                        << 480 << QByteArray() << QStringList{} << QStringList{};
  QTest::newRow("AppSize negative and signed")
      << QByteArray("AppSize \" -20\" \"+30\"") << "" << -20 << 30 << QByteArray() << QStringList{}
      << QStringList{};
  QTest::newRow("AppSize beyond the integer range is held at the bound")
      << QByteArray("AppSize \"99999999999999\" \"-99999999999999\"") << "" << 2147483647
      << (-2147483647 - 1) << QByteArray() << QStringList{} << QStringList{};
  QTest::newRow("entry across lines")
      << QByteArray("ID\n\"speed\"\n\"BYTE\"\nName\n\"Speed\"") << "" << 0 << 0 << QByteArray()
      << QStringList{"speed"} << QStringList{"Speed"};
  QTest::newRow("two entries on one line")
      << QByteArray("ID \"a\" \"BYTE\" Name \"A\" ID \"b\" \"BYTE\" Name \"B\"") << "" << 0 << 0
      << QByteArray() << QStringList{"a", "b"} << QStringList{"A", "B"};
  QTest::newRow("label with blanks and parentheses")
      << QByteArray("ID \"s\" \"BYTE\" Name \"Speed (0 to 255)\"") << "" << 0 << 0 << QByteArray()
      << QStringList{"s"} << QStringList{"Speed (0 to 255)"};
  QTest::newRow("free text between entries")
      << QByteArray("This device has settings.\nID \"a\" \"BYTE\"") << "" << 0 << 0 << QByteArray()
      << QStringList{"a"} << QStringList{""};
  QTest::newRow("duplicate ids both exist")
      << QByteArray("ID \"x\" \"BYTE\" ID \"x\" \"BYTE\"") << "" << 0 << 0 << QByteArray()
      << QStringList{"x", "x"} << QStringList{"", ""};
  QTest::newRow("value without quotes takes the next quoted text")
      << QByteArray("AppName Widget\nAppInfo \"I\"") << "I" << 0 << 0 << QByteArray()
      << QStringList{} << QStringList{};
  QTest::newRow("quotes cut off by the end: no effect, earlier entries stay")
      << QByteArray("AppName \"T\" ID \"a\" \"BYTE\" Name \"Unfinished") << "T" << 0 << 0
      << QByteArray() << QStringList{"a"} << QStringList{""};
  QTest::newRow("AppSize with one value before the end: no effect")
      << QByteArray("AppSize \"300\" ") << "" << 0 << 0 << QByteArray() << QStringList{}
      << QStringList{};
  QTest::newRow("ID without type before the end creates nothing")
      << QByteArray("ID \"a\" \"BYT") << "" << 0 << 0 << QByteArray() << QStringList{}
      << QStringList{};
  QTest::newRow("long value is cut to 99 and the parse stays in step")
      << "AppName \"" + Repeat("n", 150) + "\" ID \"" + Repeat("i", 120) + "\" \"BYTE\" Name \"L\""
      << QString(99, 'n') << 0 << 0 << QByteArray() << QStringList{QString(99, 'i')}
      << QStringList{"L"};
  QTest::newRow("long word is cut and skipped in step")
      << Repeat("w", 250) + " AppName \"after\""
      << "after" << 0 << 0 << QByteArray() << QStringList{} << QStringList{};
  QTest::newRow("long passed-over text before a quote")
      << "AppName " + Repeat("-", 300) + "\"T\" ID \"a\" \"BYTE\""
      << "T" << 0 << 0 << QByteArray() << QStringList{"a"} << QStringList{""};
  QTest::newRow("About text is not cut at 99")
      << "AppInfo \"" + Repeat("a", 99) + "\" AppInfo \"" + Repeat("b", 99) + "\""
      << "" << 0 << 0 << Repeat("a", 99) + "\n" + Repeat("b", 99) + "\n"
      << QStringList{} << QStringList{};
  QTest::newRow("NUL bytes and binary garbage")
      << QByteArray("\x01\x02\x00\xff ID \"a\" \"BYTE\" \x00\x00 Name \"A\"", 31) << "" << 0 << 0
      << QByteArray() << QStringList{"a"} << QStringList{"A"};
}

void TestConfigFile::parse() {
  QFETCH(QByteArray, content);
  const Loaded loaded = Load(m_dir, content);
  QVERIFY(loaded.opened);
  QTEST(loaded.appName, "appName");
  QTEST(loaded.width, "width");
  QTEST(loaded.height, "height");
  QTEST(loaded.appInfo, "appInfo");
  QTEST(loaded.ids, "ids");
  QTEST(loaded.labels, "labels");
}

void TestConfigFile::missingFileFailsAndLeavesTableEmpty() {
  CAppConfig config;
  QVERIFY(!config.LoadConfig(QFile::encodeName(m_dir.filePath("absent.inf")).constData()));
  QCOMPARE(config.GetCount(), 0);
  int width = -1, height = -1;
  config.GetAppSize(&width, &height);
  QCOMPARE(width, 0);
  QCOMPARE(height, 0);
  QVERIFY(!QFile::exists(m_dir.filePath("absent.inf")));  // reading never creates it
}

void TestConfigFile::directoryIsNotAConfiguration() {
  QVERIFY(QDir(m_dir.path()).mkpath("folder.inf"));
  CAppConfig config;
  QVERIFY(!config.LoadConfig(QFile::encodeName(m_dir.filePath("folder.inf")).constData()));
  QCOMPARE(config.GetCount(), 0);
}

void TestConfigFile::capacityKeepsTheFirstHundred() {
  QByteArray content;
  for (int i = 0; i < 1000; ++i) {
    content +=
        "ID \"s" + QByteArray::number(i) + "\" \"BYTE\" Name \"L" + QByteArray::number(i) + "\"\n";
  }
  const Loaded loaded = Load(m_dir, content);
  QCOMPARE(loaded.ids.size(), CAppConfig::kCapacity);
  QCOMPARE(loaded.ids.last(), QString("s99"));
  // The Name of an ignored entry must not relabel the hundredth setting.
  QCOMPARE(loaded.labels.last(), QString("L99"));
}

void TestConfigFile::findByIdReturnsTheFirstMatch() {
  const QString path = m_dir.filePath("find.inf");
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write("ID \"a\" \"BYTE\" ID \"x\" \"BYTE\" ID \"x\" \"BYTE\"");
  file.close();
  CAppConfig config;
  QVERIFY(config.LoadConfig(QFile::encodeName(path).constData()));
  QCOMPARE(config.FindById("x"), 1);
  QCOMPARE(config.FindById("a"), 0);
  QCOMPARE(config.FindById("X"), -1);
  QCOMPARE(config.FindById(""), -1);
  CAppConfig empty;
  QCOMPARE(empty.FindById("a"), -1);
}

QTEST_GUILESS_MAIN(TestConfigFile)
#include "tst_configfile.moc"
