#include "store/csvhistory.h"

#include "store/textcodec.h"

#include <array>
#include <fstream>
#include <set>
#include <sstream>

namespace loto6 {

bool nextCsvRecord(std::string_view text, std::size_t &pos, std::vector<std::string> &cells,
    int &line)
{
    cells.clear();
    if (pos >= text.size())
        return false;
    std::string cell;
    bool quoted = false;
    while (pos < text.size()) {
        const char ch = text[pos++];
        if (quoted) {
            if (ch == '"') {
                if (pos < text.size() && text[pos] == '"') {
                    cell += '"';
                    ++pos;
                } else {
                    quoted = false;
                }
            } else {
                if (ch == '\n')
                    ++line;
                cell += ch;
            }
        } else if (ch == '"') {
            quoted = true;
        } else if (ch == ',') {
            cells.push_back(std::move(cell));
            cell.clear();
        } else if (ch == '\n') {
            break;
        } else if (ch != '\r') {
            cell += ch;
        }
    }
    cells.push_back(std::move(cell));
    return true;
}

namespace {

bool nextRecord(std::string_view text, std::size_t &pos, std::vector<std::string> &cells,
    int &line)
{
    return nextCsvRecord(text, pos, cells, line);
}

enum Column { ColDrawNo, ColDate, ColMain1, ColBonus = ColMain1 + 6, ColumnCount };

int columnOf(const std::string &header)
{
    static const std::array<std::pair<const char *, int>, 9> fixed = {{
        {"回数", ColDrawNo}, {"開催回", ColDrawNo}, {"回号", ColDrawNo}, {"回", ColDrawNo},
        {"No", ColDrawNo}, {"抽選日", ColDate}, {"抽せん日", ColDate}, {"日付", ColDate},
        {"ボーナス数字", ColBonus},
    }};
    for (const auto &[name, col] : fixed)
        if (header == name)
            return col;
    for (const char *bonus : {"ボーナス", "BONUS数字", "数字B", "ボ数字"})
        if (header == bonus)
            return ColBonus;
    for (int i = 1; i <= 6; ++i) {
        const std::string d = std::to_string(i);
        if (header == "第" + d + "数字" || header == "数字" + d || header == "本数字" + d)
            return ColMain1 + i - 1;
    }
    return -1;
}

bool parseWhole(const std::string &text, long long &value)
{
    if (text.empty() || text.size() > 9)
        return false;
    value = 0;
    for (char ch : text) {
        if (ch < '0' || ch > '9')
            return false;
        value = value * 10 + (ch - '0');
    }
    return true;
}

bool parseDate(const std::string &text, std::string &iso)
{
    int y = 0, m = 0, d = 0;
    char s1 = 0, s2 = 0;
    std::istringstream in(text);
    if (!(in >> y >> s1 >> m >> s2 >> d) || in.peek() != EOF)
        return false;
    if (s1 != s2 || (s1 != '-' && s1 != '/') || y < 1000 || y > 9999 || m < 1 || m > 12
        || d < 1 || d > 31)
        return false;
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, d);
    iso = buf;
    return true;
}

std::string where(int line, int col, const std::string &header)
{
    return "line " + std::to_string(line) + ", column " + std::to_string(col) + " (" + header
        + ")";
}

} // namespace

Status importCsvBytes(std::string_view bytes, std::vector<DrawRecord> &draws)
{
    const std::optional<std::string> decoded = decodeUtf8OrCp932(bytes);
    if (!decoded)
        return Status::failure("unknown encoding: the file is neither UTF-8 nor Shift-JIS");
    const std::string &text = *decoded;

    std::size_t pos = 0;
    int line = 1;
    std::vector<std::string> cells;
    if (!nextRecord(text, pos, cells, line))
        return Status::failure("line 1: the file is empty; a header line is needed");

    std::array<int, ColumnCount> index;
    index.fill(-1);
    std::vector<std::string> headers;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        headers.push_back(trim(cells[i]));
        const int col = columnOf(trim(foldWidth(cells[i])));
        if (col >= 0 && index[static_cast<std::size_t>(col)] < 0)
            index[static_cast<std::size_t>(col)] = static_cast<int>(i);
    }
    if (index[ColDrawNo] < 0)
        return Status::failure("line 1: no 回数 column in the header");
    for (int c = ColMain1; c <= ColBonus; ++c)
        if (index[static_cast<std::size_t>(c)] < 0)
            return Status::failure(std::string("line 1: no ")
                + (c == ColBonus ? "ボーナス数字" : "第" + std::to_string(c - ColMain1 + 1) + "数字")
                + " column in the header");

    std::vector<DrawRecord> result;
    std::set<int> seen;
    for (;;) {
        ++line;
        const int recordLine = line;
        if (!nextRecord(text, pos, cells, line))
            break;
        bool blank = true;
        for (const std::string &c : cells)
            if (!trim(c).empty())
                blank = false;
        if (blank)
            continue;
        auto cellText = [&](int col) {
            const int i = index[static_cast<std::size_t>(col)];
            return i < static_cast<int>(cells.size())
                ? trim(foldWidth(cells[static_cast<std::size_t>(i)]))
                : std::string();
        };
        auto at = [&](int col) {
            const int i = index[static_cast<std::size_t>(col)];
            return where(recordLine, i + 1, headers[static_cast<std::size_t>(i)]);
        };
        DrawRecord r;
        long long no = 0;
        const std::string noText = cellText(ColDrawNo);
        if (!parseWhole(noText, no) || no < 1)
            return Status::failure(at(ColDrawNo) + ": 回数 must be a whole number from 1 up, not \""
                + noText + "\"");
        if (!seen.insert(static_cast<int>(no)).second)
            return Status::failure(at(ColDrawNo) + ": 回数 " + noText + " occurs twice");
        r.drawNo = static_cast<int>(no);
        if (index[ColDate] >= 0) {
            const std::string dateText = cellText(ColDate);
            if (!dateText.empty() && !parseDate(dateText, r.date))
                return Status::failure(at(ColDate) + ": \"" + dateText
                    + "\" is not a date (YYYY-MM-DD or YYYY/M/D)");
        }
        for (int c = ColMain1; c <= ColBonus; ++c) {
            const std::string v = cellText(c);
            if (v.empty())
                continue;
            long long n = 0;
            if (!parseWhole(v, n))
                return Status::failure(at(c) + ": \"" + v + "\" is not a whole number");
            if (n < 1 || n > 43)
                return Status::failure(at(c) + ": " + std::to_string(n) + " is outside 1..43");
            r.fields[static_cast<std::size_t>(c - ColMain1)] = n;
        }
        result.push_back(std::move(r));
    }
    draws = std::move(result);
    return Status::success();
}

Status importCsv(std::istream &in, std::vector<DrawRecord> &draws)
{
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad())
        return Status::failure("the file could not be read");
    return importCsvBytes(buffer.str(), draws);
}

Status importCsvFile(const std::filesystem::path &file, std::vector<DrawRecord> &draws)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return Status::failure(file.string() + ": cannot be opened");
    Status s = importCsv(in, draws);
    if (!s)
        return Status::failure(file.string() + ": " + s.message());
    return s;
}

void exportCsv(std::ostream &out, const std::vector<DrawRecord> &draws)
{
    out << CanonicalCsvHeader << '\n';
    for (const DrawRecord &r : draws) {
        out << r.drawNo << ',' << r.date;
        for (const auto &f : r.fields) {
            out << ',';
            if (f)
                out << *f;
        }
        out << '\n';
    }
}

} // namespace loto6
