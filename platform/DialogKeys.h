// While a busy loop pumps messages itself, Tab, Enter and Escape are not dialog keys: they neither
// move the focus nor press a button. Clicks still arrive.
#pragma once

namespace platform {

bool DialogKeysSuspended();

// Suspends the dialog keys for its lifetime; may nest.
class DialogKeySuspension {
 public:
  DialogKeySuspension();
  ~DialogKeySuspension();
  DialogKeySuspension(const DialogKeySuspension&) = delete;
  DialogKeySuspension& operator=(const DialogKeySuspension&) = delete;
};

}  // namespace platform
