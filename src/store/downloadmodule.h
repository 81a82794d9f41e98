#pragma once

#include "store/download.h"

#include <cstddef>
#include <cstdint>
#include <string>

// The boundary between the programs and the download module. The module carries the HTTP
// library and its many dependent libraries, so it is loaded only when a download runs: every
// other command starts without them. Both sides are built together from this header.

namespace loto6 {

struct DownloadRequest
{
    const char *url = nullptr;
    long connectTimeoutMs = 0;
    long totalTimeoutMs = 0;
    std::size_t maxBytes = 0;
    // Called with the bytes received and the announced size (0 when unknown); false cancels.
    bool (*progress)(const void *context, std::uint64_t received, std::uint64_t total) = nullptr;
    const void *progressContext = nullptr;
};

// Fetches request.url into body and returns true, or puts the reason (its kind and facts) into
// `reason` and returns false, leaving body untouched. The reason does not name the address:
// the program puts it before the reason, made safe to show.
using DownloadEntry = bool (*)(const DownloadRequest &request, std::string &body, Fault &reason);

// The module's file name, and the name of its one entry point (bumped when DownloadEntry changes).
inline constexpr const char *DownloadModuleFileName = "libloto6_download.so";
inline constexpr const char *DownloadEntryName = "loto6_download_v4";

} // namespace loto6
