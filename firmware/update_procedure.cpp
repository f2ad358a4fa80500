#include "firmware/update_procedure.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <vector>

#include "firmware/bootloader.h"
#include "firmware/firmware_image.h"
#include "firmware/hex_reader.h"
#include "firmware/program_folder.h"
#include "firmware/target_device.h"

namespace kt9 {

namespace {

// Before anything is written, the first 8 bytes of these blocks are read and
// later put back at the head of the vector area's blocks: there the pedal's
// bootloader keeps its own jump. The heads are fetched in steps of 0x100
// address units, not of the 0x80 between blocks; the bootloader expects the
// vector area to come back with exactly these heads.
constexpr int kSavedHeads = 8;
constexpr std::size_t kHeadBytes = 8;
constexpr uint32_t kHeadAddressStep = 0x100;

using SavedHead = std::array<uint8_t, kHeadBytes>;

// A run of the code image written block by block from `start`.
struct Segment {
  std::size_t start = 0;
  std::size_t length = 0;
  std::size_t Blocks() const { return (length + kBlockBytes - 1) / kBlockBytes; }
  uint32_t BlockAddress(std::size_t n) const { return static_cast<uint32_t>((start + n * kBlockBytes) / 2); }
};

template <typename... Args>
std::string Format(const char* format, Args... args) {
  const int length = std::snprintf(nullptr, 0, format, args...);
  std::string text(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
  std::snprintf(text.data(), text.size() + 1, format, args...);
  return text;
}

// The bootloader programs whole blocks at block addresses. A segment whose
// first used byte lies inside a block starts at that block, the bytes before
// it being unused (0xFF, as erased); otherwise the blocks would land between
// block boundaries.
std::size_t BlockFloor(std::size_t index) { return index - index % kBlockBytes; }

// From the first used byte at or above 0x3000 to the end of the image, gaps
// included. Code below 0x3000 is the bootloader's and never written.
std::optional<Segment> MainSegment(const FirmwareImage& image) {
  for (std::size_t i = kMainSegmentFloor; i < image.CodeLength(); ++i) {
    if (image.codeUsed[i]) {
      const std::size_t start = BlockFloor(i);
      return Segment{start, image.CodeLength() - start};
    }
  }
  return std::nullopt;
}

// From the first used byte up to and including 0x401.
std::optional<Segment> VectorSegment(const FirmwareImage& image) {
  const std::size_t end = std::min(kVectorSegmentLast + 1, image.CodeLength());
  for (std::size_t i = 0; i < end; ++i) {
    if (image.codeUsed[i]) {
      const std::size_t start = BlockFloor(i);
      return Segment{start, end - start};
    }
  }
  return std::nullopt;
}

// Block n of the segment; past the segment's end the block is 0xFF, as
// erased. `fromImage` gets the number of bytes that came from the image.
FlashBlock FillBlock(const FirmwareImage& image, const Segment& segment, std::size_t n, std::size_t* fromImage) {
  FlashBlock block;
  block.fill(0xFF);
  const std::size_t offset = n * kBlockBytes;
  const std::size_t count = std::min(kBlockBytes, segment.length - offset);
  for (std::size_t c = 0; c < count; ++c) block[c] = image.codeBytes[segment.start + offset + c];
  if (fromImage) *fromImage = count;
  return block;
}

// The chip does not store the fourth byte of an instruction word, and erased
// or unprogrammed bytes may come back either way: 0x00 against 0xFF is not a
// difference.
bool Tolerated(uint8_t written, uint8_t read) {
  return (written == 0x00 && read == 0xFF) || (written == 0xFF && read == 0x00);
}

class UpdateRun {
 public:
  UpdateRun(Communicator& link, const FirmwareImage& image, OperationUi& ui) : link_(link), image_(image), ui_(ui) {}

  // Each step adds its failure to the list and returns false; the first
  // failure ends the work.
  bool ReadSavedHeads();
  bool WriteMainSegment();
  bool WriteVectorSegment();
  bool DeclareVerified();

  void Succeed();
  void ReportFailures();

 private:
  bool WriteVectorBlock(const Segment& segment, std::size_t z);

  Communicator& link_;
  const FirmwareImage& image_;
  OperationUi& ui_;
  std::array<SavedHead, kSavedHeads> heads_{};
  std::vector<std::string> failures_;
};

bool UpdateRun::ReadSavedHeads() {
  for (int k = 0; k < kSavedHeads; ++k) {
    const uint32_t address = static_cast<uint32_t>(k) * kHeadAddressStep;
    const std::optional<FlashBlock> block = ReadFlashBlock(link_, address);
    if (!block) {
      failures_.push_back(Format("Error: Failed reading flash memory at adress [%xh]", address));
      return false;
    }
    std::copy_n(block->begin(), kHeadBytes, heads_[static_cast<std::size_t>(k)].begin());
  }
  return true;
}

bool UpdateRun::WriteMainSegment() {
  const std::optional<Segment> segment = MainSegment(image_);
  ui_.ProgressSetRange(0, segment ? static_cast<int>(segment->Blocks()) : 0);
  if (!segment) return true;
  ui_.PumpMessages();
  // Every page the blocks reach is erased first; for a segment that starts
  // on a page boundary that is ceil(length / 2048) pages. The code memory
  // holds 170 pages, so the count fits the request's byte.
  const std::size_t firstPage = segment->start / kPageBytes;
  const std::size_t end = segment->start + segment->Blocks() * kBlockBytes;
  const std::size_t pages = (end + kPageBytes - 1) / kPageBytes - firstPage;
  if (!EraseFlashPages(link_, static_cast<uint8_t>(pages), static_cast<uint32_t>(segment->start / 2))) {
    failures_.push_back("Error: Failed erasing flash memory");
    return false;
  }
  // The main program is not read back: only the vector area is.
  for (std::size_t n = 0; n < segment->Blocks(); ++n) {
    ui_.ProgressSetPosition(static_cast<int>(n));
    const FlashBlock block = FillBlock(image_, *segment, n, nullptr);
    ui_.PumpMessages();
    if (!WriteFlashBlock(link_, segment->BlockAddress(n), block)) {
      failures_.push_back(Format("Error: Failed writing to flash memory at adress [%xh]", segment->BlockAddress(n)));
      return false;
    }
  }
  return true;
}

bool UpdateRun::WriteVectorSegment() {
  const std::optional<Segment> segment = VectorSegment(image_);
  if (!segment) return true;
  ui_.PumpMessages();
  if (!EraseFlashPages(link_, 1, static_cast<uint32_t>(segment->start / 2))) {
    failures_.push_back("Error: Failed erasing flash memory");
    return false;
  }
  for (std::size_t z = 0; z < segment->Blocks(); ++z) {
    if (!WriteVectorBlock(*segment, z)) return false;
  }
  return true;
}

bool UpdateRun::WriteVectorBlock(const Segment& segment, std::size_t z) {
  const uint32_t address = segment.BlockAddress(z);
  std::size_t fromImage = 0;
  FlashBlock written = FillBlock(image_, segment, z, &fromImage);
  std::copy(heads_[z].begin(), heads_[z].end(), written.begin());
  ui_.PumpMessages();
  if (!WriteFlashBlock(link_, address, written)) {
    failures_.push_back(Format("Error: Failed writing to flash memory at adress [%xh]", address));
    return false;
  }
  ui_.PumpMessages();
  const std::optional<FlashBlock> read = ReadFlashBlock(link_, address);
  if (!read) {
    failures_.push_back(Format("Error: Failed reading from flash memory at adress [%xh]", address));
    return false;
  }
  std::vector<std::string> differences;
  for (std::size_t c = 0; c < fromImage; ++c) {
    if (written[c] == (*read)[c] || Tolerated(written[c], (*read)[c])) continue;
    differences.push_back(Format("     Adr:[%xh] Wr:[%xh] Rd:[%xh]", static_cast<unsigned>(address + c / 2),
                                 static_cast<unsigned>(written[c]), static_cast<unsigned>((*read)[c])));
  }
  if (differences.empty()) return true;
  failures_.push_back(Format("Error: Failed verifying flash memory at base adress [%xh]. %d bytes wrong.", address,
                             static_cast<int>(differences.size())));
  failures_.insert(failures_.end(), differences.begin(), differences.end());
  return false;
}

bool UpdateRun::DeclareVerified() {
  if (SendVerifyOK(link_)) return true;
  failures_.push_back("Error: Sending VerifyOK failed.");
  return false;
}

void UpdateRun::Succeed() {
  if (!ui_.AskYesNo(kRestartNowQuestion)) return;
  SendRestart(link_);
  ui_.ShowMessage("Turn KT-9 OFF and then back ON again, to restart in normal mode.");
}

// The entries go two to a line, a tab between them.
void UpdateRun::ReportFailures() {
  std::string report = "KT-9 Update FAILED:\r\n";
  for (std::size_t i = 0; i < failures_.size(); ++i) report += failures_[i] + (i % 2 == 0 ? "\t" : "\r\n");
  report += kVerifyAnyhowEnding;
  if (!ui_.AskYesNo(report)) return;
  SendVerifyOK(link_);  // the user has decided; its answer changes nothing
  if (ui_.AskYesNo(kRestartQuestion)) SendRestart(link_);
}

// Everything after the checks that need no link: runs with the upgrade
// button disabled and ends with the closing steps in RunUpdate.
bool UpdateWithLink(Communicator& link, const std::string& path, OperationUi& ui) {
  if (!link.IsOpen()) {
    ui.ShowMessage("Error: Communicator is closed");
    return false;
  }
  TargetDevice target;
  BuildTargetDevice(target);
  FirmwareImage image;
  if (!LoadHexFile(image, path, target, ui)) return false;  // the reader has said why
  UpdateRun run(link, image, ui);
  if (run.ReadSavedHeads() && run.WriteMainSegment() && run.WriteVectorSegment() && run.DeclareVerified()) {
    run.Succeed();
    return true;
  }
  run.ReportFailures();
  return false;
}

}  // namespace

bool RunUpdate(Communicator& link, UpdateRequest& request, OperationUi& ui) {
  if (request.status.find("OK") == std::string::npos) {
    ui.ShowMessage("Please verify the connection!");
    return false;
  }
  if (request.firmwarePath.empty()) {
    ui.ShowMessage("Please load a file!");
    return false;
  }
  if (!PathExists(request.firmwarePath)) {
    ui.ShowMessage(Format("The file does not exist : [%s]", request.firmwarePath.c_str()));
    return false;
  }
  if (request.enableUpgrade) request.enableUpgrade(false);
  const bool completed = UpdateWithLink(link, request.firmwarePath, ui);
  if (request.enableUpgrade) request.enableUpgrade(true);
  ui.ProgressSetPosition(0);
  request.status.clear();
  return completed;
}

}  // namespace kt9
