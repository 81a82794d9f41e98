#pragma once

#include "store/result.h"

#include <string>
#include <string_view>

namespace loto6 {

// Reads a date written in the Japanese era, as the official result files give it
// ("令和7年7月14日", "平成30年3月29日", "令和元年5月9日"), into YYYY-MM-DD. Only the eras of the
// published files (平成 and 令和) are known; a date outside its era, such as 平成31年5月9日, is
// refused.
Status parseJapaneseDate(std::string_view text, std::string &iso);

} // namespace loto6
