// The yardstick for the tool's start-up: a bare Qt dialog of the example form's size, with nothing
// of the tool in it. bench/startup.sh starts it in turn with the tool.
#include <QApplication>
#include <QDialog>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QDialog dialog;
  dialog.setWindowTitle(QStringLiteral("Bare dialog"));
  dialog.resize(360, 260);
  return dialog.exec();
}
