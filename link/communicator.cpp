#include "link/communicator.h"

#include "link/link_trace.h"
#include "link/port_list.h"
#include "link/serial_port.h"

namespace kt9 {
namespace {

const char* const kNoPedalHint =
    "No serial device looks like the pedal. Is it connected and switched on? A port can also be given "
    "with --port PATH or KT9_PORT.";

std::string HintFor(const std::string& portName, PortOpenError error, const std::string& detail) {
  switch (error) {
    case PortOpenError::kNoPermission:
      return portName + " exists but cannot be opened (" + detail +
             "). Serial ports usually belong to the dialout group: add yourself to it "
             "(sudo usermod -aG dialout $USER) and log in again.";
    case PortOpenError::kBusy:
      return portName + " is in use by another program (" + detail + ").";
    case PortOpenError::kMissing:
      return portName + " does not exist.";
    case PortOpenError::kOther:
      return portName + " cannot be opened (" + detail + ").";
    case PortOpenError::kNone:
      break;
  }
  return {};
}

}  // namespace

Communicator::Communicator(LinkOptions options) : options_(std::move(options)) {}

Communicator::~Communicator() { Close(); }

bool Communicator::Open(OperationUi* ui) {
  Close();
  openHint_.clear();
  portName_ = options_.port;
  if (portName_.empty()) {
    if (const auto device = FindPedalDevice(ListSerialPorts(ui))) portName_ = device->portName;
  }
  if (portName_.empty()) return Fail(ui, kNoPedalHint);

  PortOpenResult opened = OpenSerialPort(portName_);
  if (!opened.port) return Fail(ui, HintFor(portName_, opened.error, opened.detail));
  port_ = std::move(opened.port);
  if (!port_->Configure() || !port_->SetTimeouts(std::nullopt)) {
    port_.reset();
    return Fail(ui, portName_ + " does not take the pedal's line settings; is it a serial port?");
  }
  // Whatever the pedal or the driver left in the input queue belongs to no
  // request of ours.
  std::vector<uint8_t> stale;
  ReadBytes(0, stale, "drop");
  port_->SetTimeouts(options_.timeouts);
  open_ = 1;
  return true;
}

bool Communicator::Fail(OperationUi* ui, std::string hint) {
  openHint_ = std::move(hint);
  if (ui != nullptr) ui->ShowMessage("Device not found");
  return false;
}

void Communicator::Close() {
  open_ = 0;
  port_.reset();
  // A frame cut short before the close can never be completed by bytes
  // arriving after a reopen (the drain throws the rest away).
  parser_ = ReplyParser{};
}

bool Communicator::WriteBytes(const uint8_t* data, std::size_t count) {
  if (options_.trace) WriteTrace("send", data, count);
  return port_ != nullptr && port_->Write(data, count);
}

bool Communicator::ReadBytes(std::size_t count, std::vector<uint8_t>& out) { return ReadBytes(count, out, "recv"); }

bool Communicator::Drain() {
  if (port_ == nullptr || !port_->SetTimeouts(std::nullopt)) return false;
  std::vector<uint8_t> stale;
  const bool read = ReadBytes(0, stale, "drop");
  return port_->SetTimeouts(options_.timeouts) && read;
}

bool Communicator::ReadBytes(std::size_t count, std::vector<uint8_t>& out, const char* traceDirection) {
  out.clear();
  if (port_ == nullptr) return false;
  const bool ok = port_->Read(count == 0 ? kQueueSize : count, out);
  if (options_.trace) {
    if (ok) {
      WriteTrace(traceDirection, out.data(), out.size());
    } else {
      WriteTrace("fail", out.data(), out.size());
    }
  }
  return ok;
}

}  // namespace kt9
