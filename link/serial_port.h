// The platform's serial port behind one seam: one implementation per platform
// (serial_port_posix.cpp, serial_port_windows.cpp), chosen in CMake.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/communicator.h"

namespace kt9 {

class SerialPort {
 public:
  virtual ~SerialPort() = default;

  // Line settings of the pedal: 115200 baud, 8N1, no handshake lines, no
  // software flow control, driver queues of Communicator::kQueueSize.
  virtual bool Configure() = 0;

  // The read regime in force. Without time-outs a read returns at once with
  // what is already buffered (the drain); with them a read of N bytes returns
  // when N bytes are in, when more than `interByte` passes between two bytes,
  // or after perByte * N + constant in all. Writes of N bytes are bounded by
  // perByte * N + constant of the working time-outs.
  virtual bool SetTimeouts(std::optional<LinkTimeouts> timeouts) = 0;

  // One read of up to `count` bytes (count > 0) into `out` (replaced). False
  // when the read itself fails, including a port that was hung up.
  virtual bool Read(std::size_t count, std::vector<uint8_t>& out) = 0;

  // One write of the whole run; false when it fails or does not finish in
  // its time-out.
  virtual bool Write(const uint8_t* data, std::size_t count) = 0;
};

// Why a port could not be opened.
enum class PortOpenError { kNone, kMissing, kBusy, kNoPermission, kOther };

struct PortOpenResult {
  std::unique_ptr<SerialPort> port;  // null when the open failed
  PortOpenError error = PortOpenError::kNone;
  std::string detail;                // the platform's own words for the failure
};

// Opens `name` for exclusive reading and writing.
PortOpenResult OpenSerialPort(const std::string& name);

}  // namespace kt9
