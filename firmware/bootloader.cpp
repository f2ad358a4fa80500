#include "firmware/bootloader.h"

namespace kt9 {

namespace {

// The word count of a block, 0x40, as the bootloader expects it in a read.
void AppendBlockWordCount(std::vector<uint8_t>& out) { AppendByteNibbles(out, kBlockWords); }

bool Repeats(const std::vector<uint8_t>& reply, uint8_t command) { return reply[kBootCommandOffset] == command; }

}  // namespace

std::optional<std::vector<uint8_t>> ExchangeFrame(Communicator& link, uint8_t command,
                                                  const std::vector<uint8_t>& parameters,
                                                  std::size_t fullReplyLength, int attempts) {
  const std::vector<uint8_t> request = BuildBootFrame(kBootRequestMark, command, parameters);
  std::vector<uint8_t> reply;
  for (int attempt = 0; attempt < attempts; ++attempt) {
    // A reply that arrived after an earlier attempt gave up would otherwise
    // be read as the answer to this one.
    link.Drain();
    link.WriteBytes(request.data(), request.size());
    if (!link.ReadBytes(kReplyReadSize, reply)) continue;
    if (!IsValidBootFrame(reply, kBootReplyMark)) continue;
    if (reply.size() < fullReplyLength) continue;
    return reply;
  }
  return std::nullopt;
}

std::optional<BootVersion> QueryBootVersion(Communicator& link) {
  const auto reply = ExchangeFrame(link, BL_GET_VERSION, {}, kVersionReplyLength, 1);
  if (!reply || !Repeats(*reply, BL_GET_VERSION)) return std::nullopt;
  const uint8_t* p = reply->data() + kBootParameterOffset;
  return BootVersion{DecodeNibblePair(p[0], p[1]), DecodeNibblePair(p[2], p[3]), DecodeNibblePair(p[4], p[5]),
                     DecodeNibblePair(p[6], p[7])};
}

std::optional<FlashBlock> ReadFlashBlock(Communicator& link, uint32_t address) {
  std::vector<uint8_t> parameters;
  AppendBlockWordCount(parameters);
  AppendAddressNibbles(parameters, address);
  const auto reply = ExchangeFrame(link, BL_READ_BLOCK, parameters, kReadReplyLength, kBootAttempts);
  if (!reply || !Repeats(*reply, BL_READ_BLOCK)) return std::nullopt;
  const uint8_t* p = reply->data() + kBootParameterOffset;
  if (DecodeNibblePair(p[0], p[1]) != kBlockWords) return std::nullopt;
  if (DecodeAddressNibbles(p + 2) != (address & 0xFFFFFF)) return std::nullopt;
  FlashBlock block;
  const uint8_t* data = p + 8;
  for (std::size_t i = 0; i < kBlockBytes; ++i) block[i] = DecodeNibblePair(data[2 * i], data[2 * i + 1]);
  return block;
}

bool WriteFlashBlock(Communicator& link, uint32_t address, const FlashBlock& block) {
  std::vector<uint8_t> parameters;
  parameters.reserve(kWriteRequestLength);
  AppendByteNibbles(parameters, 0x01);  // the bootloader's write mode; always 1
  AppendAddressNibbles(parameters, address);
  for (uint8_t byte : block) AppendByteNibbles(parameters, byte);
  const auto reply = ExchangeFrame(link, BL_WRITE_BLOCK, parameters, kAckReplyLength, kBootAttempts);
  return reply && Repeats(*reply, BL_WRITE_BLOCK);
}

bool EraseFlashPages(Communicator& link, uint8_t pageCount, uint32_t address) {
  std::vector<uint8_t> parameters;
  AppendByteNibbles(parameters, pageCount);
  AppendAddressNibbles(parameters, address);
  const auto reply = ExchangeFrame(link, BL_ERASE_PAGES, parameters, kAckReplyLength, kBootAttempts);
  return reply && Repeats(*reply, BL_ERASE_PAGES);
}

bool SendVerifyOK(Communicator& link) {
  const auto reply = ExchangeFrame(link, BL_VERIFY_OK, {}, kAckReplyLength, kBootAttempts);
  return !reply || Repeats(*reply, BL_VERIFY_OK);
}

void SendRestart(Communicator& link) {
  const std::vector<uint8_t> request = BuildBootFrame(kBootRequestMark, BL_RESTART, {});
  link.WriteBytes(request.data(), request.size());
}

}  // namespace kt9
