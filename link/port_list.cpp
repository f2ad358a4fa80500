#include "link/port_list.h"

namespace kt9 {

std::optional<SerialDevice> FindPedalDevice(const std::vector<SerialDevice>& devices) {
  for (const SerialDevice& device : devices) {
    if (IsPedalDevice(device)) return device;
  }
  return std::nullopt;
}

}  // namespace kt9
