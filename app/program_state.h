// What lives for the whole run, created before the main window and released
// after it: the link settings taken from the environment, the path of the
// last backup file picked (so the next save prompt starts there) and the
// shared link of the firmware update page, closed until its Verify opens it.
#pragma once

#include <string>

#include "link/communicator.h"

namespace kt9 {

struct ProgramState {
  LinkOptions link = LinkOptions::FromEnvironment();
  std::string lastBackupPath;
  Communicator communicator{link};
};

}  // namespace kt9
