// Settings and their controls: edit-box text to values and back, ids, row geometry, one
// saved-settings line each way, and the table's values as packet bytes.
#include <QAccessible>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QTemporaryDir>
#include <QtTest>
#include <sstream>

#include "config/AppConfig.h"
#include "platform/CWnd.h"
#include "platform/qt/QtWindows.h"
#include "tests/support/Fixtures.h"

namespace {

// A plain window to put setting controls on.
class TestWindow : public testsupport::TestWindow {
 public:
  TestWindow() : testsupport::TestWindow(400, 300) {}
};

QLineEdit* EditOf(const CByteSetting& setting) {
  return static_cast<QLineEdit*>(platform::qt::WidgetOf(setting.GetEditBox()));
}

}  // namespace

class TestSettings : public QObject {
  Q_OBJECT

 private slots:
  void getValueFromEditText_data();
  void getValueFromEditText();
  void setValueShowsDecimal_data();
  void setValueShowsDecimal();
  void withoutControlsValueIsZero();
  void isIdIsExact_data();
  void isIdIsExact();
  void layoutPlacesOneRow();
  void baseLayoutLeavesRowUnchanged();
  void writeTakesTheEditBoxText();
  void readShowsTheLoadedValue_data();
  void readShowsTheLoadedValue();
  void controlsAreCreatedAsThePlatformWould();
  void tableLayoutAndValues();
  void longTextStaysWithinTheMembers();
  void editBoxStopsWhenFull_data();
  void editBoxStopsWhenFull();
  void editBoxIsNamedByItsLabel();
};

void TestSettings::getValueFromEditText_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<int>("value");
  QTest::newRow("12") << "12" << 12;
  QTest::newRow("empty") << "" << 0;
  QTest::newRow("blanks only") << "   " << 0;
  QTest::newRow("12abc") << "12abc" << 12;
  QTest::newRow("abc") << "abc" << 0;
  QTest::newRow("-3") << "-3" << -3;
  QTest::newRow("+7") << "+7" << 7;
  QTest::newRow("007") << "007" << 7;
  QTest::newRow("300") << "300" << 300;
  QTest::newRow("leading blanks") << "  42" << 42;
  QTest::newRow("sign alone") << "-" << 0;
  QTest::newRow("beyond int range") << "12345678901234567890" << 2147483647;
  QTest::newRow("below int range") << "-12345678901234567890" << (-2147483647 - 1);
  QTest::newRow("non-ASCII digits are not digits") << QString::fromUtf8("٣") << 0;
}

void TestSettings::getValueFromEditText() {
  QFETCH(QString, text);
  TestWindow window;
  CByteSetting setting;
  setting.CreateControls(&window);
  EditOf(setting)->setText(text);
  QTEST(setting.GetValue(), "value");
  QCOMPARE(EditOf(setting)->text(), text);  // reading never rewrites the box
}

void TestSettings::setValueShowsDecimal_data() {
  QTest::addColumn<int>("value");
  QTest::addColumn<QString>("shown");
  QTest::newRow("7") << 7 << "7";
  QTest::newRow("-1") << -1 << "-1";
  QTest::newRow("smallest") << (-2147483647 - 1) << "-2147483648";
}

void TestSettings::setValueShowsDecimal() {
  QFETCH(int, value);
  TestWindow window;
  CByteSetting setting;
  setting.CreateControls(&window);
  setting.SetValue(value);
  QTEST(EditOf(setting)->text(), "shown");
  QCOMPARE(setting.GetValue(), value);
}

void TestSettings::withoutControlsValueIsZero() {
  CByteSetting setting;
  setting.SetValue(9);
  QCOMPARE(setting.GetValue(), 0);
  CSetting base;
  base.SetValue(9);
  QCOMPARE(base.GetValue(), 9);
}

void TestSettings::isIdIsExact_data() {
  QTest::addColumn<QByteArray>("candidate");
  QTest::addColumn<bool>("matches");
  QTest::newRow("same") << QByteArray("speed") << true;
  QTest::newRow("other case") << QByteArray("Speed") << false;
  QTest::newRow("prefix") << QByteArray("spee") << false;
  QTest::newRow("trailing blank") << QByteArray("speed ") << false;
}

void TestSettings::isIdIsExact() {
  QFETCH(QByteArray, candidate);
  CSetting setting;
  setting.SetId("speed");
  QTEST(setting.IsId(candidate.constData()), "matches");
}

void TestSettings::layoutPlacesOneRow() {
  TestWindow window;
  CByteSetting setting;
  setting.CreateControls(&window);
  int y = 27;
  setting.Layout(5, 27, 300, &y);
  QCOMPARE(y, 47);
  QCOMPARE(platform::qt::WidgetOf(setting.GetLabelControl())->geometry(), QRect(5, 27, 230, 20));
  QCOMPARE(platform::qt::WidgetOf(setting.GetEditBox())->geometry(), QRect(240, 27, 50, 20));
}

void TestSettings::baseLayoutLeavesRowUnchanged() {
  CSetting setting;
  int y = 27;
  setting.Layout(5, 27, 300, &y);
  QCOMPARE(y, 27);
}

void TestSettings::writeTakesTheEditBoxText() {
  TestWindow window;
  CByteSetting setting;
  setting.SetId("speed");
  setting.CreateControls(&window);
  setting.SetValue(99);
  EditOf(setting)->setText("12abc");
  std::ostringstream out;
  setting.Write(out);
  QCOMPARE(QByteArray::fromStdString(out.str()), QByteArray("speed \"12\"\n"));
  QCOMPARE(EditOf(setting)->text(), QString("12abc"));
}

void TestSettings::readShowsTheLoadedValue_data() {
  QTest::addColumn<QByteArray>("line");
  QTest::addColumn<QString>("shown");
  QTest::addColumn<int>("nextCharacter");
  QTest::newRow("007") << QByteArray("speed \"007\"\n") << "7" << int('\n');
  QTest::newRow("300") << QByteArray("speed \"300\"x") << "300" << int('x');
  QTest::newRow("-1") << QByteArray("speed \"-1\"") << "-1" << -1;
  QTest::newRow("not a number") << QByteArray("speed \"fast\"\n") << "0" << int('\n');
  QTest::newRow("cut off by the end: unchanged") << QByteArray("speed \"12") << "5" << -1;
  QTest::newRow("long value cut and skipped") << "speed \"" + QByteArray(150, '1') + "\"\n"
                                              << "2147483647" << int('\n');
}

void TestSettings::readShowsTheLoadedValue() {
  QFETCH(QByteArray, line);
  TestWindow window;
  CByteSetting setting;
  setting.SetId("speed");
  setting.CreateControls(&window);
  setting.SetValue(5);
  std::istringstream in(line.toStdString());
  setting.Read(in);
  QTEST(EditOf(setting)->text(), "shown");
  QTEST(in.get(), "nextCharacter");
}

void TestSettings::controlsAreCreatedAsThePlatformWould() {
  TestWindow window;
  CByteSetting setting;
  setting.SetLabel("Before");
  setting.CreateControls(&window);
  setting.SetLabel("After");  // changes only the member
  auto* label = static_cast<QLabel*>(platform::qt::WidgetOf(setting.GetLabelControl()));
  QCOMPARE(label->text(), QString("Before"));
  QCOMPARE(EditOf(setting)->text(), QString());
  QCOMPARE(setting.GetEditBox()->GetDlgCtrlID(), 100);
  QVERIFY(EditOf(setting)->focusPolicy() & Qt::TabFocus);  // a tab stop: reached without a mouse
  QVERIFY(EditOf(setting)->hasFrame());
  // Any characters, typed or set.
  int row = 0;
  setting.Layout(5, 0, 300, &row);
  QTest::keyClicks(EditOf(setting), "a-+");
  QCOMPARE(EditOf(setting)->text(), QString("a-+"));
}

void TestSettings::tableLayoutAndValues() {
  QTemporaryDir dir;
  QFile file(dir.filePath("config.inf"));
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write("ID \"a\" \"BYTE\" ID \"b\" \"BYTE\" ID \"c\" \"BYTE\"");
  file.close();
  CAppConfig config;
  QVERIFY(config.LoadConfig(QFile::encodeName(file.fileName()).constData()));
  TestWindow window;
  config.CreateControls(&window);
  config.LayoutControls(300);
  for (int i = 0; i < 3; ++i) {
    auto* setting = static_cast<CByteSetting*>(config.GetSetting(i));
    QCOMPARE(platform::qt::WidgetOf(setting->GetLabelControl())->geometry(),
             QRect(5, 5 + 22 * i, 230, 20));
    QCOMPARE(platform::qt::WidgetOf(setting->GetEditBox())->geometry(),
             QRect(240, 5 + 22 * i, 50, 20));
  }
  EditOf(*static_cast<CByteSetting*>(config.GetSetting(0)))->setText("12");
  EditOf(*static_cast<CByteSetting*>(config.GetSetting(2)))->setText("300");
  unsigned char values[4] = {0xAA, 0xAA, 0xAA, 0xAA};
  config.GetValues(values);
  QCOMPARE(QByteArray(reinterpret_cast<char*>(values), 4), QByteArray("\x0c\x00\x2c\xaa", 4));
}

void TestSettings::longTextStaysWithinTheMembers() {
  const std::string longText(500, 'x');
  CSetting setting;
  setting.SetId(longText.c_str());
  setting.SetLabel(longText.c_str());
  QCOMPARE(qstrlen(setting.GetId()), 99u);
  QCOMPARE(qstrlen(setting.GetLabel()), 99u);
  CSetting copy;
  copy.CopyFrom(setting);
  QCOMPARE(QByteArray(copy.GetId()), QByteArray(setting.GetId()));
}

void TestSettings::editBoxStopsWhenFull_data() {
  QTest::addColumn<QString>("before");  // set by the program: shown whole, however wide
  QTest::addColumn<int>("cursor");
  QTest::addColumn<QString>("how");  // typed key by key, or pasted at once
  QTest::addColumn<QString>("input");
  QTest::newRow("typing twelve digits") << "" << 0 << "typed"
                                        << "123456789012";
  QTest::newRow("typing a long negative number") << "" << 0 << "typed"
                                                 << "-2147483648";
  QTest::newRow("pasting twelve digits") << "" << 0 << "pasted"
                                         << "123456789012";
  QTest::newRow("pasting into the middle") << "1299" << 2 << "pasted"
                                           << "345678901";
  QTest::newRow("typing into a loaded value too wide to show") << "-2147483648" << 3 << "typed"
                                                               << "77";
}

// The box never hides text: what it holds is what it shows, and so what is saved and sent.
void TestSettings::editBoxStopsWhenFull() {
  QFETCH(QString, before);
  QFETCH(int, cursor);
  QFETCH(QString, how);
  QFETCH(QString, input);
  TestWindow window;
  CByteSetting setting;
  setting.CreateControls(&window);
  int row = 0;
  setting.Layout(5, 0, 300, &row);  // the box is 50 pixels wide
  QLineEdit* edit = EditOf(setting);
  edit->setText(before);
  QCOMPARE(edit->text(), before);
  edit->setCursorPosition(cursor);
  if (how == "typed") {
    QTest::keyClicks(edit, input);
  } else {
    QGuiApplication::clipboard()->setText(input);
    QTest::keySequence(edit, QKeySequence::Paste);
  }

  const QString text = edit->text();
  const int room = edit->width() - 2 * edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
  if (!before.isEmpty() && edit->fontMetrics().horizontalAdvance(before) > room) {
    QCOMPARE(text, before);  // nothing more goes in
    return;
  }
  // What was typed or pasted went in up to where the box was full, and no further.
  const QString whole = before.left(cursor) + input + before.mid(cursor);
  QVERIFY2(text.size() > before.size() && text.size() < whole.size(), qPrintable(text));
  QCOMPARE(text,
           before.left(cursor) + input.left(text.size() - before.size()) + before.mid(cursor));
  QVERIFY(edit->fontMetrics().horizontalAdvance(text) <= room);
  QCOMPARE(setting.GetValue(), text.toInt());
}

// A screen reader announces each box by its setting's label.
void TestSettings::editBoxIsNamedByItsLabel() {
  TestWindow window;
  CByteSetting speed, light;
  speed.SetLabel("Pump speed");
  light.SetLabel("Light hours");
  speed.CreateControls(&window);
  light.CreateControls(&window);
  for (const CByteSetting* setting : {&speed, &light}) {
    QAccessibleInterface* box = QAccessible::queryAccessibleInterface(EditOf(*setting));
    QVERIFY(box);
    QCOMPARE(box->text(QAccessible::Name), QString(setting->GetLabel()));
  }
}

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
