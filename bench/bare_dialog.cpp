// The yardstick for the tool's start-up: a bare Qt dialog of the example form's size with a line
// of text and a button, and nothing of the tool. The text matters: a dialog without any never
// starts the font machinery (fontconfig's set-up, a font loaded), which every dialog a person
// reads does. bench/startup.sh starts it in turn with the tool.
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QDialog dialog;
  dialog.setWindowTitle(QStringLiteral("Bare dialog"));
  dialog.resize(360, 260);
  new QLabel(QStringLiteral("Sunrise hour (0 to 23)"), &dialog);
  auto* button = new QPushButton(QStringLiteral("OK"), &dialog);
  button->move(5, 185);
  QObject::connect(button, &QPushButton::clicked, &dialog, &QDialog::accept);
  return dialog.exec();
}
