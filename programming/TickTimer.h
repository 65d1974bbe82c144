// Times the ticks of a run for the transmit loop: by the performance counter alone, each wait
// from the tick before it, or, where the window's frames are known, by the frames that show the
// swaps (FramePlan). It sleeps through the long parts of a wait (waking for any message), so the
// loop reads the clock at full speed only near a due time.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/FrameClock.h"
#include "programming/FramePlan.h"

class TickTimer {
 public:
  // `frames` may be null: no frames known.
  TickTimer(std::int64_t frequency, std::unique_ptr<platform::FrameClock> frames);

  // The run begins: its first tick is due at once; each later wait is counted from the tick
  // before it.
  void Start();
  // Whether the tick ending a wait of `wait` microseconds is due. When it is not, it may first
  // sleep until a message comes or it is nearly time to look again.
  bool IsDue(std::int64_t wait);
  // The tick is being taken: any swap it makes is drawn now.
  void Ticked();
  // The tick just taken swapped the panels, `wait` microseconds after the tick before it.
  void Swapped(std::int64_t wait);
  // How far, in this run, an interval between two consecutive swaps as the screen showed them
  // (or, with no frames known, as they were drawn) came out from its wait: microseconds either
  // way, the worst so far. The latest swap counts once the next tick is taken.
  std::int64_t WorstIntervalError() const { return m_worstError; }
  // The counter's value at the latest tick.
  std::int64_t LastTick() const { return m_tick; }
  // Takes note of the latest frame: the countdown calls it too, so that the frames' rhythm is
  // known when the run begins.
  void Observe();
  // Whether the display's frames time the run at this moment.
  bool FollowsFrames();

 private:
  std::int64_t Now() const;  // microseconds since the timer was made
  // The previous tick's swap has shown by now: its interval from the swap before is known.
  void SettleSwap();

  std::int64_t m_frequency;
  std::unique_ptr<platform::FrameClock> m_frames;
  FramePlan m_plan;
  std::int64_t m_origin;  // the counter when the timer was made: microseconds count from here
  std::int64_t m_tick;
  bool m_swapped = false;  // the latest tick swapped, after m_swapWait
  std::int64_t m_swapWait = 0;
  bool m_hasShown = false;  // the tick before the latest one swapped, and showed at m_shown
  std::int64_t m_shown = 0;
  std::int64_t m_worstError = 0;
};
