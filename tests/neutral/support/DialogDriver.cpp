#include "tests/neutral/support/DialogDriver.h"

#include <filesystem>

#include "platform/Files.h"
#include "platform/ModulePath.h"
#include "tests/neutral/support/Files.h"

namespace neutral {

namespace {

std::string ConfigPathBesideExecutable() {
  std::string path = platform::GetModuleFileName();
  path.erase(path.rfind(platform::kDirectorySeparator) + 1);
  return path + "config.inf";
}

}  // namespace

int RunModal(CDialog& dialog, const std::function<void()>& whileShown) {
  backend::WhenModalLoopRuns([&] {
    whileShown();
    dialog.EndDialog(-2);  // ends nothing when whileShown ended it already
  });
  return dialog.DoModal();
}

void Click(CDialog& dialog, int id) {
  CWnd* control = dialog.GetDlgItem(id);
  if (!control || !backend::PressButton(*control)) dialog.SendCommand(id);
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

bool WriteConfigBesideExecutable(const std::string& content) {
  return platform::ReplaceFile(ConfigPathBesideExecutable().c_str(), content);
}

bool RemoveConfigBesideExecutable() {
  std::error_code error;
  std::filesystem::remove(FromUtf8(ConfigPathBesideExecutable()), error);
  return !error;
}

}  // namespace neutral
