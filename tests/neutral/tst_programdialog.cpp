// The programming dialog run modally in every build and driven by a scripted clock: every state
// of a countdown and a run, cancels at chosen moments, the dialog keys while it pumps, and the
// panels. (What a screen reader reads of its progress bar is the Qt suite tst_textprogress.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/FrameClock.h"
#include "platform/PerformanceCounter.h"
#include "programming/ProgramDlg.h"
#include "programming/TextProgressCtrl.h"
#include "protocol/optical_protocol.h"
#include "res/resource.h"
#include "res/templates.h"
#include "tests/neutral/support/CaseName.h"
#include "tests/neutral/support/DialogDriver.h"
#include "tests/neutral/support/ProgramRun.h"
#include "tests/neutral/support/ScriptedClock.h"

namespace {

using neutral::Key;
using neutral::ScriptedClock;
using neutral::Strings;
using neutral::TextOf;
using neutral::Times;
namespace shown = neutral::backend;

using neutral::kMs;
using neutral::kPacket;
using neutral::kRunStart;
using neutral::kSecond;
using neutral::kSwaps;
using neutral::Outcome;
using neutral::RunDialog;
using neutral::Script;
using neutral::ThirtyNineHertz;

class ProgramDialog : public testing::Test {
 protected:
  static void SetUpTestSuite() { platform::RegisterResources(res::ToolResources()); }
};

std::int64_t Distance(std::int64_t a, std::int64_t b) { return a > b ? a - b : b - a; }

struct EndingCase {
  const char* name;
  void (*end)(CProgramDlg&);
};
void PrintTo(const EndingCase& row, std::ostream* out) { *out << row.name; }

const EndingCase kIdleEndings[] = {
    {"Done", [](CProgramDlg& dialog) { neutral::Click(dialog, IDCANCEL); }},
    {"close box", [](CProgramDlg& dialog) { neutral::ClickCloseBox(dialog); }},
    {"Escape", [](CProgramDlg&) { neutral::PressKey(Key::Escape); }},
};

class IdleEndings : public ProgramDialog, public testing::WithParamInterface<EndingCase> {};

TEST_P(IdleEndings, CloseAtOnce) {
  CProgramDlg dialog(IDD_PROGRAM, kPacket, 3, OPTICAL_ZERO_BIT_US, OPTICAL_ONE_BIT_US,
                     OPTICAL_START_US);
  EXPECT_EQ(neutral::RunModal(dialog, [&] { GetParam().end(dialog); }), IDCANCEL);
}

INSTANTIATE_TEST_SUITE_P(Rows, IdleEndings, testing::ValuesIn(kIdleEndings), neutral::ByCaseName{});

TEST_F(ProgramDialog, CompleteRun) {
  const Outcome outcome = RunDialog(1);
  ASSERT_EQ(outcome.statuses,
            Strings({"Ready to program", "Starting in...3", "Starting in...2", "Starting in...1",
                     "Starting in...0", "Programming...", "Programming...Done"}));
  // One second between countdown steps; "Starting in...0" gives way to "Programming..." at once.
  for (int i = 2; i <= 4; ++i) {
    EXPECT_LE(Distance(outcome.statusTimes[i] - outcome.statusTimes[i - 1], kSecond), 300) << i;
  }
  EXPECT_EQ(outcome.statusTimes[5], outcome.statusTimes[4]);
  ASSERT_EQ(outcome.swaps.size(), std::size_t{kSwaps});
  // The first swap comes one start duration after "Programming...".
  EXPECT_LE(Distance(outcome.swaps.front() - outcome.statusTimes[5], 50 * kMs), 500);
  EXPECT_EQ(outcome.position, kSwaps);  // 31 set, held at the top of the range
  EXPECT_TRUE(outcome.startEnabled);
  EXPECT_TRUE(outcome.startHasFocus);  // so Enter starts another run
  EXPECT_EQ(outcome.doneText, "Done");
  EXPECT_EQ(outcome.left, CProgramDlg::kBlack);
  EXPECT_EQ(outcome.right, CProgramDlg::kWhite);
  EXPECT_EQ(outcome.result, IDCANCEL);  // Done after the run closes the dialog
}

// Where the display's frames are known, the dialog plans each swap for a frame: every interval is
// the whole number of frames nearest its duration (two of 25.6 ms for 50 ms, four for 100 ms),
// not the duration itself; everything else about the run is as without frames.
TEST_F(ProgramDialog, ARunOnAScreenWithFramesTakesWholeFrames) {
  ThirtyNineHertz display;
  platform::SetFrameClockSource(&display);
  const Outcome outcome = RunDialog(1);
  platform::SetFrameClockSource(nullptr);
  ASSERT_FALSE(outcome.statuses.empty());
  EXPECT_EQ(outcome.statuses.back(), "Programming...Done");
  ASSERT_EQ(outcome.swaps.size(), std::size_t{kSwaps});
  for (std::size_t i = 1; i < outcome.swaps.size(); ++i) {
    const std::int64_t interval = outcome.swaps[i] - outcome.swaps[i - 1];
    const std::int64_t frames =
        (interval + ThirtyNineHertz::kPeriod / 2) / ThirtyNineHertz::kPeriod;
    EXPECT_TRUE(frames == 2 || frames == 4) << interval;
    EXPECT_LE(Distance(interval, frames * ThirtyNineHertz::kPeriod), 300) << interval;
  }
  EXPECT_EQ(outcome.left, CProgramDlg::kBlack);
  EXPECT_EQ(outcome.right, CProgramDlg::kWhite);
}

enum class Cancel { Click, CloseBox };

// Cancels with the dialog's Cancel button or its close box at a moment after Start, as a person
// does while the dialog pumps (the click waits in the queue): the run stops where it is (or has
// not begun, or has just ended) and the dialog stays open.
Outcome CancelAt(Cancel how, std::int64_t at) {
  return RunDialog(1, [how, at](ScriptedClock& clock, CProgramDlg& dialog) {
    clock.At(at, [&dialog, how] {
      if (how == Cancel::Click) {
        EXPECT_TRUE(shown::PostClick(*dialog.GetDlgItem(IDCANCEL)));
      } else {
        shown::PostCloseBox(dialog);
      }
    });
  });
}

// After a cancel: Start can start again, and the panels are back to black and white.
void ExpectReadyAgain(const Outcome& outcome) {
  EXPECT_TRUE(outcome.stillOpen);  // a cancel never closes the dialog; Done afterwards does
  EXPECT_EQ(outcome.result, IDCANCEL);
  EXPECT_TRUE(outcome.startEnabled);
  EXPECT_TRUE(outcome.startHasFocus);
  EXPECT_EQ(outcome.doneText, "Done");
  EXPECT_EQ(outcome.left, CProgramDlg::kBlack);
  EXPECT_EQ(outcome.right, CProgramDlg::kWhite);
}

struct CancelCase {
  const char* name;
  Cancel how;
  std::int64_t at;  // microseconds after Start
  const char* status;
  std::size_t swaps;
  int position;
};
void PrintTo(const CancelCase& row, std::ostream* out) { *out << row.name; }

// Cancels before the first swap or after the last: the swaps and the bar's position are exact.
const CancelCase kCancels[] = {
    {"Cancel during the countdown", Cancel::Click, 1500 * kMs, "Ready to program", 0, 0},
    {"close box during the countdown", Cancel::CloseBox, 2500 * kMs, "Ready to program", 0, 0},
    {"Cancel in the last start-duration wait", Cancel::Click, kRunStart + 1725 * kMs,
     "Programming...Done", kSwaps, kSwaps},
};

class Cancels : public ProgramDialog, public testing::WithParamInterface<CancelCase> {};

TEST_P(Cancels, StopWhereTheRunIs) {
  const CancelCase& row = GetParam();
  const Outcome outcome = CancelAt(row.how, row.at);
  ASSERT_FALSE(outcome.statuses.empty());
  EXPECT_EQ(outcome.statuses.back(), row.status);
  EXPECT_EQ(outcome.swaps.size(), row.swaps);
  EXPECT_EQ(outcome.position, row.position);
  ExpectReadyAgain(outcome);
}

INSTANTIATE_TEST_SUITE_P(Rows, Cancels, testing::ValuesIn(kCancels), neutral::ByCaseName{});

struct MidRunCase {
  const char* name;
  Cancel how;
  std::int64_t at;  // microseconds after Start
};
void PrintTo(const MidRunCase& row, std::ostream* out) { *out << row.name; }

// Cancels in the middle of a byte: some swaps but not all 30 went out, and the bar stopped short
// of its end.
const MidRunCase kMidRun[] = {
    {"Cancel in the middle of a byte", Cancel::Click, kRunStart + 400 * kMs},
    {"close box in the middle of a byte", Cancel::CloseBox, kRunStart + 900 * kMs},
};

class CancelsDuringTheRun : public ProgramDialog, public testing::WithParamInterface<MidRunCase> {};

TEST_P(CancelsDuringTheRun, StopItShortOfTheEnd) {
  const Outcome outcome = CancelAt(GetParam().how, GetParam().at);
  ASSERT_FALSE(outcome.statuses.empty());
  EXPECT_EQ(outcome.statuses.back(), "Programming...Canceled");
  EXPECT_TRUE(!outcome.swaps.empty() && outcome.swaps.size() < std::size_t{kSwaps});
  EXPECT_TRUE(outcome.position > 0 && outcome.position < kSwaps);
  ExpectReadyAgain(outcome);
}

INSTANTIATE_TEST_SUITE_P(Rows, CancelsDuringTheRun, testing::ValuesIn(kMidRun),
                         neutral::ByCaseName{});

struct DeviceCase {
  const char* name;
  std::int64_t at;  // microseconds after the countdown
  const char* status;
  const char* events;  // what the receiver reports, in order
};
void PrintTo(const DeviceCase& row, std::ostream* out) { *out << row.name; }

// What a device makes of a run cancelled at any moment: the reference receiver is fed every
// change of the panels, the putting back of the colours included. The run's swaps of 55 00 00
// come at 50, 100, 200, 250, ... 700 ms (the sync byte), then every 50 ms from 750 to 1700 ms.
const DeviceCase kDevice[] = {
    {"after an odd number of swaps, mid-byte", 530 * kMs, "Programming...Canceled",
     "ERR_TRUNCATED"},
    {"even swaps, in the gap between bytes", 720 * kMs, "Programming...Canceled", "ERR_TRUNCATED"},
    // The checksum's bit 7 is 0: a swap 30 ms into its wait would end the byte as sent.
    {"in the last wait of the checksum byte", 1680 * kMs, "Programming...Canceled",
     "ERR_TRUNCATED"},
    {"after the last swap: the packet is out", 1725 * kMs, "Programming...Done", "PACKET"},
};

class ACancelledRun : public ProgramDialog, public testing::WithParamInterface<DeviceCase> {};

TEST_P(ACancelledRun, NeverReachesADevice) {
  const DeviceCase& row = GetParam();
  const Outcome outcome = CancelAt(Cancel::Click, kRunStart + row.at);
  ASSERT_FALSE(outcome.statuses.empty());
  EXPECT_EQ(outcome.statuses.back(), row.status);
  ExpectReadyAgain(outcome);

  const Times& changes = outcome.panelChanges;
  EXPECT_EQ(neutral::DeviceEvents(changes), row.events);

  // Colours put back after an odd number of swaps only once the panels held still for longer
  // than a receiver's idle silence, so the putting back is never read as part of the run.
  const std::size_t extra = changes.size() - outcome.swaps.size();
  EXPECT_EQ(extra, outcome.swaps.size() % 2);
  if (extra == 1) {
    EXPECT_GE(changes.back() - outcome.swaps.back(), 2 * OPTICAL_ONE_BIT_US)
        << "colours put back after the last swap";
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, ACancelledRun, testing::ValuesIn(kDevice), neutral::ByCaseName{});

TEST_F(ProgramDialog, StartAgainAfterACompleteRun) {
  const Outcome outcome = RunDialog(2);
  EXPECT_EQ(std::count(outcome.statuses.begin(), outcome.statuses.end(), "Programming...Done"), 2);
  EXPECT_EQ(std::count(outcome.statuses.begin(), outcome.statuses.end(), "Starting in...3"), 2);
  ASSERT_EQ(outcome.swaps.size(), std::size_t{2 * kSwaps});
  // The second run sends the same timing again, after a fresh countdown.
  for (std::size_t i = 1; i < kSwaps; ++i) {
    EXPECT_LE(Distance(outcome.swaps[kSwaps + i] - outcome.swaps[kSwaps],
                       outcome.swaps[i] - outcome.swaps[0]),
              1000)
        << i;
  }
  EXPECT_GE(outcome.swaps[kSwaps] - outcome.swaps[kSwaps - 1], OPTICAL_COUNTDOWN_SECONDS * kSecond);
}

// Keys go where the keyboard focus is. While Start is disabled no enabled control has it, so
// Space and Enter press no button (the toolkit would have moved it to Done, which reads Cancel
// then).
TEST_F(ProgramDialog, DialogKeysDoNothingWhileBusy) {
  Strings focusDuringRun;
  const Outcome outcome = RunDialog(1, [&](ScriptedClock& clock, CProgramDlg&) {
    for (std::int64_t at : {kSecond / 2, kRunStart + 300 * kMs}) {
      clock.At(at, [&focusDuringRun] {
        const CWnd* focus = shown::FocusedWindow();
        focusDuringRun.push_back(focus && shown::IsEnabled(*focus) ? TextOf(*focus) : "none");
        for (Key key : {Key::Escape, Key::Return, Key::KeypadEnter, Key::Space, Key::Tab,
                        Key::Space, Key::Return})
          shown::PostKey(key);
      });
    }
  });
  EXPECT_EQ(focusDuringRun, Strings({"none", "none"}));
  ASSERT_FALSE(outcome.statuses.empty());
  EXPECT_EQ(outcome.statuses.back(), "Programming...Done");
  EXPECT_EQ(std::count(outcome.statuses.begin(), outcome.statuses.end(), "Starting in...3"), 1);
  EXPECT_EQ(outcome.swaps.size(), std::size_t{kSwaps});
  EXPECT_TRUE(outcome.startHasFocus);
}

TEST_F(ProgramDialog, BarAndPanelsAreWhereTheyBelong) {
  CProgramDlg dialog(IDD_PROGRAM, kPacket, 3, OPTICAL_ZERO_BIT_US, OPTICAL_ONE_BIT_US,
                     OPTICAL_START_US);
  const int result = neutral::RunModal(dialog, [&] {
    RECT client;
    dialog.GetClientRect(&client);
    const int w = client.right, h = client.bottom;
    EXPECT_EQ(neutral::GeometryOf(shown::PlacementOf(*dialog.GetProgressCtrl())),
              (neutral::Geometry{10, 10, w - 20, 25}));
    int lower = -1, upper = -1;
    dialog.GetProgressCtrl()->GetRange(lower, upper);
    EXPECT_EQ(lower, 0);
    EXPECT_EQ(upper, kSwaps);

    constexpr COLORREF kBlack = 0x000000, kWhite = 0xFFFFFF;
    const COLORREF background = shown::FaceColour(dialog);
    const shown::Picture picture = shown::PictureOf(dialog);
    ASSERT_EQ(picture.width, w);
    ASSERT_EQ(picture.height, h);
    EXPECT_EQ(picture.At(w / 4, h / 2), kBlack);
    EXPECT_EQ(picture.At(3 * w / 4, h / 2), kWhite);
    // Frames on the outermost pixels; right and bottom edges lie outside.
    EXPECT_EQ(picture.At(w / 2 + 2, 100), kBlack);
    EXPECT_EQ(picture.At(w - 11, 100), kBlack);
    EXPECT_EQ(picture.At(w - 12, 100), kWhite);
    EXPECT_EQ(picture.At(3 * w / 4, h - 11), kBlack);
    EXPECT_EQ(picture.At(3 * w / 4, 70), kBlack);
    EXPECT_EQ(picture.At(3 * w / 4, 71), kWhite);
    // The background shows around and between the panels: four pixels around W / 2.
    for (int x = w / 2 - 2; x < w / 2 + 2; ++x) EXPECT_EQ(picture.At(x, 100), background) << x;
    EXPECT_EQ(picture.At(w - 10, 100), background);
    EXPECT_EQ(picture.At(3 * w / 4, 69), background);
    EXPECT_EQ(picture.At(3 * w / 4, h - 10), background);

    dialog.SwapColours();
    const shown::Picture swapped = shown::PictureOf(dialog);
    ASSERT_EQ(swapped.width, w);
    EXPECT_EQ(swapped.At(w / 4, h / 2), kWhite);
    EXPECT_EQ(swapped.At(3 * w / 4, h / 2), kBlack);
    dialog.EndDialog(IDOK);
  });
  EXPECT_EQ(result, IDOK);
}

}  // namespace
