#include "cli/cli.h"

#include "store/historyupdater.h"
#include "store/paths.h"

namespace loto6::cli {

int updateCommand(Context &ctx)
{
    std::optional<std::string> url;
    for (std::size_t i = 0; i < ctx.args.size(); ++i) {
        if (ctx.args[i] == "--url" && i + 1 < ctx.args.size())
            url = ctx.args[++i];
        else if (ctx.args[i] == "--url")
            return ctx.usage("update: --url needs an address");
        else
            return ctx.usage("update: unexpected argument " + ctx.args[i]);
    }
    if (!url)
        url = configuredUpdateUrl(programDir());
    if (!url)
        return ctx.fail("update: " + updateNotConfiguredMessage(programDir()));

    // The target is the database this run uses; the update never creates one.
    const UpdateResult r = updateHistory(ctx.dbPath, *url);
    if (!r.ok())
        return ctx.fail("update: " + r.message);
    ctx.out << r.message << " (" << r.drawCount << " draws from "
            << (r.format == UpdateFormat::Csv ? "a history CSV" : "a database")
            << "; the previous file is kept as " << r.backup.string() << ")\n";
    return ExitOk;
}

} // namespace loto6::cli
