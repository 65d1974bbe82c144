// When the next tick of a run is due on a display that shows frames. A swap drawn between two
// frames is seen at the second, so a swap taken at its due time would be seen up to a whole
// frame late, and an interval (the time between two swaps) could be off by that much. Instead
// each swap goes into the frame whose time is nearest one wait after the frame that really
// showed the previous swap, at most one swap per frame: every interval is then within half a
// frame of its duration, and none carries the error of the one before. Where the frames are not
// known, or stop coming (a hidden window), each wait is timed from the previous tick instead, as
// the counter alone times it. Arithmetic on microseconds only: the transmit loop reads the clocks.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

class FramePlan {
 public:
  struct FrameTime {
    std::uint64_t number = 0;  // consecutive frames differ by 1
    std::int64_t time = 0;     // when it was composed, microseconds
    std::int64_t period = 0;   // microseconds, where the display tells it; 0: measured here
  };

  // Frame periods this plan believes: about 17 to 500 frames a second.
  static constexpr std::int64_t kShortestPeriod = 2'000;
  static constexpr std::int64_t kLongestPeriod = 60'000;
  // Frames that may go missing before the display counts as stopped.
  static constexpr std::int64_t kMissingFramesAllowed = 4;

  // The latest frame, each time the loop looks (the same frame again does no harm).
  void SeeFrame(const FrameTime& frame);
  // A tick of the sequencer is taken at `now`: a swap it makes is drawn now and shows in the
  // next frame.
  void Ticked(std::int64_t now);
  // Whether the tick that ends a wait of `wait` after the previous tick is due at `now`.
  bool IsDue(std::int64_t now, std::int64_t wait) const;
  // Whether frames keep the time at `now`: their period is known and they are still coming.
  bool FollowsFrames(std::int64_t now) const;
  // With frames: when the loop should look again, just after the next frame is expected, or a
  // little later while its news is late.
  std::int64_t NextLook(std::int64_t now) const;
  // When the latest tick's swap reached the screen: the frame that showed it, once seen; until
  // then, or with no frames, the tick itself.
  std::int64_t ShownAt() const { return m_hasAnchor ? m_anchor : m_tick; }
  // The frame period in use, 0 while it is unknown.
  std::int64_t Period() const;

 private:
  static constexpr std::size_t kHistory = 33;           // a quarter to half a second of frames
  static constexpr std::int64_t kLookAfterFrame = 500;  // the frame's news takes a moment
  static constexpr std::int64_t kLookAgain = 1000;      // while the news of a frame is late

  std::array<FrameTime, kHistory> m_history{};  // the latest frames, oldest first
  std::size_t m_frames = 0;                     // how many of m_history are filled
  std::int64_t m_tick = 0;
  std::uint64_t m_frameAtTick = 0;  // the latest frame's number when the tick was taken
  bool m_sawFrameAtTick = false;
  bool m_hasAnchor = false;
  std::int64_t m_anchor = 0;  // the frame that showed the previous tick's swap
  std::int64_t m_period = 0;
};
