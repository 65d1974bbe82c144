#include "platform/FrameClock.h"

namespace platform {

namespace {
FrameClockSource* g_frameClockSource = nullptr;
}  // namespace

void SetFrameClockSource(FrameClockSource* source) { g_frameClockSource = source; }

std::unique_ptr<FrameClock> FollowFrames(CWnd& window) {
  if (g_frameClockSource) return g_frameClockSource->Follow(window);
  return FollowBackendFrames(window);
}

}  // namespace platform
