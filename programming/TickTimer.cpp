#include "programming/TickTimer.h"

#include <algorithm>

#include "platform/PerformanceCounter.h"

namespace {

std::int64_t Count() {
  std::int64_t now = 0;
  QueryPerformanceCounter(&now);
  return now;
}

// Without frames the loop reads the counter flat out only through the last stretch of a wait: a
// process that has slept is scheduled at once when it wakes, one that spins gets preempted.
constexpr std::int64_t kSpinMicroseconds = 2000;

}  // namespace

TickTimer::TickTimer(std::int64_t frequency, std::unique_ptr<platform::FrameClock> frames)
    : m_frequency(frequency), m_frames(std::move(frames)), m_origin(Count()), m_tick(m_origin) {}

std::int64_t TickTimer::Now() const {
  return platform::ElapsedMicroseconds(m_origin, Count(), m_frequency);
}

void TickTimer::Start() {
  m_swapped = false;
  m_hasShown = false;
  m_worstError = 0;
  m_tick = Count();
  Observe();
  m_plan.Ticked(platform::ElapsedMicroseconds(m_origin, m_tick, m_frequency));
}

void TickTimer::Observe() {
  platform::Frame frame;
  if (!m_frames || !m_frames->LatestFrame(&frame)) return;
  const std::int64_t period =
      frame.period > 0 ? platform::ElapsedMicroseconds(0, frame.period, m_frequency) : 0;
  m_plan.SeeFrame(
      {frame.number, platform::ElapsedMicroseconds(m_origin, frame.count, m_frequency), period});
}

bool TickTimer::FollowsFrames() {
  Observe();
  return m_plan.FollowsFrames(Now());
}

bool TickTimer::IsDue(std::int64_t wait) {
  Observe();
  const std::int64_t now = Now();
  if (m_plan.FollowsFrames(now)) {
    if (m_plan.IsDue(now, wait)) return true;
    // Nothing can change before the next frame, which also wakes the loop where the frame is an
    // event.
    const std::int64_t sleep = m_plan.NextLook(now) - now;
    if (sleep > 0) platform::WaitForMessageOrTimeout(sleep);
    return false;
  }
  // By the counter alone, exactly as from the tick's own reading.
  const std::int64_t remaining = wait - platform::ElapsedMicroseconds(m_tick, Count(), m_frequency);
  if (remaining <= 0) return true;
  if (remaining > kSpinMicroseconds)
    platform::WaitForMessageOrTimeout(remaining - kSpinMicroseconds);
  return false;
}

void TickTimer::Ticked() {
  SettleSwap();
  m_tick = Count();
  m_plan.Ticked(platform::ElapsedMicroseconds(m_origin, m_tick, m_frequency));
}

void TickTimer::Swapped(std::int64_t wait) {
  m_swapped = true;
  m_swapWait = wait;
}

void TickTimer::SettleSwap() {
  if (!m_swapped) {
    m_hasShown = false;  // a tick without a swap: no interval ends at the next one
    return;
  }
  m_swapped = false;
  const std::int64_t shown = m_plan.ShownAt();
  if (m_hasShown) {
    const std::int64_t error = shown - m_shown - m_swapWait;
    m_worstError = std::max(m_worstError, error < 0 ? -error : error);
  }
  m_shown = shown;
  m_hasShown = true;
}
