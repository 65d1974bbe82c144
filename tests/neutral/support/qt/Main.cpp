// The suites' entry with the Qt backend: its windows need an application object (offscreen in
// the tests), made after GoogleTest has taken its own arguments.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  QApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
