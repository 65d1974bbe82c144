// A run on a simulated display that shows frames: the transmit loop's timer (TickTimer, with the
// plan for frames) and the flash sequencer on a scripted counter, each swap seen at the first
// frame composed after it was drawn, decoded by the reference receiver. The display refreshes at
// a given rate, learns of each frame late by a random jitter (as a frame callback or a poll
// does), and may drop a frame now and then: what was drawn for it shows in the next one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <ostream>
#include <random>
#include <vector>

#include "platform/DialogTemplate.h"
#include "platform/FrameClock.h"
#include "platform/PerformanceCounter.h"
#include "programming/ProgramDlg.h"
#include "programming/TickTimer.h"
#include "protocol/optical_protocol.h"
#include "receiver/optical_receiver.h"
#include "res/resource.h"
#include "res/templates.h"
#include "tests/neutral/support/CaseName.h"

namespace {

constexpr int kZero = OPTICAL_ZERO_BIT_US, kOne = OPTICAL_ONE_BIT_US, kStart = OPTICAL_START_US;
using Bytes = std::vector<unsigned char>;

// Microseconds; every read moves time on a little, as a real read takes time.
class ScriptedCounter : public platform::CounterSource {
 public:
  std::int64_t Count() override { return m_now += 5; }
  std::int64_t Frequency() override { return 1'000'000; }
  void WaitFor(std::int64_t microseconds) override {
    m_now += std::max<std::int64_t>(0, microseconds);
  }
  std::int64_t Now() const { return m_now; }

 private:
  std::int64_t m_now = 0;
};

struct DisplayCase {
  const char* name;
  double hz;
  std::int64_t jitter;  // microseconds: how late the news of a frame may come
  int dropEvery;        // one frame in this many is dropped; 0: none
  bool tellsPeriod;     // the display tells its period, as the desktop compositor on Windows does
  std::int64_t bound;   // the worst interval error allowed, microseconds
  std::int64_t stopsAt = INT64_MAX;  // no frame after this (a hidden window): shown at once
};

void PrintTo(const DisplayCase& row, std::ostream* out) { *out << row.name; }

class SimulatedDisplay : public platform::FrameClock {
 public:
  SimulatedDisplay(const DisplayCase& row, const ScriptedCounter& counter, unsigned seed)
      : m_row(row), m_counter(counter), m_period(1e6 / row.hz), m_random(seed) {
    m_phase = std::uniform_real_distribution<double>(0, m_period)(m_random);
  }

  bool LatestFrame(platform::Frame* frame) override {
    const std::int64_t now = std::min(m_counter.Now(), m_row.stopsAt);
    while (Frame(m_cursor + 1).at <= now) ++m_cursor;  // the latest composed; time only moves on
    const Composed* latest = nullptr;
    for (std::size_t i = m_cursor + 1; i-- > 0 && !latest;) {
      if (!Frame(i).dropped && Frame(i).reported <= now) latest = &Frame(i);
    }
    if (!latest) return false;
    frame->number = latest->number;
    frame->count = latest->reported;
    frame->period = m_row.tellsPeriod ? std::llround(m_period) : 0;
    return true;
  }

  // When a swap drawn at `drawn` is seen: at the first frame composed after it. `late` tells
  // whether a dropped frame delayed it.
  std::int64_t Shows(std::int64_t drawn, bool* late) {
    *late = false;
    if (drawn >= m_row.stopsAt) return drawn;
    std::size_t i = 0;
    while (Frame(i).at <= drawn) ++i;
    *late = Frame(i).dropped;
    while (Frame(i).dropped) ++i;
    return Frame(i).at;
  }

 private:
  struct Composed {
    std::int64_t at;        // on the display's own rhythm
    std::int64_t reported;  // when the window hears of it
    bool dropped;
    std::uint64_t number;  // frames heard of, counted
  };

  const Composed& Frame(std::size_t i) {
    while (m_frames.size() <= i) {
      const std::size_t n = m_frames.size();
      const auto at = std::llround(m_phase + static_cast<double>(n) * m_period);
      const bool dropped = m_row.dropEvery > 0 && n % m_row.dropEvery == 7;
      const std::int64_t jitter =
          std::uniform_int_distribution<std::int64_t>(0, m_row.jitter)(m_random);
      if (!dropped) ++m_heard;
      m_frames.push_back({at, at + jitter, dropped, m_heard});
    }
    return m_frames[i];
  }

  const DisplayCase& m_row;
  const ScriptedCounter& m_counter;
  double m_period;
  double m_phase = 0;
  std::mt19937_64 m_random;
  std::vector<Composed> m_frames;
  std::uint64_t m_heard = 0;
  std::size_t m_cursor = 0;
};

struct Seen {
  std::vector<std::int64_t> times;
  std::vector<bool> late;     // delayed by a dropped frame
  std::int64_t measured = 0;  // the timer's own worst interval error, which the dialog reports
};

// The transmit loop of the programming dialog, ticks and swaps, without the window.
Seen Transmit(const Bytes& packet, const DisplayCase& row, unsigned seed, bool withFrames) {
  platform::RegisterResources(res::ToolResources());
  CProgramDlg dialog(IDD_PROGRAM, packet.data(), static_cast<int>(packet.size()), kZero, kOne,
                     kStart);
  ScriptedCounter counter;
  platform::SetCounterSource(&counter);
  auto display = std::make_unique<SimulatedDisplay>(row, counter, seed);
  SimulatedDisplay& shown = *display;
  TickTimer ticks(counter.Frequency(), withFrames ? std::move(display) : nullptr);
  // The countdown, in which the frames' rhythm shows.
  for (int step = 0; step < 300; ++step) {
    counter.WaitFor(10'000);
    ticks.Observe();
  }
  ticks.Start();
  Seen seen;
  int wait = 0;
  while (true) {
    if (!ticks.IsDue(static_cast<std::uint32_t>(wait))) continue;
    ticks.Ticked();
    const COLORREF before = dialog.GetLeftColour();
    const bool complete = dialog.GetByteIndex() == static_cast<int>(packet.size());
    dialog.Advance();
    if (complete) break;
    if (dialog.GetLeftColour() != before) {
      ticks.Swapped(static_cast<std::uint32_t>(wait));
      bool late = false;
      seen.times.push_back(shown.Shows(counter.Now(), &late));
      seen.late.push_back(late);
    }
    wait = dialog.GetWait();
  }
  seen.measured = ticks.WorstIntervalError();
  platform::SetCounterSource(nullptr);
  return seen;
}

// What each interval should last, from the packet: start symbol, eight bits, gap.
std::vector<std::int64_t> Nominal(const Bytes& packet) {
  std::vector<std::int64_t> nominal;
  for (unsigned char byte : packet) {
    nominal.push_back(kStart);
    for (int bit = 0; bit < 8; ++bit) nominal.push_back((byte >> bit & 1) ? kOne : kZero);
    nominal.push_back(kStart);
  }
  nominal.pop_back();
  return nominal;
}

bool Decodes(const Seen& seen, const Bytes& packet) {
  orx_receiver receiver;
  if (!orx_init(&receiver, kZero, kOne, kStart)) return false;
  if (orx_decode_swaps(&receiver, seen.times.data(), seen.times.size(), nullptr) != ORX_PACKET)
    return false;
  return Bytes(orx_bytes(&receiver), orx_bytes(&receiver) + orx_length(&receiver)) == packet;
}

Bytes TwentyBytes() {
  Bytes packet{OPTICAL_SYNC_BYTE, 17};
  for (int i = 0; i < 17; ++i) packet.push_back(static_cast<unsigned char>(i * 37 + 1));
  unsigned sum = 0;
  for (std::size_t i = 1; i < packet.size(); ++i) sum += packet[i];
  packet.push_back(static_cast<unsigned char>(sum));
  return packet;
}

// Where 50 and 100 ms are whole numbers of frames, every interval is exact but for jitter that
// crosses half a frame; elsewhere a swap lands up to half a frame from its time. A dropped frame
// makes one interval a frame longer, which a 50 Hz or 30 Hz display cannot afford (a 50 ms
// interval would read as 100 ms): those are simulated without drops.
const DisplayCase kDisplays[] = {
    {"60 Hz", 60, 0, 0, false, 1000},
    {"60 Hz, 2 ms jitter, drops", 60, 2000, 97, false, 1000 + 2000},
    {"59.94 Hz, 1 ms jitter, drops", 59.94, 1000, 89, false, 1000 + 1000},
    {"120 Hz, 0.5 ms jitter, drops", 120, 500, 113, false, 1000 + 500},
    {"144 Hz, 0.5 ms jitter, drops", 144, 500, 131, false, 3472 + 500},
    {"75 Hz, 1 ms jitter, drops", 75, 1000, 101, false, 6667 + 1000},
    {"50 Hz, 2 ms jitter", 50, 2000, 0, false, 10000 + 2000},
    {"48 Hz, 1 ms jitter", 48, 1000, 0, false, 10417 + 1000},
    {"30 Hz, 2 ms jitter", 30, 2000, 0, false, 16667 + 2000},
    {"25 Hz, 2 ms jitter", 25, 2000, 0, false, 20000 + 2000},
    {"24 Hz, 2 ms jitter", 24, 2000, 0, false, 20834 + 2000},
    {"39 Hz (a timer-paced compositor), 3 ms jitter", 38.96, 3000, 0, false, 12834 + 3000},
    {"60 Hz, period told, 1 ms jitter, drops", 60, 1000, 97, true, 1000 + 1000},
};

class FramePacingTest : public testing::TestWithParam<DisplayCase> {};

TEST_P(FramePacingTest, EveryPacketDecodesWithinBound) {
  const DisplayCase& row = GetParam();
  const Bytes packet = TwentyBytes();
  const std::vector<std::int64_t> nominal = Nominal(packet);
  std::int64_t worst = 0, worstToday = 0;
  for (unsigned seed = 1; seed <= 4; ++seed) {
    const Seen seen = Transmit(packet, row, seed, true);
    ASSERT_EQ(seen.times.size(), nominal.size() + 1);
    EXPECT_TRUE(Decodes(seen, packet)) << "seed " << seed;
    for (std::size_t i = 0; i < nominal.size(); ++i) {
      const std::int64_t error = std::abs(seen.times[i + 1] - seen.times[i] - nominal[i]);
      // A dropped frame delays one swap by a frame; the next interval counts from where it
      // really showed.
      const std::int64_t allowed = row.bound + (seen.late[i + 1] ? std::llround(1e6 / row.hz) : 0);
      EXPECT_LE(error, allowed) << "seed " << seed << ", interval " << i;
      if (!seen.late[i + 1]) worst = std::max(worst, error);
    }
    // The timer sees what the display showed, a dropped frame included, as well as the news of
    // the frames tells it; and on none of these displays does the dialog call the run late.
    std::int64_t shownWorst = 0;
    for (std::size_t i = 0; i < nominal.size(); ++i)
      shownWorst = std::max(shownWorst, std::abs(seen.times[i + 1] - seen.times[i] - nominal[i]));
    EXPECT_LE(std::abs(seen.measured - shownWorst), row.jitter + 1000) << "seed " << seed;
    EXPECT_LT(seen.measured, (kOne - kZero) / 2) << "seed " << seed;
    // The same display timed by the counter alone, as a display without frames is: for the
    // record only.
    const Seen today = Transmit(packet, row, seed, false);
    for (std::size_t i = 0; i < nominal.size(); ++i)
      worstToday = std::max(worstToday, std::abs(today.times[i + 1] - today.times[i] - nominal[i]));
  }
  std::printf("%-50s worst interval error: planned for frames %6.2f ms, by the counter %6.2f ms\n",
              row.name, static_cast<double>(worst) / 1000, static_cast<double>(worstToday) / 1000);
}

INSTANTIATE_TEST_SUITE_P(Displays, FramePacingTest, testing::ValuesIn(kDisplays),
                         neutral::ByCaseName());

// Frames that stop coming in the middle of a run (the window hidden, say) never stall it: once
// four periods have passed without one, the counter times the rest, exactly as without frames.
TEST(FramePacing, FramesThatStopHandTheRunToTheCounter) {
  DisplayCase row{"60 Hz, stops after 9 s", 60, 1000, 0, false, 0};
  row.stopsAt = 9'000'000;
  const Bytes packet = TwentyBytes();
  const std::vector<std::int64_t> nominal = Nominal(packet);
  const Seen seen = Transmit(packet, row, 1, true);
  ASSERT_EQ(seen.times.size(), nominal.size() + 1);
  int afterwards = 0;
  for (std::size_t i = 0; i < nominal.size(); ++i) {
    if (seen.times[i] < row.stopsAt + 100'000) continue;  // the interval the frames stopped in
    ++afterwards;
    EXPECT_LE(std::abs(seen.times[i + 1] - seen.times[i] - nominal[i]), 100) << "interval " << i;
  }
  EXPECT_GT(afterwards, 50);
}

}  // namespace
