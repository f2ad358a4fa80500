#include "firmware/program_folder.h"

namespace kt9 {

namespace {

std::string& Override() {
  static std::string folder;
  return folder;
}

}  // namespace

std::string ProgramDirectory() { return Override().empty() ? ExecutableDirectory() : Override(); }

void OverrideProgramDirectory(const std::string& folder) {
  Override() = folder;
  if (!folder.empty() && folder.back() != PathSeparator() && folder.back() != '/') Override() += PathSeparator();
}

}  // namespace kt9
