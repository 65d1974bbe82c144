// The page drops Tab, Enter and Escape before any dialog sees them while they are filtered.
#include "platform/Backend.h"
#include "platform/web/Page.h"

void platform::backend::FilterDialogKeys(bool filtered) { up_filter_dialog_keys(filtered ? 1 : 0); }
