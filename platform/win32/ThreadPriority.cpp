#include "platform/ThreadPriority.h"

#include "platform/win32/System.h"

namespace platform {

// What the scope asked of the system, to give back.
struct TimeCriticalScope::Impl {
  bool raised = false;
  bool timerPeriodSet = false;  // the system timer's 1 ms period was asked for
  int previousPriority = 0;
};

// The system timer's period shortened to 1 ms too, for the scope only: the waits between swaps
// would otherwise end on the default 15.6 ms tick. Both are given back when the scope ends.
TimeCriticalScope::TimeCriticalScope() : m_impl(std::make_unique<Impl>()) {
  m_impl->timerPeriodSet = ::timeBeginPeriod(1) == TIMERR_NOERROR;
  const HANDLE thread = ::GetCurrentThread();
  m_impl->previousPriority = ::GetThreadPriority(thread);
  if (m_impl->previousPriority == THREAD_PRIORITY_ERROR_RETURN) return;
  m_impl->raised = ::SetThreadPriority(thread, THREAD_PRIORITY_TIME_CRITICAL) != 0;
}

TimeCriticalScope::~TimeCriticalScope() {
  if (m_impl->raised) ::SetThreadPriority(::GetCurrentThread(), m_impl->previousPriority);
  if (m_impl->timerPeriodSet) ::timeEndPeriod(1);
}

}  // namespace platform
