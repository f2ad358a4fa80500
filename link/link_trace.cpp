#include "link/link_trace.h"

#include <chrono>
#include <cstdio>

namespace kt9 {

std::string TraceLine(const char* direction, const uint8_t* data, std::size_t count) {
  // Seconds since the first line: the gaps between frames are what a trace
  // is read for.
  using Clock = std::chrono::steady_clock;
  static const Clock::time_point first = Clock::now();
  const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - first).count();
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%8.3f", static_cast<double>(elapsed) / 1e6);
  std::string line = std::string(stamp) + " " + direction + " " + std::to_string(count) + ":";
  static const char kHex[] = "0123456789ABCDEF";
  for (std::size_t i = 0; i < count; ++i) {
    line += ' ';
    line += kHex[data[i] >> 4];
    line += kHex[data[i] & 0x0F];
  }
  return line;
}

void WriteTrace(const char* direction, const uint8_t* data, std::size_t count) {
  std::fprintf(stderr, "%s\n", TraceLine(direction, data, count).c_str());
  std::fflush(stderr);
}

}  // namespace kt9
