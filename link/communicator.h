// The one serial link object: finds the pedal's port, opens it at the pedal's
// fixed line settings, drains stale input and offers raw byte reads and writes
// under the link's time-outs. It also carries the reply parser state of the
// normal-mode request protocol, which must survive from one read to the next.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/operation_ui.h"

namespace kt9 {

class SerialPort;

// Read time-outs of the working regime. A read of N bytes returns when N bytes
// are in, when more than `interByte` passes between two bytes after the first,
// or after perByte * N + constant in all. Tests shorten them; the defaults are
// the pedal's values.
struct LinkTimeouts {
  std::chrono::milliseconds interByte{100};
  std::chrono::milliseconds perByte{20};
  std::chrono::milliseconds constant{100};
};

// The pauses of the request protocol. The pedal needs them: it answers a read
// only after it has fetched the data, and it stores a write before it can
// answer again. Tests shorten them; the defaults are the pedal's values.
struct RequestPacing {
  std::chrono::milliseconds afterRequest{50};        // between a read or system write request and its reply
  std::chrono::milliseconds afterSystemWrite{500};   // after the system record is stored
  std::chrono::milliseconds betweenBusyPolls{100};   // between two busy-status polls
  std::chrono::milliseconds betweenEmptyAcks{50};    // after an empty read for a patch write's ack
  std::chrono::milliseconds busyLimit{30000};        // a pedal busy for longer has failed the write
};

// How a Communicator finds and watches its port.
struct LinkOptions {
  std::string port;       // explicit port path; empty: discover the pedal
  bool trace = false;     // hex dump of every byte crossing the link to stderr
  LinkTimeouts timeouts;  // working time-outs
  RequestPacing pacing;   // pauses of the request protocol

  // Port from KT9_PORT, trace from KT9_TRACE=1, default time-outs.
  static LinkOptions FromEnvironment();
};

// Reply parser state of the request protocol (see device_requests.h).
struct ReplyParser {
  uint16_t state = 0;
  uint8_t command = 0;
  uint8_t addressHigh = 0, addressLow = 0;
  uint16_t address = 0;
  uint8_t lengthHigh = 0, lengthLow = 0;
  uint16_t length = 0;
  std::vector<uint8_t> payload;  // empty: no payload buffer
  bool hasPayload = false;
  uint16_t received = 0;
  uint16_t checksum = 0;
  uint8_t endByte = 0;
};

class Communicator {
 public:
  static constexpr std::size_t kQueueSize = 3673;  // driver queues and raw read buffer

  explicit Communicator(LinkOptions options = LinkOptions::FromEnvironment());
  ~Communicator();
  Communicator(const Communicator&) = delete;
  Communicator& operator=(const Communicator&) = delete;

  // Finds the pedal's port (the explicit port, or the first serial device
  // the port list takes for the pedal: "USBSER" in its device name on
  // Windows, the cdc_acm driver on Linux), opens it exclusively, sets the line
  // settings, drains stale input and applies the working time-outs. Closes an
  // earlier open port first. When no port is found, or the port cannot be
  // opened or set up, it shows "Device not found" through `ui` (when given),
  // leaves the reason in OpenHint() and returns false.
  bool Open(OperationUi* ui = nullptr);
  // Closes the port and resets the reply parser.
  void Close();
  bool IsOpen() const { return open_ != 0; }
  const std::string& PortName() const { return portName_; }

  // One platform write of the whole run; its success.
  bool WriteBytes(const uint8_t* data, std::size_t count);
  // One platform read of up to `count` bytes (kQueueSize when 0) under the
  // working time-outs. False only when the read itself fails (including a
  // hung-up port); a time-out with no bytes succeeds with an empty vector.
  bool ReadBytes(std::size_t count, std::vector<uint8_t>& out);
  // Throws away whatever input is already waiting, without waiting for more
  // (the read regime of the open's drain), then restores the working
  // time-outs. The bootloader protocol drains before every request, so a late
  // reply to an earlier attempt is never taken for the answer to this one.
  bool Drain();

  ReplyParser& Parser() { return parser_; }
  const LinkOptions& Options() const { return options_; }

  // Why the last Open failed beyond "not found" (for instance a port that
  // exists but cannot be opened); empty when there is nothing to add.
  const std::string& OpenHint() const { return openHint_; }

 private:
  bool Fail(OperationUi* ui, std::string hint);
  bool ReadBytes(std::size_t count, std::vector<uint8_t>& out, const char* traceDirection);

  LinkOptions options_;
  int32_t open_ = 0;
  std::unique_ptr<SerialPort> port_;
  std::string portName_;
  std::string openHint_;
  ReplyParser parser_;
};

}  // namespace kt9
