// The folder the program runs from, where the bundled firmware files lie, and
// the one file-system question the update asks. Each platform answers them in
// a file of its own (program_folder_linux.cpp, program_folder_windows.cpp).
#pragma once

#include <string>

namespace kt9 {

// The folder that holds the program's executable file, with a trailing
// separator, so a file name can be appended directly. Tests may put another
// folder in its place.
std::string ProgramDirectory();
// Replaces the executable's folder for the rest of the run; an empty folder
// brings the executable's back. `folder` gets a trailing separator if it lacks one.
void OverrideProgramDirectory(const std::string& folder);

// True when a file or folder exists at the UTF-8 path.
bool PathExists(const std::string& path);

// Platform parts.
std::string ExecutableDirectory();  // with a trailing separator; empty when unknown
char PathSeparator();

}  // namespace kt9
