#include "cli/cli.h"

namespace loto6::cli {

int backtestCommand(Context &ctx) { return ctx.fail("backtest: not available in this build"); }

} // namespace loto6::cli
