// The Win32 backend's frames: the desktop compositor's (DwmFrames.h), while composition is on.
// With it off (Windows 7's basic theme), or under Wine, which has no compositor and reports no
// vertical blank, drawing shows as it is done and the run is timed by the counter alone.
#include "platform/FrameClock.h"

#include "platform/win32/DwmFrames.h"

namespace platform {

std::unique_ptr<FrameClock> FollowBackendFrames(CWnd& /*window*/) {
  BOOL composing = FALSE;
  if (FAILED(::DwmIsCompositionEnabled(&composing)) || !composing) return nullptr;
  auto clock = std::make_unique<win32::DwmFrameClock>();
  Frame first;
  if (!clock->LatestFrame(&first)) return nullptr;
  return clock;
}

}  // namespace platform
