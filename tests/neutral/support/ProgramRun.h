// The programming dialog run modally over the packet 55 00 00 on a scripted clock: what a person
// and a device would have seen of it, for the suites of its runs.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/FrameClock.h"
#include "platform/WinTypes.h"
#include "protocol/optical_protocol.h"

class CProgramDlg;

namespace neutral {

class ScriptedClock;

constexpr std::int64_t kSecond = 1'000'000;
constexpr std::int64_t kMs = 1'000;
// The countdown ends three seconds after Start; the run of 55 00 00 puts its last swap 1700 ms
// later and completes 50 ms after that.
constexpr std::int64_t kRunStart = OPTICAL_COUNTDOWN_SECONDS * kSecond;
inline const unsigned char kPacket[] = {0x55, 0x00, 0x00};
// Its swaps, and the top of the progress bar's range.
constexpr int kSwaps = 3 * OPTICAL_SWAPS_PER_BYTE;

using Strings = std::vector<std::string>;
using Times = std::vector<std::int64_t>;

struct Outcome {
  Strings statuses;
  Times statusTimes;
  Times swaps;
  Times panelChanges;  // the swaps and any putting back of the colours
  int position = -1;
  bool startEnabled = false;
  std::string doneText;
  COLORREF left = 1;
  COLORREF right = 1;
  bool stillOpen = false;
  bool startHasFocus = false;  // after the last countdown or run
  int result = 0;
};

using Script = std::function<void(ScriptedClock&, CProgramDlg&)>;

// Runs the dialog over kPacket: `script` schedules actions on the clock, then Start is pressed
// `starts` times. Afterwards the dialog is closed with Done, which must end it.
Outcome RunDialog(int starts, const Script& script = {});

// What the reference receiver reports, in order, when it sees the panels change at `changes`.
std::string DeviceEvents(const Times& changes);

// A display of 39 Hz (a compositor's timer-paced rhythm), its frames on the scripted clock.
class ThirtyNineHertz : public platform::FrameClockSource, public platform::FrameClock {
 public:
  static constexpr std::int64_t kPeriod = 25'641;
  std::unique_ptr<platform::FrameClock> Follow(CWnd&) override;
  bool LatestFrame(platform::Frame* frame) override;
};

}  // namespace neutral
