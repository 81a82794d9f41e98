#include "cli/cli.h"

namespace loto6::cli {

int predictCommand(Context &ctx) { return ctx.fail("predict: not available in this build"); }

} // namespace loto6::cli
