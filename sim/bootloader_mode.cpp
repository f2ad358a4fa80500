#include "sim/bootloader_mode.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <charconv>
#include <string_view>

#include "firmware/bootloader_frame.h"
#include "sim/faulty_reply.h"

namespace kt9::sim {
namespace {

constexpr uint8_t kUnexpectedCommand = 0x05;  // a command no request of the PC uses
// Offsets inside a block the mismatch alters; neither change turns 0x00 into
// 0xFF or back, so the PC must report both.
constexpr std::size_t kMismatchOffsets[] = {9, 12};
constexpr uint8_t kWrongEnd = 0x00;  // the frames end with kBootFrameEnd
constexpr uint8_t kTrailingNoise[] = {0x00, 0x00, 0x00};

// The bootloader's bytes for the faults; its frame of another command never
// changes, so it is built once.
const ModeFrames& FaultFrames() {
  static const std::vector<uint8_t> otherCommand = BuildBootFrame(kBootReplyMark, kUnexpectedCommand, {});
  static const ModeFrames frames{otherCommand, kWrongEnd, kTrailingNoise};
  return frames;
}

const char* KindOf(uint8_t command) {
  switch (command) {
    case BL_GET_VERSION:
      return "version";
    case BL_READ_BLOCK:
      return "read";
    case BL_WRITE_BLOCK:
      return "write";
    case BL_ERASE_PAGES:
      return "erase";
    case BL_VERIFY_OK:
      return "verify";
    case BL_RESTART:
      return "restart";
    default:
      return "other";
  }
}

// The length a request of this command must have.
std::size_t RequestLength(uint8_t command) {
  switch (command) {
    case BL_READ_BLOCK:
      return kReadRequestLength;
    case BL_ERASE_PAGES:
      return kEraseRequestLength;
    case BL_WRITE_BLOCK:
      return kWriteRequestLength;
    default:
      return kPlainRequestLength;
  }
}

bool HasAddress(uint8_t command) {
  return command == BL_READ_BLOCK || command == BL_WRITE_BLOCK || command == BL_ERASE_PAGES;
}

template <typename T>
std::optional<T> Number(std::string_view text, int base) {
  T value{};
  const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (text.empty() || ec != std::errc{} || ptr != text.data() + text.size()) return std::nullopt;
  return value;
}

bool ParseVersion(const std::string& text, uint8_t& major, uint8_t& minor) {
  const auto dot = text.find('.');
  if (dot == std::string::npos) return false;
  const auto a = Number<uint8_t>(std::string_view(text).substr(0, dot), 10);
  const auto b = Number<uint8_t>(std::string_view(text).substr(dot + 1), 10);
  if (!a || !b) return false;
  major = *a;
  minor = *b;
  return true;
}

std::optional<uint32_t> ParseAddress(const std::string& text) {
  if (text.rfind("0x", 0) == 0 || text.rfind("0X", 0) == 0) return Number<uint32_t>(std::string_view(text).substr(2), 16);
  return Number<uint32_t>(text, 10);
}

}  // namespace

void AddBootloaderOptions(CLI::App& app, BootloaderOptions& options) {
  app.add_flag("--bootloader", options.enabled,
               "Start in programming mode: the bootloader answers until a restart; --fault REQUEST is then "
               "one of version, read, write, erase, verify, restart");
  app.add_option("--bl-version", options.bootloaderVersion,
                 "Bootloader version the pedal reports (0.0: not in programming mode)")
      ->type_name("MAJOR.MINOR")
      ->capture_default_str();
  app.add_option("--fw-version", options.firmwareVersion, "Firmware version the bootloader reports")
      ->type_name("MAJOR.MINOR")
      ->capture_default_str();
  app.add_option("--flash", options.flashFile, "Raw flash image (offset = image byte index), loaded at start, saved at exit")
      ->type_name("FILE");
  app.add_option("--log", options.logFile, "Write one line per bootloader request to this file, in order")
      ->type_name("FILE");
  app.add_option("--verify-mismatch", options.mismatchBlock,
                 "Reads of the block at this address (e.g. 0x80) come back with bytes 9 and 12 altered")
      ->type_name("ADDR");
  app.add_flag("--silent-after-verify", options.silentAfterVerify, "Answer nothing from VerifyOK on, until a restart");
  app.add_option("--short-reply", options.shortReplies,
                 "Answer with a well-formed frame that is cut short, repeatable")
      ->type_name("REQUEST[@N|@0xADDR]");
}

BootloaderMode::BootloaderMode(BootloaderOptions options, FaultPlan faults, std::unique_ptr<PeerMode> afterRestart)
    : options_(std::move(options)), faults_(std::move(faults)), afterRestart_(std::move(afterRestart)) {}

BootloaderMode::~BootloaderMode() {
  if (log_ != nullptr) std::fclose(log_);
}

bool BootloaderMode::Start() {
  if (!ParseVersion(options_.bootloaderVersion, version_[0], version_[1]) ||
      !ParseVersion(options_.firmwareVersion, version_[2], version_[3])) {
    std::fprintf(stderr, "kt9-sim: versions are MAJOR.MINOR, each 0 to 255\n");
    return false;
  }
  if (!options_.mismatchBlock.empty()) {
    mismatchBlock_ = ParseAddress(options_.mismatchBlock);
    if (!mismatchBlock_) {
      std::fprintf(stderr, "kt9-sim: --verify-mismatch %s: expected a block address\n", options_.mismatchBlock.c_str());
      return false;
    }
  }
  for (const std::string& text : options_.shortReplies) {
    // The plan's own syntax, with a kind that stands for "cut short".
    const auto rule = ParseFault("no-answer:" + text, RequestKinds());
    if (!rule) {
      std::fprintf(stderr, "kt9-sim: --short-reply %s: expected REQUEST[@N|@0xADDR]\n", text.c_str());
      return false;
    }
    shortReplies_.Add(*rule);
  }
  if (!options_.flashFile.empty() && !flash_.Load(options_.flashFile)) {
    std::fprintf(stderr, "kt9-sim: cannot read the flash image %s\n", options_.flashFile.c_str());
    return false;
  }
  if (!options_.logFile.empty()) {
    log_ = std::fopen(options_.logFile.c_str(), "w");
    if (log_ == nullptr) {
      std::fprintf(stderr, "kt9-sim: cannot write the log %s\n", options_.logFile.c_str());
      return false;
    }
  }
  return true;
}

void BootloaderMode::OnBytes(std::span<const uint8_t> bytes, PeerLink& link) {
  if (restarted_) {
    if (afterRestart_) afterRestart_->OnBytes(bytes, link);
    return;
  }
  input_.insert(input_.end(), bytes.begin(), bytes.end());
  while (!restarted_) {
    // Every byte inside a frame is below 0x80, so the next start byte begins
    // a frame and the next end byte closes it.
    const auto start = std::find(input_.begin(), input_.end(), kBootFrameStart);
    input_.erase(input_.begin(), start);
    if (input_.empty()) return;
    const auto nextStart = std::find(input_.begin() + 1, input_.end(), kBootFrameStart);
    const auto end = std::find(input_.begin() + 1, nextStart, kBootFrameEnd);
    if (end == nextStart) {
      if (nextStart != input_.end()) {
        input_.erase(input_.begin(), nextStart);  // a frame cut short by a new one
      } else if (input_.size() > kWriteRequestLength) {
        input_.erase(input_.begin());  // longer than any request: noise
      } else {
        return;  // incomplete: wait for more
      }
      continue;
    }
    const std::vector<uint8_t> frame(input_.begin(), end + 1);
    input_.erase(input_.begin(), end + 1);
    Answer(frame, link);
  }
  // What came after the restart command is already the new mode's.
  if (afterRestart_ && !input_.empty()) afterRestart_->OnBytes(input_, link);
  input_.clear();
}

void BootloaderMode::Answer(const std::vector<uint8_t>& frame, PeerLink& link) {
  if (!IsValidBootFrame(frame, kBootRequestMark)) return;
  const uint8_t command = frame[kBootCommandOffset];
  if (frame.size() != RequestLength(command)) return;
  const char* kind = KindOf(command);
  const uint32_t address = HasAddress(command) ? DecodeAddressNibbles(frame.data() + kBootParameterOffset + 2) : 0;
  Log(kind, frame, address);
  const std::optional<FaultKind> fault = faults_.Take(kind, address);
  const bool cutShort = shortReplies_.Take(kind, address).has_value();
  if (command == BL_RESTART) {
    // The pedal restarts without a word and comes up in normal mode.
    restarted_ = true;
    return;
  }
  if (command == BL_VERIFY_OK && options_.silentAfterVerify) silent_ = true;
  std::optional<std::vector<uint8_t>> reply = Reply(frame, address, fault == FaultKind::kWrongAddress);
  if (!reply || silent_) return;
  if (cutShort) {
    // A well-formed frame that ends early: half its parameters, a fresh check byte.
    const std::size_t parameters = reply->size() - kBootParameterOffset - 2;
    std::vector<uint8_t> kept(reply->begin() + kBootParameterOffset,
                              reply->begin() + static_cast<std::ptrdiff_t>(kBootParameterOffset + parameters / 2));
    reply = BuildBootFrame(kBootReplyMark, command, kept);
  }
  SendFaultyReply(std::move(*reply), fault, FaultFrames(), options_.splitGap, link);
}

std::optional<std::vector<uint8_t>> BootloaderMode::Reply(const std::vector<uint8_t>& frame, uint32_t address,
                                                          bool wrongAddress) {
  const uint8_t command = frame[kBootCommandOffset];
  const uint8_t* p = frame.data() + kBootParameterOffset;
  const std::size_t index = std::size_t{address} * 2;
  std::vector<uint8_t> parameters;
  switch (command) {
    case BL_GET_VERSION:
      for (uint8_t value : version_) AppendByteNibbles(parameters, value);
      break;
    case BL_READ_BLOCK: {
      if (DecodeNibblePair(p[0], p[1]) != kBlockWords) return std::nullopt;
      std::vector<uint8_t> block;
      if (!flash_.Read(index, kBlockBytes, block)) return std::nullopt;
      if (mismatchBlock_ == address) {
        for (std::size_t offset : kMismatchOffsets) block[offset] ^= 0x01;
      }
      AppendByteNibbles(parameters, kBlockWords);
      AppendAddressNibbles(parameters, wrongAddress ? address ^ 1 : address);
      for (uint8_t byte : block) AppendByteNibbles(parameters, byte);
      break;
    }
    case BL_WRITE_BLOCK: {
      uint8_t block[kBlockBytes];
      for (std::size_t i = 0; i < kBlockBytes; ++i) block[i] = DecodeNibblePair(p[8 + 2 * i], p[9 + 2 * i]);
      if (!flash_.Program(index, block, kBlockBytes)) return std::nullopt;
      break;
    }
    case BL_ERASE_PAGES:
      if (!flash_.ErasePages(index, DecodeNibblePair(p[0], p[1]))) return std::nullopt;
      break;
    case BL_VERIFY_OK:
      break;
    default:
      return std::nullopt;  // the bootloader ignores what it does not know
  }
  return BuildBootFrame(kBootReplyMark, command, parameters);
}

void BootloaderMode::Log(const char* kind, const std::vector<uint8_t>& frame, uint32_t address) {
  if (log_ == nullptr) return;
  const uint8_t command = frame[kBootCommandOffset];
  if (command == BL_ERASE_PAGES) {
    const uint8_t* p = frame.data() + kBootParameterOffset;
    std::fprintf(log_, "%s 0x%06X %u\n", kind, address, static_cast<unsigned>(DecodeNibblePair(p[0], p[1])));
  } else if (HasAddress(command)) {
    std::fprintf(log_, "%s 0x%06X\n", kind, address);
  } else {
    std::fprintf(log_, "%s\n", kind);
  }
  // Tests read the log while the simulator still runs.
  std::fflush(log_);
}

void BootloaderMode::OnExit() {
  if (!options_.flashFile.empty()) flash_.Save(options_.flashFile);
  if (afterRestart_) afterRestart_->OnExit();
}

}  // namespace kt9::sim
