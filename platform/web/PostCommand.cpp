#include "platform/CDialog.h"
#include "platform/web/Page.h"
#include "platform/web/PageWindows.h"

// Queued behind whatever the page has queued already; the dialog's run is showing its layer by
// the time its loop takes it, and a layer closed meanwhile takes it with it.
void CDialog::PostCommand(int id) {
  const int window = platform::web::HandleOf(*this);
  if (window != 0) up_post_command(window, id);
}
