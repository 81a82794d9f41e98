#include "cli/cli.h"

namespace loto6::cli {

int chanceCommand(Context &ctx) { return ctx.fail("chance: not available in this build"); }

} // namespace loto6::cli
