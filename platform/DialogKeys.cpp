// The dialog keys' suspension, the same on every backend: a counter, so that suspensions nest;
// the backend filters the keys while it is above zero.
#include "platform/DialogKeys.h"

#include "platform/Backend.h"

namespace platform {

namespace {
int g_suspensions = 0;
}  // namespace

bool DialogKeysSuspended() { return g_suspensions > 0; }

DialogKeySuspension::DialogKeySuspension() {
  if (g_suspensions++ == 0) backend::FilterDialogKeys(true);
}

DialogKeySuspension::~DialogKeySuspension() {
  if (--g_suspensions == 0) backend::FilterDialogKeys(false);
}

}  // namespace platform
