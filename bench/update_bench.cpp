// A whole firmware update of the largest image the pedal's chip takes,
// against kt9-sim in programming mode with its replies paced at the line's
// 115200 baud, under the link's real time-outs. Each exchange ends only when
// the pedal has been silent for the read's 100 ms inter-byte time-out; the
// same update with a 10 ms inter-byte time-out shows how much of the total
// is that waiting.
//
//   update_bench            maximal image (about 1,300 exchanges, minutes)
//   update_bench --quick    the demo-sized image
//
// kt9-mkhex is taken from the folder of this program, kt9-sim from the build.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "firmware/program_folder.h"
#include "firmware/update_procedure.h"
#include "tests/support/silent_ui.h"
#include "tests/support/sim_process.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Prints messages, counts the blocks; its AskYesNo stays No: no restart.
class QuietUi : public kt9::test::SilentUi {
 public:
  void ShowMessage(const std::string& text) override { std::fprintf(stderr, "message: %s\n", text.c_str()); }
  void ProgressSetRange(int, int upper) override { blocks = upper; }
  int blocks = 0;
};

std::size_t CountLines(const std::string& path) {
  std::ifstream in(path);
  std::size_t lines = 0;
  for (std::string line; std::getline(in, line);) ++lines;
  return lines;
}

struct Figures {
  double seconds = 0;
  std::size_t exchanges = 0;
  int blocks = 0;
  bool completed = false;
};

Figures TimeUpdate(const std::string& folder, const std::string& hex, milliseconds interByte) {
  const std::string log = folder + "update-bench.log";
  std::remove(log.c_str());
  kt9::test::SimProcess sim({"--bootloader", "--line-rate", "115200", "--log", log});
  Figures figures;
  if (sim.Port().empty()) {
    std::fprintf(stderr, "kt9-sim did not start\n");
    return figures;
  }
  kt9::LinkOptions options;
  options.port = sim.Port();
  options.timeouts.interByte = interByte;
  kt9::Communicator link(options);
  if (!link.Open()) return figures;
  QuietUi ui;
  kt9::UpdateRequest request{"OK - BL V1.2, FW V2.3", hex, {}};
  const Clock::time_point start = Clock::now();
  figures.completed = kt9::RunUpdate(link, request, ui);
  figures.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  link.Close();
  figures.exchanges = CountLines(log);
  figures.blocks = ui.blocks;
  return figures;
}

}  // namespace

int main(int argc, char** argv) {
  const bool quick = argc > 1 && std::string(argv[1]) == "--quick";
  const std::string folder = kt9::ProgramDirectory();
  const std::string hex = "/tmp/kt9-update-bench.hex";
  const std::string make = "'" + folder + "kt9-mkhex' " + (quick ? "" : "--maximal ") + "--out " + hex;
  if (std::system(make.c_str()) != 0) {
    std::fprintf(stderr, "could not write %s\n", hex.c_str());
    return 1;
  }
  std::printf("%s image, replies paced at 115200 baud\n", quick ? "demo-sized" : "maximal");
  const Figures real = TimeUpdate(folder, hex, milliseconds(100));
  std::printf("inter-byte 100 ms: %s, %d main blocks, %zu exchanges, %.1f s (%.0f ms an exchange)\n",
              real.completed ? "completed" : "FAILED", real.blocks, real.exchanges, real.seconds,
              real.exchanges ? 1000.0 * real.seconds / real.exchanges : 0.0);
  const Figures brisk = TimeUpdate(folder, hex, milliseconds(10));
  std::printf("inter-byte  10 ms: %s, %zu exchanges, %.1f s (%.0f ms an exchange)\n",
              brisk.completed ? "completed" : "FAILED", brisk.exchanges, brisk.seconds,
              brisk.exchanges ? 1000.0 * brisk.seconds / brisk.exchanges : 0.0);
  if (real.exchanges > 0 && real.seconds > 0) {
    const double silence = real.exchanges * 0.100;
    std::printf("waiting on the 100 ms silence: %.1f s of %.1f s (%.0f%%); measured difference %.1f s\n", silence,
                real.seconds, 100.0 * silence / real.seconds, real.seconds - brisk.seconds);
    // The simulator takes each request at once; on the real line a block
    // write request is 528 bytes, 46 ms at 115200 baud.
    const double writes = real.blocks * 0.0458;
    std::printf("on the real line add about %.1f s for sending the block writes: about %.0f s in all\n", writes,
                real.seconds + writes);
  }
  std::remove(hex.c_str());
  return real.completed && brisk.completed ? 0 : 1;
}
