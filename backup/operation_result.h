// How a backup or a restore ended, for callers that act on it (the command
// line's exit status). The operation has already told the user.
#pragma once

namespace kt9 {

enum class OperationResult {
  Completed,  // everything done and checked
  Cancelled,  // the user closed a file prompt; nothing was changed
  Failed,     // anything else; a message said what
};

}  // namespace kt9
