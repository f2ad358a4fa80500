// The configuration words of the pedal's PIC24FJ256GB210, CW4 first (the
// lowest address), each with its bit fields and their settings in the chip's
// data-sheet order. Only the HEX reader uses it, for the configuration mask;
// nothing writes configuration words to the pedal.
#pragma once

#include <vector>

#include "firmware/target_device.h"

namespace kt9 {

std::vector<ConfigWord> ConfigWordTable();

}  // namespace kt9
