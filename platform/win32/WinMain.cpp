// The program's entry: the command line read, the system's controls registered, then the
// application object's InitInstance once. The tool has no message loop of its own beyond its
// modal dialogs.
#include <vector>

#include "platform/CWinApp.h"
#include "platform/CommandLine.h"
#include "platform/win32/System.h"
#include "platform/win32/WidePath.h"

namespace {

// The arguments as the system splits its command line (quotes, backslashes), in UTF-8.
std::vector<CString> CommandLineArguments() {
  std::vector<CString> arguments;
  int count = 0;
  if (LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
    for (int i = 0; i < count; ++i) arguments.push_back(platform::win32::Utf8Path(wide[i]));
    LocalFree(wide);
  }
  return arguments;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  CWinApp* app = AfxGetApp();
  if (!app) return 1;
  const std::vector<CString> arguments = CommandLineArguments();
  const platform::CommandLineSyntax& syntax = app->GetCommandLineSyntax();
  app->m_cmdInfo = platform::ParseCommandLine(arguments, syntax);
  if (app->m_cmdInfo.action != platform::CCommandLineInfo::Action::Run) {
    return platform::AnswerCommandLine(app->m_cmdInfo, syntax,
                                       arguments.empty() ? CString() : arguments.front());
  }
  INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX),
                               ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&classes);
  app->InitInstance();
  return 0;
}
