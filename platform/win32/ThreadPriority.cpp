#include "platform/ThreadPriority.h"

// windows.h, as the layer takes it once for every backend file.
#include "platform/WinTypes.h"

// After windows.h, which it builds on.
#include <timeapi.h>

namespace platform {

// The system timer's period shortened to 1 ms too, for the scope only: the waits between swaps
// would otherwise end on the default 15.6 ms tick. Both are given back when the scope ends.
TimeCriticalScope::TimeCriticalScope() {
  m_timerPeriodSet = ::timeBeginPeriod(1) == TIMERR_NOERROR;
  const HANDLE thread = ::GetCurrentThread();
  m_previousPriority = ::GetThreadPriority(thread);
  if (m_previousPriority == THREAD_PRIORITY_ERROR_RETURN) return;
  m_raised = ::SetThreadPriority(thread, THREAD_PRIORITY_TIME_CRITICAL) != 0;
}

TimeCriticalScope::~TimeCriticalScope() {
  if (m_raised) ::SetThreadPriority(::GetCurrentThread(), m_previousPriority);
  if (m_timerPeriodSet) ::timeEndPeriod(1);
}

}  // namespace platform
