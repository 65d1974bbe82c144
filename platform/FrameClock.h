// The frames in which a window's drawing reaches the screen, where the backend knows them. On a
// composited desktop a swap is seen at the next frame after it is drawn, not when it is drawn; a
// backend that can tell when its frames come lets the transmitter plan each swap for a frame.
// A backend without frames (a display server that shows drawing at once, an offscreen one, or
// one it cannot ask) has no clock, and the transmitter keeps time by the counter alone.
#pragma once

#include <cstdint>
#include <memory>

class CWnd;

namespace platform {

// One frame: whatever was drawn before it was composed shows in the frame after it.
struct Frame {
  std::uint64_t number = 0;  // counts frames; a gap means frames the window was not composed in
  std::int64_t count = 0;    // when it was composed, on the performance counter (its units)
  std::int64_t period = 0;   // counter units between frames, where the backend knows it; else 0
};

class FrameClock {
 public:
  virtual ~FrameClock() = default;
  // The latest frame so far; false until the first one. Never blocks.
  virtual bool LatestFrame(Frame* frame) = 0;
};

// Makes frame clocks: the backend's, or a test's simulated display.
class FrameClockSource {
 public:
  virtual ~FrameClockSource() = default;
  virtual std::unique_ptr<FrameClock> Follow(CWnd& window) = 0;
};

// Follows the frames of `window` (a shown top-level window) for as long as the clock lives; null
// where the backend knows no frames. Following may keep the window drawing once per frame.
std::unique_ptr<FrameClock> FollowFrames(CWnd& window);

// Installs `source` for every later FollowFrames; null restores the backend's. Not owned.
void SetFrameClockSource(FrameClockSource* source);

// The backend's own frames (FollowFrames without a source installed): each backend defines it.
std::unique_ptr<FrameClock> FollowBackendFrames(CWnd& window);

}  // namespace platform
