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

// Fetches the whole body of an http:// or https:// URL into memory in one blocking call.
// Anything but a complete 2xx answer within the limits is a DownloadFailed fault naming the
// address, with why as its cause (downloadReason); the body is then left untouched.
Status download(const std::string &url, std::string &body, const DownloadLimits &limits = {});

// Why a download failed, for callers that act on the kind rather than on the wording: the
// innermost cause of a failure (HttpStatus with the status as value, TimedOut, DeadlinePassed,
// HostNotFound, Unreachable, BodyTooLarge, OversizedHeader, TransferShort, TransferEnded,
// DownloadCancelled, ...), kind Other when the reason has none.
const Fault &downloadReason(const Fault &failure);
// The failure is the server's answer `status` (HttpStatus).
bool isHttpStatus(const Fault &failure, int status);

// The deadline has passed.
bool pastDeadline(const DownloadLimits &limits);

// Asks the progress function, if any, whether to go on; false once the caller cancelled.
bool keepGoing(const DownloadLimits &limits, std::uint64_t received = 0);

} // namespace loto6
