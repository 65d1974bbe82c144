#include "platform/ThreadPriority.h"

#include <pthread.h>
#include <sched.h>

namespace platform {

TimeCriticalScope::TimeCriticalScope() {
  sched_param previous{};
  if (pthread_getschedparam(pthread_self(), &m_previousPolicy, &previous) != 0) return;
  m_previousPriority = previous.sched_priority;
  // The lowest real-time priority is enough to run ahead of every ordinary thread.
  sched_param raised{};
  raised.sched_priority = sched_get_priority_min(SCHED_FIFO);
  m_raised = pthread_setschedparam(pthread_self(), SCHED_FIFO, &raised) == 0;
}

TimeCriticalScope::~TimeCriticalScope() {
  if (!m_raised) return;
  sched_param previous{};
  previous.sched_priority = m_previousPriority;
  pthread_setschedparam(pthread_self(), m_previousPolicy, &previous);
}

}  // namespace platform
