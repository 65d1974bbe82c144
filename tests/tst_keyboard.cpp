// The main dialog with the keyboard alone: the form's edit boxes are tab stops in the form's
// order, then Program and Exit, and a screen reader reads them in that order; F10, and Alt
// pressed and released alone, put the keyboard on the menu bar; Enter in an edit box presses
// Program.
#include <QAccessible>
#include <QLineEdit>
#include <QMenuBar>
#include <QtTest>

#include "app/MainDlg.h"
#include "platform/qt/QtWindows.h"
#include "res/resource.h"
#include "tests/support/Fixtures.h"
#include "tests/support/ToolResources.h"

namespace {

using testsupport::RunModal;

QWidget* Item(CMainDlg& dialog, int id) { return platform::qt::WidgetOf(dialog.GetDlgItem(id)); }

QList<QLineEdit*> EditBoxes(CMainDlg& dialog) {
  return platform::qt::ClientWidgetOf(dialog)->findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly);
}

// Alpha, Beta and Gamma: three rows.
void WriteThreeRows() {
  testsupport::WriteConfigBesideExecutable(
      "AppName \"Keys\"\nAppSize \"300\" \"200\"\nID \"a\" \"BYTE\"\nName \"Alpha\"\n"
      "ID \"b\" \"BYTE\"\nName \"Beta\"\nID \"c\" \"BYTE\"\nName \"Gamma\"\n");
}

// The controls in the order Tab visits them from the one that has the focus, until it comes back.
QList<QWidget*> TabCycle() {
  QList<QWidget*> visited{QApplication::focusWidget()};
  for (int i = 0; i < 20; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    if (QApplication::focusWidget() == visited.first()) break;
    visited << QApplication::focusWidget();
  }
  return visited;
}

QList<QWidget*> ReadingOrder(QWidget* client) {
  QList<QWidget*> order;
  QAccessibleInterface* face = QAccessible::queryAccessibleInterface(client);
  for (int i = 0; face && i < face->childCount(); ++i) {
    if (auto* widget = qobject_cast<QWidget*>(face->child(i)->object())) order << widget;
  }
  return order;
}

}  // namespace

class TestKeyboard : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { testsupport::RegisterToolResources(); }
  void cleanup() { QFile::remove(testsupport::ConfigPathBesideExecutable()); }
  void tabGoesThroughTheFormThenTheButtons();
  void menuBarFromTheKeyboard_data();
  void menuBarFromTheKeyboard();
  void enterInAnEditBoxPressesProgram();
};

void TestKeyboard::tabGoesThroughTheFormThenTheButtons() {
  WriteThreeRows();
  CMainDlg dialog(IDD_MAIN);
  RunModal(dialog, [&] {
    QVERIFY(QTest::qWaitForWindowActive(platform::qt::WidgetOf(dialog)));
    const auto edits = EditBoxes(dialog);
    QCOMPARE(edits.size(), 3);
    QWidget* program = Item(dialog, IDC_PROGRAM);
    QWidget* exit = Item(dialog, IDCANCEL);
    QCOMPARE(QApplication::focusWidget(), edits[0]);  // typing starts in the form
    const QList<QWidget*> expected{edits[0], edits[1], edits[2], program, exit};
    QCOMPARE(TabCycle(), expected);
    // Each box is read after its label, and the buttons after the form.
    QList<QWidget*> read = ReadingOrder(platform::qt::ClientWidgetOf(dialog));
    read.removeIf([](QWidget* widget) { return !(widget->focusPolicy() & Qt::TabFocus); });
    QCOMPARE(read, expected);
  });
}

void TestKeyboard::menuBarFromTheKeyboard_data() {
  QTest::addColumn<int>("key");
  QTest::newRow("F10") << int(Qt::Key_F10);
  QTest::newRow("Alt alone") << int(Qt::Key_Alt);
}

// The key highlights File without opening it; Right moves to About, Escape leaves the bar and
// gives the keyboard back to the box it came from, and the dialog stays open.
void TestKeyboard::menuBarFromTheKeyboard() {
  QFETCH(int, key);
  WriteThreeRows();
  CMainDlg dialog(IDD_MAIN);
  bool stillOpen = false;
  RunModal(dialog, [&] {
    QWidget* window = platform::qt::WidgetOf(dialog);
    QVERIFY(QTest::qWaitForWindowActive(window));
    auto* menuBar = window->findChild<QMenuBar*>();
    QWidget* box = QApplication::focusWidget();
    if (key == Qt::Key_Alt) {
      QTest::keyPress(box, Qt::Key_Alt, Qt::AltModifier);
      QTest::keyRelease(box, Qt::Key_Alt, Qt::NoModifier);
    } else {
      QTest::keyClick(box, Qt::Key(key));
    }
    QVERIFY(menuBar->hasFocus());
    QVERIFY(menuBar->activeAction());
    QCOMPARE(menuBar->activeAction()->text(), QString("File"));
    QVERIFY(!QApplication::activePopupWidget());
    QTest::keyClick(menuBar, Qt::Key_Right);
    QCOMPARE(menuBar->activeAction()->text(), QString("About"));
    QTest::keyClick(menuBar, Qt::Key_Escape);
    QVERIFY(!menuBar->activeAction());
    QCOMPARE(QApplication::focusWidget(), box);
    stillOpen = window->isVisible();
  });
  QVERIFY(stillOpen);
}

void TestKeyboard::enterInAnEditBoxPressesProgram() {
  WriteThreeRows();
  CMainDlg dialog(IDD_MAIN);
  QString opened;
  RunModal(dialog, [&] {
    QVERIFY(QTest::qWaitForWindowActive(platform::qt::WidgetOf(dialog)));
    QLineEdit* box = EditBoxes(dialog).value(1);
    box->setFocus();
    QTest::keyClicks(box, "42");
    QTimer::singleShot(0, [&] {
      if (QWidget* modal = QApplication::activeModalWidget()) {
        opened = modal->windowTitle();
        QTest::keyClick(modal, Qt::Key_Escape);
      }
    });
    QTest::keyClick(box, Qt::Key_Return);
  });
  QCOMPARE(opened, QString("Program"));
}

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
