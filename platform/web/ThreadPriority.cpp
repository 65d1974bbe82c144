#include "platform/ThreadPriority.h"

#include "platform/web/Page.h"

namespace platform {

// A page cannot raise its thread. What a run needs here is a screen that stays on: while the
// scope lives, the page holds a screen wake lock where the browser offers one, so that the screen
// neither dims nor locks during a countdown and a run.
struct TimeCriticalScope::Impl {};

TimeCriticalScope::TimeCriticalScope() : m_impl(std::make_unique<Impl>()) { up_wake_lock(1); }

TimeCriticalScope::~TimeCriticalScope() { up_wake_lock(0); }

}  // namespace platform
