// The flash sequencer driven tick by tick with every tick taken exactly when due: swaps, waits,
// progress positions and the completion, and what the reference receiver makes of the swap times.
// No window and no clock: the sequencer alone, as every build compiles it.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

#include "config/TextPrimitives.h"
#include "platform/DialogTemplate.h"
#include "programming/ProgramDlg.h"
#include "protocol/optical_protocol.h"
#include "receiver/optical_receiver.h"
#include "res/resource.h"
#include "res/templates.h"
#include "tests/neutral/support/CaseName.h"

namespace {

constexpr int kZero = OPTICAL_ZERO_BIT_US;
constexpr int kOne = OPTICAL_ONE_BIT_US;
constexpr int kStart = OPTICAL_START_US;
constexpr int kSwaps = OPTICAL_SWAPS_PER_BYTE;

using Bytes = std::vector<unsigned char>;

struct Tick {
  std::int64_t time;  // microseconds from the first tick
  int stepFound;
  bool swapped;
  int wait;
  bool leftWhite;
  int position;
};

struct Timeline {
  std::vector<Tick> ticks;
  std::vector<std::int64_t> swapTimes;
  bool stopped = false;
  COLORREF left = 0;
  COLORREF right = 0;
};

// The tool's templates, as the application registers them before building a dialog.
CProgramDlg MakeDialog(const Bytes& packet) {
  platform::RegisterResources(res::ToolResources());
  return CProgramDlg(IDD_PROGRAM, packet.data(), static_cast<int>(packet.size()), kZero, kOne,
                     kStart);
}

// Ticks until the sequencer stops, each one exactly when the previous wait has passed.
Timeline Transmit(const Bytes& packet) {
  CProgramDlg dialog = MakeDialog(packet);
  Timeline run;
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

Bytes Packet(std::initializer_list<int> values) {
  Bytes packet;
  for (int value : values) packet.push_back(static_cast<unsigned char>(value));
  return packet;
}

struct TickCase {
  const char* name;
  int tick;  // from 1
  int timeMs;
  int stepFound;
  bool swapped;
  int waitMs;
  bool leftWhite;
  int position;
};

// A failure names its row.
void PrintTo(const TickCase& row, std::ostream* out) { *out << row.name; }

// The first byte is the sync byte: bits 1, 0, 1, 0, 1, 0, 1, 0 from bit 0.
const TickCase kTicks[] = {
    {"1 gap", 1, 0, 0, false, 50, false, 1},
    {"2 start", 2, 50, 1, true, 50, true, 2},
    {"3 bit0=1", 3, 100, 2, true, 100, false, 3},
    {"4 bit1=0", 4, 200, 3, true, 50, true, 4},
    {"5 bit2=1", 5, 250, 4, true, 100, false, 5},
    {"6 bit3=0", 6, 350, 5, true, 50, true, 6},
    {"7 bit4=1", 7, 400, 6, true, 100, false, 7},
    {"8 bit5=0", 8, 500, 7, true, 50, true, 8},
    {"9 bit6=1", 9, 550, 8, true, 100, false, 9},
    {"10 bit7=0", 10, 650, 9, true, 50, true, 10},
    {"11 end of byte", 11, 700, 10, true, 50, false, 11},
    {"12 start of byte 1", 12, 750, 1, true, 50, true, 12},
    {"13 bit0 of byte 1 (0x03)", 13, 800, 2, true, 100, false, 13},
};

class WorkedTimelineTest : public testing::TestWithParam<TickCase> {};

TEST_P(WorkedTimelineTest, Tick) {
  const TickCase& expected = GetParam();
  const Timeline run = Transmit(Packet({OPTICAL_SYNC_BYTE, 0x01, 0x03, 0x04}));
  const Tick& found = run.ticks.at(static_cast<std::size_t>(expected.tick - 1));
  EXPECT_EQ(found.time, std::int64_t{1000} * expected.timeMs);
  EXPECT_EQ(found.stepFound, expected.stepFound);
  EXPECT_EQ(found.swapped, expected.swapped);
  EXPECT_EQ(found.wait, 1000 * expected.waitMs);
  EXPECT_EQ(found.leftWhite, expected.leftWhite);
  EXPECT_EQ(found.position, expected.position);
}

INSTANTIATE_TEST_SUITE_P(Table, WorkedTimelineTest, testing::ValuesIn(kTicks),
                         neutral::ByCaseName());

struct PacketCase {
  const char* name;
  Bytes packet;
  // First tick to completion tick, every tick on time: per byte two start durations and its
  // eight bits (the sync byte and 0xA5: 700 ms; 0x00: 500; 0x01, 0x02: 550; 0x05: 600; 0xFF:
  // 900), plus one start duration at the end.
  int durationMs;
};

void PrintTo(const PacketCase& row, std::ostream* out) { *out << row.name; }

const PacketCase kPackets[] = {
    {"no settings", Packet({OPTICAL_SYNC_BYTE, 0x00, 0x00}), 700 + 500 + 500 + 50},
    {"two settings", Packet({OPTICAL_SYNC_BYTE, 0x02, 0x01, 0x02, 0x05}),
     700 + 550 + 550 + 550 + 600 + 50},
    {"all ones", Packet({OPTICAL_SYNC_BYTE, 0x01, 0xFF, 0x00}), 700 + 550 + 900 + 500 + 50},
    {"largest", Bytes(OPTICAL_MAX_PACKET, 0xA5), OPTICAL_MAX_PACKET * 700 + 50},
};

class PacketTest : public testing::TestWithParam<PacketCase> {};

TEST_P(PacketTest, TicksAndSwaps) {
  const Bytes& packet = GetParam().packet;
  const Timeline run = Transmit(packet);
  const int size = static_cast<int>(packet.size());
  ASSERT_EQ(static_cast<int>(run.ticks.size()), kSwaps * size + 2);
  EXPECT_EQ(static_cast<int>(run.swapTimes.size()), kSwaps * size);
  EXPECT_TRUE(run.stopped);
  EXPECT_EQ(run.left, CProgramDlg::kBlack);  // ten swaps a byte: back where it started
  EXPECT_EQ(run.right, CProgramDlg::kWhite);
  // Positions rise by one a tick up to kSwaps * size + 1, where the completion tick leaves them.
  for (std::size_t i = 0; i + 1 < run.ticks.size(); ++i)
    ASSERT_EQ(run.ticks[i].position, static_cast<int>(i) + 1) << "tick " << i;
  EXPECT_EQ(run.ticks.back().position, kSwaps * size + 1);
  // The ideal duration: two start durations and eight bits a byte, plus one start duration.
  std::int64_t ideal = kStart;
  for (unsigned char byte : packet) {
    ideal += 2 * kStart;
    for (int bit = 0; bit < 8; ++bit) ideal += (byte >> bit & 1) ? kOne : kZero;
  }
  EXPECT_EQ(run.ticks.back().time, ideal);
  EXPECT_EQ(run.ticks.back().time, std::int64_t{1000} * GetParam().durationMs);
}

INSTANTIATE_TEST_SUITE_P(Table, PacketTest, testing::ValuesIn(kPackets), neutral::ByCaseName());

TEST(FlashSequencer, BitIntervals) {
  const struct {
    int value;
    std::vector<int> intervalsMs;
  } rows[] = {
      {0x01, {100, 50, 50, 50, 50, 50, 50, 50}},
      {0x80, {50, 50, 50, 50, 50, 50, 50, 100}},
      {0xFF, {100, 100, 100, 100, 100, 100, 100, 100}},
      {0x00, {50, 50, 50, 50, 50, 50, 50, 50}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.value);
    // The value is the first setting: byte 2 of the packet, swaps 20 to 29.
    const Timeline run =
        Transmit(Packet({OPTICAL_SYNC_BYTE, 0x01, row.value, (1 + row.value) & 0xFF}));
    ASSERT_GE(run.swapTimes.size(), 31u);
    std::vector<int> intervals;
    for (int swap = 21; swap <= 28; ++swap)
      intervals.push_back(static_cast<int>((run.swapTimes[swap + 1] - run.swapTimes[swap]) / 1000));
    EXPECT_EQ(intervals, row.intervalsMs);
    // Start symbol before the bits, gap after the end of the byte: one start duration each.
    EXPECT_EQ(run.swapTimes[21] - run.swapTimes[20], std::int64_t{kStart});
    EXPECT_EQ(run.swapTimes[30] - run.swapTimes[29], std::int64_t{kStart});
  }
}

TEST(FlashSequencer, CompletionTickChangesNothing) {
  const Bytes packet = Packet({OPTICAL_SYNC_BYTE, 0x00, 0x00});
  CProgramDlg dialog = MakeDialog(packet);
  for (int tick = 0; tick < 31; ++tick) dialog.Advance();
  ASSERT_EQ(dialog.GetByteIndex(), 3);
  const int step = dialog.GetStep();
  const int wait = dialog.GetWait();
  const COLORREF left = dialog.GetLeftColour();
  dialog.Advance();
  EXPECT_TRUE(dialog.IsStopped());
  EXPECT_EQ(dialog.GetStep(), step);
  EXPECT_EQ(dialog.GetWait(), wait);
  EXPECT_EQ(dialog.GetByteIndex(), 3);
  EXPECT_EQ(dialog.GetLeftColour(), left);
}

TEST(FlashSequencer, ReceiverDecodesTheSwapTimes) {
  for (const Bytes& packet : {Packet({OPTICAL_SYNC_BYTE, 0x00, 0x00}),
                              Packet({OPTICAL_SYNC_BYTE, 0x02, 0x01, 0x02, 0x05}),
                              Packet({OPTICAL_SYNC_BYTE, 0x03, 200, 100, 10, 0x39})}) {
    SCOPED_TRACE(packet.size());
    const Timeline run = Transmit(packet);
    orx_receiver receiver;
    ASSERT_TRUE(orx_init(&receiver, kZero, kOne, kStart));
    size_t consumed = 0;
    const orx_event event =
        orx_decode_swaps(&receiver, run.swapTimes.data(), run.swapTimes.size(), &consumed);
    EXPECT_STREQ(orx_event_name(event), orx_event_name(ORX_PACKET));
    EXPECT_EQ(Bytes(orx_bytes(&receiver), orx_bytes(&receiver) + orx_length(&receiver)), packet);
  }
}

// The sequencer's own timelines for packets of typed values, written as swap-time files for the
// firmware's simulation to replay (fixture sequencer_timelines): what the device must store is
// the values as the packet carries them, each one's low 8 bits. The simulation runs in the Linux
// build only, so only that build names a folder for them.
struct TimelineCase {
  const char* name;  // the file's, too
  std::vector<std::string> typed;
};

void PrintTo(const TimelineCase& row, std::ostream* out) { *out << row.name; }

std::vector<std::string> ManyTyped() {
  std::vector<std::string> typed;
  for (int i = 0; i < OPTICAL_MAX_PACKET - 3; ++i) typed.push_back(std::to_string(i * 37 + 11));
  return typed;
}

const TimelineCase kTimelines[] = {
    {"no-settings", {}},
    {"one-setting", {"42"}},
    {"edge-values", {"0", "255", "300", "-1"}},
    {"253-settings", ManyTyped()},
};

class TimelineTest : public testing::TestWithParam<TimelineCase> {};

TEST_P(TimelineTest, WrittenForTheFirmware) {
#ifndef SEQUENCER_TIMELINES_DIR
  GTEST_SKIP() << "the firmware's simulation that replays them is in the Linux build only";
#else
  const std::vector<std::string>& typed = GetParam().typed;
  Bytes packet = Packet({OPTICAL_SYNC_BYTE, static_cast<int>(typed.size())});
  std::string hex, shown;
  auto checksum = static_cast<unsigned char>(typed.size());
  for (const std::string& text : typed) {
    const auto value = static_cast<unsigned char>(config::ToInteger(text.c_str()));
    packet.push_back(value);
    checksum = static_cast<unsigned char>(checksum + value);
    char digits[4];
    std::snprintf(digits, sizeof digits, "%02X", value);
    hex += (hex.empty() ? "" : " ") + std::string(digits);
    shown += (shown.empty() ? "" : " ") + text;
  }
  packet.push_back(checksum);
  const Timeline run = Transmit(packet);
  ASSERT_EQ(run.swapTimes.size(), static_cast<std::size_t>(kSwaps) * packet.size());

  const std::filesystem::path folder = SEQUENCER_TIMELINES_DIR;
  std::filesystem::create_directories(folder);
  std::ofstream out(folder / ("sequencer-" + std::string(GetParam().name) + ".swaps"),
                    std::ios::trunc);
  if (shown.empty()) shown = "(none)";
  out << "# The flash sequencer's timeline for the typed values " << shown.substr(0, 60)
      << (shown.size() > 60 ? " ..." : "") << "\n";
  out << "# events: PACKET\n";
  out << "# values:" << (hex.empty() ? "" : " ") << hex << "\n";
  for (std::int64_t time : run.swapTimes) out << time << "\n";
  out.flush();
  EXPECT_TRUE(out.good());
#endif
}

INSTANTIATE_TEST_SUITE_P(Table, TimelineTest, testing::ValuesIn(kTimelines), neutral::ByCaseName());

}  // namespace
