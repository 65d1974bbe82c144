// The program's entry: reads the command line, then owns the toolkit's application and runs the
// application object's InitInstance once. The tool has no message loop of its own beyond its
// modal dialogs.
#include <QApplication>
#include <vector>

#include "platform/CWinApp.h"
#include "platform/CommandLine.h"
#include "platform/qt/DialogLook.h"
#include "platform/qt/WaylandSeat.h"

int main(int argc, char** argv) {
  CWinApp* app = AfxGetApp();
  if (!app) return 1;
  // Before the application connects to a display: --help needs none.
  const std::vector<CString> arguments(argv, argv + argc);
  const platform::CommandLineSyntax& syntax = app->GetCommandLineSyntax();
  app->m_cmdInfo = platform::ParseCommandLine(arguments, syntax);
  if (app->m_cmdInfo.action != platform::CCommandLineInfo::Action::Run) {
    return platform::AnswerCommandLine(app->m_cmdInfo, syntax, argc > 0 ? argv[0] : "");
  }
  platform::qt::AvoidInputMethodWithoutSeat();
  QApplication application(argc, argv);
  platform::qt::UseClassicLook();
  app->InitInstance();
  return 0;
}
