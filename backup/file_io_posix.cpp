// POSIX: write a temporary file beside the target, fsync it, rename it over
// the target and fsync the folder so the rename itself survives a power cut.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "backup/file_io.h"

namespace kt9 {

namespace {

bool Fail(std::string* error, const std::string& what, const std::string& path) {
  if (error) *error = what + " " + path + ": " + std::strerror(errno);
  return false;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// A fresh name beside the target; O_EXCL makes sure it is our own file.
int CreateTemporary(const std::string& path, std::string& temporary) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error) {
  std::string temporary;
  const int fd = CreateTemporary(path, temporary);
  if (fd < 0) return Fail(error, "Cannot create a file beside", path);
  if (!WriteAll(fd, bytes) || ::fsync(fd) != 0) {
    Fail(error, "Cannot write", temporary);
    ::close(fd);
    ::unlink(temporary.c_str());
    return false;
  }
  if (::close(fd) != 0) {
    Fail(error, "Cannot write", temporary);
    ::unlink(temporary.c_str());
    return false;
  }
  if (::rename(temporary.c_str(), path.c_str()) != 0) {
    Fail(error, "Cannot replace", path);
    ::unlink(temporary.c_str());
    return false;
  }
  const int folder = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    ::fsync(folder);  // best effort: some file systems cannot sync a folder
    ::close(folder);
  }
  return true;
}

}  // namespace kt9
