#include "cli/cli.h"

#include "store/drawvalidation.h"
#include "store/textcodec.h"

#include <algorithm>

namespace loto6::cli {

namespace {

constexpr const char *FieldNames[DrawRecord::FieldCount]
    = {"N1", "N2", "N3", "N4", "N5", "N6", "BONUS"};

// The draw the arguments describe, or the one-line reason it is not one.
Status parseDraw(const std::vector<std::string> &values, DrawRecord &draw)
{
    if (const std::string problem = drawNumberProblem(values[0], draw.drawNo); !problem.empty())
        return Status::failure("add: DRAW " + quotedForMessage(values[0]) + " " + problem);
    const auto date = parseDrawDate(values[1]);
    if (!date)
        return Status::failure("add: DATE " + quotedForMessage(values[1])
            + " is not a real date (YYYY-MM-DD or YYYY/M/D)");
    draw.date = *date;
    for (int f = 0; f < DrawRecord::FieldCount; ++f) {
        const std::string &text = values[std::size_t(f) + 2];
        const auto n = parseNumberText(text);
        if (!n)
            return Status::failure(std::string("add: ") + FieldNames[f] + " "
                + quotedForMessage(text) + " is not a whole number from 1 to 43");
        draw.fields[std::size_t(f)] = *n;
    }
    for (int f = 0; f < DrawRecord::FieldCount; ++f)
        if (const int earlier = repeatedField(draw.fields, f); earlier >= 0)
            return Status::failure(std::string("add: ") + FieldNames[f] + " "
                + std::to_string(draw.number(f)) + " repeats " + FieldNames[earlier]
                + "; the seven numbers of a draw are all different");
    return Status::success();
}

// Against the stored draws: a new draw number, the next one unless forced, and a date not
// earlier than the previous draw's.
Status checkAgainstStored(const DrawRecord &draw, bool force, const std::vector<DrawRecord> &stored)
{
    int latest = 0;
    const DrawRecord *previous = nullptr;
    for (const DrawRecord &r : stored) {
        if (r.drawNo == draw.drawNo)
            return Status::failure("add: draw " + std::to_string(draw.drawNo)
                + " is already stored; import a corrected file to change it");
        latest = std::max(latest, r.drawNo);
        if (r.drawNo < draw.drawNo && !r.date.empty() && (!previous || r.drawNo > previous->drawNo))
            previous = &r;
    }
    // drawNo - 1 rather than latest + 1: no overflow at the limit.
    if (!force && draw.drawNo - 1 != latest)
        return Status::failure("add: draw " + std::to_string(draw.drawNo)
            + " is not the next draw after the latest, " + std::to_string(latest)
            + "; check the number, or give --force to add it anyway");
    if (previous && parseDrawDate(previous->date) && draw.date < *parseDrawDate(previous->date))
        return Status::failure("add: DATE " + draw.date + " is earlier than " + previous->date
            + ", the date of draw " + std::to_string(previous->drawNo));
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
