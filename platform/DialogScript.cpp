#include "platform/DialogScript.h"

#include <utility>

namespace platform {

namespace {
DialogScript* g_installed = nullptr;
}

DialogScript::DialogScript() { g_installed = this; }

DialogScript::~DialogScript() {
  if (g_installed == this) g_installed = nullptr;
}

DialogScript* DialogScript::Installed() { return g_installed; }

std::optional<CString> DialogScript::TakeFileAnswer(FileDialogRequest request) {
  m_fileDialogs.push_back(std::move(request));
  if (m_answers.empty()) return std::nullopt;
  std::optional<CString> answer = std::move(m_answers.front());
  m_answers.pop_front();
  return answer;
}

int DialogScript::TakeYesNoAnswer() {
  if (m_yesNoAnswers.empty()) return IDNO;
  const int answer = m_yesNoAnswers.front();
  m_yesNoAnswers.pop_front();
  return answer;
}

}  // namespace platform
