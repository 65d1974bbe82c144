// Dialog answers from a script: while one exists, file dialogs take their answers from its queue
// and message boxes only record their text (see platform/DialogAnswerSource.h).
#pragma once

#include <deque>
#include <optional>
#include <vector>

#include "platform/CString.h"
#include "platform/DialogAnswerSource.h"

namespace neutral {

class ScriptedDialogs : public platform::DialogAnswerSource {
 public:
  ScriptedDialogs();  // installs this script; one at a time
  ~ScriptedDialogs() override;
  ScriptedDialogs(const ScriptedDialogs&) = delete;
  ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

  // The next file dialog ends with OK and this path (in the file system's encoding).
  void AnswerPath(const CString& path) { m_answers.emplace_back(path); }
  // The next file dialog is cancelled; so is any dialog that finds the queue empty.
  void AnswerCancel() { m_answers.emplace_back(std::nullopt); }

  // The next Yes/No message box answers this (IDYES or IDNO); an empty queue answers IDNO.
  void AnswerYesNo(int answer) { m_yesNoAnswers.push_back(answer); }

  // What the file dialogs were asked to show, and the texts of the message boxes, in order.
  const std::vector<platform::FileDialogRequest>& FileDialogs() const { return m_fileDialogs; }
  const std::vector<CString>& Messages() const { return m_messages; }

  std::optional<CString> AnswerFileDialog(const platform::FileDialogRequest& request) override;
  int AnswerMessageBox(const char* text, UINT type) override;

 private:
  std::deque<std::optional<CString>> m_answers;
  std::deque<int> m_yesNoAnswers;
  std::vector<platform::FileDialogRequest> m_fileDialogs;
  std::vector<CString> m_messages;
};

}  // namespace neutral
