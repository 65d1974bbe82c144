// The desktop compositor's frames as the layer's frame clock. While composition is on, every
// window's drawing reaches the screen through it, at the vertical blank after the frame it was
// composed in; its timing info tells the latest vertical blank (counted, and its moment on the
// system's performance counter) and the refresh period. Where composition is off, or the timing
// info holds no vertical blank (Wine, which has no compositor, reports none), there are no frames.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/FrameClock.h"
#include "platform/win32/System.h"

namespace platform::win32 {

// The system's performance counter: its value and its frequency, read together.
struct QpcReading {
  std::int64_t count = 0;
  std::int64_t frequency = 0;
};

// A frame of the layer from DWM's timing info read at `qpcNow`, on the layer's counter, which
// stood at `counterNow` at that moment (units of `counterFrequency`). False when the info holds
// no vertical blank, or one too far from now to be the latest.
bool FrameFromDwmTiming(const DWM_TIMING_INFO& info, QpcReading qpcNow, std::int64_t counterNow,
                        std::int64_t counterFrequency, Frame* frame);

class DwmFrameClock : public FrameClock {
 public:
  using TimingReader = std::function<bool(DWM_TIMING_INFO*)>;
  using QpcReader = std::function<QpcReading()>;

  // The system's own readers unless given (a test simulates the compositor).
  DwmFrameClock(TimingReader readTiming = {}, QpcReader readQpc = {});
  bool LatestFrame(Frame* frame) override;

 private:
  TimingReader m_readTiming;
  QpcReader m_readQpc;
};

}  // namespace platform::win32
