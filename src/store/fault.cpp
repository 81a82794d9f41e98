#include "store/fault.h"

#include "store/result.h"

#include "store/textcodec.h"

#include <cstring>
#include <string_view>

namespace loto6 {

namespace {

// A value shown bare when it is a number, quoted when it is anything else.
std::string numberOrQuoted(const std::string &v)
{
    const bool digits
        = !v.empty() && v.size() < 19 && v.find_first_not_of("0123456789") == std::string::npos;
    return digits ? v : quotedForMessage(v);
}

// A file name or value shown bare: escaped, and cut so that a message stays one short line
// even for a name of a hundred thousand bytes.
std::string shownBare(std::string_view text)
{
    constexpr std::size_t MaxBytes = 300;
    return text.size() <= MaxBytes ? withoutControls(text)
                                   : withoutControls(text.substr(0, MaxBytes)) + "…";
}

std::string fact(std::string_view name, const Fault &f)
{
    if (name == "file")
        return shownBare(f.file);
    if (name == "qfile")
        return quotedForMessage(f.file);
    if (name == "value")
        return shownBare(f.value);
    if (name == "qvalue")
        return quotedForMessage(f.value);
    if (name == "nvalue")
        return numberOrQuoted(f.value);
    if (name == "field")
        return f.field;
    if (name == "earlier")
        return f.earlier;
    if (name == "draw")
        return std::to_string(f.draw);
    if (name == "limit")
        return std::to_string(f.limit);
    if (name == "detail")
        return withoutControls(f.detail);
    if (name == "qdetail")
        return quotedForMessage(f.detail);
    if (name == "line")
        return std::to_string(f.line);
    if (name == "column")
        return std::to_string(f.column);
    if (name == "cause")
        return f.cause ? englishText(*f.cause) : std::string();
    return "{" + std::string(name) + "}";
}

bool isFactLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// A placeholder "{fact}", or "{lead fact trail}": the fact with the words around it, or
// nothing when the fact is not there (empty, zero or no cause).
std::string placeholder(std::string_view inside, const Fault &f)
{
    std::size_t end = inside.size();
    while (end > 0 && !isFactLetter(inside[end - 1]))
        --end;
    std::size_t begin = end;
    while (begin > 0 && isFactLetter(inside[begin - 1]))
        --begin;
    const std::string_view name = inside.substr(begin, end - begin);
    if (begin == 0 && end == inside.size())
        return fact(name, f);
    const std::string value = fact(name, f);
    const bool absent = value.empty() || (name == "limit" && f.limit == 0);
    return absent ? std::string()
                  : std::string(inside.substr(0, begin)) + value + std::string(inside.substr(end));
}

// "FILE: line 3, column 4 ("回数"): " for the facts the template does not name itself.
std::string placePrefix(const Fault &f, const char *text)
{
    std::string out;
    if (!f.file.empty() && !namesFile(text))
        out += (f.quoteFile ? quotedForMessage(f.file) : shownBare(f.file)) + ": ";
    if (f.line > 0 && !namesLine(text)) {
        out += "line " + std::to_string(f.line);
        if (f.column > 0)
            out += ", column " + std::to_string(f.column);
        if (f.column > 0 && !f.heading.empty())
            out += " (" + quotedForMessage(f.heading) + ")";
        out += ": ";
    }
    return out;
}

} // namespace

bool namesFile(const char *text)
{
    const std::string_view t(text);
    return t.find("{file}") != t.npos || t.find("{qfile}") != t.npos;
}

bool namesLine(const char *text)
{
    return std::string_view(text).find("{line}") != std::string_view::npos;
}

std::string englishText(const Fault &f)
{
    const char *text = englishTemplate(f);
    std::string body;
    for (const char *p = text; *p;) {
        const char *close = *p == '{' ? std::strchr(p, '}') : nullptr;
        if (!close) {
            body += *p++;
            continue;
        }
        body += placeholder(std::string_view(p + 1, static_cast<std::size_t>(close - p - 1)), f);
        p = close + 1;
    }
    if (f.kind == FaultKind::Other || f.kind == FaultKind::Count)
        body = f.text.empty() ? std::string("unknown error") : f.text;
    return placePrefix(f, text) + body;
}

Status inFile(Status status, const std::filesystem::path &file, bool quoted)
{
    if (status)
        return status;
    Fault f = status.fault();
    if (!f.file.empty() || namesFile(englishTemplate(f))) {
        Fault outer{.kind = FaultKind::Within, .file = file.string(), .quoteFile = quoted};
        return causedBy(std::move(outer), status);
    }
    f.file = file.string();
    f.quoteFile = quoted;
    return Status::failure(std::move(f));
}

Status atLine(Status status, int line)
{
    if (status)
        return status;
    Fault f = status.fault();
    if (f.line > 0 || namesLine(englishTemplate(f)) || !f.file.empty())
        return causedBy(Fault{.kind = FaultKind::Within, .line = line}, status);
    f.line = line;
    return Status::failure(std::move(f));
}

Status causedBy(Fault outer, const Status &inner)
{
    outer.cause = std::make_shared<const Fault>(inner.fault());
    return Status::failure(std::move(outer));
}

} // namespace loto6
