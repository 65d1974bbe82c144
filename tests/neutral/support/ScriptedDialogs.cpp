#include "tests/neutral/support/ScriptedDialogs.h"

#include <utility>

namespace neutral {

ScriptedDialogs::ScriptedDialogs() { platform::SetDialogAnswerSource(this); }

ScriptedDialogs::~ScriptedDialogs() {
  if (platform::InstalledDialogAnswerSource() == this) platform::SetDialogAnswerSource(nullptr);
}

std::optional<CString> ScriptedDialogs::AnswerFileDialog(
    const platform::FileDialogRequest& request) {
  m_fileDialogs.push_back(request);
  if (m_answers.empty()) return std::nullopt;
  std::optional<CString> answer = std::move(m_answers.front());
  m_answers.pop_front();
  return answer;
}

int ScriptedDialogs::AnswerMessageBox(const char* text, UINT type) {
  m_messages.emplace_back(text ? text : "");
  if ((type & MB_YESNO) != MB_YESNO) return IDOK;
  if (m_yesNoAnswers.empty()) return IDNO;
  const int answer = m_yesNoAnswers.front();
  m_yesNoAnswers.pop_front();
  return answer;
}

}  // namespace neutral
