#include <gtest/gtest.h>

#include <QApplication>

// The widgets need a QApplication. Without a display (also when the test list
// is taken at build time) the offscreen platform stands in.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  QApplication::setApplicationDisplayName(QStringLiteral("KT-9 Assistant"));
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
