// Windows: write a temporary file beside the target, flush it to the disk and
// move it over the target with a write-through replace.
#include <windows.h>

#include "backup/file_io.h"

namespace kt9 {

namespace {

std::wstring Wide(const std::string& utf8) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
  return wide;
}

bool Fail(std::string* error, const std::string& what, const std::string& path) {
  if (error) *error = what + " " + path + " (error " + std::to_string(GetLastError()) + ")";
  return false;
}

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = bytes.size() > 0x40000000 ? 0x40000000 : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error) {
  const std::string temporary = path + ".tmp-" + std::to_string(GetCurrentProcessId());
  const std::wstring wideTemporary = Wide(temporary);
  HANDLE file = CreateFileW(wideTemporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return Fail(error, "Cannot create a file beside", path);
  const bool written = WriteAll(file, bytes) && FlushFileBuffers(file);
  if (!written) Fail(error, "Cannot write", temporary);
  CloseHandle(file);
  if (!written) {
    DeleteFileW(wideTemporary.c_str());
    return false;
  }
  if (!MoveFileExW(wideTemporary.c_str(), Wide(path).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    Fail(error, "Cannot replace", path);
    DeleteFileW(wideTemporary.c_str());
    return false;
  }
  return true;
}

}  // namespace kt9
