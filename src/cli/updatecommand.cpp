#include "cli/cli.h"

#include "store/drawbydrawupdate.h"
#include "store/paths.h"
#include "store/textcodec.h"

namespace loto6::cli {

namespace {

std::string formatText(const UpdateResult &r)
{
    switch (r.format) {
    case UpdateFormat::Csv:
        return "draws from a history file";
    case UpdateFormat::DrawFiles:
        return "new draws from per-draw files";
    default:
        return "draws from a database";
    }
}

} // namespace

int updateCommand(Context &ctx)
{
    std::vector<std::string> sources;
    bool allowLoss = false;
    for (std::size_t i = 0; i < ctx.args.size(); ++i) {
        if (ctx.args[i] == "--url" && i + 1 < ctx.args.size())
            sources.push_back(ctx.args[++i]);
        else if (ctx.args[i] == "--url")
            return ctx.usage("update: --url needs an address");
        else if (ctx.args[i] == "--allow-loss")
            allowLoss = true;
        else
            return ctx.usage("update: unexpected argument " + quotedForMessage(ctx.args[i]));
    }
    Status unread;
    if (sources.empty())
        sources = configuredUpdateSources(programDir(), &unread);
    if (!unread)
        return ctx.fail("update: " + unread.message());
    if (sources.empty())
        return ctx.fail("update: " + updateNotConfiguredMessage(programDir()));

    // The target is the database this run uses; the update never creates one.
    const UpdateResult r = updateFromSources(ctx.dbPath, sources, allowLoss);
    if (!r.conflictList.empty())
        ctx.err << (r.ok() ? "replaced:\n" : "") << r.conflictList;
    if (!r.ok())
        return ctx.fail("update: " + r.message()
            + (r.conflictList.empty()
                    ? ""
                    : ". Check the source; --allow-loss takes its draws instead"));
    std::string text = r.message();
    if (!r.backup.empty())
        text += " (" + std::to_string(r.drawCount) + ' ' + formatText(r)
            + "; the previous file is kept as " + quotedForMessage(r.backup.string()) + ")";
    return confirmChange(ctx, text + '\n');
}

} // namespace loto6::cli
