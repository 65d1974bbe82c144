// The program's entry: owns the toolkit's application and runs the application object's
// InitInstance once. The tool has no message loop of its own beyond its modal dialogs.
#include <QApplication>

#include "platform/CWinApp.h"
#include "platform/qt/DialogLook.h"
#include "platform/qt/WaylandSeat.h"

int main(int argc, char** argv) {
  platform::AvoidInputMethodWithoutSeat();
  QApplication application(argc, argv);
  platform::UseClassicLook();
  CWinApp* app = AfxGetApp();
  if (!app) return 1;
  app->InitInstance();
  return 0;
}
