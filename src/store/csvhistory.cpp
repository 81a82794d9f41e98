#include "store/csvhistory.h"

#include "store/drawvalidation.h"
#include "store/filereader.h"
#include "store/textcodec.h"

#include <algorithm>
#include <array>
#include <optional>

namespace loto6 {

namespace {

enum class Split { End, Record, LoneCr };

// Splits one CSV record; quoted fields may hold commas, doubled quotes and line breaks. A CR
// outside quotes must start a CR LF: files with CR-only line ends are refused, not misread,
// unless `skipLoneCr`.
Split splitRecord(std::string_view text, std::size_t &pos, std::vector<std::string> &cells,
    int &line, bool skipLoneCr = false)
{
    cells.clear();
    if (pos >= text.size())
        return Split::End;
    std::string cell;
    bool quoted = false;
    while (pos < text.size()) {
        const char ch = text[pos++];
        if (quoted) {
            if (ch == '"' && pos < text.size() && text[pos] == '"') {
                cell += '"';
                ++pos;
            } else if (ch == '"') {
                quoted = false;
            } else {
                line += ch == '\n';
                cell += ch;
            }
        } else if (ch == '"') {
            quoted = true;
        } else if (ch == ',') {
            cells.push_back(std::move(cell));
            cell.clear();
        } else if (ch == '\n') {
            break;
        } else if (ch == '\r') {
            if (!skipLoneCr && (pos >= text.size() || text[pos] != '\n'))
                return Split::LoneCr;
        } else {
            cell += ch;
        }
    }
    cells.push_back(std::move(cell));
    return Split::Record;
}

enum Column { ColDrawNo, ColDate, ColMain1, ColBonus = ColMain1 + 6, ColumnCount };

int columnOf(const std::string &header)
{
    static const std::array<std::pair<const char *, int>, 9> fixed = {{
        {"回数", ColDrawNo},
        {"開催回", ColDrawNo},
        {"回号", ColDrawNo},
        {"回", ColDrawNo},
        {"No", ColDrawNo},
        {"抽選日", ColDate},
        {"抽せん日", ColDate},
        {"日付", ColDate},
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

std::string columnName(int col)
{
    if (col == ColDrawNo)
        return "回数";
    if (col == ColDate)
        return "抽選日";
    return fieldName(col - ColMain1);
}

// The columns a header line names: index[Column] is the cell index, or -1.
struct Header
{
    std::array<int, ColumnCount> index{};
    std::vector<std::string> names;
};

std::string where(int line, int cell, const Header &header)
{
    const auto i = static_cast<std::size_t>(cell);
    const std::string name = i < header.names.size() ? header.names[i] : std::string();
    return "line " + std::to_string(line) + ", column " + std::to_string(cell + 1)
        + (name.empty() ? std::string() : " (" + quotedForMessage(name) + ")");
}

Status readHeader(const std::vector<std::string> &cells, Header &header)
{
    header.index.fill(-1);
    header.names.clear();
    for (std::size_t i = 0; i < cells.size(); ++i)
        header.names.push_back(trim(cells[i]));
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const int col = columnOf(trim(foldWidth(cells[i])));
        if (col < 0)
            continue;
        int &slot = header.index[static_cast<std::size_t>(col)];
        if (slot >= 0)
            return Status::failure(where(1, static_cast<int>(i), header) + ": a second "
                + columnName(col) + " column; column " + std::to_string(slot + 1)
                + " already holds it. Keep one of them.");
        slot = static_cast<int>(i);
    }
    for (int c : {int(ColDrawNo), int(ColMain1), ColMain1 + 1, ColMain1 + 2, ColMain1 + 3,
             ColMain1 + 4, ColMain1 + 5, int(ColBonus)})
        if (header.index[static_cast<std::size_t>(c)] < 0)
            return Status::failure("line 1: no " + columnName(c) + " column in the header");
    return Status::success();
}

// The state of one file's reading: the text, where the reader is, what the header said.
struct CsvReading
{
    std::string_view text;
    std::size_t pos = 0;
    int line = 1;
    Header header;
    std::vector<std::string> cells;

    Split next() { return splitRecord(text, pos, cells, line); }
    std::string cell(int col) const
    {
        const auto i = static_cast<std::size_t>(header.index[static_cast<std::size_t>(col)]);
        return trim(foldWidth(cells[i]));
    }
    std::string at(int recordLine, int col) const
    {
        return where(recordLine, header.index[static_cast<std::size_t>(col)], header);
    }
};

Status readDrawNumber(const CsvReading &r, int recordLine, DrawRecord &draw)
{
    const std::string text = r.cell(ColDrawNo);
    const std::optional<long long> no = parseWholeNumber(text);
    if (!no)
        return Status::failure(r.at(recordLine, ColDrawNo) + ": 回数 " + quotedForMessage(text)
            + " is not a whole number");
    if (*no < 1)
        return Status::failure(r.at(recordLine, ColDrawNo) + ": 回数 must be 1 or more, not "
            + quotedForMessage(text));
    if (*no > MaxDrawNumber)
        return Status::failure(r.at(recordLine, ColDrawNo) + ": 回数 " + quotedForMessage(text)
            + " is above " + std::to_string(MaxDrawNumber)
            + ", the largest draw number the program holds");
    draw.drawNo = static_cast<int>(*no);
    return Status::success();
}

Status readNumbers(const CsvReading &r, int recordLine, DrawRecord &draw)
{
    if (r.header.index[ColDate] >= 0) {
        const std::string dateText = r.cell(ColDate);
        const std::optional<std::string> iso = parseDrawDate(dateText);
        if (!dateText.empty() && !iso)
            return Status::failure(r.at(recordLine, ColDate) + ": " + quotedForMessage(dateText)
                + " is not a date of the calendar (YYYY-MM-DD or YYYY/M/D)");
        draw.date = iso.value_or(std::string());
    }
    for (int c = ColMain1; c <= ColBonus; ++c) {
        const std::string v = r.cell(c);
        if (v.empty())
            continue;
        const std::optional<long long> n = parseWholeNumber(v);
        if (!n)
            return Status::failure(
                r.at(recordLine, c) + ": " + quotedForMessage(v) + " is not a whole number");
        if (*n < 1 || *n > HighestNumber)
            return Status::failure(r.at(recordLine, c) + ": "
                + (v.size() < 19 ? std::to_string(*n) : quotedForMessage(v)) + " is outside 1..43");
        draw.fields[static_cast<std::size_t>(c - ColMain1)] = n;
    }
    if (const auto twice = repeatedNumber(draw))
        return Status::failure(r.at(recordLine, ColMain1 + twice->second) + ": draw "
            + std::to_string(draw.drawNo) + " has " + std::to_string(draw.number(twice->first))
            + " twice (also in " + fieldName(twice->first)
            + "); a draw's seven numbers all differ");
    return Status::success();
}

// Reads the row the reader stands on: nothing for a blank line, else one checked draw.
Status readRow(const CsvReading &r, int recordLine, std::optional<DrawRecord> &row)
{
    row.reset();
    if (std::all_of(
            r.cells.begin(), r.cells.end(), [](const std::string &c) { return trim(c).empty(); }))
        return Status::success();
    const std::size_t expected = r.header.names.size();
    if (r.cells.size() != expected)
        return Status::failure("line " + std::to_string(recordLine) + ": "
            + std::to_string(r.cells.size()) + " cells where the header has "
            + std::to_string(expected)
            + (r.cells.size() < expected ? "; the row is cut short" : "; the row has extra cells"));
    DrawRecord draw;
    if (Status s = readDrawNumber(r, recordLine, draw); !s)
        return s;
    if (Status s = readNumbers(r, recordLine, draw); !s)
        return s;
    row = std::move(draw);
    return Status::success();
}

} // namespace

Status loneCarriageReturn(int line)
{
    return Status::failure("line " + std::to_string(line)
        + ": a line ends in a carriage return alone; save the file with LF or CR LF line ends");
}

namespace {

// Each 回数 once: the later of two rows with the same number is named.
Status checkUniqueDrawNumbers(
    std::vector<std::pair<int, int>> numberAndLine, int cell, const Header &header)
{
    std::sort(numberAndLine.begin(), numberAndLine.end());
    const auto twice = std::adjacent_find(numberAndLine.begin(), numberAndLine.end(),
        [](const auto &a, const auto &b) { return a.first == b.first; });
    if (twice == numberAndLine.end())
        return Status::success();
    const auto later = std::next(twice);
    return Status::failure(where(later->second, cell, header) + ": 回数 "
        + std::to_string(later->first) + " occurs twice (also on line "
        + std::to_string(twice->second) + ")");
}

Status readRows(CsvReading &r, const CsvDrawSink &sink)
{
    std::vector<std::pair<int, int>> numberAndLine;
    std::optional<DrawRecord> row;
    for (;;) {
        const int recordLine = ++r.line;
        const Split split = r.next();
        if (split == Split::End)
            break;
        if (split == Split::LoneCr)
            return loneCarriageReturn(r.line);
        if (Status s = readRow(r, recordLine, row); !s)
            return s;
        if (!row)
            continue;
        numberAndLine.emplace_back(row->drawNo, recordLine);
        if (Status s = sink(*row, recordLine, r.cells); !s)
            return s;
    }
    return checkUniqueDrawNumbers(std::move(numberAndLine), r.header.index[ColDrawNo], r.header);
}

} // namespace

bool nextCsvRecord(
    std::string_view text, std::size_t &pos, std::vector<std::string> &cells, int &line)
{
    return splitRecord(text, pos, cells, line, true) != Split::End;
}

Status readCsvRows(std::string_view text, std::size_t bodyStart, int headerLine,
    const std::vector<std::string> &headerCells, const CsvDrawSink &sink)
{
    CsvReading r;
    r.text = text;
    r.pos = bodyStart;
    r.line = headerLine;
    if (Status s = readHeader(headerCells, r.header); !s)
        return s;
    return readRows(r, sink);
}

Status importCsvBytes(std::string_view bytes, const CsvDrawSink &sink)
{
    std::optional<std::string> converted;
    const std::optional<std::string_view> text = utf8TextOf(bytes, converted);
    if (!text)
        return unknownEncoding();
    CsvReading r;
    r.text = *text;
    const Split first = r.next();
    if (first == Split::End)
        return Status::failure("line 1: the file is empty; a header line is needed");
    if (first == Split::LoneCr)
        return loneCarriageReturn(1);
    return readCsvRows(r.text, r.pos, r.line, r.cells, sink);
}

Status importCsvBytes(std::string_view bytes, std::vector<DrawRecord> &draws)
{
    std::vector<DrawRecord> result;
    Status s = importCsvBytes(bytes, [&](const DrawRecord &draw, int, const auto &) {
        result.push_back(draw);
        return Status::success();
    });
    if (s)
        draws = std::move(result);
    return s;
}

Status importCsv(std::istream &in, std::vector<DrawRecord> &draws)
{
    std::string bytes;
    char chunk[65536];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        bytes.append(chunk, static_cast<std::size_t>(in.gcount()));
        if (bytes.size() > MaxHistoryFileBytes)
            return Status::failure("the file is larger than 64 MiB, the most a history file "
                                   "may hold");
    }
    if (in.bad())
        return Status::failure("the file could not be read");
    return importCsvBytes(bytes, draws);
}

Status importCsvFile(const std::filesystem::path &file, std::vector<DrawRecord> &draws)
{
    std::string bytes;
    if (Status s = readRegularFile(file, MaxHistoryFileBytes, "a history file", bytes); !s)
        return s;
    Status s = importCsvBytes(bytes, draws);
    if (!s)
        return Status::failure(quotedForMessage(file.string()) + ": " + s.message());
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
