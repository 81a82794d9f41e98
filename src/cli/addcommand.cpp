#include "cli/cli.h"

#include "store/drawvalidation.h"
#include "store/textcodec.h"

#include <algorithm>

namespace loto6::cli {

namespace {

// The draw the arguments describe, or the one-line reason it is not one.
Status parseDraw(const std::vector<std::string> &values, DrawRecord &draw)
{
    if (const std::string problem = drawNumberProblem(values[0], draw.drawNo); !problem.empty())
        return Status::failure(
            Fault{.kind = FaultKind::DrawNumberText, .value = values[0], .detail = problem});
    const auto date = parseDrawDate(values[1]);
    if (!date)
        return Status::failure(Fault{.kind = FaultKind::DrawDateNotReal, .value = values[1]});
    draw.date = *date;
    return readDrawFields(std::span(values).subspan(2, DrawRecord::FieldCount), DrawForm::Command,
        draw.drawNo, draw.fields);
}

// Against the stored draws: a new draw number, the next one unless forced, and a date not
// earlier than the previous draw's.
Status checkAgainstStored(const DrawRecord &draw, bool force, const std::vector<DrawRecord> &stored)
{
    int latest = 0;
    const DrawRecord *previous = nullptr;
    for (const DrawRecord &r : stored) {
        if (r.drawNo == draw.drawNo)
            return Status::failure(
                Fault{.kind = FaultKind::DrawAlreadyStored, .draw = draw.drawNo});
        latest = std::max(latest, r.drawNo);
        if (r.drawNo < draw.drawNo && !r.date.empty() && (!previous || r.drawNo > previous->drawNo))
            previous = &r;
    }
    // drawNo - 1 rather than latest + 1: no overflow at the limit.
    if (!force && draw.drawNo - 1 != latest)
        return Status::failure(
            Fault{.kind = FaultKind::DrawNotNext, .draw = draw.drawNo, .limit = latest});
    if (previous && parseDrawDate(previous->date) && draw.date < *parseDrawDate(previous->date))
        return Status::failure(Fault{.kind = FaultKind::DateBeforePrevious,
            .value = draw.date,
            .draw = previous->drawNo,
            .detail = previous->date});
    return Status::success();
}

} // namespace

int addCommand(Context &ctx)
{
    bool force = false;
    std::vector<std::string> values;
    for (const std::string &a : ctx.args) {
        if (a == "--force")
            force = true;
        else if (a.starts_with("-") && a.size() > 1)
            return ctx.usage("add: unknown option " + quotedForMessage(a));
        else
            values.push_back(a);
    }
    if (values.size() != 2 + DrawRecord::FieldCount)
        return ctx.usage("add: give DRAW DATE N1 N2 N3 N4 N5 N6 BONUS ("
            + std::to_string(values.size()) + " value(s) given)");
    DrawRecord draw;
    if (Status s = parseDraw(values, draw); !s)
        return ctx.fail(s.message());
    if (!ctx.openDatabase())
        return ExitFailure;
    const Status s = ctx.db.addDraw(draw, [&](const std::vector<DrawRecord> &stored) {
        return checkAgainstStored(draw, force, stored);
    });
    if (!s)
        return ctx.fail(s.message());
    ctx.err << "added draw " << draw.drawNo << " of " << draw.date << '\n';
    return ExitOk;
}

} // namespace loto6::cli
