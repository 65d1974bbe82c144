#include "platform/DialogAnswerSource.h"

namespace platform {

namespace {
DialogAnswerSource* g_source = nullptr;
}

void SetDialogAnswerSource(DialogAnswerSource* source) { g_source = source; }

DialogAnswerSource* InstalledDialogAnswerSource() { return g_source; }

}  // namespace platform
