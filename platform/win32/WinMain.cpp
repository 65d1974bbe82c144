// The program's entry: the system's controls registered, then the application object's
// InitInstance once. The tool has no message loop of its own beyond its modal dialogs.
#include "platform/CWinApp.h"
#include "platform/win32/System.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX),
                               ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&classes);
  CWinApp* app = AfxGetApp();
  if (!app) return 1;
  app->InitInstance();
  return 0;
}
