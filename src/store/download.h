#pragma once

#include "store/result.h"

#include <chrono>
#include <cstddef>
#include <string>

namespace loto6 {

// Bounds on one blocking download, so that a silent server or an endless body cannot hang or
// exhaust the program.
struct DownloadLimits
{
    std::chrono::milliseconds connectTimeout{10'000};
    std::chrono::milliseconds totalTimeout{60'000};
    std::size_t maxBytes = 64u * 1024 * 1024;
};

// Fetches the whole body of an http:// or https:// URL into memory in one blocking call.
// Anything but a complete 2xx answer within the limits is a failure whose message says why;
// the body is then left untouched.
Status download(const std::string &url, std::string &body, const DownloadLimits &limits = {});

} // namespace loto6
