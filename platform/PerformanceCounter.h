// The high-resolution performance counter: a monotonic count and its frequency. Tests replace the
// source with a scripted clock, so that a countdown or a transmission can be driven step by step.
#pragma once

#include <cstdint>

namespace platform {

class CounterSource {
 public:
  virtual ~CounterSource() = default;
  virtual std::int64_t Count() = 0;
  virtual std::int64_t Frequency() = 0;  // counts per second, above zero
  // Lets up to `microseconds` of this counter's time pass, returning early when a message
  // arrives (and dispatching it). The steady clock blocks in the event loop; a scripted clock
  // simply moves on.
  virtual void WaitFor(std::int64_t microseconds) = 0;
};

// Installs `source` for every later read; null restores the steady clock. Not owned.
void SetCounterSource(CounterSource* source);

// Lets time pass as the installed counter does it: see CounterSource::WaitFor.
void WaitForMessageOrTimeout(std::int64_t microseconds);

// Microseconds between two counts, truncated toward zero, without overflow for any elapsed time.
std::int64_t ElapsedMicroseconds(std::int64_t from, std::int64_t to, std::int64_t frequency);

}  // namespace platform

bool QueryPerformanceCounter(std::int64_t* count);
bool QueryPerformanceFrequency(std::int64_t* frequency);
