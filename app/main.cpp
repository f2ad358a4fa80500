#include <QApplication>

#include "app/app.h"
#include "app/program_texts.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QString::fromUtf8(kt9::kProgramName));
  QApplication::setApplicationDisplayName(QString::fromUtf8(kt9::kProgramName));
  QApplication::setApplicationVersion(QString::fromUtf8(kt9::kProgramVersion));
  kt9::CKT9AssistantApp program;
  return program.Run();
}
