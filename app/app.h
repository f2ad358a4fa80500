// CKT9AssistantApp: the program's start-up. It holds the program-wide state,
// shows the main window modally and ends the program when it closes.
#pragma once

#include "app/program_state.h"

namespace kt9 {

class CKT9AssistantApp {
 public:
  // Runs the main window to its end; the program's exit code.
  int Run();

 private:
  ProgramState state_;  // before the main window, released after it
};

}  // namespace kt9
