// The flash sequencer driven tick by tick with every tick taken exactly when due: swaps, waits,
// progress positions and the completion, and what a receiver makes of the swap times.
#include <QtTest>
#include <vector>

#include "config/TextPrimitives.h"
#include "programming/ProgramDlg.h"
#include "protocol/optical_protocol.h"
#include "receiver/optical_receiver.h"
#include "res/resource.h"
#include "tests/support/ToolResources.h"

namespace {

constexpr int kZero = OPTICAL_ZERO_BIT_US;
constexpr int kOne = OPTICAL_ONE_BIT_US;
constexpr int kStart = OPTICAL_START_US;
constexpr int kSwaps = OPTICAL_SWAPS_PER_BYTE;

struct Tick {
  std::int64_t time;  // microseconds from the first tick
  int stepFound;
  bool swapped;
  int wait;
  bool leftWhite;
  int position;
};

struct Run {
  std::vector<Tick> ticks;
  std::vector<std::int64_t> swapTimes;
  bool stopped = false;
  COLORREF left = 0;
  COLORREF right = 0;
};

// Ticks until the sequencer stops, each one exactly when the previous wait has passed.
Run Transmit(const QByteArray& packet) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(packet.constData());
  CProgramDlg dialog(IDD_PROGRAM, bytes, static_cast<int>(packet.size()), kZero, kOne, kStart);
  Run run;
  std::int64_t now = 0;
  for (int tick = 0; tick < kSwaps * 300; ++tick) {
    const COLORREF before = dialog.GetLeftColour();
    const int stepFound = dialog.GetStep();
    const int byteBefore = dialog.GetByteIndex();
    dialog.Advance();
    const bool swapped = dialog.GetLeftColour() != before;
    if (swapped) run.swapTimes.push_back(now);
    run.ticks.push_back({now, stepFound, swapped, dialog.GetWait(),
                         dialog.GetLeftColour() == CProgramDlg::kWhite,
                         dialog.GetByteIndex() * kSwaps + dialog.GetStep()});
    if (byteBefore == static_cast<int>(packet.size())) break;  // the completion tick
    now += dialog.GetWait();
  }
  run.stopped = dialog.IsStopped();
  run.left = dialog.GetLeftColour();
  run.right = dialog.GetRightColour();
  return run;
}

QByteArray Packet(std::initializer_list<int> bytes) {
  QByteArray packet;
  for (int byte : bytes) packet.append(static_cast<char>(byte));
  return packet;
}

}  // namespace

class TestFlashSequencer : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { testsupport::RegisterToolResources(); }
  void workedTimeline_data();
  void workedTimeline();
  void ticksAndSwapsPerPacket_data();
  void ticksAndSwapsPerPacket();
  void bitIntervals_data();
  void bitIntervals();
  void completionTickChangesNothing();
  void receiverDecodesTheSwapTimes_data();
  void receiverDecodesTheSwapTimes();
  void timelinesForTheFirmware_data();
  void timelinesForTheFirmware();
};

void TestFlashSequencer::workedTimeline_data() {
  QTest::addColumn<int>("tick");
  QTest::addColumn<int>("timeMs");
  QTest::addColumn<int>("stepFound");
  QTest::addColumn<bool>("swapped");
  QTest::addColumn<int>("waitMs");
  QTest::addColumn<bool>("leftWhite");
  QTest::addColumn<int>("position");
  // The first byte is the sync byte: bits 1, 0, 1, 0, 1, 0, 1, 0 from bit 0.
  QTest::newRow("1 gap") << 1 << 0 << 0 << false << 50 << false << 1;
  QTest::newRow("2 start") << 2 << 50 << 1 << true << 50 << true << 2;
  QTest::newRow("3 bit0=1") << 3 << 100 << 2 << true << 100 << false << 3;
  QTest::newRow("4 bit1=0") << 4 << 200 << 3 << true << 50 << true << 4;
  QTest::newRow("5 bit2=1") << 5 << 250 << 4 << true << 100 << false << 5;
  QTest::newRow("6 bit3=0") << 6 << 350 << 5 << true << 50 << true << 6;
  QTest::newRow("7 bit4=1") << 7 << 400 << 6 << true << 100 << false << 7;
  QTest::newRow("8 bit5=0") << 8 << 500 << 7 << true << 50 << true << 8;
  QTest::newRow("9 bit6=1") << 9 << 550 << 8 << true << 100 << false << 9;
  QTest::newRow("10 bit7=0") << 10 << 650 << 9 << true << 50 << true << 10;
  QTest::newRow("11 end of byte") << 11 << 700 << 10 << true << 50 << false << 11;
  QTest::newRow("12 start of byte 1") << 12 << 750 << 1 << true << 50 << true << 12;
  QTest::newRow("13 bit0 of byte 1 (0x03)") << 13 << 800 << 2 << true << 100 << false << 13;
}

void TestFlashSequencer::workedTimeline() {
  QFETCH(int, tick);
  QFETCH(int, timeMs);
  QFETCH(int, waitMs);
  const Run run = Transmit(Packet({OPTICAL_SYNC_BYTE, 0x01, 0x03, 0x04}));
  const Tick& found = run.ticks.at(tick - 1);
  QCOMPARE(found.time, std::int64_t{1000} * timeMs);
  QTEST(found.stepFound, "stepFound");
  QTEST(found.swapped, "swapped");
  QCOMPARE(found.wait, 1000 * waitMs);
  QTEST(found.leftWhite, "leftWhite");
  QTEST(found.position, "position");
}

void TestFlashSequencer::ticksAndSwapsPerPacket_data() {
  QTest::addColumn<QByteArray>("packet");
  // First tick to completion tick, every tick on time: per byte two start durations and its eight
  // bits (the sync byte and 0xA5: 700 ms; 0x00: 500; 0x01, 0x02: 550; 0x05: 600; 0xFF: 900), plus
  // one start duration at the end.
  QTest::addColumn<int>("durationMs");
  QTest::newRow("no settings") << Packet({OPTICAL_SYNC_BYTE, 0x00, 0x00}) << 700 + 500 + 500 + 50;
  QTest::newRow("two settings") << Packet({OPTICAL_SYNC_BYTE, 0x02, 0x01, 0x02, 0x05})
                                << 700 + 550 + 550 + 550 + 600 + 50;
  QTest::newRow("all ones") << Packet({OPTICAL_SYNC_BYTE, 0x01, 0xFF, 0x00})
                            << 700 + 550 + 900 + 500 + 50;
  QTest::newRow("largest") << QByteArray(OPTICAL_MAX_PACKET, '\xA5')
                           << OPTICAL_MAX_PACKET * 700 + 50;
}

void TestFlashSequencer::ticksAndSwapsPerPacket() {
  QFETCH(QByteArray, packet);
  QFETCH(int, durationMs);
  const Run run = Transmit(packet);
  const int size = static_cast<int>(packet.size());
  QCOMPARE(static_cast<int>(run.ticks.size()), kSwaps * size + 2);
  QCOMPARE(static_cast<int>(run.swapTimes.size()), kSwaps * size);
  QVERIFY(run.stopped);
  QCOMPARE(run.left, CProgramDlg::kBlack);  // ten swaps a byte: back where it started
  QCOMPARE(run.right, CProgramDlg::kWhite);
  // Positions rise by one a tick up to kSwaps * size + 1, where the completion tick leaves them.
  for (int i = 0; i + 1 < static_cast<int>(run.ticks.size()); ++i)
    QCOMPARE(run.ticks[i].position, i + 1);
  QCOMPARE(run.ticks.back().position, kSwaps * size + 1);
  // The ideal duration: two start durations and eight bits a byte, plus one start duration.
  std::int64_t ideal = kStart;
  for (char byte : packet) {
    ideal += 2 * kStart;
    for (int bit = 0; bit < 8; ++bit)
      ideal += (static_cast<unsigned char>(byte) >> bit & 1) ? kOne : kZero;
  }
  QCOMPARE(run.ticks.back().time, ideal);
  QCOMPARE(run.ticks.back().time, std::int64_t{1000} * durationMs);
}

void TestFlashSequencer::bitIntervals_data() {
  QTest::addColumn<int>("value");
  QTest::addColumn<QList<int>>("intervalsMs");
  QTest::newRow("0x01") << 0x01 << QList<int>{100, 50, 50, 50, 50, 50, 50, 50};
  QTest::newRow("0x80") << 0x80 << QList<int>{50, 50, 50, 50, 50, 50, 50, 100};
  QTest::newRow("0xFF") << 0xFF << QList<int>{100, 100, 100, 100, 100, 100, 100, 100};
  QTest::newRow("0x00") << 0x00 << QList<int>{50, 50, 50, 50, 50, 50, 50, 50};
}

void TestFlashSequencer::bitIntervals() {
  QFETCH(int, value);
  // The value is the first setting: byte 2 of the packet, swaps 20 to 29.
  const Run run = Transmit(Packet({OPTICAL_SYNC_BYTE, 0x01, value, (1 + value) & 0xFF}));
  QList<int> intervals;
  for (int swap = 21; swap <= 28; ++swap) {
    intervals << static_cast<int>((run.swapTimes[swap + 1] - run.swapTimes[swap]) / 1000);
  }
  QTEST(intervals, "intervalsMs");
  // Start symbol before the bits, gap after the end of the byte: one start duration each.
  QCOMPARE(run.swapTimes[21] - run.swapTimes[20], std::int64_t{kStart});
  QCOMPARE(run.swapTimes[30] - run.swapTimes[29], std::int64_t{kStart});
}

void TestFlashSequencer::completionTickChangesNothing() {
  const QByteArray packet = Packet({OPTICAL_SYNC_BYTE, 0x00, 0x00});
  const auto* bytes = reinterpret_cast<const unsigned char*>(packet.constData());
  CProgramDlg dialog(IDD_PROGRAM, bytes, 3, kZero, kOne, kStart);
  for (int tick = 0; tick < 31; ++tick) dialog.Advance();
  QCOMPARE(dialog.GetByteIndex(), 3);
  const int step = dialog.GetStep();
  const int wait = dialog.GetWait();
  const COLORREF left = dialog.GetLeftColour();
  dialog.Advance();
  QVERIFY(dialog.IsStopped());
  QCOMPARE(dialog.GetStep(), step);
  QCOMPARE(dialog.GetWait(), wait);
  QCOMPARE(dialog.GetByteIndex(), 3);
  QCOMPARE(dialog.GetLeftColour(), left);
}

void TestFlashSequencer::receiverDecodesTheSwapTimes_data() {
  QTest::addColumn<QByteArray>("packet");
  QTest::newRow("no settings") << Packet({OPTICAL_SYNC_BYTE, 0x00, 0x00});
  QTest::newRow("1 and 2") << Packet({OPTICAL_SYNC_BYTE, 0x02, 0x01, 0x02, 0x05});
  QTest::newRow("wrapping checksum") << Packet({OPTICAL_SYNC_BYTE, 0x03, 200, 100, 10, 0x39});
}

void TestFlashSequencer::receiverDecodesTheSwapTimes() {
  QFETCH(QByteArray, packet);
  const Run run = Transmit(packet);
  orx_receiver receiver;
  QVERIFY(orx_init(&receiver, kZero, kOne, kStart));
  size_t consumed = 0;
  const orx_event event =
      orx_decode_swaps(&receiver, run.swapTimes.data(), run.swapTimes.size(), &consumed);
  QCOMPARE(QString(orx_event_name(event)), QString(orx_event_name(ORX_PACKET)));
  QCOMPARE(QByteArray(reinterpret_cast<const char*>(orx_bytes(&receiver)),
                      static_cast<int>(orx_length(&receiver))),
           packet);
}

// The sequencer's own timelines for packets of typed values, written as swap-time files for the
// firmware's simulation to replay: what the device must store is the values as the packet
// carries them, each one's low 8 bits.
void TestFlashSequencer::timelinesForTheFirmware_data() {
  QTest::addColumn<QStringList>("typed");
  QStringList many;
  for (int i = 0; i < OPTICAL_MAX_PACKET - 3; ++i) many << QString::number(i * 37 + 11);
  QTest::newRow("no-settings") << QStringList();
  QTest::newRow("one-setting") << QStringList({"42"});
  QTest::newRow("edge-values") << QStringList({"0", "255", "300", "-1"});
  QTest::newRow("253-settings") << many;
}

void TestFlashSequencer::timelinesForTheFirmware() {
  QFETCH(QStringList, typed);
  QByteArray packet = Packet({OPTICAL_SYNC_BYTE, static_cast<int>(typed.size())});
  QStringList hex;
  unsigned char checksum = static_cast<unsigned char>(typed.size());
  for (const QString& text : typed) {
    const auto value = static_cast<unsigned char>(config::ToInteger(text.toLatin1().constData()));
    packet.append(static_cast<char>(value));
    checksum = static_cast<unsigned char>(checksum + value);
    hex << QString::asprintf("%02X", value);
  }
  packet.append(static_cast<char>(checksum));
  const Run run = Transmit(packet);
  QCOMPARE(run.swapTimes.size(), size_t(kSwaps * packet.size()));

  const QString folder = SEQUENCER_TIMELINES_DIR;
  QVERIFY(QDir().mkpath(folder));
  QFile file(folder + "/sequencer-" + QTest::currentDataTag() + ".swaps");
  QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text));
  QTextStream out(&file);
  const QString shown = typed.isEmpty() ? "(none)" : typed.join(' ');
  out << "# The flash sequencer's timeline for the typed values " << shown.left(60)
      << (shown.size() > 60 ? " ..." : "") << "\n";
  out << "# events: PACKET\n";
  out << "# values:" << (hex.isEmpty() ? "" : " ") << hex.join(' ') << "\n";
  for (std::int64_t time : run.swapTimes) out << time << "\n";
  out.flush();
  QVERIFY(file.error() == QFile::NoError);
}

QTEST_GUILESS_MAIN(TestFlashSequencer)
#include "tst_flashsequencer.moc"
