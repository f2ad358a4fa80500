#include "firmware/boot_status.h"

#include <cstdio>

namespace kt9 {

BootStatus DescribeBootVersion(const std::optional<BootVersion>& version) {
  if (!version) return {kNoResponse, false};
  // A pedal started normally answers the version query too, with 0.0 for
  // the bootloader.
  if (!version->InProgrammingMode()) return {kNotInProgrammingMode, false};
  char text[64];
  std::snprintf(text, sizeof text, "OK - BL V%d.%d, FW V%d.%d", version->bootloaderMajor, version->bootloaderMinor,
                version->firmwareMajor, version->firmwareMinor);
  return {text, true};
}

BootStatus CheckBootloader(Communicator& link) { return DescribeBootVersion(QueryBootVersion(link)); }

}  // namespace kt9
