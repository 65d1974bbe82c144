// The main dialog built from config.inf beside the test's own executable, run modally offscreen.
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>
#include <functional>

#include "app/AboutDlg.h"
#include "app/MainDlg.h"
#include "app/ProgrammerApp.h"
#include "platform/AfxMessageBox.h"
#include "platform/CWinApp.h"
#include "platform/DialogTemplate.h"
#include "platform/qt/DialogLook.h"
#include "platform/qt/QtWindows.h"
#include "programming/ProgramDlg.h"
#include "protocol/optical_protocol.h"
#include "res/resource.h"
#include "tests/support/Fixtures.h"
#include "tests/support/ModalWatchdog.h"
#include "tests/support/ToolResources.h"

namespace {

using testsupport::RunModal;

QString ConfigPath() { return testsupport::ConfigPathBesideExecutable(); }

void WriteConfig(const QByteArray& content) { testsupport::WriteConfigBesideExecutable(content); }

QWidget* Item(CMainDlg& dialog, int id) { return platform::qt::WidgetOf(dialog.GetDlgItem(id)); }

QList<QLineEdit*> EditBoxes(CMainDlg& dialog) {
  return platform::qt::ClientWidgetOf(dialog)->findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly);
}

QList<QLabel*> Labels(CMainDlg& dialog) {
  return platform::qt::ClientWidgetOf(dialog)->findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
}

}  // namespace

class TestMainDialog : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { testsupport::RegisterToolResources(); }
  void cleanup() { QFile::remove(ConfigPath()); }
  void configuredForm();
  void withoutConfigKeepsTheTemplate();
  void withoutAppSizeUsesZero();
  void unusualSizesStillShowTheWindow_data();
  void unusualSizesStillShowTheWindow();
  void everyDialogHasAFixedSize();
  void enterProgramsAgainAfterADialogCloses_data();
  void enterProgramsAgainAfterADialogCloses();
  void titleDecoding_data();
  void titleDecoding();
  void endingCommands_data();
  void endingCommands();
  void okAndEnterLeaveItOpen();
  void menuHoldsTheCommands();
  void templatesHoldEveryIdTheCodeUses();
  void scriptsKnowTheProgrammingDialog();
  void appNameCaptionsMessageBoxes();
};

void TestMainDialog::configuredForm() {
  WriteConfig(
      "AppName \"Widget Loader\"\nAppSize \"300\" \"200\"\nID \"a\" \"BYTE\"\nName \"Alpha\"\n"
      "ID \"b\" \"BYTE\"\nName \"Beta\"\nID \"c\" \"BYTE\"\nName \"Gamma\"\n");
  CMainDlg dialog(IDD_MAIN);
  RunModal(dialog, [&] {
    QWidget* window = platform::qt::WidgetOf(dialog);
    QCOMPARE(window->windowTitle(), QString("Widget Loader"));
    QCOMPARE(window->frameGeometry(), QRect(0, 0, 300, 200));
    // Client coordinates start below the menu bar.
    auto* menuBar = window->findChild<QMenuBar*>();
    QVERIFY(menuBar);
    QCOMPARE(platform::qt::ClientWidgetOf(dialog)->geometry().top(),
             menuBar->geometry().bottom() + 1);
    QCOMPARE(Item(dialog, IDC_PROGRAM)->geometry(), QRect(5, 125, 75, 25));
    QCOMPARE(Item(dialog, IDCANCEL)->geometry(), QRect(215, 125, 75, 25));
    const auto edits = EditBoxes(dialog);
    QCOMPARE(edits.size(), 3);
    for (int i = 0; i < 3; ++i) QCOMPARE(edits[i]->geometry(), QRect(240, 5 + 22 * i, 50, 20));
    QStringList labels;
    for (QLabel* label : Labels(dialog)) labels << label->text();
    QCOMPARE(labels, QStringList({"Alpha", "Beta", "Gamma"}));
    QCOMPARE(Labels(dialog)[1]->geometry(), QRect(5, 27, 230, 20));
  });
}

void TestMainDialog::withoutConfigKeepsTheTemplate() {
  CMainDlg dialog(IDD_MAIN);
  RunModal(dialog, [&] {
    QCOMPARE(platform::qt::WidgetOf(dialog)->windowTitle(), QString("Universal Programmer"));
    const auto units = platform::qt::BaseUnitsOf(platform::qt::DialogFont());
    RECT client;
    dialog.GetClientRect(&client);
    QCOMPARE(client.right, platform::MulDiv(255, units.averageCharWidth, 4));
    QCOMPARE(client.bottom, platform::MulDiv(191, units.charHeight, 8));
    QCOMPARE(Item(dialog, IDC_PROGRAM)->geometry(),
             platform::qt::QRectOf(platform::DialogUnitsToPixels(units, 7, 170, 50, 14)));
    QCOMPARE(Item(dialog, IDCANCEL)->geometry(),
             platform::qt::QRectOf(platform::DialogUnitsToPixels(units, 198, 170, 50, 14)));
    QVERIFY(EditBoxes(dialog).isEmpty());
  });
  QCOMPARE(dialog.GetConfig().GetCount(), 0);
}

void TestMainDialog::withoutAppSizeUsesZero() {
  WriteConfig("ID \"a\" \"BYTE\"");
  CMainDlg dialog(IDD_MAIN);
  RunModal(dialog, [&] {
    QCOMPARE(platform::qt::WidgetOf(dialog)->windowTitle(), QString());
    QCOMPARE(Item(dialog, IDC_PROGRAM)->geometry(), QRect(5, -75, 75, 25));
    QCOMPARE(Item(dialog, IDCANCEL)->geometry(), QRect(-85, -75, 75, 25));
    QCOMPARE(EditBoxes(dialog).size(), 1);
  });
}

void TestMainDialog::unusualSizesStillShowTheWindow_data() {
  QTest::addColumn<QByteArray>("appSize");
  QTest::addColumn<QSize>("configured");  // as the layout takes it
  QTest::newRow("no AppSize") << QByteArray() << QSize(0, 0);
  QTest::newRow("zero") << QByteArray("AppSize \"0\" \"0\"") << QSize(0, 0);
  QTest::newRow("zero width") << QByteArray("AppSize \"0\" \"200\"") << QSize(0, 200);
  QTest::newRow("negative") << QByteArray("AppSize \"-500\" \"-1\"") << QSize(-500, -1);
  QTest::newRow("huge") << QByteArray("AppSize \"2000000000\" \"300000\"")
                        << QSize(1 << 30, 300000);
}

// Whatever config.inf says, the main dialog is shown, so that it can be seen and closed.
void TestMainDialog::unusualSizesStillShowTheWindow() {
  QFETCH(QByteArray, appSize);
  QFETCH(QSize, configured);
  WriteConfig(appSize + "\nID \"a\" \"BYTE\"");
  CMainDlg dialog(IDD_MAIN);
  RunModal(dialog, [&] {
    QWidget* window = platform::qt::WidgetOf(dialog);
    QVERIFY(window->isVisible());
    // A side given below 1 is held where the menu bar's titles show; any other side is as
    // given, frame included, but for the window inside the frame held within 1..16384.
    const QSize menu = window->findChild<QMenuBar*>()->sizeHint();
    auto sideShown = [](int configured, int outer, int inner, int least) {
      const int frame = outer - inner;
      if (configured < 1) return inner == least;
      if (configured - frame < 1) return inner == 1;
      if (configured - frame > 16384) return inner == 16384;
      return outer == configured;
    };
    const QRect outer = window->frameGeometry();
    QVERIFY2(sideShown(configured.width(), outer.width(), window->width(), menu.width()),
             qPrintable(QString::number(window->width())));
    QVERIFY2(sideShown(configured.height(), outer.height(), window->height(), menu.height() + 1),
             qPrintable(QString::number(window->height())));
    QVERIFY(window->width() >= 40);  // File and About can be seen and clicked
    // The buttons are placed by the formula from the configured values, seen or not.
    QCOMPARE(Item(dialog, IDC_PROGRAM)->geometry(), QRect(5, configured.height() - 75, 75, 25));
    QCOMPARE(Item(dialog, IDCANCEL)->geometry(),
             QRect(configured.width() - 85, configured.height() - 75, 75, 25));
  });
}

// A modal frame: the window manager is told the smallest and largest size are the size.
void TestMainDialog::everyDialogHasAFixedSize() {
  WriteConfig("AppName \"Fixed\"\nAppSize \"300\" \"200\"\n");
  const unsigned char packet[3] = {OPTICAL_SYNC_BYTE, 0, 0};
  const int zero = OPTICAL_ZERO_BIT_US, one = OPTICAL_ONE_BIT_US, start = OPTICAL_START_US;
  CMainDlg main(IDD_MAIN);
  CProgramDlg programming(IDD_PROGRAM, packet, 3, zero, one, start);
  CAboutDlg about(nullptr);
  for (CDialog* dialog : std::initializer_list<CDialog*>{&main, &programming, &about}) {
    QSize minimum, maximum, size;
    RunModal(*dialog, [&] {
      QWidget* window = platform::qt::WidgetOf(dialog);
      minimum = window->minimumSize();
      maximum = window->maximumSize();
      size = window->size();
      dialog->EndDialog(IDCANCEL);
    });
    QVERIFY(!size.isEmpty());
    QCOMPARE(minimum, size);
    QCOMPARE(maximum, size);
  }
}

void TestMainDialog::enterProgramsAgainAfterADialogCloses_data() {
  QTest::addColumn<int>("command");
  QTest::newRow("programming dialog") << int(IDC_PROGRAM);
  QTest::newRow("About box") << int(ID_ABOUT);
}

// The keyboard focus goes back to Program when a dialog over the form closes, so that Enter
// programs again.
void TestMainDialog::enterProgramsAgainAfterADialogCloses() {
  QFETCH(int, command);
  CMainDlg dialog(IDD_MAIN);
  QStringList opened;
  RunModal(dialog, [&] {
    QVERIFY(QTest::qWaitForWindowActive(platform::qt::WidgetOf(dialog)));
    QVERIFY(Item(dialog, IDC_PROGRAM)->hasFocus());
    auto closeWithEscape = [&] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal) return;
      opened << modal->windowTitle();
      QVERIFY(QTest::qWaitForWindowActive(modal));
      QTest::keyClick(modal, Qt::Key_Escape);
    };
    QTimer::singleShot(0, closeWithEscape);
    dialog.SendCommand(command);
    QTRY_VERIFY(Item(dialog, IDC_PROGRAM)->hasFocus());
    QTimer::singleShot(0, closeWithEscape);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  });
  QCOMPARE(opened.size(), 2);
  QCOMPARE(opened.last(), QString("Program"));
}

void TestMainDialog::titleDecoding_data() {
  QTest::addColumn<QByteArray>("name");
  QTest::newRow("UTF-8") << QByteArray("Vitesse (0 \xC3\xA0 255)");
  QTest::newRow("Windows-1252") << QByteArray("Vitesse (0 \xE0 255)");
}

void TestMainDialog::titleDecoding() {
  QFETCH(QByteArray, name);
  WriteConfig("AppName \"" + name + "\" ID \"a\" \"BYTE\" Name \"" + name + "\"");
  CMainDlg dialog(IDD_MAIN);
  RunModal(dialog, [&] {
    const QString expected = QString::fromUtf8("Vitesse (0 à 255)");
    QCOMPARE(platform::qt::WidgetOf(dialog)->windowTitle(), expected);
    QCOMPARE(Labels(dialog).value(0)->text(), expected);
  });
}

void TestMainDialog::endingCommands_data() {
  QTest::addColumn<QString>("how");
  QTest::newRow("Exit button") << "exit";
  QTest::newRow("Escape") << "escape";
  QTest::newRow("close box") << "close";
  QTest::newRow("File > Exit") << "menu";
}

void TestMainDialog::endingCommands() {
  QFETCH(QString, how);
  CMainDlg dialog(IDD_MAIN);
  const int result = RunModal(dialog, [&] {
    QWidget* window = platform::qt::WidgetOf(dialog);
    if (how == "exit") {
      static_cast<QPushButton*>(Item(dialog, IDCANCEL))->click();
    } else if (how == "escape") {
      QTest::keyClick(window, Qt::Key_Escape);
    } else if (how == "close") {
      window->close();
    } else {
      for (QAction* action : window->findChild<QMenuBar*>()->actions()) {
        if (!action->menu()) continue;
        for (QAction* item : action->menu()->actions()) {
          if (item->text() == "Exit") item->trigger();
        }
      }
    }
  });
  QCOMPARE(result, IDCANCEL);
}

void TestMainDialog::okAndEnterLeaveItOpen() {
  CMainDlg dialog(IDD_MAIN);
  bool stillOpen = false;
  QString programmingTitle;
  const int result = RunModal(dialog, [&] {
    QVERIFY(dialog.SendCommand(IDOK));
    // Enter presses Program, the default button: the programming dialog opens over the form.
    QTimer::singleShot(0, [&] {
      QWidget* programming = QApplication::activeModalWidget();
      programmingTitle = programming->windowTitle();
      QTest::keyClick(programming, Qt::Key_Escape);
    });
    QTest::keyClick(platform::qt::WidgetOf(dialog), Qt::Key_Return);
    stillOpen = platform::qt::WidgetOf(dialog)->isVisible();
  });
  QCOMPARE(programmingTitle, QString("Program"));
  QVERIFY(stillOpen);
  QCOMPARE(result, -2);
}

void TestMainDialog::menuHoldsTheCommands() {
  CMainDlg dialog(IDD_MAIN);
  RunModal(dialog, [&] {
    QStringList entries;
    for (QAction* action : platform::qt::WidgetOf(dialog)->findChild<QMenuBar*>()->actions()) {
      entries << action->text();
      if (!action->menu()) continue;
      for (QAction* item : action->menu()->actions()) {
        entries << (item->isSeparator() ? "-" : "  " + item->text());
      }
    }
    QCOMPARE(entries, QStringList({"File", "  Open...", "-", "  Save", "  Save As...", "-",
                                   "  Exit", "About"}));
  });
}

void TestMainDialog::templatesHoldEveryIdTheCodeUses() {
  const struct {
    int dialog;
    QList<int> ids;
  } uses[] = {
      {IDD_MAIN, {IDC_PROGRAM, IDCANCEL}},
      {IDD_PROGRAM, {IDC_START, IDCANCEL}},
      {IDD_ABOUT, {IDOK, IDC_ABOUT_TEXT}},
  };
  for (const auto& use : uses) {
    const auto* dialogTemplate = platform::FindDialogTemplate(use.dialog);
    QVERIFY(dialogTemplate);
    for (int id : use.ids) {
      bool found = false;
      for (const auto& item : dialogTemplate->items) found = found || item.id == id;
      QVERIFY2(found, qPrintable(QString("id %1 in dialog %2").arg(id).arg(use.dialog)));
    }
  }
  QVERIFY(platform::FindMenuTemplate(platform::FindDialogTemplate(IDD_MAIN)->menuId));
}

// The scripts that click the programming dialog's buttons take its template from one file of
// their own: it must say what the template says.
void TestMainDialog::scriptsKnowTheProgrammingDialog() {
  QFile file(PROGRAM_DIALOG_SCRIPT);
  QVERIFY(file.open(QIODevice::ReadOnly));
  const QString script = QString::fromUtf8(file.readAll());
  auto numbers = [&](const QString& pattern) {
    const QRegularExpressionMatch match = QRegularExpression(pattern).match(script);
    QList<int> values;
    for (const QString& value : match.captured(1).split(' ', Qt::SkipEmptyParts)) {
      values << value.toInt();
    }
    return values;
  };
  const auto* dialogTemplate = platform::FindDialogTemplate(IDD_PROGRAM);
  QVERIFY(dialogTemplate);
  QCOMPARE(numbers(R"(program_units_w=(\d+))"), QList<int>{dialogTemplate->cx});
  QCOMPARE(numbers(R"(program_units_h=(\d+))"), QList<int>{dialogTemplate->cy});
  for (const auto& [name, id] : {std::pair{"start", IDC_START}, std::pair{"done", IDCANCEL}}) {
    QList<int> inTemplate;
    for (const auto& item : dialogTemplate->items) {
      if (item.id == id) inTemplate = {item.x, item.y, item.cx, item.cy};
    }
    QCOMPARE(numbers(QString(R"(%1_button_units=\(([\d ]+)\))").arg(name)), inTemplate);
  }
}

// The application object names the tool: message boxes carry its name as their caption.
void TestMainDialog::appNameCaptionsMessageBoxes() {
  QCOMPARE(QString(AfxGetAppName()), QString());
  {
    const CProgrammerApp app;
    QCOMPARE(QString(AfxGetAppName()), QString("Universal Programmer"));
    QString caption;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      caption = box->windowTitle();
      box->button(QMessageBox::Ok)->click();
    });
    const ModalWatchdog watchdog;
    QCOMPARE(AfxMessageBox("Unable to open file!"), IDOK);
    QCOMPARE(caption, QString("Universal Programmer"));
  }
  QCOMPARE(QString(AfxGetAppName()), QString());
}

QTEST_MAIN(TestMainDialog)
#include "tst_maindialog.moc"
