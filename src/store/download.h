#pragma once

#include "store/result.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace loto6 {

// Bounds on one blocking download, so that a silent server or an endless body cannot hang or
// exhaust the program, and the way its caller watches it and stops it.
struct DownloadLimits
{
    std::chrono::milliseconds connectTimeout{10'000};
    std::chrono::milliseconds totalTimeout{60'000};
    std::size_t maxBytes = 64u * 1024 * 1024;
    // The end of the whole update this download belongs to, when set: the download's own time
    // limit is cut to what is left, and none starts after it.
    std::optional<std::chrono::steady_clock::time_point> deadline;
    // The time a whole update may take (it sets the deadline from this).
    std::chrono::milliseconds updateTimeout{120'000};
    // Told, on the downloading thread, the bytes received so far and the announced size (0 when
    // unknown), also while nothing arrives (about once a second); returning false cancels.
    std::function<bool(std::uint64_t received, std::uint64_t total)> progress;
};

// Why a download failed, for callers that act on the kind rather than on the wording.
enum class DownloadFailure {
    None,
    Cancelled,  // the progress function said stop
    HttpStatus, // the server answered outside 2xx (DownloadError::httpStatus)
    TimedOut,
    HostNotFound, // the host name has no address (unknown name, or no name service)
    Unreachable,  // no connection: refused, no route, no network
    TooLarge,
    Incomplete, // the body ended before its announced length
    Other,
};

struct DownloadError
{
    DownloadFailure kind = DownloadFailure::None;
    int httpStatus = 0; // the server's status line, 0 when no answer came
    Fault fault{};      // the reason as data, when it has a kind
};

// Fetches the whole body of an http:// or https:// URL into memory in one blocking call.
// Anything but a complete 2xx answer within the limits is a failure whose message says why and
// whose kind goes to `error` when given; the body is then left untouched.
Status download(const std::string &url, std::string &body, const DownloadLimits &limits = {},
    DownloadError *error = nullptr);

// The deadline has passed.
bool pastDeadline(const DownloadLimits &limits);

// Asks the progress function, if any, whether to go on; false once the caller cancelled.
bool keepGoing(const DownloadLimits &limits, std::uint64_t received = 0);

} // namespace loto6
