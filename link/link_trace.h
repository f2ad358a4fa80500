// The --trace hex dump: every run of bytes sent and received, with a time
// stamp, to standard error.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kt9 {

// One trace line: "   1.234 <direction> <count>: 02 0A ..." (seconds since the
// first line; direction
// "send", "recv" or "drop" for the input thrown away while opening).
std::string TraceLine(const char* direction, const uint8_t* data, std::size_t count);

void WriteTrace(const char* direction, const uint8_t* data, std::size_t count);

}  // namespace kt9
