#include "programming/FramePlan.h"

#include <algorithm>

namespace {

// The period the frames show: the mean spacing of the latest frames, leaving out spacings far
// from the median (a frame dropped, or its news late), so that neither moves it. Needs a few.
std::int64_t MeasuredPeriod(const FramePlan::FrameTime* frames, std::size_t count) {
  std::array<std::int64_t, 64> spacings{};
  std::size_t n = 0;
  for (std::size_t i = 1; i < count && n < spacings.size(); ++i) {
    const auto between = static_cast<std::int64_t>(frames[i].number - frames[i - 1].number);
    const std::int64_t time = frames[i].time - frames[i - 1].time;
    if (between > 0 && time > 0) spacings[n++] = time / between;
  }
  if (n < 2) return 0;
  std::array<std::int64_t, 64> sorted = spacings;
  std::nth_element(sorted.begin(), sorted.begin() + n / 2, sorted.begin() + n);
  const std::int64_t median = sorted[n / 2];
  std::int64_t sum = 0, used = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (spacings[i] * 4 < median * 3 || spacings[i] * 4 > median * 5) continue;
    sum += spacings[i];
    ++used;
  }
  return sum / used;  // the median itself is always among them
}

// The frame that a swap drawn at `now` shows in, after the latest frame seen at `latest`: the
// next one. Once that one is due its news may just be late (up to half a period): -1, wait for
// it. Later still, it went by without news (dropped, or missed): the next one to come.
std::int64_t FrameShowing(std::int64_t latest, std::int64_t period, std::int64_t now) {
  if (now < latest + period) return latest + period;
  if (now < latest + period + period / 2) return -1;
  return latest + (1 + (now - latest - period / 2) / period) * period;
}

}  // namespace

void FramePlan::SeeFrame(const FrameTime& frame) {
  if (m_frames > 0 && frame.number <= m_history[m_frames - 1].number) return;  // seen already
  if (m_frames == kHistory) {
    std::move(m_history.begin() + 1, m_history.end(), m_history.begin());
    --m_frames;
  }
  m_history[m_frames++] = frame;
  m_period = frame.period > 0 ? frame.period : MeasuredPeriod(m_history.data(), m_frames);

  // The first frame after the tick shows its swap. When frames went by unseen between two looks,
  // it is the first of them that came after the tick.
  if (!m_hasAnchor && (!m_sawFrameAtTick || frame.number > m_frameAtTick)) {
    m_anchor = frame.time;
    if (m_sawFrameAtTick && m_period > 0) {
      const auto unseen = static_cast<std::int64_t>(frame.number - m_frameAtTick - 1);
      std::int64_t first = frame.time - unseen * m_period;
      if (first <= m_tick) first += ((m_tick - first) / m_period + 1) * m_period;
      m_anchor = std::min(first, frame.time);
    }
    m_hasAnchor = true;
  }
}

void FramePlan::Ticked(std::int64_t now) {
  m_tick = now;
  m_sawFrameAtTick = m_frames > 0;
  m_frameAtTick = m_sawFrameAtTick ? m_history[m_frames - 1].number : 0;
  m_hasAnchor = false;
}

std::int64_t FramePlan::Period() const {
  return m_period >= kShortestPeriod && m_period <= kLongestPeriod ? m_period : 0;
}

bool FramePlan::FollowsFrames(std::int64_t now) const {
  const std::int64_t period = Period();
  if (period == 0 || m_frames == 0) return false;
  return now - m_history[m_frames - 1].time <= kMissingFramesAllowed * period;
}

bool FramePlan::IsDue(std::int64_t now, std::int64_t wait) const {
  if (wait <= 0) return true;
  if (!FollowsFrames(now)) return now - m_tick >= wait;
  const std::int64_t period = Period();
  const std::int64_t latest = m_history[m_frames - 1].time;
  const std::int64_t shows = FrameShowing(latest, period, now);
  if (shows < 0) return false;
  // The previous swap shows in the first frame after its tick. Until that frame's news comes it
  // is not on screen yet, unless the news is overdue: then the frames keep their rhythm unseen.
  std::int64_t anchor = m_anchor;
  if (!m_hasAnchor) {
    if (latest > m_tick || shows <= latest + period) return false;
    anchor = latest + (1 + (m_tick - latest) / period) * period;
  }
  // Counted in whole frames from the one that showed the previous swap: the news of a frame may
  // come a few milliseconds early or late, never half a frame.
  const std::int64_t frames = (shows - anchor + period / 2) / period;
  // Now, unless the frame after that one is nearer to the due time (a tie goes to the earlier).
  return frames * period + period / 2 >= wait;
}

std::int64_t FramePlan::NextLook(std::int64_t now) const {
  const std::int64_t period = Period();
  if (period == 0 || m_frames == 0) return now;
  const std::int64_t next = m_history[m_frames - 1].time + period;
  return now < next ? next + kLookAfterFrame : now + kLookAgain;
}
