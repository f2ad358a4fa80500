#include "app/app.h"

#include "app/main_window.h"
#include "app/platform_shell.h"

namespace kt9 {

int CKT9AssistantApp::Run() {
  PlatformStartUp();
  {
    CKT9AssistantDlg window(state_);
    window.exec();
  }
  state_.communicator.Close();
  return 0;
}

}  // namespace kt9
