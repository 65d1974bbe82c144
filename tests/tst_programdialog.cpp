// The programming dialog run modally offscreen and driven by a scripted clock: every state of a
// countdown and a run, cancels at chosen moments, the dialog keys while it pumps, and the panels.
#include <QAccessible>
#include <QCloseEvent>
#include <QPushButton>
#include <QtTest>
#include <functional>

#include "platform/FrameClock.h"
#include "platform/PerformanceCounter.h"
#include "platform/qt/QtWindows.h"
#include "programming/ProgramDlg.h"
#include "programming/TextProgressCtrl.h"
#include "protocol/optical_protocol.h"
#include "receiver/optical_receiver.h"
#include "res/resource.h"
#include "tests/support/Fixtures.h"
#include "tests/support/ScriptedClock.h"
#include "tests/support/ToolResources.h"

namespace {

constexpr std::int64_t kSecond = 1'000'000;
constexpr std::int64_t kMs = 1'000;
// The countdown ends three seconds after Start; the run of 55 00 00 puts its last swap 1700 ms
// later and completes 50 ms after that.
constexpr std::int64_t kRunStart = OPTICAL_COUNTDOWN_SECONDS * kSecond;
const QByteArray kPacket("\x55\x00\x00", 3);
// Its swaps, and the top of the progress bar's range.
constexpr int kSwaps = 3 * OPTICAL_SWAPS_PER_BYTE;

struct Outcome {
  QStringList statuses;
  QVector<std::int64_t> statusTimes;
  QVector<std::int64_t> swaps;
  QVector<std::int64_t> panelChanges;  // the swaps and any putting back of the colours
  int position = -1;
  bool startEnabled = false;
  QString doneText;
  COLORREF left = 1;
  COLORREF right = 1;
  bool stillOpen = false;
  bool startHasFocus = false;  // after the last countdown or run
  QString announced;           // what a screen reader reads out for the progress bar
  int result = 0;
};

QPushButton* Button(CProgramDlg& dialog, int id) {
  return static_cast<QPushButton*>(platform::qt::WidgetOf(dialog.GetDlgItem(id)));
}

// Clicks a button the way a user does while the dialog pumps: the click waits in the queue.
void QueueClick(QPushButton* button) {
  QMetaObject::invokeMethod(
      button, [button] { button->click(); }, Qt::QueuedConnection);
}

// Runs the dialog over `packet`: `script` schedules actions on the clock, then Start is pressed
// `starts` times. Afterwards the dialog is closed with Done, which must end it.
Outcome RunDialog(const QByteArray& packet, int starts,
                  const std::function<void(ScriptedClock&, CProgramDlg&)>& script = {}) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(packet.constData());
  const int zero = OPTICAL_ZERO_BIT_US, one = OPTICAL_ONE_BIT_US, start = OPTICAL_START_US;
  CProgramDlg dialog(IDD_PROGRAM, bytes, static_cast<int>(packet.size()), zero, one, start);
  ScriptedClock clock(100);
  Outcome outcome;
  outcome.result = testsupport::RunModal(dialog, [&] {
    clock.Watch(&dialog);
    if (script) script(clock, dialog);
    QVERIFY(QTest::qWaitForWindowActive(platform::qt::WidgetOf(dialog)));
    Button(dialog, IDC_START)->setFocus();  // as after a click on it
    for (int i = 0; i < starts; ++i) dialog.SendCommand(IDC_START);
    clock.Count();  // a last look at the panels, after the run has put back any colours
    outcome.startHasFocus = Button(dialog, IDC_START)->hasFocus();
    outcome.announced =
        QAccessible::queryAccessibleInterface(platform::qt::WidgetOf(dialog.GetProgressCtrl()))
            ->text(QAccessible::Name);
    outcome.position = dialog.GetProgressCtrl()->GetPos();
    outcome.startEnabled = Button(dialog, IDC_START)->isEnabled();
    outcome.doneText = Button(dialog, IDCANCEL)->text();
    outcome.left = dialog.GetLeftColour();
    outcome.right = dialog.GetRightColour();
    outcome.stillOpen = platform::qt::WidgetOf(dialog)->isVisible();
    QPushButton* done = Button(dialog, IDCANCEL);
    done->click();
  });
  for (const auto& change : clock.StatusChanges()) {
    outcome.statuses << change.text;
    outcome.statusTimes << change.time;
  }
  outcome.swaps = clock.Swaps();
  outcome.panelChanges = clock.PanelChanges();
  return outcome;
}

}  // namespace

class TestProgramDialog : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { testsupport::RegisterToolResources(); }
  void idleEndingsCloseAtOnce_data();
  void idleEndingsCloseAtOnce();
  void completeRun();
  void aRunOnAScreenWithFramesTakesWholeFrames();
  void cancels_data();
  void cancels();
  void cancelsDuringTheRun_data();
  void cancelsDuringTheRun();
  void aDeviceNeverTakesACancelledRun_data();
  void aDeviceNeverTakesACancelledRun();
  void startAgainAfterACompleteRun();
  void dialogKeysDoNothingWhileBusy();
  void barAndPanelsAreWhereTheyBelong();
};

void TestProgramDialog::idleEndingsCloseAtOnce_data() {
  QTest::addColumn<QString>("how");
  QTest::newRow("Done") << "done";
  QTest::newRow("close box") << "close";
  QTest::newRow("Escape") << "escape";
}

void TestProgramDialog::idleEndingsCloseAtOnce() {
  QFETCH(QString, how);
  CProgramDlg dialog(IDD_PROGRAM, reinterpret_cast<const unsigned char*>(kPacket.constData()), 3,
                     OPTICAL_ZERO_BIT_US, OPTICAL_ONE_BIT_US, OPTICAL_START_US);
  QCOMPARE(testsupport::RunModal(dialog,
                                 [&] {
                                   QWidget* window = platform::qt::WidgetOf(dialog);
                                   if (how == "done") Button(dialog, IDCANCEL)->click();
                                   if (how == "close") window->close();
                                   if (how == "escape") QTest::keyClick(window, Qt::Key_Escape);
                                 }),
           IDCANCEL);
}

void TestProgramDialog::completeRun() {
  const Outcome outcome = RunDialog(kPacket, 1);
  QCOMPARE(outcome.statuses,
           QStringList({"Ready to program", "Starting in...3", "Starting in...2", "Starting in...1",
                        "Starting in...0", "Programming...", "Programming...Done"}));
  // One second between countdown steps; "Starting in...0" gives way to "Programming..." at once.
  for (int i = 2; i <= 4; ++i) {
    QVERIFY(qAbs(outcome.statusTimes[i] - outcome.statusTimes[i - 1] - kSecond) <= 300);
  }
  QCOMPARE(outcome.statusTimes[5], outcome.statusTimes[4]);
  QCOMPARE(outcome.swaps.size(), kSwaps);
  // The first swap comes one start duration after "Programming...".
  QVERIFY(qAbs(outcome.swaps.first() - outcome.statusTimes[5] - 50 * kMs) <= 500);
  QCOMPARE(outcome.position, kSwaps);  // 31 set, held at the top of the range
  QVERIFY(outcome.startEnabled);
  QVERIFY(outcome.startHasFocus);  // so Enter starts another run
  QCOMPARE(outcome.announced, QString("Programming...Done"));
  QCOMPARE(outcome.doneText, QString("Done"));
  QCOMPARE(outcome.left, CProgramDlg::kBlack);
  QCOMPARE(outcome.right, CProgramDlg::kWhite);
  QCOMPARE(outcome.result, IDCANCEL);  // Done after the run closes the dialog
}

namespace {

// A display of 39 Hz (a compositor's timer-paced rhythm), its frames on the scripted clock.
class ThirtyNineHertz : public platform::FrameClockSource, public platform::FrameClock {
 public:
  static constexpr std::int64_t kPeriod = 25'641;
  std::unique_ptr<platform::FrameClock> Follow(CWnd&) override {
    return std::unique_ptr<platform::FrameClock>(new Shared(*this));
  }
  bool LatestFrame(platform::Frame* frame) override {
    std::int64_t now = 0;
    QueryPerformanceCounter(&now);
    frame->number = static_cast<std::uint64_t>(now / kPeriod);
    frame->count = now / kPeriod * kPeriod;
    return true;
  }

 private:
  struct Shared : platform::FrameClock {
    explicit Shared(FrameClock& display) : display(display) {}
    bool LatestFrame(platform::Frame* frame) override { return display.LatestFrame(frame); }
    FrameClock& display;
  };
};

}  // namespace

// Where the display's frames are known, the dialog plans each swap for a frame: every interval is
// the whole number of frames nearest its duration (two of 25.6 ms for 50 ms, four for 100 ms),
// not the duration itself; everything else about the run is as without frames.
void TestProgramDialog::aRunOnAScreenWithFramesTakesWholeFrames() {
  ThirtyNineHertz display;
  platform::SetFrameClockSource(&display);
  const Outcome outcome = RunDialog(kPacket, 1);
  platform::SetFrameClockSource(nullptr);
  QCOMPARE(outcome.statuses.last(), QString("Programming...Done"));
  QCOMPARE(outcome.swaps.size(), kSwaps);
  for (int i = 1; i < outcome.swaps.size(); ++i) {
    const std::int64_t interval = outcome.swaps[i] - outcome.swaps[i - 1];
    const std::int64_t frames =
        (interval + ThirtyNineHertz::kPeriod / 2) / ThirtyNineHertz::kPeriod;
    QVERIFY2(frames == 2 || frames == 4, qPrintable(QString::number(interval)));
    QVERIFY2(qAbs(interval - frames * ThirtyNineHertz::kPeriod) <= 300,
             qPrintable(QString::number(interval)));
  }
  QCOMPARE(outcome.left, CProgramDlg::kBlack);
  QCOMPARE(outcome.right, CProgramDlg::kWhite);
}

namespace {

// Cancels with the dialog's Cancel button ("click") or its close box ("close") at a moment after
// Start: the run stops where it is (or has not begun, or has just ended) and the dialog stays open.
Outcome CancelAt(const QString& how, qint64 at) {
  return RunDialog(kPacket, 1, [&](ScriptedClock& clock, CProgramDlg& dialog) {
    clock.At(at, [&dialog, how] {
      if (how == "click") {
        QueueClick(Button(dialog, IDCANCEL));
      } else {
        QCoreApplication::postEvent(platform::qt::WidgetOf(dialog), new QCloseEvent);
      }
    });
  });
}

// After a cancel: Start can start again, and the panels are back to black and white.
void VerifyReadyAgain(const Outcome& outcome) {
  QVERIFY(outcome.stillOpen);  // a cancel never closes the dialog; Done afterwards does
  QCOMPARE(outcome.result, IDCANCEL);
  QVERIFY(outcome.startEnabled);
  QVERIFY(outcome.startHasFocus);
  QCOMPARE(outcome.doneText, QString("Done"));
  QCOMPARE(outcome.left, CProgramDlg::kBlack);
  QCOMPARE(outcome.right, CProgramDlg::kWhite);
}

}  // namespace

// Cancels before the first swap or after the last: the swaps and the bar's position are exact.
void TestProgramDialog::cancels_data() {
  QTest::addColumn<QString>("how");
  QTest::addColumn<qint64>("at");  // microseconds after Start
  QTest::addColumn<QString>("status");
  QTest::addColumn<int>("swaps");
  QTest::addColumn<int>("position");

  QTest::newRow("Cancel during the countdown")
      << "click" << qint64(1500 * kMs) << "Ready to program" << 0 << 0;
  QTest::newRow("close box during the countdown")
      << "close" << qint64(2500 * kMs) << "Ready to program" << 0 << 0;
  QTest::newRow("Cancel in the last start-duration wait")
      << "click" << qint64(kRunStart + 1725 * kMs) << "Programming...Done" << kSwaps << kSwaps;
}

void TestProgramDialog::cancels() {
  QFETCH(QString, how);
  QFETCH(qint64, at);
  const Outcome outcome = CancelAt(how, at);
  QTEST(outcome.statuses.last(), "status");
  QTEST(int(outcome.swaps.size()), "swaps");
  QTEST(outcome.position, "position");
  VerifyReadyAgain(outcome);
}

// Cancels in the middle of a byte: some swaps but not all 30 went out, and the bar stopped short
// of its end.
void TestProgramDialog::cancelsDuringTheRun_data() {
  QTest::addColumn<QString>("how");
  QTest::addColumn<qint64>("at");  // microseconds after Start

  QTest::newRow("Cancel in the middle of a byte") << "click" << qint64(kRunStart + 400 * kMs);
  QTest::newRow("close box in the middle of a byte") << "close" << qint64(kRunStart + 900 * kMs);
}

void TestProgramDialog::cancelsDuringTheRun() {
  QFETCH(QString, how);
  QFETCH(qint64, at);
  const Outcome outcome = CancelAt(how, at);
  QCOMPARE(outcome.statuses.last(), QString("Programming...Canceled"));
  QVERIFY(outcome.swaps.size() > 0 && outcome.swaps.size() < kSwaps);
  QVERIFY(outcome.position > 0 && outcome.position < kSwaps);
  VerifyReadyAgain(outcome);
}

// What a device makes of a run cancelled at any moment: the reference receiver is fed every
// change of the panels, the putting back of the colours included. The run's swaps of 55 00 00
// come at 50, 100, 200, 250, ... 700 ms (the sync byte), then every 50 ms from 750 to 1700 ms.
void TestProgramDialog::aDeviceNeverTakesACancelledRun_data() {
  QTest::addColumn<qint64>("at");  // microseconds after the countdown
  QTest::addColumn<QString>("status");
  QTest::addColumn<QString>("events");  // what the receiver reports, in order

  QTest::newRow("after an odd number of swaps, mid-byte")
      << qint64(530 * kMs) << "Programming...Canceled"
      << "ERR_TRUNCATED";
  QTest::newRow("even swaps, in the gap between bytes")
      << qint64(720 * kMs) << "Programming...Canceled"
      << "ERR_TRUNCATED";
  // The checksum's bit 7 is 0: a swap 30 ms into its wait would end the byte as sent.
  QTest::newRow("in the last wait of the checksum byte")
      << qint64(1680 * kMs) << "Programming...Canceled"
      << "ERR_TRUNCATED";
  QTest::newRow("after the last swap: the packet is out")
      << qint64(1725 * kMs) << "Programming...Done"
      << "PACKET";
}

void TestProgramDialog::aDeviceNeverTakesACancelledRun() {
  QFETCH(qint64, at);
  const Outcome outcome = CancelAt("click", kRunStart + at);
  QTEST(outcome.statuses.last(), "status");
  VerifyReadyAgain(outcome);

  orx_receiver rx;
  QVERIFY(orx_init(&rx, OPTICAL_ZERO_BIT_US, OPTICAL_ONE_BIT_US, OPTICAL_START_US));
  QStringList events;
  const auto& changes = outcome.panelChanges;
  for (qsizetype used = 0; used < changes.size();) {
    size_t consumed = 0;
    const orx_event event = orx_decode_swaps(&rx, changes.constData() + used,
                                             static_cast<size_t>(changes.size() - used), &consumed);
    if (event != ORX_NONE) events << orx_event_name(event);
    used += static_cast<qsizetype>(consumed);
  }
  QTEST(events.join(' '), "events");

  // Colours put back after an odd number of swaps only once the panels held still for longer
  // than a receiver's idle silence, so the putting back is never read as part of the run.
  const qsizetype extra = changes.size() - outcome.swaps.size();
  QCOMPARE(extra, outcome.swaps.size() % 2);
  if (extra == 1) {
    QVERIFY2(changes.last() - outcome.swaps.last() >= 2 * OPTICAL_ONE_BIT_US,
             qPrintable(QString("colours put back %1 us after the last swap")
                            .arg(changes.last() - outcome.swaps.last())));
  }
}

void TestProgramDialog::startAgainAfterACompleteRun() {
  const Outcome outcome = RunDialog(kPacket, 2);
  QCOMPARE(outcome.statuses.count("Programming...Done"), 2);
  QCOMPARE(outcome.statuses.count("Starting in...3"), 2);
  QCOMPARE(outcome.swaps.size(), 60);
  // The second run sends the same timing again, after a fresh countdown.
  for (int i = 1; i < kSwaps; ++i) {
    QVERIFY(qAbs((outcome.swaps[kSwaps + i] - outcome.swaps[kSwaps]) -
                 (outcome.swaps[i] - outcome.swaps[0])) <= 1000);
  }
  QVERIFY(outcome.swaps[kSwaps] - outcome.swaps[kSwaps - 1] >= OPTICAL_COUNTDOWN_SECONDS * kSecond);
}

// Keys go where the keyboard focus is. While Start is disabled no control has it, so Space and
// Enter press no button (the toolkit would have moved it to Done, which reads Cancel then).
void TestProgramDialog::dialogKeysDoNothingWhileBusy() {
  QStringList focusDuringRun;
  const Outcome outcome = RunDialog(kPacket, 1, [&](ScriptedClock& clock, CProgramDlg& dialog) {
    for (std::int64_t at : {kSecond / 2, kRunStart + 300 * kMs}) {
      clock.At(at, [&dialog, &focusDuringRun] {
        QWidget* focus = QApplication::focusWidget();
        focusDuringRun << (focus ? focus->metaObject()->className() : "none");
        for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space,
                            Qt::Key_Tab, Qt::Key_Space, Qt::Key_Return}) {
          QWidget* target = focus ? focus : platform::qt::WidgetOf(dialog);
          QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier));
          QCoreApplication::postEvent(target,
                                      new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier));
        }
      });
    }
  });
  QCOMPARE(focusDuringRun, QStringList({"none", "none"}));
  QCOMPARE(outcome.statuses.last(), QString("Programming...Done"));
  QCOMPARE(outcome.statuses.count("Starting in...3"), 1);
  QCOMPARE(outcome.swaps.size(), kSwaps);
  QVERIFY(outcome.startHasFocus);
}

void TestProgramDialog::barAndPanelsAreWhereTheyBelong() {
  CProgramDlg dialog(IDD_PROGRAM, reinterpret_cast<const unsigned char*>(kPacket.constData()), 3,
                     OPTICAL_ZERO_BIT_US, OPTICAL_ONE_BIT_US, OPTICAL_START_US);
  const int result = testsupport::RunModal(dialog, [&] {
    RECT client;
    dialog.GetClientRect(&client);
    const int w = client.right, h = client.bottom;
    QCOMPARE(platform::qt::WidgetOf(dialog.GetProgressCtrl())->geometry(),
             QRect(10, 10, w - 20, 25));
    int lower = -1, upper = -1;
    dialog.GetProgressCtrl()->GetRange(lower, upper);
    QCOMPARE(lower, 0);
    QCOMPARE(upper, kSwaps);

    const QColor background =
        platform::qt::ClientWidgetOf(dialog)->palette().color(QPalette::Window);
    auto pixelAt = [&](int x, int y) {
      return platform::qt::ClientWidgetOf(dialog)->grab().toImage().pixelColor(x, y);
    };
    const QImage image = platform::qt::ClientWidgetOf(dialog)->grab().toImage();
    QCOMPARE(image.pixelColor(w / 4, h / 2), QColor(Qt::black));
    QCOMPARE(image.pixelColor(3 * w / 4, h / 2), QColor(Qt::white));
    // Frames on the outermost pixels; right and bottom edges lie outside.
    QCOMPARE(image.pixelColor(w / 2 + 2, 100), QColor(Qt::black));
    QCOMPARE(image.pixelColor(w - 11, 100), QColor(Qt::black));
    QCOMPARE(image.pixelColor(w - 12, 100), QColor(Qt::white));
    QCOMPARE(image.pixelColor(3 * w / 4, h - 11), QColor(Qt::black));
    QCOMPARE(image.pixelColor(3 * w / 4, 70), QColor(Qt::black));
    QCOMPARE(image.pixelColor(3 * w / 4, 71), QColor(Qt::white));
    // The background shows around and between the panels: four pixels around W / 2.
    for (int x = w / 2 - 2; x < w / 2 + 2; ++x) QCOMPARE(image.pixelColor(x, 100), background);
    QCOMPARE(image.pixelColor(w - 10, 100), background);
    QCOMPARE(image.pixelColor(3 * w / 4, 69), background);
    QCOMPARE(image.pixelColor(3 * w / 4, h - 10), background);

    dialog.SwapColours();
    QCOMPARE(pixelAt(w / 4, h / 2), QColor(Qt::white));
    QCOMPARE(pixelAt(3 * w / 4, h / 2), QColor(Qt::black));
    dialog.EndDialog(IDOK);
  });
  QCOMPARE(result, IDOK);
}

QTEST_MAIN(TestProgramDialog)
#include "tst_programdialog.moc"
