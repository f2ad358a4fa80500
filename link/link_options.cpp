#include <cstdlib>
#include <cstring>

#include "link/communicator.h"

namespace kt9 {

LinkOptions LinkOptions::FromEnvironment() {
  LinkOptions options;
  if (const char* port = std::getenv("KT9_PORT"); port != nullptr) options.port = port;
  if (const char* trace = std::getenv("KT9_TRACE"); trace != nullptr) options.trace = std::strcmp(trace, "1") == 0;
  return options;
}

}  // namespace kt9
