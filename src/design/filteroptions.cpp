#include "design/filters.h"

#include "store/textcodec.h"

#include <bit>
#include <charconv>
#include <iterator>
#include <sstream>
#include <utility>

namespace loto6::design {

namespace {

struct RangeOption
{
    const char *name;
    std::optional<Range> DesignFilter::*field;
    int min;
    int max;
    const char *what;
};

constexpr RangeOption RangeOptions[] = {
    {"--sum", &DesignFilter::sum, 21, 243, "the sum of the six"},
    {"--odd", &DesignFilter::odd, 0, 6, "the number of odd numbers"},
    {"--low", &DesignFilter::low, 0, 6, "the number of low numbers (01-21)"},
    {"--consecutive", &DesignFilter::consecutive, 0, 5, "the number of consecutive pairs"},
    {"--last-digits", &DesignFilter::lastDigits, 1, 6, "the number of distinct last digits"},
    {"--carry-over", &DesignFilter::carryOver, 0, 6, "the numbers shared with the latest draw"},
};

struct MaskOption
{
    const char *name;
    NumberMask DesignFilter::*field;
};

constexpr MaskOption MaskOptions[] = {
    {"--include", &DesignFilter::include},
    {"--exclude", &DesignFilter::exclude},
    {"--pool", &DesignFilter::pool},
};

bool wholeNumber(std::string_view text, int &v)
{
    const char *end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, v);
    return !text.empty() && ec == std::errc() && ptr == end;
}

std::string parseRange(std::string_view text, const RangeOption &o, Range &r)
{
    const std::size_t dash = text.find('-', 1);
    const std::string_view a = text.substr(0, dash);
    const std::string_view b = dash == std::string_view::npos ? a : text.substr(dash + 1);
    if (!wholeNumber(a, r.low) || !wholeNumber(b, r.high))
        return std::string(o.name) + " takes A-B or A (whole numbers), not "
            + quotedForMessage(text);
    if (r.low > r.high)
        return std::string(o.name) + " " + quotedForMessage(text)
            + ": the range's start is above its end";
    if (r.low < o.min || r.high > o.max)
        return std::string(o.name) + " " + quotedForMessage(text) + ": " + o.what + " is "
            + std::to_string(o.min) + " to " + std::to_string(o.max);
    return {};
}

std::string parseNumbers(std::string_view text, const char *name, NumberMask &mask)
{
    std::vector<int> numbers;
    if (const Status s = parseNumberList(text, numbers); !s)
        return std::string(name) + ": " + quotedForMessage(s.fault().value)
            + " is not a number from 1 to " + std::to_string(HighestNumber) + " (give N,N,..)";
    mask = 0;
    for (int n : numbers)
        mask |= NumberMask{1} << n;
    return {};
}

// A share in percent: more than 0, at most 100, decimals allowed ("0.5").
std::string parsePercent(std::string_view text, std::optional<double> &out)
{
    double v = 0;
    const char *end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, v);
    if (text.empty() || ec != std::errc() || ptr != end || !(v > 0) || v > 100)
        return "--least-popular takes a share of all combinations in percent, more than 0 and "
               "at most 100, not "
            + quotedForMessage(text);
    out = v;
    return {};
}

std::string percentText(double v)
{
    char buf[32];
    const auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, v);
    return ec == std::errc() ? std::string(buf, ptr) : std::to_string(v);
}

} // namespace

Status parseNumberList(std::string_view text, std::vector<int> &out)
{
    const auto notNumber = [](std::string_view item) {
        return Status::failure(Fault{
            .kind = FaultKind::NumberListItem, .value = std::string(item), .limit = HighestNumber});
    };
    std::size_t start = 0;
    bool any = false;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find_first_of(", ", start), text.size());
        const std::string_view item = text.substr(start, end - start);
        start = end + 1;
        if (item.empty())
            continue;
        int n = 0;
        if (!wholeNumber(item, n) || n < 1 || n > HighestNumber)
            return notNumber(item);
        out.push_back(n);
        any = true;
    }
    return any ? Status::success() : notNumber(text);
}

std::optional<Status> takeFilterOption(
    const std::vector<std::string> &args, std::size_t &i, DesignFilter &filter)
{
    const std::string &a = args[i];
    if (a == "--not-drawn") {
        filter.notDrawn = true;
        return Status::success();
    }
    if (a == "--include-patterns") {
        filter.includePatterns = true;
        return Status::success();
    }
    const bool hasValue = i + 1 < args.size();
    const auto taken = [&](const std::string &problem) {
        i += hasValue ? 1 : 0;
        return problem.empty() ? Status::success() : Status::failure(problem);
    };
    if (a == "--least-popular")
        return taken(hasValue ? parsePercent(args[i + 1], filter.leastPopular)
                              : a + " needs a share in percent");
    for (const RangeOption &o : RangeOptions) {
        if (a != o.name)
            continue;
        Range r;
        const std::string problem
            = hasValue ? parseRange(args[i + 1], o, r) : a + " needs a value A-B or A";
        filter.*o.field = r;
        return taken(problem);
    }
    for (const MaskOption &o : MaskOptions)
        if (a == o.name)
            return taken(hasValue ? parseNumbers(args[i + 1], o.name, filter.*o.field)
                                  : a + " needs numbers N,N,..");
    return std::nullopt;
}

Status parseFilterOptions(const std::string &text, DesignFilter &filter)
{
    std::vector<std::string> args;
    std::istringstream in(text);
    for (std::string word; in >> word;)
        args.push_back(word);
    filter = {};
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::optional<Status> taken = takeFilterOption(args, i, filter);
        if (!taken)
            return Status::failure("unknown filter " + quotedForMessage(args[i]));
        if (!*taken)
            return *taken;
    }
    return Status::success();
}

std::string DesignFilter::optionsText() const
{
    std::string out;
    const auto add = [&out](const std::string &part) { out += (out.empty() ? "" : " ") + part; };
    for (const RangeOption &o : RangeOptions) {
        if (const std::optional<Range> &r = this->*o.field) {
            add(std::string(o.name) + ' ' + std::to_string(r->low)
                + (r->high != r->low ? "-" + std::to_string(r->high) : ""));
        }
    }
    for (const MaskOption &o : MaskOptions)
        if (this->*o.field)
            add(std::string(o.name) + ' ' + numberListText(this->*o.field));
    if (notDrawn)
        add("--not-drawn");
    if (leastPopular)
        add("--least-popular " + percentText(*leastPopular));
    if (includePatterns)
        add("--include-patterns");
    return out;
}

std::string DesignFilter::japaneseText() const
{
    // The names as the designer window shows them, in the order of RangeOptions.
    static constexpr std::pair<const char *, const char *> RangeWords[]
        = {{"合計", ""}, {"奇数", "個"}, {"低数字(01〜21)", "個"}, {"連番", "組"},
            {"下一桁", "種類"}, {"前回との共通", "個"}};
    static_assert(std::size(RangeWords) == std::size(RangeOptions));
    static constexpr const char *MaskWords[] = {"必ず含める", "除外", "この中から"};
    static_assert(std::size(MaskWords) == std::size(MaskOptions));
    std::string out;
    const auto add = [&out](const std::string &part) { out += (out.empty() ? "" : "、") + part; };
    for (std::size_t i = 0; i < std::size(RangeOptions); ++i)
        if (const std::optional<Range> &r = this->*RangeOptions[i].field)
            add(std::string(RangeWords[i].first) + ' ' + std::to_string(r->low)
                + (r->high != r->low ? "〜" + std::to_string(r->high) : "") + RangeWords[i].second);
    for (std::size_t i = 0; i < std::size(MaskOptions); ++i)
        if (this->*MaskOptions[i].field)
            add(std::string(MaskWords[i]) + ' ' + numberListText(this->*MaskOptions[i].field));
    if (notDrawn)
        add("1等として出たことのない組合せだけ");
    if (leastPopular)
        add("人気の低い下位" + percentText(*leastPopular) + "%だけ");
    return out;
}

namespace {

NumberMask allowedNumbers(const DesignFilter &f)
{
    const NumberMask all = ((NumberMask{1} << (HighestNumber + 1)) - 1) & ~NumberMask{1};
    return (f.pool ? f.pool : all) & ~f.exclude;
}

} // namespace

Status DesignFilter::check() const
{
    if (include & exclude)
        return Status::failure(Fault{
            .kind = FaultKind::IncludedAndExcluded, .value = numberListText(include & exclude)});
    if (pool && (include & ~pool))
        return Status::failure(Fault{
            .kind = FaultKind::IncludedOutsidePool, .value = numberListText(include & ~pool)});
    if (std::popcount(include) > MainNumberCount)
        return Status::failure(Fault{.kind = FaultKind::TooManyIncluded});
    if (const int allowed = std::popcount(allowedNumbers(*this)); allowed < MainNumberCount)
        return Status::failure(
            Fault{.kind = FaultKind::TooFewAllowed, .value = std::to_string(allowed)});
    return Status::success();
}

} // namespace loto6::design
