#include "tests/neutral/support/ProgramRun.h"

#include <gtest/gtest.h>

#include "platform/PerformanceCounter.h"
#include "programming/ProgramDlg.h"
#include "programming/TextProgressCtrl.h"
#include "receiver/optical_receiver.h"
#include "res/resource.h"
#include "tests/neutral/support/DialogDriver.h"
#include "tests/neutral/support/ScriptedClock.h"

namespace neutral {

Outcome RunDialog(int starts, const Script& script) {
  namespace shown = backend;
  CProgramDlg dialog(IDD_PROGRAM, kPacket, 3, OPTICAL_ZERO_BIT_US, OPTICAL_ONE_BIT_US,
                     OPTICAL_START_US);
  ScriptedClock clock(100);
  Outcome outcome;
  outcome.result = RunModal(dialog, [&] {
    clock.Watch(&dialog);
    if (script) script(clock, dialog);
    CWnd* start = dialog.GetDlgItem(IDC_START);
    ASSERT_EQ(shown::FocusedWindow(), start);  // the first tab stop, where Enter starts a run
    for (int i = 0; i < starts; ++i) dialog.SendCommand(IDC_START);
    clock.Count();  // a last look at the panels, after the run has put back any colours
    outcome.startHasFocus = shown::FocusedWindow() == start;
    outcome.position = dialog.GetProgressCtrl()->GetPos();
    outcome.startEnabled = shown::IsEnabled(*start);
    outcome.doneText = TextOf(dialog, IDCANCEL);
    outcome.left = dialog.GetLeftColour();
    outcome.right = dialog.GetRightColour();
    outcome.stillOpen = shown::IsVisible(dialog);
    Click(dialog, IDCANCEL);
  });
  for (const auto& change : clock.StatusChanges()) {
    outcome.statuses.push_back(change.text);
    outcome.statusTimes.push_back(change.time);
  }
  outcome.swaps = clock.Swaps();
  outcome.panelChanges = clock.PanelChanges();
  return outcome;
}

std::string DeviceEvents(const Times& changes) {
  orx_receiver rx;
  if (!orx_init(&rx, OPTICAL_ZERO_BIT_US, OPTICAL_ONE_BIT_US, OPTICAL_START_US))
    return "no receiver";
  std::string events;
  for (std::size_t used = 0; used < changes.size();) {
    size_t consumed = 0;
    const orx_event event =
        orx_decode_swaps(&rx, changes.data() + used, changes.size() - used, &consumed);
    if (event != ORX_NONE)
      events += (events.empty() ? "" : " ") + std::string(orx_event_name(event));
    used += consumed;
  }
  return events;
}

namespace {

struct SharedDisplay : platform::FrameClock {
  explicit SharedDisplay(platform::FrameClock& display) : display(display) {}
  bool LatestFrame(platform::Frame* frame) override { return display.LatestFrame(frame); }
  platform::FrameClock& display;
};

}  // namespace

std::unique_ptr<platform::FrameClock> ThirtyNineHertz::Follow(CWnd&) {
  return std::make_unique<SharedDisplay>(*this);
}

bool ThirtyNineHertz::LatestFrame(platform::Frame* frame) {
  std::int64_t now = 0;
  QueryPerformanceCounter(&now);
  frame->number = static_cast<std::uint64_t>(now / kPeriod);
  frame->count = now / kPeriod * kPeriod;
  return true;
}

}  // namespace neutral
