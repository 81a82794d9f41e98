#pragma once

#include "store/result.h"

#include <filesystem>
#include <string_view>
#include <vector>

namespace loto6 {

// Writes output to a file the user named. An ordinary file (or the one a link points to) is
// replaced atomically; a device, pipe or other special file is written in place, never
// replaced; a file that is one of `protectedFiles` (the same file by device and inode, whatever
// its name) is refused before anything is written.
Status writeOutputFile(const std::filesystem::path &file, std::string_view bytes,
    const std::vector<std::filesystem::path> &protectedFiles);

} // namespace loto6
