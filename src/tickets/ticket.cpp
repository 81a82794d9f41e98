#include "tickets/ticket.h"

#include "grid/numbertext.h"

#include "store/drawrecord.h"
#include "store/drawvalidation.h"
#include "store/textcodec.h"

#include <algorithm>
#include <cstdio>

namespace loto6 {

namespace {

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
        if (n >= 1 && n <= HighestNumber)
            m |= std::uint64_t{1} << n;
    return m;
}

std::string Ticket::numbersText() const
{
    std::string out;
    for (int n : numbers) {
        out += out.empty() ? "" : " ";
        out += twoDigitText(n);
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
    case Source::Designed:
        return "designed";
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
    case Source::Designed:
        return "設計";
    case Source::Typed:
        break;
    }
    return "入力";
}

bool Ticket::parseSourceKey(std::string_view key, Source &s)
{
    for (Source c : {Source::Typed, Source::Pasted, Source::Prediction, Source::Designed})
        if (sourceKey(c) == key) {
            s = c;
            return true;
        }
    return false;
}

Status validateTicket(Ticket &ticket)
{
    std::sort(ticket.numbers.begin(), ticket.numbers.end());
    std::array<std::string, MainNumberCount> texts;
    for (std::size_t i = 0; i < texts.size(); ++i)
        texts[i] = std::to_string(ticket.numbers[i]);
    DrawFields fields;
    if (Status s = readDrawFields(texts, DrawForm::Ticket, 0, fields); !s)
        return s;
    const auto fault = [](FaultKind kind, long long value, long long limit) {
        return Status::failure(Fault{.kind = kind, .value = std::to_string(value), .limit = limit});
    };
    if (ticket.firstDraw < 1 || ticket.firstDraw > MaxDrawNumber)
        return fault(FaultKind::TicketFirstDraw, ticket.firstDraw, MaxDrawNumber);
    if (ticket.draws < 1 || ticket.draws > MaxDrawNumber - ticket.firstDraw + 1)
        return fault(FaultKind::TicketDraws, ticket.draws, MaxDrawNumber);
    if (ticket.units < 1 || ticket.units > Ticket::MaxUnits)
        return fault(FaultKind::TicketUnits, ticket.units, Ticket::MaxUnits);
    if (ticket.memo.size() > Ticket::MaxMemoBytes)
        return Status::failure(
            Fault{.kind = FaultKind::MemoTooLong, .limit = Ticket::MaxMemoBytes});
    // A memo is shown on terminals and written into JSON, HTML and CSV: one line of text.
    if (!isValidUtf8(ticket.memo) || withoutControls(ticket.memo) != ticket.memo)
        return Status::failure(Fault{.kind = FaultKind::MemoNotText, .value = ticket.memo});
    return Status::success();
}

Status parseTicketNumbers(std::string_view line, std::array<int, MainNumberCount> &numbers)
{
    const std::string text = foldWidth(line);
    std::size_t count = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        // A minus sign before a number is not a separator: "-6" is not the number 6.
        const bool startsToken = i == 0 || !(text[i - 1] >= '0' && text[i - 1] <= '9');
        if ((text[i] == '-' || text[i] == '+') && startsToken && i + 1 < text.size()
            && text[i + 1] >= '0' && text[i + 1] <= '9')
            return Status::failure(Fault{.kind = FaultKind::TicketSigned,
                .value = std::string(line),
                .limit = HighestNumber});
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
                Fault{.kind = FaultKind::TicketNotNumbers, .value = std::string(line)});
        if (count == numbers.size())
            return Status::failure(
                Fault{.kind = FaultKind::TicketTooMany, .value = std::string(line)});
        numbers[count++] = static_cast<int>(value);
        i = j;
    }
    if (count != numbers.size())
        return Status::failure(Fault{.kind = FaultKind::TicketTooFew,
            .value = std::string(line),
            .limit = static_cast<long long>(count)});
    return Status::success();
}

} // namespace loto6
