// kt9-mkhex: writes a synthetic firmware file for the pedal's chip, for tests
// and for the demo file that lies beside the programs.
#include <CLI/CLI.hpp>

#include <fstream>
#include <iostream>

#include "sim/test_firmware.h"

int main(int argc, char** argv) {
  using namespace kt9::sim;
  CLI::App app{"Write a synthetic Intel HEX firmware file for the KT-9's PIC24FJ256GB210", "kt9-mkhex"};
  TestFirmwareOptions options;
  std::string outPath;
  bool mainOnly = false, vectorsOnly = false, maximal = false, noConfig = false;
  unsigned recordBytes = options.recordBytes;
  app.add_option("-o,--out", outPath, "File to write (standard output when absent)");
  app.add_option("--vector-bytes", options.vectorBytes, "Image bytes of the vector area, from index 0")
      ->capture_default_str();
  app.add_option("--main-bytes", options.mainBytes, "Image bytes of the main program, from index 0x3000")
      ->capture_default_str();
  app.add_flag("--main-only", mainOnly, "Code only from index 0x3000 up (no vector area)");
  app.add_flag("--vectors-only", vectorsOnly, "Code only in the vector area (no main program)");
  app.add_flag("--maximal", maximal, "Main program up to the end of code memory");
  app.add_flag("--no-config", noConfig, "Leave out the configuration words");
  app.add_option("--record-bytes", recordBytes, "Data bytes per record")->check(CLI::Range(1, 255))->capture_default_str();
  app.add_option("--seed", options.seed, "Varies the pattern")->capture_default_str();
  app.get_option("--main-only")->excludes("--vectors-only");
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e) == 0 ? 0 : 2;
  }
  options.recordBytes = static_cast<uint8_t>(recordBytes);
  if (mainOnly) options.vectorBytes = 0;
  if (vectorsOnly) options.mainBytes = 0;
  if (maximal) options.mainBytes = kMaximalMainBytes;
  if (noConfig) options.configWords = false;

  if (outPath.empty()) {
    WriteTestFirmware(options, std::cout);
    return std::cout ? 0 : 1;
  }
  std::ofstream out(outPath, std::ios::binary);
  WriteTestFirmware(options, out);
  out.close();
  if (!out) {
    std::cerr << "kt9-mkhex: cannot write " << outPath << "\n";
    return 1;
  }
  return 0;
}
