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

// Every source set, in the order to try: the variable LOTO6ZUMVEL_UPDATE_URL, else the
// variable LOTO6ZUMVEL_UPDATE_SERVER, else each url=... and server=... line of update.conf.
std::vector<std::string> configuredUpdateSources(const std::filesystem::path &programFolder);

// The address of one draw's file: {draw} replaced by the 4-digit draw number.
std::string drawAddress(std::string_view pattern, int drawNo);

// Fetches the draws after the latest one held, one by one until the server answers HTTP 404,
// checks them all, keeps FILE.bak and adds them in one transaction with their payouts. A draw
// held with other numbers refuses the update unless allowLoss.
UpdateResult updateDrawByDraw(const std::filesystem::path &target, const std::string &pattern,
    bool allowLoss, const DownloadLimits &limits = {});

// Tries the sources in order until one succeeds; the reasons of all when none does.
UpdateResult updateFromSources(const std::filesystem::path &target,
    const std::vector<std::string> &sources, bool allowLoss, const DownloadLimits &limits = {});

} // namespace loto6
