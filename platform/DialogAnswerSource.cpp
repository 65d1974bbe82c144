#include "platform/DialogAnswerSource.h"

namespace platform {

namespace {
DialogAnswerSource* g_answerSource = nullptr;
}

void SetDialogAnswerSource(DialogAnswerSource* source) { g_answerSource = source; }

DialogAnswerSource* InstalledDialogAnswerSource() { return g_answerSource; }

}  // namespace platform
