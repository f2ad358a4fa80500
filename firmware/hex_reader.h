// Reads an Intel HEX firmware file into a FirmwareImage for a target.
#pragma once

#include <string>

#include "common/operation_ui.h"
#include "firmware/firmware_image.h"
#include "firmware/target_device.h"

namespace kt9 {

// Replaces the image's content with what the file at `path` holds. True when
// the file was read up to its end-of-file record. On failure the reason has
// already been shown through `ui`, and the image holds what was placed before
// the failing line. Placement warnings (data outside a memory) go through `ui`
// too and do not stop the load.
bool LoadHexFile(FirmwareImage& image, const std::string& path, const TargetDevice& target, OperationUi& ui);

}  // namespace kt9
