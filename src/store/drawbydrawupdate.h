#pragma once

#include "store/download.h"
#include "store/historyupdater.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace loto6 {

// The update from several sources and from per-draw addresses. A source is a whole history (a
// database or a file of any published layout) or an address pattern with {draw}, which stands
// for the draw number zero-padded to 4 digits (the official per-draw result files).

inline constexpr std::string_view DrawPlaceholder = "{draw}";
// At most this many draws are fetched by one per-draw update.
inline constexpr int MaxDrawsPerUpdate = 500;

// The address of one draw's file: {draw} replaced by the 4-digit draw number.
std::string drawAddress(std::string_view pattern, int drawNo);

// Fetches the draws after the latest one held, one by one until the server answers HTTP 404,
// checks them all, keeps FILE.bak and adds them in one transaction with their payouts. A draw
// held with other numbers refuses the update (WouldLoseDraws, the conflicts listed) unless
// allowLoss. The progress of limits counts the bytes of all the files.
UpdateResult updateDrawByDraw(const std::filesystem::path &target, const std::string &pattern,
    bool allowLoss, const DownloadLimits &limits = {});

// Tries the sources in order until one succeeds; when none does, the reasons of the first three
// and how many more failed, so that the message stays short however many there are. A missing
// database, a cancel or a loss to agree to ends the round at that source (result.source).
UpdateResult updateFromSources(const std::filesystem::path &target,
    const std::vector<std::string> &sources, bool allowLoss, const DownloadLimits &limits = {});

} // namespace loto6
