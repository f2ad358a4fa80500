// Linux: the executable is what /proc/self/exe links to.
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "firmware/program_folder.h"

namespace kt9 {

std::string ExecutableDirectory() {
  std::vector<char> buffer(4096);
  const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= buffer.size()) return {};
  const std::string path(buffer.data(), static_cast<std::size_t>(length));
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

char PathSeparator() { return '/'; }

bool PathExists(const std::string& path) {
  struct stat info{};
  return !path.empty() && stat(path.c_str(), &info) == 0;
}

}  // namespace kt9
