#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "backup/file_io.h"

namespace kt9 {

std::optional<std::string> ReadWholeFile(const std::string& path, std::string* error) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    if (error) *error = "Cannot open " + path + ": " + std::strerror(errno);
    return std::nullopt;
  }
  std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (file.bad()) {
    if (error) *error = "Cannot read " + path;
    return std::nullopt;
  }
  return bytes;
}

}  // namespace kt9
