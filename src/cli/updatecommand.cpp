#include "cli/cli.h"

namespace loto6::cli {

int updateCommand(Context &ctx) { return ctx.fail("update: not available in this build"); }

} // namespace loto6::cli
