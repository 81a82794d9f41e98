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
// A temporary file being written, noted for as long as this lives, so that SIGINT, SIGTERM or
// SIGHUP removes it (once removeTemporaryFilesOnSignals is called) before the program ends.
class TemporaryOutput
{
public:
    explicit TemporaryOutput(const std::filesystem::path &file);
    ~TemporaryOutput();
    TemporaryOutput(const TemporaryOutput &) = delete;
    TemporaryOutput &operator=(const TemporaryOutput &) = delete;

private:
    int m_slot = -1;
};
// Installs the handler of SIGINT, SIGTERM and SIGHUP that removes every temporary file being
// written, then ends the program by the same signal (exit status 128 + its number).
void removeTemporaryFilesOnSignals();

// Writes the bytes to a temporary file, flushes it and renames it over the target: readers see
// the old file or the new one, never half of it.
Status writeFileAtomically(const std::filesystem::path &file, std::string_view bytes);
Status readFile(const std::filesystem::path &file, std::string &bytes);
// Reads the whole file through a descriptor open on it (from its start), leaving it open.
Status readOpenFile(int fd, const std::filesystem::path &file, std::string &bytes);

} // namespace loto6
