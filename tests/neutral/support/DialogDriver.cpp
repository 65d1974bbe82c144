#include "tests/neutral/support/DialogDriver.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <utility>

#include "platform/Files.h"
#include "platform/MessagePump.h"
#include "platform/ModulePath.h"
#include "tests/neutral/support/Files.h"
#include "tests/neutral/support/ModalWatchdog.h"

namespace neutral {

namespace {

// Input queued by the backend is handled by one pump: what it opens runs its own loop inside.
void HandleQueuedInput() { platform::PeekAndDispatchMessage(); }

// Looks again from each loop that runs until a window other than the one that was on top is up,
// then answers it there.
struct NextDialogAnswer {
  const void* under;
  std::chrono::steady_clock::time_point deadline;
  std::function<void(const std::string&)> answer;

  void operator()() const {
    const backend::TopWindow top = backend::FindTopWindow();
    if (top.handle && top.handle != under) {
      if (!backend::BringUp(top)) ADD_FAILURE() << "\"" << top.title << "\" did not come up";
      answer(top.title);
      return;
    }
    if (std::chrono::steady_clock::now() > deadline) {
      ADD_FAILURE() << "no dialog opened to be answered";
      return;
    }
    backend::WhenModalLoopRuns(*this);
  }
};

}  // namespace

void ReportToGoogleTest(const std::string& message) { ADD_FAILURE() << message; }

int RunModal(CDialog& dialog, const std::function<void()>& whileShown,
             const FailureReport& report) {
  backend::WhenModalLoopRuns([&] {
    const backend::TopWindow top = backend::FindTopWindow();
    if (!backend::BringUp(top)) report("\"" + top.title + "\" did not come up");
    whileShown();
    // Unless whileShown ended it: ending it again would change its result.
    if (backend::IsVisible(dialog)) dialog.EndDialog(-2);
  });
  const ModalWatchdog watchdog(report);
  return dialog.DoModal();
}

void Click(CDialog& dialog, int id) {
  CWnd* control = dialog.GetDlgItem(id);
  if (control && backend::PostClick(*control)) {
    HandleQueuedInput();
  } else {
    dialog.SendCommand(id);
  }
}

void Type(CWnd& box, const std::string& text) { box.SetWindowText(text.c_str()); }

std::string TextOf(const CWnd& window) {
  CString text;
  window.GetWindowText(text);
  return text;
}

std::string TextOf(const CWnd& dialog, int id) {
  const CWnd* control = dialog.GetDlgItem(id);
  return control ? TextOf(*control) : "<no control>";
}

void PressKey(Key key) {
  backend::PostKey(key);
  HandleQueuedInput();
}

void ClickCloseBox(CDialog& dialog) {
  backend::PostCloseBox(dialog);
  HandleQueuedInput();
}

bool ChooseMenuItem(CDialog& dialog, const std::string& title, const std::string& item) {
  if (!backend::PostMenuCommand(dialog, title, item)) return false;
  HandleQueuedInput();
  return true;
}

void AnswerNextDialog(std::function<void(const std::string& title)> answer) {
  backend::WhenModalLoopRuns(NextDialogAnswer{
      backend::FindTopWindow().handle, std::chrono::steady_clock::now() + std::chrono::seconds(10),
      std::move(answer)});
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    if (!platform::PeekAndDispatchMessage()) platform::BlockForMessage(10'000);
  }
  return true;
}

std::string PathBesideExecutable(const std::string& name) {
  std::string path = platform::GetModuleFileName();
  path.erase(path.rfind(platform::kDirectorySeparator) + 1);
  return path + name;
}

bool WriteConfigBesideExecutable(const std::string& content) {
  return platform::ReplaceFile(PathBesideExecutable("config.inf").c_str(), content);
}

bool RemoveConfigBesideExecutable() {
  std::error_code error;
  std::filesystem::remove(FromUtf8(PathBesideExecutable("config.inf")), error);
  return !error;
}

}  // namespace neutral
