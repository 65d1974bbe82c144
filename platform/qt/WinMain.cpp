// The program's entry: reads the command line, then owns the toolkit's application and runs the
// application object's InitInstance once. The tool has no message loop of its own beyond its
// modal dialogs.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
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
  // Qt 6.4's Wayland client can deadlock as it closes its connection to the compositor: its event
  // thread waits inside libwayland for a read that no thread will do any more, while the main
  // thread waits for that thread to end. The window is gone, but the process never ends (about one
  // exit in six after a run here). Everything the tool writes is closed by now, and a compositor
  // frees whatever a client leaves behind: on Wayland the process ends without the teardown.
  if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
    std::fflush(nullptr);
    std::_Exit(0);
  }
  return 0;
}
