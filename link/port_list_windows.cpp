// The serial devices of a Windows system: the serial-port map of the
// registry. The pedal is served by the USB CDC serial driver, whose device
// names contain "USBSER".
#include <windows.h>

#include "link/port_list.h"

namespace kt9 {
namespace {

std::string Narrow(const wchar_t* text, std::size_t length) {
  if (length == 0) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), narrow.data(), size, nullptr, nullptr);
  return narrow;
}

}  // namespace

std::vector<SerialDevice> ListSerialPorts(OperationUi* ui) {
  std::vector<SerialDevice> devices;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) != ERROR_SUCCESS) {
    if (ui != nullptr) ui->ShowMessage("Cannot access the Windows registry...");
    return devices;
  }
  for (DWORD index = 0;; ++index) {
    wchar_t name[4096];
    DWORD nameLength = 4096;
    BYTE data[8192] = {};
    DWORD dataSize = sizeof data - sizeof(wchar_t);  // room for a terminator the registry may omit
    DWORD type = 0;
    const LONG status = RegEnumValueW(key, index, name, &nameLength, nullptr, &type, data, &dataSize);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status != ERROR_SUCCESS) continue;
    SerialDevice device;
    device.deviceName = Narrow(name, nameLength);
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
      const auto* text = reinterpret_cast<const wchar_t*>(data);
      device.portName = Narrow(text, wcsnlen(text, dataSize / sizeof(wchar_t)));
    }
    devices.push_back(device);
  }
  RegCloseKey(key);
  return devices;
}

bool IsPedalDevice(const SerialDevice& device) { return device.deviceName.find("USBSER") != std::string::npos; }

}  // namespace kt9
