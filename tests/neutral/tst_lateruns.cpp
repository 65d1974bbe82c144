// A run whose swaps come late (the machine was busy, the screen fell behind) on the scripted
// clock: the dialog says "Done" exactly when a device would have taken the packet, and otherwise
// asks for another try, so a lost packet is never reported as programmed.
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>

#include "platform/FrameClock.h"
#include "res/templates.h"
#include "tests/neutral/support/CaseName.h"
#include "tests/neutral/support/ProgramRun.h"
#include "tests/neutral/support/ScriptedClock.h"

namespace {

using neutral::kMs;
using neutral::kRunStart;

constexpr const char* kDone = "Programming...Done";
constexpr const char* kLagged = "Programming...Screen lagged: try again";

struct LateCase {
  const char* name;
  bool frames;         // on a display of 39 Hz, whose frames the run follows
  std::int64_t at;     // when the tool stops being scheduled, microseconds after Start
  std::int64_t stall;  // for how long
  const char* status;
  const char* device;  // what the reference receiver makes of the panels
};
void PrintTo(const LateCase& row, std::ostream* out) { *out << row.name; }

// The run's second swap is due 100 ms after the countdown: a stall from 95 ms holds it back by
// about the stall less 5 ms. It ends the start symbol, which a device reads as a gap from 75 ms.
const LateCase kLate[] = {
    {"a countdown step late", false, 1500 * kMs, 600 * kMs, kDone, "PACKET"},
    {"the first swap late", false, kRunStart + 10 * kMs, 60 * kMs, kDone, "PACKET"},
    {"a swap 10 ms late", false, kRunStart + 95 * kMs, 15 * kMs, kDone, "PACKET"},
    {"a swap 20 ms late", false, kRunStart + 95 * kMs, 25 * kMs, kDone, "PACKET"},
    {"a swap 30 ms late", false, kRunStart + 95 * kMs, 35 * kMs, kLagged, "ERR_FRAMING"},
    {"a swap 200 ms late", false, kRunStart + 95 * kMs, 205 * kMs, kLagged,
     "ERR_TRUNCATED ERR_FRAMING"},
    {"the end of the run late", false, kRunStart + 1720 * kMs, 100 * kMs, kDone, "PACKET"},
    {"on time, with frames", true, 0, 0, kDone, "PACKET"},
    {"a swap frames late", true, kRunStart + 95 * kMs, 60 * kMs, kLagged, "ERR_FRAMING"},
};

class ALateRun : public testing::TestWithParam<LateCase> {
 protected:
  static void SetUpTestSuite() { platform::RegisterResources(res::ToolResources()); }
};

TEST_P(ALateRun, IsDoneOnlyIfADeviceTookIt) {
  const LateCase& row = GetParam();
  neutral::ThirtyNineHertz display;
  if (row.frames) platform::SetFrameClockSource(&display);
  const neutral::Outcome outcome =
      neutral::RunDialog(1, [&row](neutral::ScriptedClock& clock, CProgramDlg&) {
        if (row.stall > 0) clock.At(row.at, [&clock, &row] { clock.WaitFor(row.stall); });
      });
  platform::SetFrameClockSource(nullptr);
  ASSERT_FALSE(outcome.statuses.empty());
  EXPECT_EQ(outcome.statuses.back(), row.status);
  EXPECT_EQ(neutral::DeviceEvents(outcome.panelChanges), row.device);
  // Late or not, the whole packet went out and the dialog is ready for another try.
  EXPECT_EQ(outcome.swaps.size(), std::size_t{neutral::kSwaps});
  EXPECT_EQ(outcome.position, neutral::kSwaps);
  EXPECT_TRUE(outcome.startEnabled);
  EXPECT_TRUE(outcome.startHasFocus);
  EXPECT_EQ(outcome.doneText, "Done");
}

INSTANTIATE_TEST_SUITE_P(Rows, ALateRun, testing::ValuesIn(kLate), neutral::ByCaseName{});

}  // namespace
