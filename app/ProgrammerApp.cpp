#include "app/ProgrammerApp.h"

#include "app/AppNames.h"
#include "app/MainDlg.h"
#include "platform/AppIdentity.h"
#include "platform/DialogTemplate.h"
#include "res/resource.h"
#include "res/templates.h"

bool CProgrammerApp::InitInstance() {
  platform::RegisterResources(res::ToolResources());  // before any dialog is built
  // How the desktop recognises the running tool, whatever the executable file is called.
  platform::AnnounceApplication(UP_PACKAGE_NAME, UP_APP_ID);
  CMainDlg dialog(IDD_MAIN);
  dialog.DoModal();
  return false;  // the process ends with the main dialog
}
