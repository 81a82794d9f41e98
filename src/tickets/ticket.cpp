#include "tickets/ticket.h"

#include "store/drawrecord.h"
#include "store/textcodec.h"

#include <algorithm>
#include <cstdio>

namespace loto6 {

namespace {

constexpr int MaxNumber = 43;

bool isSeparator(char c)
{
    return c == ' ' || c == ',' || c == '\t' || c == '.' || c == '/' || c == '-' || c == ';'
        || c == '\r' || c == '\n';
}

} // namespace

std::uint64_t Ticket::mask() const
{
    std::uint64_t m = 0;
    for (int n : numbers)
        if (n >= 1 && n <= MaxNumber)
            m |= std::uint64_t{1} << n;
    return m;
}

std::string Ticket::numbersText() const
{
    std::string out;
    char buf[8];
    for (int n : numbers) {
        std::snprintf(buf, sizeof buf, "%02d", n);
        out += out.empty() ? "" : " ";
        out += buf;
    }
    return out;
}

std::string_view Ticket::sourceKey(Source s)
{
    switch (s) {
    case Source::Pasted:
        return "pasted";
    case Source::Prediction:
        return "prediction";
    case Source::Typed:
        break;
    }
    return "typed";
}

std::string_view Ticket::sourceLabel(Source s)
{
    switch (s) {
    case Source::Pasted:
        return "貼り付け";
    case Source::Prediction:
        return "予想記録";
    case Source::Typed:
        break;
    }
    return "入力";
}

bool Ticket::parseSourceKey(std::string_view key, Source &s)
{
    for (Source c : {Source::Typed, Source::Pasted, Source::Prediction})
        if (sourceKey(c) == key) {
            s = c;
            return true;
        }
    return false;
}

Status validateTicket(Ticket &ticket)
{
    std::sort(ticket.numbers.begin(), ticket.numbers.end());
    for (std::size_t i = 0; i < ticket.numbers.size(); ++i) {
        const int n = ticket.numbers[i];
        if (n < 1 || n > MaxNumber)
            return Status::failure("ticket number " + std::to_string(n) + " is outside 1..43");
        if (i > 0 && ticket.numbers[i - 1] == n)
            return Status::failure("ticket number " + std::to_string(n)
                + " is given twice; a ticket holds six different numbers");
    }
    if (ticket.firstDraw < 1 || ticket.firstDraw > MaxDrawNumber)
        return Status::failure("first draw " + std::to_string(ticket.firstDraw) + " is outside 1.."
            + std::to_string(MaxDrawNumber));
    if (ticket.draws < 1 || ticket.draws > MaxDrawNumber - ticket.firstDraw + 1)
        return Status::failure("consecutive draws " + std::to_string(ticket.draws)
            + " must be 1 or more and end by draw " + std::to_string(MaxDrawNumber));
    if (ticket.units < 1 || ticket.units > Ticket::MaxUnits)
        return Status::failure("units " + std::to_string(ticket.units) + " must be 1.."
            + std::to_string(Ticket::MaxUnits));
    if (ticket.memo.size() > Ticket::MaxMemoBytes)
        return Status::failure(
            "the memo is longer than " + std::to_string(Ticket::MaxMemoBytes) + " bytes");
    // A memo is shown on terminals and written into JSON, HTML and CSV: one line of text.
    if (!isValidUtf8(ticket.memo) || withoutControls(ticket.memo) != ticket.memo)
        return Status::failure("the memo " + quotedForMessage(ticket.memo)
            + " holds control characters or bytes that are not UTF-8 text; write it as plain "
              "text on one line");
    return Status::success();
}

Status parseTicketNumbers(std::string_view line, std::array<int, Ticket::Size> &numbers)
{
    const std::string text = foldWidth(line);
    std::size_t count = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        // A minus sign before a number is not a separator: "-6" is not the number 6.
        const bool startsToken = i == 0 || !(text[i - 1] >= '0' && text[i - 1] <= '9');
        if ((text[i] == '-' || text[i] == '+') && startsToken && i + 1 < text.size()
            && text[i + 1] >= '0' && text[i + 1] <= '9')
            return Status::failure(quotedForMessage(line)
                + " has a signed number; a ticket number is a whole number from 1 to 43");
        if (isSeparator(text[i])) {
            ++i;
            continue;
        }
        std::size_t j = i;
        long value = 0;
        while (j < text.size() && text[j] >= '0' && text[j] <= '9' && j - i < 4)
            value = value * 10 + (text[j++] - '0');
        if (j == i || (j < text.size() && !isSeparator(text[j])))
            return Status::failure(
                quotedForMessage(line) + " is not six numbers separated by spaces or commas");
        if (count == numbers.size())
            return Status::failure(quotedForMessage(line) + " has more than six numbers");
        numbers[count++] = static_cast<int>(value);
        i = j;
    }
    if (count != numbers.size())
        return Status::failure(quotedForMessage(line) + " has " + std::to_string(count)
            + " numbers; a ticket needs six");
    return Status::success();
}

} // namespace loto6
