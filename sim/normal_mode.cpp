#include "sim/normal_mode.h"

#include <algorithm>
#include <cstdio>

#include "link/device_requests.h"
#include "sim/faulty_reply.h"

namespace kt9::sim {
namespace {

constexpr std::size_t kHeaderSize = 6;        // start, command, address, length
constexpr uint8_t kUnexpectedCommand = 120;   // a frame no request of the PC asks for
constexpr uint8_t kWrongEnd = 0x04;           // the frames end with 0x03
constexpr uint8_t kTrailingNoise[] = {0xFF, 0xFF, 0xFF};

const char* KindOf(uint8_t command) {
  switch (command) {
    case CMD_READ:
      return "read";
    case CMD_WRITE:
      return "write";
    case CMD_STATUS:
      return "status";
    default:
      return "other";
  }
}

}  // namespace

NormalMode::NormalMode(PedalMemory memory, NormalModeOptions options, FaultPlan faults)
    : memory_(std::move(memory)), options_(std::move(options)), faults_(std::move(faults)) {}

std::optional<NormalMode::Request> NormalMode::NextRequest() {
  for (;;) {
    const auto start = std::find(input_.begin(), input_.end(), kFrameStart);
    input_.erase(input_.begin(), start);
    if (input_.size() < kHeaderSize) return std::nullopt;
    Request request;
    request.command = input_[1];
    request.address = static_cast<uint16_t>(input_[2] << 8 | input_[3]);
    request.length = static_cast<uint16_t>(input_[4] << 8 | input_[5]);
    // Only a write carries its bytes; a read's length is the count it asks for.
    const std::size_t carried = request.command == CMD_WRITE ? request.length : 0;
    const std::size_t size = kHeaderSize + carried + 3;
    if (input_.size() < size) return std::nullopt;
    const uint16_t checksum = static_cast<uint16_t>(input_[size - 3] << 8 | input_[size - 2]);
    const bool valid = FrameChecksum(std::span<const uint8_t>(input_).subspan(1, kHeaderSize - 1 + carried)) == checksum &&
                       input_[size - 1] == kFrameEnd;
    if (!valid) {
      // Not a frame after all: look for the next start byte.
      input_.erase(input_.begin());
      continue;
    }
    request.payload.assign(input_.begin() + kHeaderSize, input_.begin() + static_cast<std::ptrdiff_t>(kHeaderSize + carried));
    input_.erase(input_.begin(), input_.begin() + static_cast<std::ptrdiff_t>(size));
    return request;
  }
}

void NormalMode::OnBytes(std::span<const uint8_t> bytes, PeerLink& link) {
  input_.insert(input_.end(), bytes.begin(), bytes.end());
  while (const auto request = NextRequest()) Answer(*request, link);
}

void NormalMode::Answer(const Request& request, PeerLink& link) {
  const char* kind = KindOf(request.command);
  const std::optional<FaultKind> fault = faults_.Take(kind, request.address);
  if (options_.verbose) {
    std::fprintf(stderr, "kt9-sim: %s 0x%04X %u%s\n", kind, request.address, request.length, fault ? " (fault)" : "");
  }
  if (request.command == CMD_WRITE) {
    // The pedal has the bytes even when its answer goes astray.
    memory_.Write(request.address, request.payload);
    if (!options_.memoryFile.empty()) memory_.Save(options_.memoryFile);
    busyLeft_ = options_.busyPolls;
  }
  if (fault == FaultKind::kBusyForever) busyForever_ = true;
  SendWithFault(request, fault, link);
}

std::vector<uint8_t> NormalMode::Reply(const Request& request, uint16_t replyAddress) {
  switch (request.command) {
    case CMD_READ: {
      const std::vector<uint8_t> data = memory_.Read(request.address, request.length);
      return BuildFrame(REPLY_READ, replyAddress, request.length, data);
    }
    case CMD_STATUS: {
      uint8_t busy = 0;
      if (busyForever_) {
        busy = 1;
      } else if (busyLeft_ > 0) {
        busy = 1;
        --busyLeft_;
      }
      return BuildFrame(REPLY_STATUS, replyAddress, 1, std::span<const uint8_t>(&busy, 1));
    }
    case CMD_WRITE:
      // The acknowledgement: the write's own command and address, no data.
      return BuildFrame(CMD_WRITE, replyAddress, 0);
    default:
      return {};  // the pedal ignores what it does not know
  }
}

void NormalMode::SendWithFault(const Request& request, std::optional<FaultKind> fault, PeerLink& link) {
  const uint16_t replyAddress =
      fault == FaultKind::kWrongAddress ? static_cast<uint16_t>(request.address + 1) : request.address;
  std::vector<uint8_t> reply = Reply(request, replyAddress);
  if (reply.empty()) return;
  // The other frame echoes the request's address, so it is built per reply,
  // and only for the fault that sends it.
  std::vector<uint8_t> otherCommand;
  if (fault == FaultKind::kOtherCommandFirst) otherCommand = BuildFrame(kUnexpectedCommand, request.address, 0);
  SendFaultyReply(std::move(reply), fault, {otherCommand, kWrongEnd, kTrailingNoise}, options_.splitGap, link);
}

void NormalMode::OnExit() {
  if (!options_.memoryFile.empty()) memory_.Save(options_.memoryFile);
}

}  // namespace kt9::sim
