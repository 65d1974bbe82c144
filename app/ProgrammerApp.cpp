#include "ProgrammerApp.h"

#include "MainDlg.h"
#include "resource.h"

bool CProgrammerApp::InitInstance() {
  CMainDlg dialog(IDD_MAIN);
  dialog.DoModal();
  return false;  // the process ends with the main dialog
}
