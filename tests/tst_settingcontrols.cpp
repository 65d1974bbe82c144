// A setting's controls as the Qt backend makes them: where the rows land in pixels, the edit box
// as a tab stop with a frame, typing and pasting that stop when the box is full, and the box's
// name for a screen reader. What the configuration model makes of the boxes' text is checked in
// every build (tests/neutral/tst_settings.cpp).
#include <QAccessible>
#include <QClipboard>
#include <QLineEdit>
#include <QStyle>
#include <QTemporaryDir>
#include <QtTest>

#include "config/AppConfig.h"
#include "platform/CWnd.h"
#include "platform/qt/QtWindows.h"
#include "tests/support/Fixtures.h"

namespace {

// A plain window to put setting controls on.
class TestWindow : public neutral::PlainWindow {
 public:
  TestWindow() : neutral::PlainWindow(400, 300) {}
};

QLineEdit* EditOf(const CByteSetting& setting) {
  return static_cast<QLineEdit*>(platform::qt::WidgetOf(setting.GetEditBox()));
}

}  // namespace

class TestSettingControls : public QObject {
  Q_OBJECT

 private slots:
  void layoutPlacesOneRow();
  void controlsAreCreatedAsThePlatformWould();
  void tableLayout();
  void editBoxStopsWhenFull_data();
  void editBoxStopsWhenFull();
  void editBoxIsNamedByItsLabel();
};

void TestSettingControls::layoutPlacesOneRow() {
  TestWindow window;
  CByteSetting setting;
  setting.CreateControls(&window);
  int y = 27;
  setting.Layout(5, 27, 300, &y);
  QCOMPARE(y, 47);
  QCOMPARE(platform::qt::WidgetOf(setting.GetLabelControl())->geometry(), QRect(5, 27, 230, 20));
  QCOMPARE(platform::qt::WidgetOf(setting.GetEditBox())->geometry(), QRect(240, 27, 50, 20));
}

void TestSettingControls::controlsAreCreatedAsThePlatformWould() {
  TestWindow window;
  CByteSetting setting;
  setting.CreateControls(&window);
  QVERIFY(EditOf(setting)->focusPolicy() & Qt::TabFocus);  // a tab stop: reached without a mouse
  QVERIFY(EditOf(setting)->hasFrame());
  // Any characters, typed.
  int row = 0;
  setting.Layout(5, 0, 300, &row);
  QTest::keyClicks(EditOf(setting), "a-+");
  QCOMPARE(EditOf(setting)->text(), QString("a-+"));
}

void TestSettingControls::tableLayout() {
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
}

void TestSettingControls::editBoxStopsWhenFull_data() {
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
void TestSettingControls::editBoxStopsWhenFull() {
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
void TestSettingControls::editBoxIsNamedByItsLabel() {
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

QTEST_MAIN(TestSettingControls)
#include "tst_settingcontrols.moc"
