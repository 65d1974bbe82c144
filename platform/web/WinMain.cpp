// The program's entry in the page: runs the application object's InitInstance once, which
// returns when the main dialog has closed; the page then says that the tool has ended. main
// suspends (Asyncify) whenever a dialog waits for the page, and the page runs meanwhile.
#include <vector>

#include "platform/CWinApp.h"
#include "platform/CommandLine.h"
#include "platform/ModulePath.h"
#include "platform/web/Page.h"

int main() {
  CWinApp* app = AfxGetApp();
  if (!app) return 1;
  const std::vector<CString> arguments{platform::GetModuleFileName()};
  app->m_cmdInfo = platform::ParseCommandLine(arguments, app->GetCommandLineSyntax());
  app->InitInstance();
  up_application_ended();
  return 0;
}
