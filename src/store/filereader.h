#pragma once

#include "store/result.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace loto6 {

// The whole content of an ordinary file of at most `maxBytes`. Folders, devices, pipes and
// sockets are refused before anything is read, so no input hangs or grows without bound.
// `what` names the file's role in messages ("a history file", "a settings file").
Status readRegularFile(const std::filesystem::path &file, std::uintmax_t maxBytes,
    const std::string &what, std::string &bytes);

// The same check without reading, for a file another library reads (the desktop's layout
// settings): an ordinary file of at most `maxBytes`, or one that does not exist.
Status checkRegularFile(
    const std::filesystem::path &file, std::uintmax_t maxBytes, const std::string &what);

} // namespace loto6
