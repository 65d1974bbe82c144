// For tests only: while a DialogScript exists, file dialogs take their answers from its queue and
// message boxes only record their text, so that commands which ask the user run without a person
// and without any window appearing. The program itself never creates one.
#pragma once

#include <deque>
#include <optional>
#include <vector>

#include "platform/CString.h"
#include "platform/WinTypes.h"

namespace platform {

class DialogScript {
 public:
  // What a file dialog was asked to show.
  struct FileDialogRequest {
    bool open;
    DWORD flags;
    CString filter;
  };

  DialogScript();  // installs this script; one at a time
  ~DialogScript();
  DialogScript(const DialogScript&) = delete;
  DialogScript& operator=(const DialogScript&) = delete;

  // The next file dialog ends with OK and this path (in the file system's encoding).
  void AnswerPath(const CString& path) { m_answers.emplace_back(path); }
  // The next file dialog is cancelled; so is any dialog that finds the queue empty.
  void AnswerCancel() { m_answers.emplace_back(std::nullopt); }

  // The next Yes/No message box answers this (IDYES or IDNO); an empty queue answers IDNO.
  void AnswerYesNo(int answer) { m_yesNoAnswers.push_back(answer); }

  const std::vector<FileDialogRequest>& FileDialogs() const { return m_fileDialogs; }
  const std::vector<CString>& Messages() const { return m_messages; }

  // The layer's side: the installed script, or null when real dialogs are shown.
  static DialogScript* Installed();
  // Records the request and returns the path to answer with, or nothing for a cancel.
  std::optional<CString> TakeFileAnswer(FileDialogRequest request);
  int TakeYesNoAnswer();
  void RecordMessage(const char* text) { m_messages.emplace_back(text ? text : ""); }

 private:
  std::deque<std::optional<CString>> m_answers;
  std::deque<int> m_yesNoAnswers;
  std::vector<FileDialogRequest> m_fileDialogs;
  std::vector<CString> m_messages;
};

}  // namespace platform
