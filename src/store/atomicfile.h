#pragma once

#include "store/result.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace loto6 {

// Why a write failed, in words: a full disk or a file size limit is named as such.
std::string writeErrorText(int err);
// A fresh name beside the file, in the same folder, so that a rename replaces it atomically.
std::filesystem::path temporarySibling(const std::filesystem::path &file);
// Flushes a written file to the disk.
Status syncFile(const std::filesystem::path &file);
// Writes the bytes to a temporary file, flushes it and renames it over the target: readers see
// the old file or the new one, never half of it.
Status writeFileAtomically(const std::filesystem::path &file, std::string_view bytes);
Status readFile(const std::filesystem::path &file, std::string &bytes);
// Reads the whole file through a descriptor open on it (from its start), leaving it open.
Status readOpenFile(int fd, const std::filesystem::path &file, std::string &bytes);

} // namespace loto6
