// Linux serial devices as the kernel lists them under /sys/class/tty.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "link/port_list.h"

namespace kt9 {

// Every tty under `classDir` that is bound to a driver, in natural name order
// (ttyACM2 before ttyACM10): device name the driver's name, port name
// `devDir`/<tty>.
std::vector<SerialDevice> ListTtyDevices(const std::filesystem::path& classDir, const std::string& devDir);

}  // namespace kt9
