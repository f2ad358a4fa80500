// The platform's list of serial devices and the rule that picks the pedal's
// port from it; one implementation per platform (port_list_linux.cpp,
// port_list_windows.cpp), chosen in CMake.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/operation_ui.h"

namespace kt9 {

struct SerialDevice {
  std::string deviceName;  // the driver's name for the device
  std::string portName;    // what Communicator::Open opens (COMn, /dev/ttyACMn)
};

// The serial devices in the platform's stable order. A failure to read the
// platform's list is shown through `ui` (when given) and yields an empty list.
std::vector<SerialDevice> ListSerialPorts(OperationUi* ui = nullptr);

// True for a device served by the USB serial driver the pedal shows up on.
bool IsPedalDevice(const SerialDevice& device);

// The first pedal device of `devices`, if any.
std::optional<SerialDevice> FindPedalDevice(const std::vector<SerialDevice>& devices);

}  // namespace kt9
