// Windows: the module file name of the running executable; paths are UTF-8
// in the program and wide at the system's interface.
#include <windows.h>

#include <vector>

#include "firmware/program_folder.h"

namespace kt9 {

namespace {

std::wstring Widen(const std::string& text) {
  const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
  return wide;
}

std::string Narrow(const std::wstring& text) {
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(), size, nullptr, nullptr);
  return narrow;
}

}  // namespace

std::string ExecutableDirectory() {
  // Long paths need more than MAX_PATH; grow until the name fits.
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) {
      const std::wstring path(buffer.data(), length);
      const std::size_t slash = path.find_last_of(L"\\/");
      return slash == std::wstring::npos ? std::string() : Narrow(path.substr(0, slash + 1));
    }
    if (buffer.size() >= 32768) return {};
    buffer.resize(buffer.size() * 2);
  }
}

char PathSeparator() { return '\\'; }

bool PathExists(const std::string& path) {
  return !path.empty() && GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace kt9
