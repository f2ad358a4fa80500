// The serial devices of a Linux system. The pedal is a USB CDC ACM device, so
// it is the tty whose driver is cdc_acm; Windows' "USBSER" never appears here.
#include "link/port_list_linux.h"

#include <algorithm>
#include <cctype>
#include <system_error>

namespace kt9 {
namespace {

// Orders names by their text, with runs of digits compared as numbers.
bool NaturalLess(const std::string& a, const std::string& b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (std::isdigit(static_cast<unsigned char>(a[i])) && std::isdigit(static_cast<unsigned char>(b[j]))) {
      std::size_t ei = i, ej = j;
      while (ei < a.size() && std::isdigit(static_cast<unsigned char>(a[ei]))) ++ei;
      while (ej < b.size() && std::isdigit(static_cast<unsigned char>(b[ej]))) ++ej;
      const std::string na = a.substr(i, ei - i), nb = b.substr(j, ej - j);
      if (na.size() != nb.size()) return na.size() < nb.size();
      if (na != nb) return na < nb;
      i = ei;
      j = ej;
      continue;
    }
    if (a[i] != b[j]) return a[i] < b[j];
    ++i;
    ++j;
  }
  return a.size() - i < b.size() - j;
}

}  // namespace

std::vector<SerialDevice> ListTtyDevices(const std::filesystem::path& classDir, const std::string& devDir) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(classDir, error)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end(), NaturalLess);
  std::vector<SerialDevice> devices;
  for (const std::string& name : names) {
    std::error_code linkError;
    const auto driver = std::filesystem::read_symlink(classDir / name / "device" / "driver", linkError);
    if (linkError) continue;  // virtual consoles and pseudo-terminals have no driver
    devices.push_back({driver.filename().string(), devDir + "/" + name});
  }
  return devices;
}

std::vector<SerialDevice> ListSerialPorts(OperationUi*) { return ListTtyDevices("/sys/class/tty", "/dev"); }

bool IsPedalDevice(const SerialDevice& device) { return device.deviceName == "cdc_acm"; }

}  // namespace kt9
