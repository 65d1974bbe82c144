// The message box as a modal layer of the page: the text, the caption, and OK or Yes and No.
// Escape and the close box answer No (OK for a box with OK alone).
#include "platform/Backend.h"
#include "platform/web/Page.h"
#include "platform/web/PageText.h"
#include "platform/web/PageWindows.h"
#include "platform/web/Pump.h"

bool platform::backend::ShowMessageBox(const char* text, const char* caption,
                                       MessageBoxButtons buttons) {
  const web::PageText shown = web::ToPage(text);
  const web::PageText title = web::ToPage(caption);
  const int box =
      up_message_box_create(shown.data, shown.length, shown.encoding, title.data, title.length,
                            title.encoding, buttons == MessageBoxButtons::YesNo ? 1 : 0);
  int answer = 0;
  web::SetCommandSink(box, [&answer](int id) { answer = id; });
  web::RunModalLoop([&answer] { return answer != 0; });
  web::Forget(box);
  up_window_destroy(box);
  return answer == IDYES;
}
