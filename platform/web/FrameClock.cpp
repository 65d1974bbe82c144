// The page's frames: requestAnimationFrame's, whose callbacks come at the start of each frame the
// browser draws, with that frame's time on the page's clock. Drawing done after one callback shows
// in the next frame, which is what the run's planning expects. The frame's time reaches the
// counter as an age: the counter's reading now, less the time since the frame began. A hidden page
// gets no frames, and the run falls back on the counter alone.
#include "platform/FrameClock.h"

#include <cmath>

#include "platform/PerformanceCounter.h"
#include "platform/web/Page.h"

namespace platform {

namespace {

class AnimationFrameClock : public FrameClock {
 public:
  AnimationFrameClock() { up_frames_follow(1); }
  ~AnimationFrameClock() override { up_frames_follow(0); }
  AnimationFrameClock(const AnimationFrameClock&) = delete;
  AnimationFrameClock& operator=(const AnimationFrameClock&) = delete;

  bool LatestFrame(Frame* frame) override {
    double number = 0.0;
    double time = 0.0;
    double now = 0.0;
    if (!up_latest_frame(&number, &time, &now)) return false;
    std::int64_t count = 0;
    std::int64_t frequency = 0;
    QueryPerformanceCounter(&count);
    if (!QueryPerformanceFrequency(&frequency)) return false;
    const double age = (now - time) / 1000.0 * static_cast<double>(frequency);
    *frame = Frame{static_cast<std::uint64_t>(number), count - std::llround(age), 0};
    return true;
  }
};

}  // namespace

std::unique_ptr<FrameClock> FollowBackendFrames(CWnd& /*window*/) {
  return std::make_unique<AnimationFrameClock>();
}

}  // namespace platform
