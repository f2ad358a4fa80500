// Whole-file reads and writes for backup files.
//
// A backup is worth years of an owner's settings: a file is replaced
// completely or not at all. The new content goes to a temporary file beside
// the target, is flushed to the disk, and only then renamed over the target,
// so a full disk, a pulled USB stick or a crash leaves the old file intact.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kt9 {

// Writes `bytes` to `path` through a temporary file in the same folder.
// On failure the target is untouched, the temporary file is gone, and
// `error` (when given) says what failed, naming the path.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error = nullptr);

// The file's exact bytes, or nothing when it cannot be opened or read
// (`error` says why).
std::optional<std::string> ReadWholeFile(const std::string& path, std::string* error = nullptr);

}  // namespace kt9
