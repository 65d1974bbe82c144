// The desktop compositor's timing info as the layer's frames, and a run planned on them: a
// simulated compositor (vertical blanks on the system's performance counter, counted) drives the
// transmit loop's timer and the flash sequencer on a scripted counter, each swap seen at the
// first vertical blank after it was drawn, decoded by the reference receiver. Wine has no
// compositor: its timing info counts no vertical blank, which must give no frames at all.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "platform/DialogTemplate.h"
#include "platform/PerformanceCounter.h"
#include "platform/win32/DwmFrames.h"
#include "programming/ProgramDlg.h"
#include "programming/TickTimer.h"
#include "protocol/optical_protocol.h"
#include "receiver/optical_receiver.h"
#include "res/resource.h"
#include "res/templates.h"

namespace {

constexpr std::int64_t kQpcFrequency = 10'000'000;  // as on most Windows machines
constexpr int kZero = OPTICAL_ZERO_BIT_US, kOne = OPTICAL_ONE_BIT_US, kStart = OPTICAL_START_US;

DWM_TIMING_INFO Timing(std::uint64_t vblank, std::uint64_t count, std::uint64_t period) {
  DWM_TIMING_INFO info{};
  info.cbSize = sizeof info;
  info.qpcVBlank = vblank;
  info.cRefresh = count;
  info.qpcRefreshPeriod = period;
  return info;
}

TEST(DwmFrames, TimingInfoBecomesAFrameOnTheLayersCounter) {
  const struct {
    const char* name;
    DWM_TIMING_INFO info;
    bool frame;
    std::int64_t count;   // on a microsecond counter that read 5'000'000 at QPC 80'000'000
    std::int64_t period;  // microseconds
  } rows[] = {
      {"a vertical blank 4 ms ago at 60 Hz", Timing(79'960'000, 480, 166'667), true, 4'996'000,
       16'666},
      {"59.94 Hz", Timing(79'990'000, 7, 166'833), true, 4'999'000, 16'683},
      {"Wine: a period but no vertical blank counted", Timing(79'990'000, 0, 166'666), false, 0, 0},
      {"nothing at all", Timing(0, 0, 0), false, 0, 0},
      {"a vertical blank two seconds away", Timing(60'000'000, 9, 166'667), false, 0, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    platform::Frame frame;
    ASSERT_EQ(platform::win32::FrameFromDwmTiming(row.info, {80'000'000, kQpcFrequency}, 5'000'000,
                                                  1'000'000, &frame),
              row.frame);
    if (!row.frame) continue;
    EXPECT_EQ(frame.number, row.info.cRefresh);
    EXPECT_EQ(frame.count, row.count);
    EXPECT_EQ(frame.period, row.period);
  }
}

// Microseconds; every read moves time on a little.
class ScriptedCounter : public platform::CounterSource {
 public:
  std::int64_t Count() override { return m_now += 5; }
  std::int64_t Frequency() override { return 1'000'000; }
  void WaitFor(std::int64_t microseconds) override { m_now += microseconds > 0 ? microseconds : 0; }
  std::int64_t Now() const { return m_now; }

 private:
  std::int64_t m_now = 0;
};

// A compositor whose vertical blanks come every `period` QPC ticks from `phase`.
struct SimulatedCompositor {
  const ScriptedCounter& counter;
  double period;
  double phase;
  std::int64_t Qpc() const { return counter.Now() * (kQpcFrequency / 1'000'000); }
  std::uint64_t Latest() const {
    return static_cast<std::uint64_t>(std::floor((static_cast<double>(Qpc()) - phase) / period));
  }
  bool Read(DWM_TIMING_INFO* info) const {
    const std::uint64_t n = Latest();
    *info = Timing(std::llround(phase + static_cast<double>(n) * period), n + 1000,
                   std::llround(period));
    return true;
  }
  // A drawing at the counter's `drawn` microseconds shows at the next vertical blank.
  std::int64_t Shows(std::int64_t drawn) const {
    const double qpc = static_cast<double>(drawn * (kQpcFrequency / 1'000'000));
    return std::llround((phase + (std::floor((qpc - phase) / period) + 1) * period) / 10);
  }
};

TEST(DwmFrames, ARunPlannedOnTheCompositorsFramesDecodes) {
  platform::RegisterResources(res::ToolResources());
  std::vector<unsigned char> packet{OPTICAL_SYNC_BYTE, 3, 0x00, 0xFF, 0x5A};
  packet.push_back(static_cast<unsigned char>(3 + 0x00 + 0xFF + 0x5A));
  for (const double hz : {60.0, 59.94, 75.0}) {
    SCOPED_TRACE(hz);
    ScriptedCounter counter;
    platform::SetCounterSource(&counter);
    const SimulatedCompositor compositor{counter, kQpcFrequency / hz, 12'345};
    auto clock = std::make_unique<platform::win32::DwmFrameClock>(
        [&](DWM_TIMING_INFO* info) { return compositor.Read(info); },
        [&] {
          return platform::win32::QpcReading{compositor.Qpc(), kQpcFrequency};
        });
    CProgramDlg dialog(IDD_PROGRAM, packet.data(), static_cast<int>(packet.size()), kZero, kOne,
                       kStart);
    TickTimer ticks(counter.Frequency(), std::move(clock));
    counter.WaitFor(100'000);
    ticks.Start();
    EXPECT_TRUE(ticks.FollowsFrames());
    std::vector<std::int64_t> seen;
    int wait = 0;
    while (dialog.GetByteIndex() < static_cast<int>(packet.size()) || dialog.GetStep() != 1) {
      if (!ticks.IsDue(static_cast<std::uint32_t>(wait))) continue;
      ticks.Ticked();
      const COLORREF before = dialog.GetLeftColour();
      dialog.Advance();
      if (dialog.GetLeftColour() != before) seen.push_back(compositor.Shows(counter.Now()));
      wait = dialog.GetWait();
    }
    platform::SetCounterSource(nullptr);
    ASSERT_EQ(seen.size(), packet.size() * OPTICAL_SWAPS_PER_BYTE);
    orx_receiver receiver;
    ASSERT_TRUE(orx_init(&receiver, kZero, kOne, kStart));
    EXPECT_EQ(orx_decode_swaps(&receiver, seen.data(), seen.size(), nullptr), ORX_PACKET);
    // Each interval is the whole number of frames nearest its duration: exact where 50 ms is a
    // whole number of frames, within half a frame elsewhere.
    std::vector<std::int64_t> nominal;
    for (unsigned char byte : packet) {
      nominal.push_back(kStart);
      for (int bit = 0; bit < 8; ++bit) nominal.push_back((byte >> bit & 1) ? kOne : kZero);
      nominal.push_back(kStart);
    }
    const double bound = hz == 60.0 ? 1'000 : 1e6 / hz / 2 + 100;
    for (std::size_t i = 1; i < seen.size(); ++i) {
      EXPECT_LE(std::abs(static_cast<double>(seen[i] - seen[i - 1] - nominal[i - 1])), bound)
          << "interval " << i;
    }
  }
}

}  // namespace
