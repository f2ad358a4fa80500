#include <cerrno>
#include <cstdio>
#include <cstring>

#include "backup/file_io.h"

namespace kt9 {

std::optional<std::string> ReadWholeFile(const std::string& path, std::string* error) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) {
    if (error) *error = "Cannot open " + path + ": " + std::strerror(errno);
    return std::nullopt;
  }
  std::string bytes;
  char chunk[65536];
  std::size_t count = 0;
  while ((count = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, count);
  const bool failed = std::ferror(file) != 0;
  const int reason = errno;
  std::fclose(file);
  if (failed) {
    if (error) *error = "Cannot read " + path + ": " + std::strerror(reason);
    return std::nullopt;
  }
  return bytes;
}

}  // namespace kt9
