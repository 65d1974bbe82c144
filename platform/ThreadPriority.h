// Raising the calling thread to a time-critical priority for a stretch of work that must happen
// on time. A thread that sleeps until a deadline is otherwise woken up to a scheduler tick late
// when the machine is busy, which shows as a late colour swap.
#pragma once

#include <memory>

namespace platform {

// While it lives, the calling thread runs at a real-time priority, where the system permits it
// (else nothing changes); afterwards it gets its previous scheduling back. Only for loops that
// sleep between their deadlines: a real-time thread that never sleeps starves the others.
class TimeCriticalScope {
 public:
  TimeCriticalScope();
  ~TimeCriticalScope();
  TimeCriticalScope(const TimeCriticalScope&) = delete;
  TimeCriticalScope& operator=(const TimeCriticalScope&) = delete;

 private:
  // What the backend changed and gives back, defined by each backend.
  struct Impl;
  std::unique_ptr<Impl> m_impl;
};

}  // namespace platform
