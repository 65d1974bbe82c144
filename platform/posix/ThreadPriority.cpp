#include "platform/ThreadPriority.h"

#include <pthread.h>
#include <sched.h>

namespace platform {

// The scheduling the thread had before, to give back.
struct TimeCriticalScope::Impl {
  bool raised = false;
  int previousPolicy = 0;
  int previousPriority = 0;
};

TimeCriticalScope::TimeCriticalScope() : m_impl(std::make_unique<Impl>()) {
  sched_param previous{};
  if (pthread_getschedparam(pthread_self(), &m_impl->previousPolicy, &previous) != 0) return;
  m_impl->previousPriority = previous.sched_priority;
  // The lowest real-time priority is enough to run ahead of every ordinary thread.
  sched_param raised{};
  raised.sched_priority = sched_get_priority_min(SCHED_FIFO);
  m_impl->raised = pthread_setschedparam(pthread_self(), SCHED_FIFO, &raised) == 0;
}

TimeCriticalScope::~TimeCriticalScope() {
  if (!m_impl->raised) return;
  sched_param previous{};
  previous.sched_priority = m_impl->previousPriority;
  pthread_setschedparam(pthread_self(), m_impl->previousPolicy, &previous);
}

}  // namespace platform
