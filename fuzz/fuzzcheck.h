#pragma once

#include "store/drawrecord.h"
#include "store/drawvalidation.h"
#include "store/textcodec.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace loto6::fuzz {

// Stops the run with the broken rule named, so that libFuzzer keeps the input as a crash.
[[noreturn]] inline void fail(const char *rule, const std::string &detail = {})
{
    std::fprintf(stderr, "rule broken: %s %s\n", rule, quotedForMessage(detail).c_str());
    std::abort();
}

#define FUZZ_CHECK(cond, detail)                                                                   \
    do {                                                                                           \
        if (!(cond))                                                                               \
            ::loto6::fuzz::fail(#cond, detail);                                                    \
    } while (false)

// Every draw a reader accepts: a draw number the program holds, numbers 1..43 none repeated,
// and a calendar date or none.
inline void checkAcceptedDraw(const DrawRecord &d)
{
    const std::string what = "draw " + std::to_string(d.drawNo);
    FUZZ_CHECK(d.drawNo >= 1 && d.drawNo <= MaxDrawNumber, what);
    FUZZ_CHECK(!d.malformed, what);
    FUZZ_CHECK(storedDrawProblem(d).empty(), what + ": " + storedDrawProblem(d));
    FUZZ_CHECK(d.date.empty() || parseDrawDate(d.date) == d.date, what + " " + d.date);
}

inline std::string_view asText(const unsigned char *data, std::size_t size)
{
    return {reinterpret_cast<const char *>(data), size};
}

} // namespace loto6::fuzz
