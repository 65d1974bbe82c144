// The worked examples of docs/config-format.md, one file of tests/docs-examples each: what the
// tool makes of every one of them, as the document states it. The document shows each file as
// it is (check-doc-examples.sh); these tests hold the tool to what the document says of it.
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>
#include <optional>
#include <string>

#include "app/MainDlg.h"
#include "config/AppConfig.h"
#include "config/TextFile.h"
#include "platform/qt/QtWindows.h"
#include "platform/qt/TextCodec.h"
#include "res/resource.h"
#include "tests/support/Fixtures.h"
#include "tests/support/SettingsForm.h"
#include "tests/support/ToolResources.h"

namespace {

QString Example(const QString& name) { return QStringLiteral(DOC_EXAMPLES_DIR "/") + name; }

QByteArray Path(const QString& path) { return QFile::encodeName(path); }

using testsupport::ReadFile;

QString MainConfigPath() { return testsupport::ConfigPathBesideExecutable(); }

// The form of an example config.inf on a plain window, its edit boxes empty, in table order.
class Form : public testsupport::SettingsForm {
 public:
  explicit Form(const QString& inf) : SettingsForm(ExampleText(inf), Boxes::Empty) {}

 private:
  static std::string ExampleText(const QString& inf) {
    const std::optional<std::string> text = config::ReadTextFile(Path(Example(inf)));
    if (!text) qFatal("cannot read the example %s", qPrintable(inf));
    return *text;
  }
};

const QStringList kSaved{"7", "21", "80", "12", "30"};  // aquarium.tss, loaded

}  // namespace

class TestDocExamples : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { testsupport::RegisterToolResources(); }
  void configFile_data();
  void configFile();
  void window_data() { configFile_data(); }
  void window();
  void saveWritesTheExample_data();
  void saveWritesTheExample();
  void loadSettings_data();
  void loadSettings();
  void cleanup() { QFile::remove(MainConfigPath()); }
};

// Texts as the window shows them, decoded; ids as the file holds them.
void TestDocExamples::configFile_data() {
  QTest::addColumn<QString>("file");
  QTest::addColumn<QString>("title");
  QTest::addColumn<QSize>("size");
  QTest::addColumn<QString>("about");
  QTest::addColumn<QByteArrayList>("ids");
  QTest::addColumn<QStringList>("labels");

  QTest::newRow("minimal") << "minimal.inf"
                           << "Pond Pump" << QSize(300, 140) << QString() << QByteArrayList{"speed"}
                           << QStringList{"Pump speed (0 to 255)"};
  QTest::newRow("aquarium") << "aquarium.inf"
                            << "Aquarium Light Controller" << QSize(360, 250)
                            << "Aquarium Light Controller AL-4\n"
                               "Hold the sensor against the two panels, then press Start.\n"
                            << QByteArrayList{"sunrise", "sunset", "brightness", "moonlight",
                                              "ramp"}
                            << QStringList{"Sunrise hour (0 to 23)", "Sunset hour (0 to 23)",
                                           "Brightness in percent (0 to 100)",
                                           "Moonlight level (0 to 255)",
                                           "Dawn and dusk ramp in minutes"};
  // Free text passed over, an entry over four lines, two entries on one line, a WORD entry that
  // creates nothing, and two values cut after their 99th character.
  QTest::newRow("greenhouse")
      << "greenhouse.inf"
      << "Greenhouse Lamp Timer" << QSize(480, 190)
      << "Greenhouse Lamp Timer GT-3\n"
         "This About line is longer than ninety-nine characters, so the tool keeps its first "
         "ninety-nine and \n"
      << QByteArrayList{"on_hour", "off_hour", "days"}
      << QStringList{"Switch-on hour (0 to 23)", "Switch-off hour (0 to 23)",
                     "Days of the week, one bit each: Monday 1, Tuesday 2, Wednesday 4, Thursday "
                     "8, Friday 16, Saturday 3"};
  QTest::newRow("Windows-1252") << "ventilateur.inf"
                                << "Ventilateur de serre" << QSize(380, 170)
                                << QString::fromUtf8("Ventilateur de serre VS-2, réglages usine\n")
                                << QByteArrayList{"vitesse", "duree"}
                                << QStringList{QString::fromUtf8("Vitesse (0 à 255)"),
                                               QString::fromUtf8("Durée de marche en minutes")};
  QTest::newRow("UTF-8 with a byte-order mark and CR LF")
      << "kiln.inf"
      << "Kiln Controller" << QSize(340, 160)
      << QString::fromUtf8("Kiln Controller K2 – firmware 1.4\n")
      << QByteArrayList{"hold_temp", "hold_time"}
      << QStringList{QString::fromUtf8("Hold temperature (× 10 °C)"), "Hold time (minutes)"};
}

void TestDocExamples::configFile() {
  QFETCH(QString, file);
  CAppConfig config;
  QVERIFY(config.LoadConfig(Path(Example(file))));
  config::TextBuffer title;
  config.GetAppName(title);
  QTEST(platform::qt::DecodeText(title), "title");
  QSize size;
  config.GetAppSize(&size.rwidth(), &size.rheight());
  QTEST(size, "size");
  CString about;
  config.GetAppInfo(about);
  QTEST(platform::qt::DecodeText(about), "about");
  QByteArrayList ids;
  QStringList labels;
  for (int i = 0; i < config.GetCount(); ++i) {
    ids << config.GetSetting(i)->GetId();
    labels << platform::qt::DecodeText(config.GetSetting(i)->GetLabel());
  }
  QTEST(ids, "ids");
  QTEST(labels, "labels");
}

// The example as the tool's window: its title and outer size, a row per setting with its label,
// and every row above the Program and Exit buttons, which lie inside the window.
void TestDocExamples::window() {
  QFETCH(QString, file);
  QFETCH(QSize, size);
  QFETCH(QByteArrayList, ids);
  QFile::remove(MainConfigPath());
  QVERIFY(QFile::copy(Example(file), MainConfigPath()));
  CMainDlg dialog(IDD_MAIN);
  QString title;
  QRect frame;
  QStringList labels;
  QList<QRect> rows;
  QRect program;
  QRect exit;
  QRect client;
  const int result = testsupport::RunModal(dialog, [&] {
    QWidget* window = platform::qt::WidgetOf(dialog);
    title = window->windowTitle();
    frame = window->frameGeometry();
    QWidget* area = platform::qt::ClientWidgetOf(dialog);
    client = area->rect();
    for (QLabel* label : area->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
      labels << label->text();
    for (QLineEdit* edit : area->findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly))
      rows << edit->geometry();
    program = platform::qt::WidgetOf(dialog.GetDlgItem(IDC_PROGRAM))->geometry();
    exit = platform::qt::WidgetOf(dialog.GetDlgItem(IDCANCEL))->geometry();
    dialog.SendCommand(IDCANCEL);
  });
  QCOMPARE(result, IDCANCEL);
  QTEST(title, "title");
  QCOMPARE(frame, QRect(QPoint(0, 0), size));
  QTEST(labels, "labels");
  QCOMPARE(rows.size(), ids.size());
  for (const QRect& row : rows) QVERIFY(row.bottom() < program.top() && row.bottom() < exit.top());
  QVERIFY(client.contains(program) && client.contains(exit));
}

void TestDocExamples::saveWritesTheExample_data() {
  QTest::addColumn<QStringList>("typed");
  QTest::newRow("as the document has them") << kSaved;
  // Each box is saved as the number it reads as.
  QTest::newRow("typed loosely") << QStringList{"07", "+21", " 80", "12", "30 min"};
}

void TestDocExamples::saveWritesTheExample() {
  QFETCH(QStringList, typed);
  Form form("aquarium.inf");
  form.SetTexts(typed);
  QTemporaryDir dir;
  const QString path = dir.filePath("saved.tss");
  QVERIFY(form.config.SaveSettings(Path(path)));
  QCOMPARE(ReadFile(path), ReadFile(Example("aquarium.tss")));
  QCOMPARE(form.Texts(), typed);  // saving leaves the boxes as typed
}

void TestDocExamples::loadSettings_data() {
  QTest::addColumn<QString>("file");
  QTest::addColumn<QStringList>("before");
  QTest::addColumn<QStringList>("after");
  QTest::addColumn<QByteArray>("sent");  // the values Program then sends
  const QStringList empty{"", "", "", "", ""};
  QTest::newRow("saved by the tool")
      << "aquarium.tss" << empty << kSaved << QByteArray("\x07\x15\x50\x0C\x1E", 5);
  // Any order, numbers read as far as they go, ids missing from the file untouched; 300 is sent
  // as its low 8 bits, 44.
  QTest::newRow("edited by hand") << "aquarium-edited.tss" << kSaved
                                  << QStringList{"6", "21", "300", "12", "45"}
                                  << QByteArray("\x06\x15\x2C\x0C\x2D", 5);
  QTest::newRow("stops at an unknown id")
      << "aquarium-other-device.tss" << kSaved << QStringList{"8", "20", "80", "12", "30"}
      << QByteArray("\x08\x14\x50\x0C\x1E", 5);
  QTest::newRow("value cut off by the end")
      << "aquarium-cut-off.tss" << kSaved << QStringList{"6", "21", "80", "12", "30"}
      << QByteArray("\x06\x15\x50\x0C\x1E", 5);
}

void TestDocExamples::loadSettings() {
  QFETCH(QString, file);
  QFETCH(QStringList, before);
  Form form("aquarium.inf");
  form.SetTexts(before);
  QVERIFY(form.config.LoadSettings(Path(Example(file))));
  QTEST(form.Texts(), "after");
  QTEST(form.Bytes(), "sent");
}

QTEST_MAIN(TestDocExamples)
#include "tst_docexamples.moc"
