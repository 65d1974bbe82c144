#include "app/ProgrammerApp.h"

#include "app/AppNames.h"
#include "app/MainDlg.h"
#include "platform/AppIdentity.h"
#include "platform/DialogTemplate.h"
#include "res/resource.h"
#include "res/templates.h"

namespace {
// The options in the order of CCommandLineInfo::optionValues.
enum OptionIndex { kConfigOption };
constexpr platform::CommandLineOption kOptions[] = {
    {"config", "PATH", "Take the form from this config.inf instead of the one beside the program."},
};
}  // namespace

const platform::CommandLineSyntax& CProgrammerApp::GetCommandLineSyntax() const {
  static const platform::CommandLineSyntax kSyntax{
      .programName = UP_PACKAGE_NAME,
      .version = UP_VERSION,
      .description = "Sends settings to a small device through the screen.",
      .documentName = "FILE.tss",
      .documentDescription = "Saved settings to load into the form, as File > Open does.",
      .options = kOptions,
  };
  return kSyntax;
}

bool CProgrammerApp::InitInstance() {
  platform::RegisterResources(res::ToolResources());  // before any dialog is built
  // How the desktop recognises the running tool, whatever the executable file is called.
  platform::AnnounceApplication(UP_PACKAGE_NAME, UP_APP_ID);
  CMainDlg dialog(IDD_MAIN);
  dialog.UseConfigFile(m_cmdInfo.GetOption(kConfigOption));
  dialog.OpenAtStart(m_cmdInfo.m_strFileName);
  dialog.DoModal();
  return false;  // the process ends with the main dialog
}
